#include "reader/TiffReader.h"

#include <algorithm>

#include <new>
#include <utility>

#include "boundary/ModuleLogger.h"
#include "boundary/PublicEnumerations.h"
#include "boundary/TiffFileOpener.h"
#include "lines/TiffCommonLineReader.h"
#include "lines/TiffLineAdjuster.h"
#include "lines/TiffSpecialLineReader.h"
#include "psd/TiffPhotoshopTagReader.h"
#include "reader/ExtraChannels.h"
#include "reader/LineReaderChoice.h"
#include "reader/TiffHelper.h"

namespace orvex {
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
  directories_.walk(tif_);
  if (directories_.count() == 0) {
    moduleLogger().log(kLogError, "[%s] TIFFNumberOfDirectories:%u; fileName:%s", kOperation, 0U,
                       fileName);
    return false;
  }
  moduleLogger().log(kLogMilestone, "[%s] begin! (%s) open success! NumberOfDirectory is %u",
                     kOperation, fileName, static_cast<unsigned>(directories_.count()));
  return true;
}

uint16_t TiffReader::getNumberOfDirectories() {
  return directories_.count();
}

bool TiffReader::beginReadSubDir(uint16_t dirIndex) {
  static const char* const kOperation = "TiffReader::beginReadSubDir";
  endReadSubDir();
  if (tif_ == nullptr) {
    moduleLogger().log(kLogError, "[%s] no file is open!", kOperation);
    return false;
  }
  moduleLogger().log(kLogMilestone, "[%s] beginReadSubDir!  (%u / %u)", kOperation,
                     static_cast<unsigned>(dirIndex), static_cast<unsigned>(directories_.count()));
  try {
    lineReader_ = createSuitableTiffLineReader(dirIndex);
    if (lineReader_ == nullptr || !lineReader_->beginRead(dirIndex)) {
      return false;
    }
    servedChannels_ = ExtraChannels::of(lineReader_->description());
    return true;
  } catch (const std::bad_alloc& error) {
    moduleLogger().log(kLogError, "[%s] bad alloc! [reason:%s]", kOperation, error.what());
    return false;
  }
}

std::shared_ptr<TiffLineReaderBase> TiffReader::createSuitableTiffLineReader(uint16_t dirIndex) {
  static const char* const kOperation = "TiffReader::createSuitableTiffLineReader";
  TiffInfo info;
  std::shared_ptr<TiffLineReaderBase> reader;
  try {
    // A directory the selection table cannot describe is reported as a failed read, without
    // a dump.
    if (!TiffHelper::readTiffInfo(tif_, directories_, dirIndex, info) ||
        !LineReaderChoice::describable(info)) {
      moduleLogger().log(kLogError, "[%s] readTiffInfo failed!", kOperation);
      return nullptr;
    }
    TiffHelper::logTiffInfo(TIFFFileName(tif_), info);
    storedChannels_ = ExtraChannels::of(info);
    switch (LineReaderChoice::choose(info)) {
      case LineReaderKind::Common:
        reader =
            std::make_shared<TiffCommonLineReader>(tif_, std::move(info), directories_.count());
        moduleLogger().log(kLogMilestone, "[%s] use TiffCommonLineReader!", kOperation);
        break;
      case LineReaderKind::Special:
        reader =
            std::make_shared<TiffSpecialLineReader>(tif_, std::move(info), directories_.count());
        moduleLogger().log(kLogMilestone, "[%s] use TiffSpecialLineReader!", kOperation);
        break;
      case LineReaderKind::Refused:
        break;
    }
  } catch (const std::bad_alloc& error) {
    moduleLogger().log(kLogError, "[%s] begin failed! [reason:%s]", kOperation, error.what());
    reader.reset();
  }
  return reader;
}

const TiffLineAdjuster* TiffReader::readyAdjuster() const {
  return lineReader_ != nullptr ? lineReader_->tiffLineAdjuster().get() : nullptr;
}

TiffImageInfo TiffReader::getImageInfo() {
  TiffImageInfo info;
  const TiffLineAdjuster* adjuster = readyAdjuster();
  if (adjuster == nullptr) {
    return info;
  }
  const TiffInfo& served = lineReader_->description();
  const AdjustedImageInfo& delivered = adjuster->adjustedImageInfo();
  info.width = delivered.outputWidth_;
  info.height = delivered.outputLength_;
  info.bitsPerSample = delivered.bitspersample_;
  info.samplesPerPixel = delivered.samplesperpixel_;
  info.extraSamples = served.extrasamples_;
  info.sampleFormat = PublicEnumerations::sampleFormatOf(delivered.sampleformat_);
  info.photometric = PublicEnumerations::photometricOf(delivered.photometric_);
  info.xResolution = delivered.xresolution_;
  info.yResolution = delivered.yresolution_;
  info.resolutionUnit = PublicEnumerations::resolutionUnitOf(delivered.resolutionunit_);
  info.scanlineCount = served.imagelength_;
  TiffHelper::readTiffIccProfile(tif_, lineReader_->directoryIndex(), info.iccProfile);
  info.channels = channels();
  return info;
}

// The Photoshop resources name the channels the file stores; without them the channels are
// those delivered: the RGBA raster of a YCbCr image has the associated alpha its reader adds.
std::vector<TiffChannelInfo> TiffReader::channels() {
  TiffPhotoshopTagReader tagReader;
  const bool described = tagReader.read(tif_, storedChannels_);
  channelColors_ = described ? tagReader.channelColors() : ChannelColors();
  return described ? tagReader.channelInfos() : servedChannels_;
}

bool TiffReader::isRowScanline() {
  const TiffLineAdjuster* adjuster = readyAdjuster();
  return adjuster != nullptr && !lineReader_->orientationPlan().deliversColumns();
}

bool TiffReader::readScanline(uint16_t channel, uint32_t row, uint8_t** data, uint32_t* size) {
  return readRow([&] { return lineReader_->readScanline(channel, row, data, size); });
}

bool TiffReader::readScanline(uint32_t row, uint8_t** data, uint32_t* size) {
  return readRow([&] { return lineReader_->readScanline(row, data, size); });
}

bool TiffReader::readScanlines(int channel, uint32_t first, uint32_t count, uint8_t* dest,
                               size_t stride) {
  return readRow([&] { return lineReader_->readScanlines(channel, first, count, dest, stride); });
}

int64_t TiffReader::scanlineBytes(bool oneChannel) const {
  const TiffLineAdjuster* adjuster = readyAdjuster();
  return adjuster != nullptr ? adjuster->deliveredScanlineBytes(oneChannel) : 0;
}

uint16_t TiffReader::storedPlanarConfig() const {
  return readyAdjuster() != nullptr ? lineReader_->description().planarconfig_ : 0;
}

uint32_t TiffReader::storedRowsPerBlock() const {
  if (readyAdjuster() == nullptr) {
    return 0;
  }
  const TiffInfo& served = lineReader_->description();
  return std::min(served.isTiled_ ? served.tilelength_ : served.rowsperstrip_, served.imagelength_);
}

template <typename Read>
bool TiffReader::readRow(Read read) {
  if (readyAdjuster() == nullptr) {
    return false;
  }
  try {
    return read();
  } catch (const std::bad_alloc& error) {
    moduleLogger().log(kLogError, "[%s] bad alloc! [reason:%s]", "TiffReader::readScanline",
                       error.what());
    return false;
  }
}

void TiffReader::endReadSubDir() {
  if (lineReader_ == nullptr) {
    return;
  }
  moduleLogger().log(kLogMilestone, "[%s] endReadSubDir!  (%u / %u)", "TiffReader::endReadSubDir",
                     static_cast<unsigned>(lineReader_->directoryIndex()),
                     static_cast<unsigned>(directories_.count()));
  lineReader_->endRead();
  lineReader_.reset();
}

void TiffReader::end() {
  endReadSubDir();
  directories_.clear();
  if (tif_ != nullptr) {
    moduleLogger().log(kLogMilestone,
                       "[%s] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> end fileName:%s!\n\n\n\n\n",
                       "TiffReader::end", TIFFFileName(tif_));
    TIFFClose(tif_);
    tif_ = nullptr;
  }
}

}  // namespace orvex
