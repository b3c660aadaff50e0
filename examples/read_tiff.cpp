// A host that reads every directory of a TIFF file through Orvex and prints what it learns:
// the description of each directory, its extra channels, and an FNV-1a checksum of every
// scanline the reader delivers.
//
//   orvex_example_read FILE
//
// Exit status: 0 when every directory was read to its last scanline, 1 when the file or one
// of its directories could not be read (the library's reason is printed), 2 on bad usage.

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "merrow_logger/Logger.h"
#include "orvex/orvex.h"

namespace {

// The library reports a failure as `false` and explains it only in its log. The first error
// is the cause (later ones say which step gave up); a directory of an unsupported kind is
// refused by a level-2 record alone, so the last of those stands in when there is no error.
class RefusalReason {
public:
  RefusalReason() { merrow_logger_set_observer(&RefusalReason::observe, this); }
  ~RefusalReason() { merrow_logger_set_observer(nullptr, nullptr); }
  RefusalReason(const RefusalReason&) = delete;
  RefusalReason& operator=(const RefusalReason&) = delete;

  void clear() {
    firstError_.clear();
    lastMilestone_.clear();
  }
  std::string text() const {
    const std::string& reason = firstError_.empty() ? lastMilestone_ : firstError_;
    return reason.empty() ? "no reason logged" : reason;
  }

private:
  static void observe(int level, const char* text, void* context) {
    auto* self = static_cast<RefusalReason*>(context);
    if (level >= 4 && self->firstError_.empty()) {
      self->firstError_ = text;
    } else if (level == 2) {
      self->lastMilestone_ = text;
    }
  }

  std::string firstError_;
  std::string lastMilestone_;
};

const char* nameOf(TiffPhotometric value) {
  static const char* const kNames[] = {"Unknown", "MinIsWhite", "MinIsBlack", "Rgb",
                                       "Mask",    "Separated",  "CieLab",     "IccLab",
                                       "ItuLab",  "Cfa",        "LogL",       "LogLuv"};
  const int index = static_cast<int>(value) + 1;
  return index >= 0 && index < 12 ? kNames[index] : "Unknown";
}

const char* nameOf(TiffSampleFormat value) {
  static const char* const kNames[] = {"Unknown", "Uint",       "Int",          "IeeeFp",
                                       "Void",    "ComplexInt", "ComplexIeeeFp"};
  const int index = static_cast<int>(value);
  return index >= 1 && index <= 6 ? kNames[index] : "Unknown";
}

const char* nameOf(TiffResolutionUnit value) {
  static const char* const kNames[] = {"none", "inch", "centimetre"};
  const int index = static_cast<int>(value) + 1;
  return index >= 0 && index < 3 ? kNames[index] : "none";
}

const char* nameOf(TiffChannelType value) {
  static const char* const kNames[] = {"Unspecified", "AssociatedAlpha", "UnassociatedAlpha",
                                       "SpotColor"};
  const int index = static_cast<int>(value);
  return index >= 0 && index < 4 ? kNames[index] : "Unspecified";
}

// The record of extra sample i. The list follows the extra samples the file stores, so it can
// be shorter than `extraSamples`: a YCbCr directory carrying Photoshop image resources stores
// none, and is delivered with one, the associated alpha the reader's decoding adds.
TiffChannelInfo channelOf(const TiffImageInfo& info, uint16_t i) {
  return i < info.channels.size() ? info.channels[i]
                                  : TiffChannelInfo{TiffChannelType::AssociatedAlpha, ""};
}

// 64-bit FNV-1a, continued over every delivered scanline in order.
uint64_t fnv1a(uint64_t hash, const uint8_t* data, uint32_t size) {
  for (uint32_t i = 0; i < size; ++i) {
    hash = (hash ^ data[i]) * 1099511628211ULL;
  }
  return hash;
}

void printDescription(uint16_t dir, const TiffImageInfo& info, bool rowScanlines) {
  std::printf("directory %u: %u x %u, %s, %s, %u bits, %u samples of which %u extra\n",
              static_cast<unsigned>(dir), info.width, info.height, nameOf(info.photometric),
              nameOf(info.sampleFormat), static_cast<unsigned>(info.bitsPerSample),
              static_cast<unsigned>(info.samplesPerPixel),
              static_cast<unsigned>(info.extraSamples));
  std::printf("  resolution: %g x %g per %s, icc profile: %u bytes\n", info.xResolution,
              info.yResolution, nameOf(info.resolutionUnit),
              static_cast<unsigned>(info.iccProfile.size()));
  // A name with characters above U+FFFF arrives with each half of their surrogate pairs
  // encoded on its own; joinSurrogatePairs makes it well-formed UTF-8 again.
  for (uint16_t i = 0; i < info.extraSamples; ++i) {
    const TiffChannelInfo channel = channelOf(info, i);
    std::printf("  channel %u: %s \"%s\"\n", static_cast<unsigned>(i), nameOf(channel.type),
                orvex::joinSurrogatePairs(channel.name).c_str());
  }
  // Stored orientations 5 to 8 are delivered column by column; a host that wants rows
  // transposes them. The checksum below simply takes the scanlines as delivered.
  std::printf("  scanlines: %u %s\n", info.scanlineCount, rowScanlines ? "rows" : "columns");
}

// Reads every scanline with all samples of a pixel interleaved. The pointer handed out stays
// the reader's and is only valid until the next call on the reader, so each scanline is
// consumed at once.
bool checksumScanlines(ITiffReader& reader, uint32_t count, RefusalReason& reason) {
  uint64_t hash = 14695981039346656037ULL;
  uint64_t bytes = 0;
  for (uint32_t row = 0; row < count; ++row) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    reason.clear();
    if (!reader.readScanline(row, &data, &size)) {
      std::printf("  scanline %u: failed: %s\n", row, reason.text().c_str());
      return false;
    }
    hash = fnv1a(hash, data, size);
    bytes += size;
  }
  std::printf("  delivered: %" PRIu64 " bytes, fnv1a64 %016" PRIx64 "\n", bytes, hash);
  return true;
}

bool readDirectory(ITiffReader& reader, uint16_t dir, RefusalReason& reason) {
  reason.clear();
  if (!reader.beginReadSubDir(dir)) {
    std::printf("directory %u: refused: %s\n", static_cast<unsigned>(dir), reason.text().c_str());
    return false;
  }
  const TiffImageInfo info = reader.getImageInfo();
  printDescription(dir, info, reader.isRowScanline());
  const bool read = checksumScanlines(reader, info.scanlineCount, reason);
  reader.endReadSubDir();
  return read;
}

bool readFile(ITiffReader& reader, const char* path, RefusalReason& reason) {
  reason.clear();
  if (!reader.begin(path)) {
    std::printf("%s: cannot be read: %s\n", path, reason.text().c_str());
    return false;
  }
  const uint16_t count = reader.getNumberOfDirectories();
  std::printf("%s: %u director%s\n", path, static_cast<unsigned>(count), count == 1 ? "y" : "ies");
  bool all = true;
  for (uint16_t dir = 0; dir < count; ++dir) {
    all = readDirectory(reader, dir, reason) && all;
  }
  reader.end();
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const char* version = nullptr;
  orvexVersionString(&version);
  std::printf("orvex %s\n", version);

  // Objects cross the library's boundary only through its factories and destroyers.
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader(createTiffReader(),
                                                              destroyTiffReader);
  RefusalReason reason;
  try {
    return readFile(*reader, argv[1], reason) ? 0 : 1;
  } catch (const std::exception& error) {
    // A channel or cache index beyond its list leaves the reader as an exception.
    std::printf("%s: exception: %s\n", argv[1], error.what());
    reader->end();
    return 1;
  }
}
