#include "support/ImageWords.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "orvex/orvex_c.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace orvex_test {

namespace {

// One directory: its tags, its stored bytes (empty: the pattern), its extra channels as the
// library writes them.
struct Image {
  TiffSetup setup;
  uint8_t seed = 1;
  std::vector<uint8_t> stored;
  bool library = false;
  std::vector<std::string> names;
  std::vector<orvex_channel> channels;
  std::string photoshopOf;  // a file beside this one
};

using Setter = void (*)(Image&, const std::string&);
const std::map<char, Setter> kSetters = {
    {'w', [](Image& i, const std::string& v) { i.setup.width = number(v); }},
    {'h', [](Image& i, const std::string& v) { i.setup.height = number(v); }},
    {'b', [](Image& i, const std::string& v) { i.setup.bitsPerSample = number(v); }},
    {'s', [](Image& i, const std::string& v) { i.setup.samplesPerPixel = number(v); }},
    {'p', [](Image& i, const std::string& v) { i.setup.photometric = number(v); }},
    {'f', [](Image& i, const std::string& v) { i.setup.sampleFormat = number(v); }},
    {'o', [](Image& i, const std::string& v) { i.setup.orientation = number(v); }},
    {'t',
     [](Image& i, const std::string& v) { i.setup.tileWidth = i.setup.tileLength = number(v); }},
    {'r', [](Image& i, const std::string& v) { i.setup.rowsPerStrip = number(v); }},
    {'l', [](Image& i, const std::string& v) { i.setup.planar = number(v); }},
    {'k', [](Image& i, const std::string& v) { i.setup.inkSet = number(v); }},
    {'e', [](Image& i, const std::string& v) { i.seed = static_cast<uint8_t>(number(v)); }},
    {'W', [](Image& i, const std::string&) { i.library = true; }},
    {'y',
     [](Image& i, const std::string& v) {
       i.setup.ycbcrSubsampling = std::make_pair(number(v), number(v));
     }},
    {'i',
     [](Image& i, const std::string& v) {
       if (std::isdigit(static_cast<unsigned char>(v[0])) != 0) {
         i.setup.iccProfile.assign(number(v), 7);
       } else {
         i.setup.iccProfile = {0, 0, 0, 12, 0, 0, 0, 0, 1, 2, 3, 4};
         std::copy(v.begin(), v.begin() + 4, i.setup.iccProfile.begin() + 4);
       }
     }},
    {'u',
     [](Image& i, const std::string& v) {
       const std::vector<std::string> values = split(v + ",300,150", ',');
       i.setup.resolutionUnit = number(values[0]);
       i.setup.xResolution = static_cast<float>(number(values[1]));
       i.setup.yResolution = static_cast<float>(number(values[2]));
     }},
    {'x',
     [](Image& i, const std::string& v) {
       for (const std::string& kind : split(v, ',')) i.setup.extraSamples.push_back(number(kind));
     }},
    {'m',
     [](Image& i, const std::string& v) {
       const std::vector<std::string> terms = split(v, ',');
       const uint32_t a = number(terms[0]);
       for (size_t k = 0; k < 3 * (size_t{1} << i.setup.bitsPerSample); ++k) {
         const size_t value = terms.size() > 1 ? (k * a + number(terms[1])) & 0xFF
                              : a != 0         ? a + k
                                               : k & 0xFF;
         i.setup.colorMap.push_back(static_cast<uint16_t>(value));
       }
     }},
    {'d', [](Image& i, const std::string& v) { i.stored = bytesOf(v); }},
    {'B', [](Image& i, const std::string& v) { i.setup.rawBlocks.push_back(bytesOf(v)); }},
    {'z', [](Image& i, const std::string& v) { i.setup.compression = number(v); }},
    {'j', [](Image& i, const std::string& v) { i.setup.jpegColorMode = number(v); }},
    {'P', [](Image& i, const std::string& v) { i.photoshopOf = v; }},
    {'M',
     [](Image& i, const std::string& v) {
       i.setup.colorMap.at(number(v.substr(0, v.find('=')))) = number(v.substr(v.find('=') + 1));
     }},
    {'c',
     [](Image& i, const std::string& v) {
       const std::vector<std::string> parts = split(v, ':');
       std::string name = parts.size() > 1 ? parts[1] : "";
       for (char& c : name) c = c == '~' ? ' ' : c;
       i.names.push_back(name);
       orvex_channel channel{};
       channel.struct_size = sizeof channel;
       channel.kind = static_cast<int32_t>(number(parts[0]));
       if (parts.size() > 2) {
         const std::vector<std::string> colour = split(parts[2], ',');
         channel.has_color = 1;
         channel.color_space = ORVEX_COLOR_SPACE_RGB;
         for (size_t k = 0; k < 3; ++k) channel.components[k] = number(colour[k]);
         channel.opacity = number(colour[3]);
       }
       i.channels.push_back(channel);
       i.library = true;
     }},
};

// The image through the C interface, row by row, as a host writes it.
void writeWithLibrary(const std::string& path, Image& image) {
  const TiffSetup& setup = image.setup;
  orvex_page_info info{};
  info.struct_size = sizeof info;
  info.width = setup.width;
  info.height = setup.height;
  info.bits_per_sample = setup.bitsPerSample;
  info.samples_per_pixel = setup.samplesPerPixel;
  info.extra_samples = static_cast<uint16_t>(image.channels.size());
  info.sample_format = ORVEX_SAMPLE_FORMAT_UINT;
  info.photometric =
      setup.photometric == PHOTOMETRIC_SEPARATED ? ORVEX_PHOTOMETRIC_SEPARATED : setup.photometric;
  info.resolution_unit = setup.resolutionUnit == RESUNIT_CENTIMETER
                             ? ORVEX_RESOLUTION_UNIT_CENTIMETER
                             : ORVEX_RESOLUTION_UNIT_INCH;
  info.x_resolution = setup.xResolution.value_or(0.0F);
  info.y_resolution = setup.yResolution.value_or(0.0F);
  info.icc_profile_size = static_cast<uint32_t>(setup.iccProfile.size());
  info.icc_profile = setup.iccProfile.data();
  for (size_t k = 0; k < image.channels.size(); ++k) {
    image.channels[k].name = image.names[k].c_str();
    image.channels[k].name_size = static_cast<uint32_t>(image.names[k].size());
  }
  orvex_writer* writer = nullptr;
  if (orvex_writer_create(path.c_str(), &info, image.channels.data(),
                          static_cast<uint32_t>(image.channels.size()), ORVEX_PLANAR_CONTIG,
                          &writer) != ORVEX_STATUS_OK) {
    throw std::runtime_error("the library cannot create " + path);
  }
  const size_t pixelBytes = size_t{info.samples_per_pixel} * info.bits_per_sample / 8;
  std::vector<uint8_t> row(size_t{info.width} * pixelBytes);
  bool written = true;
  for (uint32_t y = 0; y < info.height; ++y) {
    for (size_t k = 0; k < row.size(); ++k) {
      row[k] = image.stored.empty()
                   ? static_cast<uint8_t>(y * 31 + k / pixelBytes * 7 + k % pixelBytes * 50)
                   : image.stored[y * row.size() + k];
    }
    written =
        written && orvex_writer_write_scanline(
                       writer, y, row.data(), static_cast<uint32_t>(row.size())) == ORVEX_STATUS_OK;
  }
  written = orvex_writer_close(writer) == ORVEX_STATUS_OK && written;
  orvex_writer_destroy(writer);
  if (!written) throw std::runtime_error("the library cannot write " + path);
}

// Edits of the bytes of a written little-endian classic TIFF, for files libtiff itself would not
// write: broken directory chains, renamed tags, sizes and offsets that do not fit the data.
class LittleEndianFile {
public:
  explicit LittleEndianFile(const std::string& path)
      : file_(path, std::ios::in | std::ios::out | std::ios::binary) {
    if (!file_) throw std::runtime_error("cannot open " + path);
  }

  uint32_t read(uint32_t offset, int bytes) {
    file_.seekg(offset);
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<uint32_t>(static_cast<uint8_t>(file_.get())) << (8 * i);
    }
    return value;
  }

  void write(uint32_t offset, uint32_t value, int bytes) {
    file_.seekp(offset);
    for (int i = 0; i < bytes; ++i) file_.put(static_cast<char>((value >> (8 * i)) & 0xFF));
  }

  uint32_t directory(uint16_t index) {
    uint32_t offset = read(4, 4);
    for (uint16_t i = 0; i < index; ++i) offset = read(linkOf(offset), 4);
    return offset;
  }

  // Where the directory at `directory` keeps the offset of the next one: after its entries.
  uint32_t linkOf(uint32_t directory) { return directory + 2 + read(directory, 2) * 12; }

  uint32_t entryOf(uint32_t directory, uint16_t tag) {
    for (uint32_t entry = directory + 2; entry < linkOf(directory); entry += 12) {
      if (read(entry, 2) == tag) return entry;
    }
    throw std::runtime_error("no such tag");
  }

private:
  std::fstream file_;
};

void edit(const std::string& path, uint16_t dir, const std::string& word) {
  const std::vector<std::string> parts = split(word.substr(1), '=');
  const uint32_t value = number(parts.back());
  if (word[0] == 'C') {
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - value);
    return;
  }
  LittleEndianFile file(path);
  if (word[0] == 'N') {
    file.write(file.linkOf(file.directory(dir)), value != 0 ? value : file.directory(0), 4);
    return;
  }
  const uint32_t entry =
      file.entryOf(file.directory(dir), static_cast<uint16_t>(number(parts.front())));
  if (word[0] == 'A') {
    const std::string& target = parts.front();
    const uint32_t index = number(target.substr(target.find('.') + 1));
    file.write(file.read(entry + 8, 4) + 4 * index, value, 4);
  } else if (word[0] == 'R') {
    file.write(entry, value, 2);
  } else {
    file.write(entry + 2, TIFF_LONG, 2);
    file.write(entry + 4, 1, 4);
    file.write(entry + 8, value, 4);
  }
}

// A copy of a file of tests/data, its first directory rewritten with the tags of the T words.
void writeEditedCopy(const std::string& path, const std::vector<std::string>& words) {
  std::filesystem::copy_file(std::filesystem::u8path(testDataFile(words[0].substr(1))),
                             std::filesystem::u8path(path),
                             std::filesystem::copy_options::overwrite_existing);
  const std::unique_ptr<TIFF, void (*)(TIFF*)> tif(openTiff(path, "r+"), TIFFClose);
  for (size_t k = 1; k < words.size(); ++k) {
    const std::vector<std::string> parts = split(words[k].substr(1), '=');
    const uint32_t tag = number(parts[0]);
    const TIFFField* field = TIFFFieldWithTag(tif.get(), tag);
    if (parts.size() == 1) {
      TIFFUnsetField(tif.get(), tag);
    } else if (TIFFFieldDataType(field) != TIFF_SHORT) {
      const std::vector<uint8_t> bytes = bytesOf(parts[1]);
      TIFFSetField(tif.get(), tag, static_cast<uint32_t>(bytes.size()), bytes.data());
    } else if (TIFFFieldPassCount(field) != 0) {
      std::vector<uint16_t> values;
      for (const std::string& value : split(parts[1], ',')) values.push_back(number(value));
      TIFFSetField(tif.get(), tag, static_cast<uint16_t>(values.size()), values.data());
    } else {
      TIFFSetField(tif.get(), tag, static_cast<uint16_t>(number(parts[1])));
    }
  }
  if (TIFFRewriteDirectory(tif.get()) != 1) throw std::runtime_error("cannot rewrite " + path);
}

}  // namespace

void writeImageWords(const std::string& path, const std::string& words, const char* mode) {
  if (words[0] == '@') return writeEditedCopy(path, split(words, ' '));
  std::vector<std::vector<std::string>> edits;
  {
    std::unique_ptr<TiffFileBuilder> builder;
    for (const std::string& directory : split(words, '|')) {
      Image image;
      image.setup.width = 20;
      image.setup.height = 9;
      edits.emplace_back();
      for (const std::string& word : split(directory, ' ')) {
        const auto setter = kSetters.find(word[0]);
        setter != kSetters.end() ? setter->second(image, word.substr(1))
                                 : edits.back().push_back(word);
      }
      if (image.library) {
        writeWithLibrary(path, image);
        continue;
      }
      if (!image.photoshopOf.empty()) {
        image.setup.photoshop =
            photoshopTagOf(path.substr(0, path.find_last_of("/\\") + 1) + image.photoshopOf);
      }
      if (!builder) builder = std::make_unique<TiffFileBuilder>(path, mode);
      builder->addDirectory(
          image.setup, image.stored.empty() ? patternImage(image.setup, image.seed) : image.stored);
    }
  }
  for (uint16_t dir = 0; dir < edits.size(); ++dir) {
    for (const std::string& word : edits[dir]) edit(path, dir, word);
  }
}

}  // namespace orvex_test
