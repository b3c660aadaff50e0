// The writer handed to hosts: one TIFF image written row by row.
#pragma once

#include <tiffio.h>

#include <cstdint>

#include "orvex/ITiffWriter.h"

namespace orvex {

class TiffWriter : public ITiffWriter {
public:
  TiffWriter() = default;
  ~TiffWriter() override;
  TiffWriter(const TiffWriter&) = delete;
  TiffWriter& operator=(const TiffWriter&) = delete;

  bool begin(const char* fileName, const TiffImageInfo& info, int32_t planarConfig) override;
  bool writeScanline(uint16_t channelIndex, uint32_t row, const uint8_t* data,
                     uint32_t bytes) override;
  bool writeScanline(uint32_t row, const uint8_t* data, uint32_t bytes) override;
  void end() override;

private:
  TIFF* tif_ = nullptr;
};

}  // namespace orvex
