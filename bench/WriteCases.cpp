#include "WriteCases.h"

#include <tiffio.h>

#include <stdexcept>

#include "SmoothContent.h"
#include "TiffHandle.h"
#include "orvex/orvex.h"

namespace orvex_bench {
namespace {

constexpr float kDpi = 300.0F;

TiffImageInfo libraryInfoOf(const RgbaPicture& picture) {
  TiffImageInfo info;
  info.width = picture.width();
  info.height = picture.height();
  info.bitsPerSample = 8;
  info.samplesPerPixel = 4;
  info.extraSamples = 1;
  info.channels.push_back({TiffChannelType::AssociatedAlpha, "Alpha"});
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.xResolution = kDpi;
  info.yResolution = kDpi;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  return info;
}

// The tags the library's writer sets for the same picture; its small Photoshop block, which
// only names the alpha channel, is left out.
void setLibraryTags(TIFF* tif, const RgbaPicture& picture) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, picture.width());
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, picture.height());
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 4);
  TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 10);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<double>(kDpi));
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<double>(kDpi));
  const uint16_t extra[] = {EXTRASAMPLE_ASSOCALPHA};
  TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
}

}  // namespace

RgbaPicture::RgbaPicture(uint32_t width, uint32_t height)
    : width_(width), height_(height), pixels_(size_t{width} * height * 4) {
  SmoothContent content(width, height);
  for (uint32_t y = 0; y < height; ++y) {
    content.row8(y, 4, pixels_.data() + size_t{y} * rowBytes());
  }
}

void writeThroughLibrary(const char* path, const RgbaPicture& picture) {
  ITiffWriter* writer = createTiffWriter();
  bool written = writer->begin(path, libraryInfoOf(picture), PLANARCONFIG_CONTIG);
  for (uint32_t y = 0; written && y < picture.height(); ++y) {
    written = writer->writeScanline(y, picture.row(y), picture.rowBytes());
  }
  writer->end();
  destroyTiffWriter(writer);
  if (!written) {
    throw std::runtime_error("the library's writer failed");
  }
}

void writeWithLibtiff(const char* path, const RgbaPicture& picture) {
  TiffHandle tif(path, "w");
  setLibraryTags(tif.get(), picture);
  for (uint32_t y = 0; y < picture.height(); ++y) {
    // LZW without a predictor leaves the row as it is.
    if (TIFFWriteScanline(tif.get(), const_cast<uint8_t*>(picture.row(y)), y, 0) < 0) {
      throw std::runtime_error("TIFFWriteScanline failed");
    }
  }
  tif.close();
}

}  // namespace orvex_bench
