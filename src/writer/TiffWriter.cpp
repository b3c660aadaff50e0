#include "writer/TiffWriter.h"

namespace orvex {

TiffWriter::~TiffWriter() {
  end();
}

bool TiffWriter::begin(const char* /*fileName*/, const TiffImageInfo& /*info*/,
                       int32_t /*planarConfig*/) {
  return false;
}

bool TiffWriter::writeScanline(uint16_t /*channelIndex*/, uint32_t /*row*/, const uint8_t* /*data*/,
                               uint32_t /*bytes*/) {
  return false;
}

bool TiffWriter::writeScanline(uint32_t /*row*/, const uint8_t* /*data*/, uint32_t /*bytes*/) {
  return false;
}

void TiffWriter::end() {
  if (tif_ != nullptr) {
    TIFFClose(tif_);
    tif_ = nullptr;
  }
}

}  // namespace orvex
