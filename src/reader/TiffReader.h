// The reader handed to hosts: one open file, one directory being read at a time.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>

#include "orvex/ITiffReader.h"

namespace orvex {

class TiffLineReaderBase;

class TiffReader : public ITiffReader {
public:
  TiffReader() = default;
  ~TiffReader() override;
  TiffReader(const TiffReader&) = delete;
  TiffReader& operator=(const TiffReader&) = delete;

  bool begin(const char* fileName) override;
  uint16_t getNumberOfDirectories() override;
  bool beginReadSubDir(uint16_t dirIndex) override;
  TiffImageInfo getImageInfo() override;
  bool isRowScanline() override;
  bool readScanline(uint16_t channel, uint32_t row, uint8_t** data, uint32_t* size) override;
  bool readScanline(uint32_t row, uint8_t** data, uint32_t* size) override;
  void endReadSubDir() override;
  void end() override;

private:
  bool openFile(const char* fileName);

  TIFF* tif_ = nullptr;
  uint16_t directoryCount_ = 0;
  std::shared_ptr<TiffLineReaderBase> lineReader_;
};

}  // namespace orvex
