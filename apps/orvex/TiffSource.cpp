#include "TiffSource.h"

#include <algorithm>
#include <iterator>

#include "ToolError.h"

namespace orvex_cli {

TiffSource::TiffSource(LogTap& log, const std::string& path) : log_(log), path_(path) {
  log_.beginCall();
  if (orvex_reader_open(path.c_str(), &reader_) != ORVEX_STATUS_OK) {
    throw ToolError(kExitFileError, "cannot read " + path + ": " + LogTap::lastFailure());
  }
  uint32_t count = 0;
  orvex_reader_page_count(reader_, &count);
  directoryCount_ = static_cast<uint16_t>(count);
}

TiffSource::~TiffSource() {
  log_.beginCall();
  orvex_reader_destroy(reader_);
}

bool TiffSource::select(uint16_t dir, std::string& refusal) {
  log_.beginCall();
  currentDirectory_ = dir;
  if (orvex_reader_select_page(reader_, dir) != ORVEX_STATUS_OK) {
    refusal = LogTap::lastFailure();
    info_ = PageInfo();
    return false;
  }
  info_ = describeCurrent();
  return true;
}

std::optional<ChannelColor> TiffSource::colorOf(const orvex_channel& channel) {
  if (channel.has_color == 0) {
    return std::nullopt;
  }
  ChannelColor color;
  color.space = channel.color_space;
  std::copy(std::begin(channel.components), std::end(channel.components), color.components.begin());
  color.opacity = channel.opacity;
  if (channel.converted != 0) {
    color.srgb = {channel.srgb[0], channel.srgb[1], channel.srgb[2]};
  }
  return color;
}

PageInfo TiffSource::describeCurrent() {
  orvex_page_info page{};
  page.struct_size = sizeof(orvex_page_info);
  orvex_reader_page_info(reader_, &page);
  PageInfo info;
  info.width = page.width;
  info.height = page.height;
  info.scanlineCount = page.scanline_count;
  info.bitsPerSample = page.bits_per_sample;
  info.samplesPerPixel = page.samples_per_pixel;
  info.extraSamples = page.extra_samples;
  info.rowScanlines = page.scanlines_are_rows != 0;
  info.sampleFormat = page.sample_format;
  info.photometric = page.photometric;
  info.resolutionUnit = page.resolution_unit;
  info.xResolution = page.x_resolution;
  info.yResolution = page.y_resolution;
  info.rowsPerBlock = page.rows_per_block;
  info.iccProfile.assign(page.icc_profile, page.icc_profile + page.icc_profile_size);
  for (uint32_t i = 0; i < page.extra_samples; ++i) {
    orvex_channel channel{};
    channel.struct_size = sizeof(orvex_channel);
    orvex_reader_channel(reader_, i, &channel);
    info.channels.push_back(
        {channel.kind, std::string(channel.name, channel.name_size), colorOf(channel)});
  }
  return info;
}

void TiffSource::require(uint16_t dir) {
  if (dir >= directoryCount_) {
    throw ToolError(kExitUsage, "--dir " + std::to_string(dir) + ": " + path_ + " has " +
                                    std::to_string(directoryCount_) + " director" +
                                    (directoryCount_ == 1 ? "y" : "ies"));
  }
  std::string refusal;
  if (!select(dir, refusal)) {
    throw ToolError(kExitFileError, "cannot read directory " + std::to_string(dir) + " of " +
                                        path_ + ": " + refusal);
  }
}

Scanline TiffSource::scanline(uint32_t index) {
  log_.beginCall();
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  const orvex_status status = orvex_reader_read_scanline(reader_, index, &data, &size);
  return delivered(status, data, size, index);
}

Scanline TiffSource::scanline(uint16_t channel, uint32_t index) {
  log_.beginCall();
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  const orvex_status status =
      orvex_reader_read_channel_scanline(reader_, channel, index, &data, &size);
  return delivered(status, data, size, index);
}

void TiffSource::readScanlines(std::optional<uint16_t> channel, uint32_t first, uint32_t count,
                               uint8_t* buffer, size_t stride) {
  log_.beginCall();
  const uint64_t size = uint64_t{count - 1} * stride + stride;
  const orvex_status status =
      channel ? orvex_reader_read_channel_scanlines(reader_, *channel, first, count, buffer, stride,
                                                    size)
              : orvex_reader_read_scanlines(reader_, first, count, buffer, stride, size);
  if (status != ORVEX_STATUS_OK) {
    throw ToolError(kExitFileError, "cannot read scanlines " + std::to_string(first) + " to " +
                                        std::to_string(first + count - 1) + " of directory " +
                                        std::to_string(currentDirectory_) + " of " + path_ + ": " +
                                        LogTap::lastFailure());
  }
}

Scanline TiffSource::delivered(orvex_status status, const uint8_t* data, uint32_t size,
                               uint32_t index) const {
  if (status != ORVEX_STATUS_OK || data == nullptr) {
    throw ToolError(kExitFileError, "cannot read scanline " + std::to_string(index) +
                                        " of directory " + std::to_string(currentDirectory_) +
                                        " of " + path_ + ": " + LogTap::lastFailure());
  }
  return Scanline{data, size};
}

}  // namespace orvex_cli
