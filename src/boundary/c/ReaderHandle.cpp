#include "boundary/c/ReaderHandle.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "boundary/LibtiffMessages.h"
#include "boundary/ModuleLogger.h"
#include "boundary/TextCodec.h"
#include "boundary/c/SystemError.h"
#include "orvex/ChannelNames.h"
#include "psd/ColorConverter.h"

namespace {

// One record per extra sample, names with their surrogate pairs joined: an extra sample the
// file describes nowhere is the associated alpha the reader adds to a YCbCr page.
std::vector<TiffChannelInfo> oneRecordPerExtraSample(const TiffImageInfo& info) {
  std::vector<TiffChannelInfo> records(info.extraSamples,
                                       TiffChannelInfo{TiffChannelType::AssociatedAlpha, ""});
  for (size_t i = 0; i < records.size() && i < info.channels.size(); ++i) {
    records[i] = {info.channels[i].type, orvex::joinSurrogatePairs(info.channels[i].name)};
  }
  return records;
}

// The colour as the file gives it and, when the host's record reaches that far, as shown:
// CMYK through the page's own profile when it has a CMYK one.
void describeColor(const orvex::ChannelColor& color, const std::vector<uint8_t>& iccProfile,
                   orvex_channel& record) {
  record.has_color = 1;
  record.color_space = color.color.colorSpace;
  std::copy(color.color.components.begin(), color.color.components.end(), record.components);
  record.opacity = color.opacity;
  const std::optional<orvex::ShownColor> shown =
      record.struct_size > offsetof(orvex_channel, srgb)
          ? orvex::ColorConverter::convert(color.color, iccProfile)
          : std::nullopt;
  if (shown) {
    record.converted = 1;
    std::copy(shown->srgb.begin(), shown->srgb.end(), record.srgb);
    std::copy(shown->lab.begin(), shown->lab.end(), record.lab);
  }
}

}  // namespace

// The reader would name only an unknown exception for a path that is not UTF-8.
orvex_status orvex_reader::open(const char* path) {
  if (path != nullptr && !orvex::TextCodec::isWellFormed(path)) {
    orvex::moduleLogger().log(orvex::kLogError,
                              "[orvex_reader::open] path is not well-formed UTF-8!");
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  if (reader_.begin(path)) {
    return ORVEX_STATUS_OK;
  }
  if (path == nullptr || path[0] == '\0') {
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  return orvex::SystemError::statusOfOpening(path, false, ORVEX_STATUS_DAMAGED_DATA);
}

orvex_status orvex_reader::pageCount(uint32_t* count) {
  *count = reader_.getNumberOfDirectories();
  return ORVEX_STATUS_OK;
}

// A libtiff error while the page is read means its structure is damaged; a page refused
// without one has a layout the library does not read.
orvex_status orvex_reader::selectPage(uint32_t page) {
  pageReady_ = false;
  if (page >= reader_.getNumberOfDirectories()) {
    orvex::moduleLogger().log(orvex::kLogError, "[orvex_reader::selectPage] page(%u) >= pages(%u)!",
                              static_cast<unsigned>(page),
                              static_cast<unsigned>(reader_.getNumberOfDirectories()));
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  if (!reader_.beginReadSubDir(static_cast<uint16_t>(page))) {
    return orvex::LibtiffMessages::firstError().reported ? ORVEX_STATUS_DAMAGED_DATA
                                                         : ORVEX_STATUS_REFUSED;
  }
  info_ = reader_.getImageInfo();
  rows_ = reader_.isRowScanline();
  channels_ = oneRecordPerExtraSample(info_);
  colors_ = reader_.channelColors();
  colors_.resize(channels_.size());
  pageReady_ = true;
  return ORVEX_STATUS_OK;
}

// A host built against an older, shorter struct gets the fields its size covers.
orvex_status orvex_reader::pageInfo(orvex_page_info* info) const {
  if (!ready("orvex_reader::pageInfo")) {
    return ORVEX_STATUS_WRONG_STATE;
  }
  const orvex_page_info filled = {
      info->struct_size,
      info_.width,
      info_.height,
      info_.scanlineCount,
      info_.bitsPerSample,
      info_.samplesPerPixel,
      info_.extraSamples,
      static_cast<uint16_t>(rows_ ? 1 : 0),
      static_cast<int32_t>(info_.sampleFormat),
      static_cast<int32_t>(info_.photometric),
      static_cast<int32_t>(info_.resolutionUnit),
      info_.xResolution,
      info_.yResolution,
      static_cast<uint32_t>(info_.iccProfile.size()),
      info_.iccProfile.empty() ? nullptr : info_.iccProfile.data(),
      static_cast<uint32_t>(reader_.scanlineBytes(false)),
      static_cast<uint32_t>(reader_.scanlineBytes(true)),
      static_cast<int32_t>(reader_.storedPlanarConfig()),
      reader_.storedRowsPerBlock(),
  };
  std::memcpy(info, &filled, std::min<size_t>(info->struct_size, sizeof(filled)));
  return ORVEX_STATUS_OK;
}

orvex_status orvex_reader::channel(uint32_t index, orvex_channel* channel) const {
  if (!ready("orvex_reader::channel")) {
    return ORVEX_STATUS_WRONG_STATE;
  }
  if (index >= channels_.size()) {
    orvex::moduleLogger().log(orvex::kLogError, "[orvex_reader::channel] index(%u) >= extra(%u)!",
                              static_cast<unsigned>(index),
                              static_cast<unsigned>(channels_.size()));
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  const TiffChannelInfo& record = channels_[index];
  orvex_channel filled{};
  filled.struct_size = channel->struct_size;
  filled.kind = static_cast<int32_t>(record.type);
  filled.name_size = static_cast<uint32_t>(record.name.size());
  filled.name = record.name.c_str();
  if (colors_[index]) {
    describeColor(*colors_[index], info_.iccProfile, filled);
  }
  std::memcpy(channel, &filled, std::min<size_t>(channel->struct_size, sizeof(filled)));
  return ORVEX_STATUS_OK;
}

orvex_status orvex_reader::read(uint32_t scanline, const uint8_t** data, uint32_t* size) {
  if (!ready("orvex_reader::read")) {
    return ORVEX_STATUS_WRONG_STATE;
  }
  uint8_t* bytes = nullptr;
  uint32_t length = 0;
  const bool ok = reader_.readScanline(scanline, &bytes, &length);
  return delivered(ok, scanline, bytes, length, data, size);
}

orvex_status orvex_reader::read(uint32_t channel, uint32_t scanline, const uint8_t** data,
                                uint32_t* size) {
  if (!ready("orvex_reader::read")) {
    return ORVEX_STATUS_WRONG_STATE;
  }
  const orvex_status known = checkChannel(channel);
  if (known != ORVEX_STATUS_OK) {
    return known;
  }
  uint8_t* bytes = nullptr;
  uint32_t length = 0;
  const bool ok = reader_.readScanline(static_cast<uint16_t>(channel), scanline, &bytes, &length);
  return delivered(ok, scanline, bytes, length, data, size);
}

orvex_status orvex_reader::readScanlines(int64_t channel, uint32_t first, uint32_t count,
                                         const ScanlineBlock& block) {
  if (!ready("orvex_reader::readScanlines")) {
    return ORVEX_STATUS_WRONG_STATE;
  }
  const orvex_status checked = checkBlock(channel, first, count, block);
  if (checked != ORVEX_STATUS_OK || count == 0) {
    return checked;
  }
  return reader_.readScanlines(static_cast<int>(channel), first, count, block.buffer,
                               static_cast<size_t>(block.stride))
             ? ORVEX_STATUS_OK
             : ORVEX_STATUS_DAMAGED_DATA;
}

orvex_status orvex_reader::checkChannel(int64_t channel) const {
  if (channel >= info_.samplesPerPixel) {
    orvex::moduleLogger().log(orvex::kLogError, "[orvex_reader::read] channel(%u) >= samples(%u)!",
                              static_cast<unsigned>(channel),
                              static_cast<unsigned>(info_.samplesPerPixel));
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  return ORVEX_STATUS_OK;
}

// The last scanline must fit the buffer after count - 1 strides; checked without overflow.
orvex_status orvex_reader::checkBlock(int64_t channel, uint32_t first, uint32_t count,
                                      const ScanlineBlock& block) const {
  static const char* const kOperation = "orvex_reader::readScanlines";
  const orvex_status known = checkChannel(channel);
  if (known != ORVEX_STATUS_OK) {
    return known;
  }
  if (first > info_.scanlineCount || count > info_.scanlineCount - first) {
    orvex::moduleLogger().log(orvex::kLogError, "[%s] scanlines %u + %u > %u!", kOperation,
                              static_cast<unsigned>(first), static_cast<unsigned>(count),
                              static_cast<unsigned>(info_.scanlineCount));
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  const auto bytes = static_cast<uint64_t>(reader_.scanlineBytes(channel >= 0));
  if (count > 0 && (block.buffer == nullptr || block.stride < bytes || block.size < bytes ||
                    (count - 1) > (block.size - bytes) / std::max<uint64_t>(block.stride, 1))) {
    orvex::moduleLogger().log(
        orvex::kLogError, "[%s] buffer(%s) of %llu bytes, stride %llu: %u scanlines of %llu!",
        kOperation, block.buffer == nullptr ? "null" : "given",
        static_cast<unsigned long long>(block.size), static_cast<unsigned long long>(block.stride),
        static_cast<unsigned>(count), static_cast<unsigned long long>(bytes));
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  return ORVEX_STATUS_OK;
}

bool orvex_reader::ready(const char* operation) const {
  if (!pageReady_) {
    orvex::moduleLogger().log(orvex::kLogError, "[%s] no page is selected!", operation);
  }
  return pageReady_;
}

// The reader logs why a scanline failed; a scanline beyond the page is the host's mistake.
orvex_status orvex_reader::delivered(bool ok, uint32_t scanline, uint8_t* data, uint32_t size,
                                     const uint8_t** out, uint32_t* outSize) const {
  if (!ok) {
    return scanline >= info_.scanlineCount ? ORVEX_STATUS_OUT_OF_RANGE : ORVEX_STATUS_DAMAGED_DATA;
  }
  *out = data;
  *outSize = size;
  return ORVEX_STATUS_OK;
}
