#include "cli/ToolSession.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "orvex/ChannelNames.h"
#include "orvex/orvex.h"
#include "support/ImageWords.h"
#include "support/ReferenceDecoder.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace orvex_cli_test {

Picture pictureOf(const std::string& path) {
  if (path.size() < 4 || path.substr(path.size() - 4) != ".png") {
    const orvex_test::ReferenceDirectory reference = orvex_test::referenceOf(path);
    const TiffImageInfo& info = reference.info;
    return {info.width, info.height, info.samplesPerPixel, reference.picture};
  }
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  const std::string bytes = orvex_test::fileBytes(path);  // UTF-8 names on every platform
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

namespace {

using Arguments = std::vector<std::string>;

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

// Each channel's samples as one FNV-1a hash, so that a transcript pins every value written.
std::string hashes(const Picture& picture) {
  std::string text;
  for (size_t channel = 0; channel < picture.samples; ++channel) {
    text += " " + orvex_test::fnv1a(picture.values, channel, picture.samples);
  }
  return text;
}

// A TIFF as the library describes it (the ICC profile in hex), with the layout tags it does not
// show; a PNG's size; and the samples of each (by the reference decoder for a TIFF), listed when
// there are few, else hashed channel by channel.
std::string describedFile(const std::filesystem::path& path) {
  std::ostringstream line;
  if (path.extension() == ".png") {
    const Picture png = pictureOf(path.u8string());
    line << "PNG " << png.width << " x " << png.height << " x " << png.samples;
    for (size_t i = 0; png.values.size() <= 48 && i < png.values.size(); ++i) {
      line << (i == 0 ? ": " : " ") << png.values[i];
    }
    line << (png.values.size() > 48 ? ", samples" + hashes(png) : "");
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
  try {
    line << ", samples" << hashes(pictureOf(path.u8string()));
  } catch (const std::exception&) {
    line << ", samples the reference decoder cannot read";
  }
  return line.str();
}

/// Every file and folder below `folder` by relative path, with its bytes (a folder's empty).
std::map<std::string, std::string> contentsOf(const std::filesystem::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    contents[entry.path().lexically_relative(folder).generic_u8string()] =
        entry.is_directory() ? "" : orvex_test::fileBytes(entry.path().u8string());
  }
  return contents;
}

// What the tool printed, stderr lines marked "! ", in words of no platform: the reason a folder
// cannot be created is kept up to the path; libtiff's report of a file it cannot open
// ("TIFFOpen" and strerror, "TIFFOpenW" and "Cannot open" on Windows) ends a reason, on stderr
// or in a JSON string; a temporary name's random part is dropped.
std::string printed(const ToolRun& run) {
  std::string text = run.out;
  std::istringstream err(run.err);
  for (std::string line; std::getline(err, line);) text += "! " + line + "\n";
  for (const auto& [pattern, words] :
       {std::pair{"(! orvex: cannot create [^\\n]*): [^\\n]*", "$1: (the system's reason)"},
        {" \\(libtiff: TIFFOpenW?: [^\"\\n]*", " (libtiff and the system's reason)"},
        {"\\.[0-9a-f]{12}\\.orvex-tmp", ".RANDOM.orvex-tmp"}}) {
    text = std::regex_replace(text, std::regex(pattern), words);
  }
  return text;
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

std::string ToolSession::run(const std::string& line) {
  for (const auto& entry : std::filesystem::directory_iterator(temp_.path())) {
    if (inputs_.count(entry.path()) == 0) {
      std::filesystem::remove_all(entry.path());  // what the last run wrote
    }
  }
  const auto before = contentsOf(temp_.path());
  const std::string cut = line.rfind('[', 0) == 0 ? line.substr(0, line.find("] ") + 2) : "";
  Stop stop{0, 0, temp_.path()};
  stop.signal = cut.find("SIGINT") != std::string::npos    ? SIGINT
                : cut.find("SIGTERM") != std::string::npos ? SIGTERM
                                                           : 0;
  if (cut.find("limit") != std::string::npos) {
    stop.fileSizeLimit = std::stol(cut.substr(cut.rfind(' ', cut.size() - 3)));
  }
  const std::string program = line.substr(cut.size(), line.find(' ', cut.size()) - cut.size());
  const Arguments words = arguments(line.substr(cut.size() + program.size()));
  const Environment environment = {{kTemporaryFolderVariable, temp_.path().u8string()},
                                   {"ORVEX_LOG_DIR", logs_.path().u8string()}};
  // read_tiff: the example host that reads files (examples/read_tiff.cpp); other programs are
  // found on PATH.
  const ToolRun done = runProgram(program == "orvex"       ? ORVEX_CLI_BINARY
                                  : program == "read_tiff" ? ORVEX_READ_EXAMPLE_BINARY
                                                           : program.c_str(),
                                  words, environment, stop);
  std::string transcript = "$ " + line + "\n" + normalized(printed(done)) + "[exit " +
                           std::to_string(done.exitCode) + "]\n";
  for (const auto& [name, bytes] : contentsOf(temp_.path())) {
    const auto old = before.find(name);
    if (old == before.end() || old->second != bytes) {
      const std::string described = describedFile(temp_.path() / std::filesystem::u8path(name));
      transcript += normalized("+ " + name + ": " + described) + "\n";
    }
  }
  return transcript + "\n";
}

void ToolSession::writeInput(const std::string& name, const std::string& words) {
  const std::filesystem::path path = std::filesystem::u8path(file(name));
  std::filesystem::create_directories(path.parent_path());
  if (words[0] == '"') {
    std::ofstream(path) << words.substr(1, words.size() - 2) << "\n";
  } else if (path.extension() == ".tif") {
    orvex_test::writeImageWords(file(name), words);
  } else if (path.extension() != ".png") {
    const std::vector<uint8_t> bytes = orvex_test::bytesOf(words);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  } else {
    // The tool's preview of the TIFF in words, less the bytes a last word -N takes off its end.
    const size_t cut = words.rfind(" -");
    orvex_test::TempDir scratch;
    orvex_test::writeImageWords(scratch.file("in.tif"), words.substr(0, cut));
    ASSERT_EQ(
        runProgram(ORVEX_CLI_BINARY, {"preview", scratch.file("in.tif"), file(name)}).exitCode, 0)
        << name;
    const size_t less = cut == std::string::npos ? 0 : std::stoul(words.substr(cut + 2));
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - less);
  }
}

void ToolSession::expectSession(const std::string& group, bool chained) {
  keepInputs();
  orvex_test::expectSession(
      "cli/" + group + ".txt", "$ ",
      [this](const std::string& name, const std::string& words) {
        writeInput(name, words);
        keepInputs();
      },
      [this, chained](const std::string& line) {
        SCOPED_TRACE(line);
        const std::string transcript = run(line);
        if (chained) keepInputs();
        return transcript;
      });
}

std::string ToolSession::normalized(std::string text) const {
#if defined(_WIN32)
  text = orvex_test::replaced(text, {{"\\\\", "/"}, {"\\", "/"}});  // JSON doubles a backslash
#endif
  text = orvex_test::replaced(
      text, {{temp_.path().generic_u8string(), "TMP"}, {ORVEX_TEST_DATA_DIR, "DATA"}});
  return std::regex_replace(text, std::regex("orvex-demo-[0-9a-f]+"), "orvex-demo-X");
}

}  // namespace orvex_cli_test
