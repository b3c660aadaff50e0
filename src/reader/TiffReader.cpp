#include "reader/TiffReader.h"

#include <algorithm>
#include <new>

#include "boundary/ModuleLogger.h"
#include "boundary/TiffFileOpener.h"

namespace orvex {
namespace {

// The directory count is kept in 16 bits: larger files are read through their first 65535
// directories rather than wrapping around to a small count.
uint16_t clampedDirectoryCount(TIFF* tif) {
  const tdir_t count = TIFFNumberOfDirectories(tif);
  return static_cast<uint16_t>(std::min<tdir_t>(count, 0xFFFF));
}

}  // namespace

TiffReader::~TiffReader() {
  lineReader_.reset();
  if (tif_ != nullptr) {
    TIFFClose(tif_);
  }
}

bool TiffReader::begin(const char* fileName) {
  static const char* const kOperation = "TiffReader::begin";
  if (tif_ != nullptr) {
    end();
  }
  if (fileName == nullptr || fileName[0] == '\0') {
    moduleLogger().log(kLogError, "[%s] fileName is empty!", kOperation);
    return false;
  }
  moduleLogger().log(kLogMilestone, "[%s] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> begin fileName:%s!",
                     kOperation, fileName);
  try {
    return openFile(fileName);
  } catch (const std::bad_alloc& error) {
    moduleLogger().log(kLogError, "[%s] begin failed! [reason:%s]", kOperation, error.what());
  } catch (...) {
    moduleLogger().log(kLogError, "[%s] unknow exception!", kOperation);
  }
  return false;
}

bool TiffReader::openFile(const char* fileName) {
  static const char* const kOperation = "TiffReader::begin";
  tif_ = TiffFileOpener::open(fileName, "rCm");
  if (tif_ == nullptr) {
    moduleLogger().log(kLogError, "[%s] %s open file failed!", kOperation, fileName);
    return false;
  }
  directoryCount_ = clampedDirectoryCount(tif_);
  if (directoryCount_ == 0) {
    moduleLogger().log(kLogError, "[%s] TIFFNumberOfDirectories:%u; fileName:%s", kOperation, 0U,
                       fileName);
    return false;
  }
  moduleLogger().log(kLogMilestone, "[%s] begin! (%s) open success! NumberOfDirectory is %u",
                     kOperation, fileName, static_cast<unsigned>(directoryCount_));
  return true;
}

uint16_t TiffReader::getNumberOfDirectories() {
  return directoryCount_;
}

bool TiffReader::beginReadSubDir(uint16_t /*dirIndex*/) {
  return false;
}

TiffImageInfo TiffReader::getImageInfo() {
  return TiffImageInfo();
}

bool TiffReader::isRowScanline() {
  return false;
}

bool TiffReader::readScanline(uint16_t /*channel*/, uint32_t /*row*/, uint8_t** /*data*/,
                              uint32_t* /*size*/) {
  return false;
}

bool TiffReader::readScanline(uint32_t /*row*/, uint8_t** /*data*/, uint32_t* /*size*/) {
  return false;
}

void TiffReader::endReadSubDir() {
  lineReader_.reset();
}

void TiffReader::end() {
  endReadSubDir();
  directoryCount_ = 0;
  if (tif_ != nullptr) {
    moduleLogger().log(kLogMilestone,
                       "[%s] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> end fileName:%s!\n\n\n\n\n",
                       "TiffReader::end", TIFFFileName(tif_));
    TIFFClose(tif_);
    tif_ = nullptr;
  }
}

}  // namespace orvex
