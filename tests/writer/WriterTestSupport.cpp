#include "WriterTestSupport.h"

#include <stdexcept>
#include <string>

#include "psd/TiffPhotoshopTagWriter.h"

namespace orvex_writer_test {

WrittenTiff::WrittenTiff(const std::string& path) : tif_(TIFFOpen(path.c_str(), "r")) {
  if (tif_ == nullptr) {
    throw std::runtime_error("libtiff cannot read " + path);
  }
}

WrittenTiff::~WrittenTiff() {
  TIFFClose(tif_);
}

std::vector<uint16_t> WrittenTiff::extraSamples() const {
  uint16_t count = 0;
  uint16_t* values = nullptr;
  if (TIFFGetField(tif_, TIFFTAG_EXTRASAMPLES, &count, &values) == 0) {
    return {};
  }
  return std::vector<uint16_t>(values, values + count);
}

std::vector<uint8_t> WrittenTiff::block(uint32_t tag) const {
  uint32_t count = 0;
  uint8_t* data = nullptr;
  if (TIFFGetField(tif_, tag, &count, &data) == 0) {
    return {};
  }
  return std::vector<uint8_t>(data, data + count);
}

uint32_t WrittenTiff::stripCount() const {
  return TIFFNumberOfStrips(tif_);
}

std::vector<uint8_t> WrittenTiff::decodedStrips() const {
  std::vector<uint8_t> all;
  for (uint32_t strip = 0; strip < stripCount(); ++strip) {
    std::vector<uint8_t> buffer(static_cast<size_t>(TIFFStripSize(tif_)));
    const tmsize_t read = TIFFReadEncodedStrip(tif_, strip, buffer.data(), -1);
    if (read < 0) {
      throw std::runtime_error("strip " + std::to_string(strip) + " unreadable");
    }
    all.insert(all.end(), buffer.begin(), buffer.begin() + read);
  }
  return all;
}

TiffImageInfo imageInfo(uint32_t width, uint32_t height, uint16_t bitsPerSample,
                        uint16_t samplesPerPixel, TiffPhotometric photometric) {
  TiffImageInfo info;
  info.width = width;
  info.height = height;
  info.bitsPerSample = bitsPerSample;
  info.samplesPerPixel = samplesPerPixel;
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = photometric;
  info.xResolution = 72.0F;
  info.yResolution = 72.0F;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  return info;
}

uint32_t rowBytesOf(const TiffImageInfo& info, int32_t planarConfig) {
  const uint64_t samples = planarConfig == PLANARCONFIG_SEPARATE ? 1 : info.samplesPerPixel;
  return static_cast<uint32_t>((info.width * samples * info.bitsPerSample + 7) / 8);
}

void writeBlankRows(ITiffWriter& writer, const TiffImageInfo& info, int32_t planarConfig) {
  const bool separate = planarConfig == PLANARCONFIG_SEPARATE;
  const uint16_t planes = separate ? info.samplesPerPixel : 1;
  const uint32_t bytes = rowBytesOf(info, planarConfig);
  const std::vector<uint8_t> row(bytes);
  for (uint16_t plane = 0; plane < planes; ++plane) {
    for (uint32_t line = 0; line < info.height; ++line) {
      if (!(separate ? writer.writeScanline(plane, line, row.data(), bytes)
                     : writer.writeScanline(line, row.data(), bytes))) {
        throw std::runtime_error("row " + std::to_string(line) + " refused");
      }
    }
  }
}

std::vector<uint8_t> photoshopBlockFor(const std::string& scratchPath,
                                       const std::vector<TiffChannelInfo>& channels) {
  TIFF* tif = TIFFOpen(scratchPath.c_str(), "w");
  if (tif == nullptr) {
    throw std::runtime_error("cannot create " + scratchPath);
  }
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 1U);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1U);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  orvex::TiffPhotoshopTagWriter::write(tif, channels);
  uint8_t pixel = 0;
  TIFFWriteScanline(tif, &pixel, 0, 0);
  TIFFClose(tif);
  return WrittenTiff(scratchPath).block(TIFFTAG_PHOTOSHOP);
}

}  // namespace orvex_writer_test
