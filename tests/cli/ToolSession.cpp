#include "cli/ToolSession.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "orvex/ChannelNames.h"
#include "orvex/orvex.h"
#include "support/ReferenceDecoder.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace orvex_cli_test {
namespace {

using Arguments = std::vector<std::string>;

uint64_t sampleIn(const orvex_test::Scanline& scanline, uint16_t bits, size_t index) {
  if (bits < 8) {
    const size_t bit = index * bits;
    return (scanline[bit / 8] >> (8 - bits - bit % 8)) & ((1U << bits) - 1);
  }
  uint64_t value = 0;
  std::memcpy(&value, scanline.data() + index * (bits / 8), bits / 8);
  return value;
}

Picture tiffPicture(const std::string& path, uint16_t dir) {
  const orvex_test::ReferenceDirectory reference = orvex_test::referenceOf(path, dir);
  const TiffImageInfo& info = reference.info;
  const uint16_t samples = info.samplesPerPixel;
  Picture picture{info.width, info.height, samples,
                  std::vector<uint64_t>(size_t{info.width} * info.height * samples)};
  for (uint32_t k = 0; k < reference.scanlines.size(); ++k) {
    for (uint32_t i = 0; i < (reference.rowScanlines ? info.width : info.height); ++i) {
      const size_t pixel =
          reference.rowScanlines ? size_t{k} * info.width + i : size_t{i} * info.width + k;
      for (uint16_t s = 0; s < samples; ++s) {
        picture.values[pixel * samples + s] =
            sampleIn(reference.scanlines[k], info.bitsPerSample, size_t{i} * samples + s);
      }
    }
  }
  return picture;
}

Picture pngPicture(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  // Read through the standard library, which takes UTF-8 names on every platform.
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
    return {};
  }
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    return {};
  }
  const auto channels = static_cast<uint16_t>(PNG_IMAGE_SAMPLE_CHANNELS(image.format));
  return {image.width, image.height, channels, {pixels.begin(), pixels.end()}};
}

Picture channelOf(const Picture& picture, size_t channel) {
  Picture one{picture.width, picture.height, 1, {}};
  for (size_t i = channel; i < picture.values.size(); i += picture.samples) {
    one.values.push_back(picture.values[i]);
  }
  return one;
}

// Directory 0 as the library's reader describes it; the unset record when it refuses.
TiffImageInfo libraryInfo(const std::string& path) {
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader(createTiffReader(),
                                                              destroyTiffReader);
  TiffImageInfo info;
  if (reader->begin(path.c_str()) && reader->beginReadSubDir(0)) {
    info = reader->getImageInfo();
  }
  reader->end();
  return info;
}

}  // namespace

// A TIFF as the library describes it (the ICC profile in hex), with the layout tags it does
// not show; a PNG's size, and its samples when there are few.
std::string describedFile(const std::filesystem::path& path) {
  std::ostringstream line;
  if (path.extension() == ".png") {
    const Picture png = pngPicture(path.u8string());
    line << "PNG " << png.width << " x " << png.height << " x " << png.samples;
    for (size_t i = 0; png.values.size() <= 48 && i < png.values.size(); ++i) {
      line << (i == 0 ? ": " : " ") << png.values[i];
    }
    return line.str();
  }
  if (path.extension() != ".tif") {
    return std::filesystem::is_directory(path)
               ? "folder"
               : std::to_string(std::filesystem::file_size(path)) + " bytes";
  }
  uint16_t planar = 0;
  uint16_t orientation = 0;
  if (TIFF* tif = orvex_test::openTiff(path.u8string(), "r")) {
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFClose(tif);
  }
  const TiffImageInfo info = libraryInfo(path.u8string());
  line << info.width << " x " << info.height << ", " << info.samplesPerPixel << " x "
       << info.bitsPerSample << " bits, format " << static_cast<int>(info.sampleFormat)
       << ", photometric " << static_cast<int>(info.photometric) << ", planar " << planar
       << ", orientation " << orientation << ", " << info.xResolution << " x " << info.yResolution
       << " per unit " << static_cast<int>(info.resolutionUnit) << ", ICC {" << std::hex
       << std::setfill('0');
  for (const uint8_t byte : info.iccProfile) {
    line << std::setw(2) << unsigned{byte};
  }
  line << std::dec << "}, channels:";
  static const char* const kKinds[] = {"unspecified", "associated alpha", "unassociated alpha",
                                       "spot"};
  for (const TiffChannelInfo& channel : info.channels) {
    line << " " << kKinds[static_cast<int>(channel.type)] << " \""
         << orvex::joinSurrogatePairs(channel.name) << "\"";
  }
  return line.str();
}

namespace {

/// Every file and folder below `folder` by relative path, with its bytes (a folder's empty).
std::map<std::string, std::string> contentsOf(const std::filesystem::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    contents[entry.path().lexically_relative(folder).generic_u8string()] =
        entry.is_directory() ? "" : std::string(std::istreambuf_iterator<char>(in), {});
  }
  return contents;
}

// A plane as merge stores it: inverted when its 0 shows white and the channel's black, or
// the other way (spot colours are ink, 0 white).
Picture asChannel(const std::string& plane, bool ink) {
  Picture picture = pictureOf(plane);
  const TiffImageInfo info = libraryInfo(plane);  // a PNG's is the unset record: 0 black
  const bool whiteZero = info.width > 0 && info.photometric == TiffPhotometric::MinIsWhite;
  const uint16_t bits = info.width > 0 ? info.bitsPerSample : 8;
  if (whiteZero != ink) {
    for (uint64_t& value : picture.values) {
      value = ((uint64_t{1} << bits) - 1) - value;
    }
  }
  return picture;
}

// A copy's input without the extra channels its --drop options name (directory 0).
Picture withoutDropped(const Picture& input, const Arguments& arguments) {
  std::set<size_t> dropped;
  const TiffImageInfo info = libraryInfo(arguments[1]);
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i - 1] == "--drop") {
      dropped.insert(input.samples - info.extraSamples + std::stoul(arguments[i]));
    }
  }
  Picture kept{
      input.width, input.height, static_cast<uint16_t>(input.samples - dropped.size()), {}};
  for (size_t i = 0; i < input.values.size(); ++i) {
    if (dropped.count(i % input.samples) == 0) {
      kept.values.push_back(input.values[i]);
    }
  }
  return kept;
}

// A merge holds the base's channels, those --replace names filled by their planes, then the
// added planes (directory 0 of the base).
void expectMerged(const Arguments& arguments, const Picture& input) {
  const TiffImageInfo base = libraryInfo(arguments[2]);
  std::map<size_t, Picture> planes;  // by sample of the merge
  size_t samples = input.samples;
  for (size_t i = 4; i < arguments.size(); ++i) {
    const std::string& option = arguments[i - 1];
    const std::string name = arguments[i].substr(0, arguments[i].find('='));
    const std::string plane = std::regex_replace(arguments[i].substr(arguments[i].find('=') + 1),
                                                 std::regex("@(#|lab:|cmyk:).*$"), "");
    if (option == "--spot" || option == "--alpha" || option == "--associated") {
      planes[samples++] = asChannel(plane, option == "--spot");
    }
    for (size_t k = 0; option == "--replace" && k < base.channels.size(); ++k) {
      if (orvex::joinSurrogatePairs(base.channels[k].name) == name) {
        planes[input.samples - base.extraSamples + k] =
            asChannel(plane, base.channels[k].type == TiffChannelType::SpotColor);
        break;
      }
    }
  }
  const Picture merged = pictureOf(arguments[1]);
  EXPECT_EQ(merged.samples, samples);
  for (size_t channel = 0; channel < samples; ++channel) {
    const auto plane = planes.find(channel);
    EXPECT_EQ(channelOf(merged, channel).all(),
              (plane != planes.end() ? plane->second : channelOf(input, channel)).all())
        << channel;
  }
}

// A copy holds its input's directory; each plane of a split, named on a line "channel K: ...
// -> PATH", channel K (the profile.icc beside them shows as its size); a merge the base's
// channels, then the planes.
void checkPictures(const Arguments& arguments, const std::string& out) {
  const std::string& command = arguments[0];
  if (arguments.size() < 3 || (command != "copy" && command != "split" && command != "merge")) {
    return;
  }
  const auto dir = std::find(arguments.begin(), arguments.end(), "--dir");
  const Picture input = pictureOf(arguments[command == "merge" ? 2 : 1],
                                  dir < arguments.end() - 1 ? std::stoi(*(dir + 1)) : 0);
  if (command == "copy") {
    EXPECT_EQ(pictureOf(arguments[2]).all(), withoutDropped(input, arguments).all());
  }
  std::istringstream lines(arguments.back() == "--json" ? "" : out);
  for (std::string line; command == "split" && std::getline(lines, line);) {
    if (line.rfind("channel ", 0) != 0) {
      continue;  // the profile's line
    }
    const size_t channel = std::stoul(line.substr(line.find(' ')));
    EXPECT_EQ(pictureOf(line.substr(line.find(" -> ") + 4)).all(), channelOf(input, channel).all());
  }
  if (command == "merge") {
    expectMerged(arguments, input);
  }
}

// libtiff's report of a file it cannot open ("TIFFOpen" and strerror, "TIFFOpenW" and "Cannot
// open" on Windows) ends a reason, on stderr or in a JSON string: it is worded by the platform.
std::string systemWordsMarked(const std::string& text) {
  return std::regex_replace(text, std::regex(" \\(libtiff: TIFFOpenW?: [^\"\\n]*"),
                            " (libtiff and the system's reason)");
}

// The reason a folder cannot be created is worded by the platform too: it is kept up to the
// path. A temporary name's random part is dropped.
std::string markedErrors(const std::string& err) {
  std::istringstream lines(err);
  std::string marked;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("orvex: cannot create ", 0) == 0) {
      line = line.substr(0, line.rfind(": ")) + ": (the system's reason)";
    }
    line = std::regex_replace(line, std::regex("\\.[0-9a-f]{12}\\.orvex-tmp"), ".RANDOM.orvex-tmp");
    marked += "! " + systemWordsMarked(line) + "\n";
  }
  return marked;
}

}  // namespace

void ToolSession::keepInputs() {
  for (const auto& entry : std::filesystem::directory_iterator(temp_.path())) {
    inputs_.insert(entry.path());
  }
}

Arguments ToolSession::arguments(const std::string& line) const {
  Arguments words;
  std::istringstream text(line);
  for (std::string word; text >> word;) {
    words.push_back(orvex_test::replaced(
        word, {{"TMP", temp_.path().u8string()}, {"DATA", ORVEX_TEST_DATA_DIR}}));
  }
  return words;
}

ToolSession::Result ToolSession::run(const std::string& line, const Environment& environment) {
  for (const auto& entry : std::filesystem::directory_iterator(temp_.path())) {
    if (inputs_.count(entry.path()) == 0) {
      std::filesystem::remove_all(entry.path());  // what the last run wrote
    }
  }
  const auto before = contentsOf(temp_.path());
  const std::string program = line.substr(0, line.find(' '));
  const Arguments words = arguments(line.substr(program.size()));
  Result result{program == "read_tiff" ? runReadExample(words) : runTool(words, environment),
                "$ " + program};
  for (const std::string& word : words) {
    result.transcript += " " + word;
  }
  result.transcript = normalized(result.transcript + "\n" + systemWordsMarked(result.run.out) +
                                 markedErrors(result.run.err)) +
                      "[exit " + std::to_string(result.run.exitCode) + "]\n";
  for (const auto& [name, bytes] : contentsOf(temp_.path())) {
    const auto old = before.find(name);
    if (old == before.end() || old->second != bytes) {
      const std::string described = describedFile(temp_.path() / std::filesystem::u8path(name));
      result.transcript += "+ " + name + ": " + normalized(described) + "\n";
    }
  }
  result.transcript += "\n";
  if (result.run.exitCode == 0 && program == "orvex" && !words.empty()) {
    checkPictures(words, result.run.out);
  }
  return result;
}

std::string ToolSession::normalized(std::string text) const {
#if defined(_WIN32)
  text = orvex_test::replaced(text, {{"\\\\", "/"}, {"\\", "/"}});  // JSON doubles a backslash
#endif
  return orvex_test::replaced(
      text, {{temp_.path().generic_u8string(), "TMP"}, {ORVEX_TEST_DATA_DIR, "DATA"}});
}

Picture pictureOf(const std::string& path, uint16_t dir) {
  const bool png = path.size() > 4 && path.substr(path.size() - 4) == ".png";
  return png ? pngPicture(path) : tiffPicture(path, dir);
}

}  // namespace orvex_cli_test
