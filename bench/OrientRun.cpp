// orvex_bench_orient: what the row transforms cost. Every orientation at 1, 8 and 16 bits and
// palettes expanded to 8 and 16-bit RGB, all uncompressed so that the transform is not hidden
// behind a decoder, read four ways:
//   - the library, every delivered scanline through the exports;
//   - raw libtiff's read alone: the same strips decoded in the same order, each stored row
//     handed out as it is;
//   - raw libtiff and the simplest loop that delivers the library's bytes (rows taken in the
//     delivered order, mirrored pixel by pixel or bit by bit, indexes looked up);
//   - raw libtiff and the clears every delivered row takes in the library, with no transform:
//     the strip buffer cleared before each decode, the row buffer cleared and the stored row
//     copied into it. No transform can go below this.
//
//   orvex_bench_orient FOLDER [RUNS]     RUNS 21 by default
//
// The images (4096 x 4096, strips of 16 rows) are generated into FOLDER when missing. The
// library's rows must match the loop's byte for byte before anything is timed. Times are CPU
// times of this thread, the four sides alternating; the table gives their medians and the
// medians of the ratios taken within each run.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchImage.h"
#include "GuardedMain.h"
#include "RowSink.h"
#include "TiffHandle.h"
#include "orvex/orvex.h"

namespace orvex_bench {
namespace {

struct OrientCase {
  std::string name;
  TiffSetup image;
  bool wideMap = false;  ///< palette values above a byte, delivered as 16-bit RGB
};

double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename T>
T field(TIFF* tif, ttag_t tag) {
  T value{};
  TIFFGetFieldDefaulted(tif, tag, &value);
  return value;
}

bool mirrors(uint16_t orientation) {
  return orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
}

bool storedLastFirst(uint16_t orientation) {
  return orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
}

std::vector<OrientCase> makeCases() {
  std::vector<OrientCase> cases;
  for (const uint16_t bits : {1, 8, 16}) {
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
      OrientCase c;
      c.name = (bits == 1   ? "grey1_o"
                : bits == 8 ? "rgb8_o"
                            : "rgb16_o") +
               std::to_string(orientation);
      c.image = benchImage();
      c.image.compression = COMPRESSION_NONE;
      c.image.bitsPerSample = bits;
      c.image.orientation = orientation;
      if (bits == 1) {
        c.image.samplesPerPixel = 1;
        c.image.photometric = PHOTOMETRIC_MINISBLACK;
      }
      cases.push_back(c);
    }
  }
  for (const bool wide : {false, true}) {
    OrientCase c;
    c.name = wide ? "palette8_rgb16" : "palette8_rgb8";
    c.wideMap = wide;
    c.image = benchImage();
    c.image.compression = COMPRESSION_NONE;
    c.image.samplesPerPixel = 1;
    c.image.photometric = PHOTOMETRIC_PALETTE;
    for (unsigned channel = 0; channel < 3; ++channel) {
      for (unsigned i = 0; i < 256; ++i) {
        const unsigned value = (i * (2 * channel + 1) + 85 * channel) & 255;
        c.image.colorMap.push_back(static_cast<uint16_t>(wide ? value * 257 : value));
      }
    }
    cases.push_back(c);
  }
  return cases;
}

std::string label(const OrientCase& c) {
  if (c.image.photometric == PHOTOMETRIC_PALETTE) {
    return c.wideMap ? "palette 8-bit to RGB 16-bit" : "palette 8-bit to RGB 8-bit";
  }
  const char* kind = c.image.bitsPerSample == 1   ? "grey 1-bit"
                     : c.image.bitsPerSample == 8 ? "RGB 8-bit"
                                                  : "RGB 16-bit";
  return std::string(kind) + ", orientation " + std::to_string(*c.image.orientation) +
         (mirrors(*c.image.orientation) ? " (mirrored)" : "");
}

// The library: every delivered scanline through the exports.
void readWithLibrary(const std::string& path, RowSink& sink) {
  ITiffReader* reader = createTiffReader();
  if (!reader->begin(path.c_str()) || !reader->beginReadSubDir(0)) {
    destroyTiffReader(reader);
    throw std::runtime_error("the library cannot read " + path);
  }
  const uint32_t rows = reader->getImageInfo().scanlineCount;
  for (uint32_t row = 0; row < rows; ++row) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!reader->readScanline(row, &data, &size)) {
      throw std::runtime_error("readScanline failed at row " + std::to_string(row));
    }
    sink.take(data, size);
  }
  reader->endReadSubDir();
  reader->end();
  destroyTiffReader(reader);
}

// libtiff: the strips decoded in the order the delivered rows need them, one strip held.
class StoredRows {
public:
  /// `clearing`: the strip buffer is cleared before each decode, as the library clears its own.
  StoredRows(const std::string& path, bool clearing)
      : handle_(path.c_str(), "rm"),
        width_(field<uint32_t>(handle_.get(), TIFFTAG_IMAGEWIDTH)),
        height_(field<uint32_t>(handle_.get(), TIFFTAG_IMAGELENGTH)),
        rowsPerStrip_(field<uint32_t>(handle_.get(), TIFFTAG_ROWSPERSTRIP)),
        rowBytes_(static_cast<size_t>(TIFFScanlineSize64(handle_.get()))),
        strip_(static_cast<size_t>(TIFFStripSize64(handle_.get()))),
        lastFirst_(storedLastFirst(field<uint16_t>(handle_.get(), TIFFTAG_ORIENTATION))),
        clearing_(clearing) {}

  /// The stored row that delivered row `i` comes from.
  const uint8_t* rowFor(uint32_t i) {
    const uint32_t y = lastFirst_ ? height_ - 1 - i : i;
    const uint32_t strip = y / rowsPerStrip_;
    if (strip != cached_) {
      if (clearing_) {
        std::fill(strip_.begin(), strip_.end(), 0);
      }
      if (TIFFReadEncodedStrip(handle_.get(), strip, strip_.data(),
                               static_cast<tmsize_t>(strip_.size())) < 0) {
        throw std::runtime_error("TIFFReadEncodedStrip failed");
      }
      cached_ = strip;
    }
    return strip_.data() + size_t{y % rowsPerStrip_} * rowBytes_;
  }

  TIFF* tif() const { return handle_.get(); }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  size_t rowBytes() const { return rowBytes_; }

private:
  TiffHandle handle_;
  uint32_t width_;
  uint32_t height_;
  uint32_t rowsPerStrip_;
  size_t rowBytes_;
  std::vector<uint8_t> strip_;
  uint32_t cached_ = 0xFFFFFFFF;
  bool lastFirst_;
  bool clearing_;
};

void readAlone(const std::string& path, RowSink& sink) {
  StoredRows stored(path, false);
  for (uint32_t i = 0; i < stored.height(); ++i) {
    sink.take(stored.rowFor(i), stored.rowBytes());
  }
}

void readWithClears(const std::string& path, RowSink& sink) {
  StoredRows stored(path, true);
  std::vector<uint8_t> row(stored.rowBytes());
  for (uint32_t i = 0; i < stored.height(); ++i) {
    const uint8_t* stripRow = stored.rowFor(i);
    std::fill(row.begin(), row.end(), 0);
    std::memcpy(row.data(), stripRow, row.size());
    sink.take(row.data(), row.size());
  }
}

void mirrorBits(const uint8_t* row, uint8_t* out, uint32_t width) {
  std::fill_n(out, (width + 7) / 8, 0);
  for (uint32_t x = 0; x < width; ++x) {
    const uint32_t from = width - 1 - x;
    if ((row[from / 8] >> (7 - from % 8) & 1) != 0) {
      out[x / 8] = static_cast<uint8_t>(out[x / 8] | 0x80 >> (x % 8));
    }
  }
}

void mirrorPixels(const uint8_t* row, uint8_t* out, uint32_t width, size_t pixelBytes) {
  for (uint32_t x = 0; x < width; ++x) {
    for (size_t b = 0; b < pixelBytes; ++b) {
      out[x * pixelBytes + b] = row[(width - 1 - x) * pixelBytes + b];
    }
  }
}

template <typename Sample>
void lookUp(const uint8_t* row, uint8_t* out, uint32_t width, const uint16_t* const map[3]) {
  Sample* rgb = reinterpret_cast<Sample*>(out);
  for (uint32_t x = 0; x < width; ++x) {
    for (int c = 0; c < 3; ++c) {
      rgb[3 * x + c] = static_cast<Sample>(map[c][row[x]]);
    }
  }
}

void readWithLoop(const std::string& path, RowSink& sink) {
  StoredRows stored(path, false);
  TIFF* tif = stored.tif();
  const uint16_t orientation = field<uint16_t>(tif, TIFFTAG_ORIENTATION);
  const uint16_t bits = field<uint16_t>(tif, TIFFTAG_BITSPERSAMPLE);
  const uint32_t width = stored.width();
  uint16_t* map[3] = {};
  const bool palette = TIFFGetField(tif, TIFFTAG_COLORMAP, &map[0], &map[1], &map[2]) != 0;
  bool wide = false;
  for (int c = 0; palette && c < 3; ++c) {
    wide = wide || std::any_of(map[c], map[c] + 256, [](uint16_t v) { return v > 255; });
  }
  std::vector<uint8_t> out(palette ? size_t{width} * 3 * (wide ? 2 : 1) : stored.rowBytes());
  for (uint32_t i = 0; i < stored.height(); ++i) {
    const uint8_t* row = stored.rowFor(i);
    if (palette) {
      wide ? lookUp<uint16_t>(row, out.data(), width, map)
           : lookUp<uint8_t>(row, out.data(), width, map);
    } else if (!mirrors(orientation)) {
      std::memcpy(out.data(), row, out.size());
    } else if (bits == 1) {
      mirrorBits(row, out.data(), width);
    } else {
      mirrorPixels(row, out.data(), width, stored.rowBytes() / width);
    }
    sink.take(out.data(), out.size());
  }
}

using Read = void (*)(const std::string&, RowSink&);

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void runCase(const OrientCase& c, const std::filesystem::path& folder, int runs) {
  const std::string path = (folder / (c.name + ".tif")).string();
  if (!std::filesystem::exists(path)) {
    writeBenchImage(path + ".part", c.image);
    std::filesystem::rename(path + ".part", path);
  }
  DigestSink library;
  DigestSink loop;
  readWithLibrary(path, library);
  readWithLoop(path, loop);
  if (library.digest() != loop.digest() || library.rows() != loop.rows()) {
    throw std::runtime_error(c.name + ": the library and the loop deliver other bytes");
  }
  const Read sides[] = {readWithLibrary, readAlone, readWithLoop, readWithClears};
  constexpr int kSides = 4;
  std::vector<double> times[kSides];
  std::vector<double> overRead;
  std::vector<double> overLoop;
  std::vector<double> overClears;
  DiscardingSink sink;
  for (int run = 0; run < runs; ++run) {
    // Each run starts with another side, so that none always follows the same one.
    double seconds[kSides];
    for (int k = 0; k < kSides; ++k) {
      const int side = (run + k) % kSides;
      const double start = threadSeconds();
      sides[side](path, sink);
      seconds[side] = threadSeconds() - start;
      times[side].push_back(seconds[side]);
    }
    // Ratios within a run: the reads follow one another, so a load that comes and goes
    // on the machine moves them all alike.
    overRead.push_back(seconds[0] / seconds[1]);
    overLoop.push_back(seconds[0] / seconds[2]);
    overClears.push_back(seconds[0] / seconds[3]);
  }
  const double ours = median(times[0]) * 1e3;
  const double read = median(times[1]) * 1e3;
  const double withLoop = median(times[2]) * 1e3;
  const double withClears = median(times[3]) * 1e3;
  const double ratioRead = median(overRead);
  const double ratioLoop = median(overLoop);
  const double ratioClears = median(overClears);
  const bool palette = c.image.photometric == PHOTOMETRIC_PALETTE;
  // The targets: palettes against the read and the loop, 1-bit rows and mirrors of whole
  // pixels against the read alone. Rows of 8 and 16 bits that are not mirrored have none.
  const bool judgedAlone = c.image.bitsPerSample == 1 || mirrors(*c.image.orientation);
  char verdict[32] = "| none        | -";
  if (palette || judgedAlone) {
    const double target = palette ? 1.2 : c.image.bitsPerSample == 1 ? 2.0 : 1.5;
    const double judged = palette ? ratioLoop : ratioRead;
    std::snprintf(verdict, sizeof verdict, "| %s <= %.1f | %s", palette ? "loop" : "read", target,
                  judged <= target ? "met" : "MISSED");
  }
  std::printf("| %-38s | %8.2f ms | %8.2f ms | %8.2f ms | %8.2f ms | %5.2f | %5.2f | %5.2f %s |\n",
              label(c).c_str(), ours, read, withLoop, withClears, ratioRead, ratioLoop, ratioClears,
              verdict);
  std::fflush(stdout);
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvex_bench_orient FOLDER [RUNS]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
  std::printf("| %-38s | %11s | %11s | %11s | %11s | %5s | %5s | %7s | %-11s | %s |\n",
              "uncompressed 4096 x 4096", "library", "read alone", "read + loop", "read + clears",
              "/read", "/loop", "/clears", "target", "verdict");
  std::printf("| %s | ---: | ---: | ---: | ---: | ---: | ---: | ---: | --- | --- |\n",
              std::string(38, '-').c_str());
  for (const OrientCase& c : makeCases()) {
    runCase(c, folder, runs);
  }
  return 0;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench_orient", orvex_bench::run, argc, argv);
}
