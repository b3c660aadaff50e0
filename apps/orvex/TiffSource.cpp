#include "TiffSource.h"

#include <vector>

#include "ToolError.h"
#include "orvex/ChannelNames.h"

namespace orvex_cli {
namespace {

// One record per delivered extra sample, each name well-formed. The reader lists the stored
// directory's extra samples, which for a YCbCr directory with Photoshop image resources are
// none, while it delivers one: the associated alpha its RGBA decoding adds; taking the list as
// it comes would write that alpha as unspecified. And it hands out a name's characters above
// U+FFFF as two surrogates encoded apart, which the writer refuses.
std::vector<TiffChannelInfo> oneRecordPerExtraSample(const TiffImageInfo& info) {
  std::vector<TiffChannelInfo> records(info.extraSamples,
                                       TiffChannelInfo{TiffChannelType::AssociatedAlpha, ""});
  for (size_t i = 0; i < records.size() && i < info.channels.size(); ++i) {
    records[i] = {info.channels[i].type, orvex::joinSurrogatePairs(info.channels[i].name)};
  }
  return records;
}

}  // namespace

TiffSource::TiffSource(LogTap& log, const std::string& path)
    : log_(log), path_(path), reader_(createTiffReader(), destroyTiffReader) {
  const size_t call = log_.beginCall();
  if (!reader_->begin(path.c_str())) {
    const std::string reason = log_.explain(call).cause;
    reader_->end();
    throw ToolError(kExitFileError, "cannot read " + path + ": " + reason);
  }
  directoryCount_ = reader_->getNumberOfDirectories();
}

TiffSource::~TiffSource() {
  log_.beginCall();
  reader_->end();
}

bool TiffSource::select(uint16_t dir, Explanation& refusal) {
  const size_t call = log_.beginCall();
  currentDirectory_ = dir;
  if (!reader_->beginReadSubDir(dir)) {
    refusal = log_.explain(call);
    info_ = TiffImageInfo();
    rowScanlines_ = true;
    return false;
  }
  log_.beginCall();
  info_ = reader_->getImageInfo();
  info_.channels = oneRecordPerExtraSample(info_);
  rowScanlines_ = reader_->isRowScanline();
  return true;
}

void TiffSource::require(uint16_t dir) {
  if (dir >= directoryCount_) {
    throw ToolError(kExitUsage, "--dir " + std::to_string(dir) + ": " + path_ + " has " +
                                    std::to_string(directoryCount_) + " director" +
                                    (directoryCount_ == 1 ? "y" : "ies"));
  }
  Explanation refusal;
  if (!select(dir, refusal)) {
    throw ToolError(kExitFileError, "cannot read directory " + std::to_string(dir) + " of " +
                                        path_ + ": " + refusal.cause);
  }
}

Scanline TiffSource::scanline(uint32_t index) {
  const size_t call = log_.beginCall();
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader_->readScanline(index, &data, &size);
  return delivered(ok, data, size, index, call);
}

Scanline TiffSource::scanline(uint16_t channel, uint32_t index) {
  const size_t call = log_.beginCall();
  uint8_t* data = nullptr;
  uint32_t size = 0;
  const bool ok = reader_->readScanline(channel, index, &data, &size);
  return delivered(ok, data, size, index, call);
}

Scanline TiffSource::delivered(bool ok, uint8_t* data, uint32_t size, uint32_t index,
                               size_t call) const {
  if (!ok || data == nullptr) {
    throw ToolError(kExitFileError, "cannot read scanline " + std::to_string(index) +
                                        " of directory " + std::to_string(currentDirectory_) +
                                        " of " + path_ + ": " + log_.explain(call).cause);
  }
  return Scanline{data, size};
}

}  // namespace orvex_cli
