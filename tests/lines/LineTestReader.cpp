#include "LineTestReader.h"

#include <stdexcept>
#include <string>

#include "ReferenceImage.h"
#include "lines/TiffLineReaderBase.h"
#include "reader/DirectoryChain.h"
#include "reader/TiffHelper.h"

namespace orvex_lines_test {

orvex_test::TiffSpec layoutSpec(uint32_t width, uint32_t height, uint16_t bitsPerSample,
                                uint16_t samplesPerPixel, uint16_t planar, bool tiled,
                                uint16_t orientation) {
  orvex_test::TiffSpec tiffSpec;
  tiffSpec.width = width;
  tiffSpec.height = height;
  tiffSpec.bitsPerSample = bitsPerSample;
  tiffSpec.samplesPerPixel = samplesPerPixel;
  tiffSpec.planar = planar;
  tiffSpec.orientation = orientation;
  const uint16_t colours = samplesPerPixel >= 3 ? 3 : 1;
  tiffSpec.photometric = colours == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  tiffSpec.extraSamples.assign(samplesPerPixel - colours, EXTRASAMPLE_UNSPECIFIED);
  if (tiled) {
    tiffSpec.tileWidth = 16;
    tiffSpec.tileLength = 16;
  } else {
    tiffSpec.rowsPerStrip = 4;
  }
  return tiffSpec;
}

TiffHandle openForReading(const std::string& path) {
  TiffHandle tif(TIFFOpen(path.c_str(), "rCm"));
  if (!tif) {
    throw std::runtime_error("cannot open " + path);
  }
  return tif;
}

std::string writeImage(const orvex_test::TempDir& temp, const orvex_test::TiffSpec& tiffSpec,
                       const std::string& name) {
  const std::string path = temp.file(name);
  orvex_test::writeTiff(path, tiffSpec, storedImage(tiffSpec));
  return path;
}

orvex::TiffInfo recordOf(TIFF* tif, uint16_t dir) {
  orvex::DirectoryChain chain;
  chain.walk(tif);
  orvex::TiffInfo info;
  if (!orvex::TiffHelper::readTiffInfo(tif, chain, dir, info)) {
    throw std::runtime_error("cannot read directory " + std::to_string(dir));
  }
  return info;
}

std::vector<uint8_t> deliveredRow(orvex::TiffLineReaderBase& reader, uint32_t row) {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  return reader.readScanline(row, &data, &size) ? std::vector<uint8_t>(data, data + size)
                                                : std::vector<uint8_t>();
}

std::vector<uint8_t> deliveredChannel(orvex::TiffLineReaderBase& reader, uint16_t channel,
                                      uint32_t row) {
  uint8_t* data = nullptr;
  uint32_t size = 0;
  return reader.readScanline(channel, row, &data, &size) ? std::vector<uint8_t>(data, data + size)
                                                         : std::vector<uint8_t>();
}

}  // namespace orvex_lines_test
