// orvex_bench_blocks: a whole picture read into one buffer, through the C interface's block
// read against raw libtiff decoding every strip (or tile) into the same kind of buffer.
//
//   orvex_bench_blocks FOLDER [RUNS]     RUNS 9 by default
//
// Uses the main benchmark's images (generated into FOLDER when missing). For each case both
// sides open the file, read every row into one buffer of the whole picture and close it; the
// two buffers must be byte for byte the same. Times are the CPU time of this thread, the
// sides alternating, and the table gives their medians and ratio against the case's target.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchCases.h"
#include "GuardedMain.h"
#include "ImageFolder.h"
#include "TiffHandle.h"
#include "orvex/orvex_c.h"

namespace orvex_bench {
namespace {

using Picture = std::vector<uint8_t>;
using PictureRead = std::function<void(const std::string&, Picture&)>;

double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void check(orvex_status status, const char* call) {
  if (status != ORVEX_STATUS_OK) {
    const char* reason = nullptr;
    orvex_last_failure(&reason);
    throw std::runtime_error(std::string(call) + ": " + (reason != nullptr ? reason : "?"));
  }
}

// The library: one block read of every scanline, with every sample of a pixel side by side.
void readBlockWithLibrary(const std::string& path, Picture& picture) {
  orvex_reader* reader = nullptr;
  check(orvex_reader_open(path.c_str(), &reader), "orvex_reader_open");
  orvex_page_info info{};
  info.struct_size = sizeof info;
  check(orvex_reader_select_page(reader, 0), "orvex_reader_select_page");
  check(orvex_reader_page_info(reader, &info), "orvex_reader_page_info");
  picture.resize(uint64_t{info.scanline_size} * info.scanline_count);
  check(orvex_reader_read_scanlines(reader, 0, info.scanline_count, picture.data(),
                                    info.scanline_size, picture.size()),
        "orvex_reader_read_scanlines");
  orvex_reader_destroy(reader);
}

// libtiff, contiguous strips: each decoded where its rows belong.
void readStrips(TIFF* tif, Picture& picture) {
  const tmsize_t stripBytes = TIFFStripSize(tif);
  for (uint32_t strip = 0; strip < TIFFNumberOfStrips(tif); ++strip) {
    const tmsize_t left = static_cast<tmsize_t>(picture.size()) - strip * stripBytes;
    if (TIFFReadEncodedStrip(tif, strip, picture.data() + strip * stripBytes,
                             std::min(stripBytes, left)) < 0) {
      throw std::runtime_error("TIFFReadEncodedStrip failed");
    }
  }
}

// libtiff, contiguous tiles: each decoded into one tile buffer, its rows copied into place.
void readTiles(TIFF* tif, Picture& picture, uint32_t width, uint32_t height) {
  uint32_t tileWidth = 0;
  uint32_t tileLength = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
  const size_t rowBytes = picture.size() / height;
  const size_t pixelBytes = rowBytes / width;
  Picture tile(static_cast<size_t>(TIFFTileSize(tif)));
  for (uint32_t y = 0; y < height; y += tileLength) {
    for (uint32_t x = 0; x < width; x += tileWidth) {
      if (TIFFReadTile(tif, tile.data(), x, y, 0, 0) < 0) {
        throw std::runtime_error("TIFFReadTile failed");
      }
      const size_t copyBytes = std::min(tileWidth, width - x) * pixelBytes;
      for (uint32_t line = 0; line < tileLength && y + line < height; ++line) {
        std::memcpy(picture.data() + (y + line) * rowBytes + x * pixelBytes,
                    tile.data() + line * tileWidth * pixelBytes, copyBytes);
      }
    }
  }
}

// libtiff, separate planes of 16-bit samples: the strips of every plane decoded, then
// interleaved into place by the plainest loop.
void readPlanes(TIFF* tif, Picture& picture, uint16_t planes) {
  const uint32_t stripsPerPlane = TIFFNumberOfStrips(tif) / planes;
  const tmsize_t stripBytes = TIFFStripSize(tif);
  std::vector<Picture> strips(planes, Picture(static_cast<size_t>(stripBytes)));
  uint16_t* pixels = reinterpret_cast<uint16_t*>(picture.data());
  const size_t stripSamples = static_cast<size_t>(stripBytes) / 2;
  for (uint32_t strip = 0; strip < stripsPerPlane; ++strip) {
    for (uint16_t plane = 0; plane < planes; ++plane) {
      if (TIFFReadEncodedStrip(tif, plane * stripsPerPlane + strip, strips[plane].data(), -1) < 0) {
        throw std::runtime_error("TIFFReadEncodedStrip failed");
      }
    }
    const size_t first = strip * stripSamples;
    const size_t count = std::min(stripSamples, picture.size() / 2 / planes - first);
    for (uint16_t plane = 0; plane < planes; ++plane) {
      const uint16_t* samples = reinterpret_cast<const uint16_t*>(strips[plane].data());
      for (size_t i = 0; i < count; ++i) pixels[(first + i) * planes + plane] = samples[i];
    }
  }
}

void readWithLibtiff(const std::string& path, Picture& picture) {
  TiffHandle tif(path.c_str(), "rm");
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t samples = 1;
  uint16_t bits = 8;
  uint16_t planar = PLANARCONFIG_CONTIG;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
  picture.resize(uint64_t{width} * height * samples * bits / 8);
  if (planar == PLANARCONFIG_SEPARATE) {
    readPlanes(tif.get(), picture, samples);
  } else if (TIFFIsTiled(tif.get())) {
    readTiles(tif.get(), picture, width, height);
  } else {
    readStrips(tif.get(), picture);
  }
}

struct BlockCase {
  const char* name;  ///< a case of the main benchmark, whose image this reads
  double target;
};

const BlockCase kCases[] = {
    {"rgb8_strips_none", 1.05},
    {"rgb8_strips_lzw", 1.05},
    {"rgb8_tiles_lzw", 1.10},
    {"rgba16_planes_lzw", 1.10},
};

double medianSeconds(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double timed(const PictureRead& read, const std::string& path, Picture& picture) {
  const double start = threadSeconds();
  read(path, picture);
  return threadSeconds() - start;
}

void runCase(const BlockCase& blockCase, const ImageFolder& folder, int runs) {
  const std::string path = folder.imageOf(blockCase.name);
  Picture library;
  Picture libtiff;
  readBlockWithLibrary(path, library);
  readWithLibtiff(path, libtiff);
  if (library != libtiff) {
    throw std::runtime_error(std::string(blockCase.name) + ": the two sides read other bytes");
  }
  std::vector<double> libraryTimes;
  std::vector<double> libtiffTimes;
  for (int run = 0; run < runs; ++run) {
    libraryTimes.push_back(timed(readBlockWithLibrary, path, library));
    libtiffTimes.push_back(timed(readWithLibtiff, path, libtiff));
  }
  const double ours = medianSeconds(libraryTimes);
  const double theirs = medianSeconds(libtiffTimes);
  const double ratio = ours / theirs;
  std::printf("| %-40s | %8.1f ms | %8.1f ms | %5.3f | <= %.2f | %s |\n",
              readCaseNamed(blockCase.name).label, ours * 1e3, theirs * 1e3, ratio,
              blockCase.target, ratio <= blockCase.target ? "met" : "MISSED");
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvex_bench_blocks FOLDER [RUNS]\n");
    return 2;
  }
  const ImageFolder folder(argv[1]);
  folder.generateMissing();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  std::printf("| %-40s | %11s | %11s | %5s | %7s | %s |\n", "whole picture, block read", "library",
              "raw libtiff", "ratio", "target", "verdict");
  std::printf("| %s | ---: | ---: | ---: | --- | --- |\n", std::string(40, '-').c_str());
  for (const BlockCase& blockCase : kCases) runCase(blockCase, folder, runs);
  return 0;
}

}  // namespace
}  // namespace orvex_bench

int main(int argc, char** argv) {
  return orvex_bench::guardedMain("orvex_bench_blocks", orvex_bench::run, argc, argv);
}
