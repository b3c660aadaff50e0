#include "boundary/c/WriteRequest.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "boundary/ModuleLogger.h"
#include "boundary/TextCodec.h"
#include "lines/SampleDepth.h"

namespace orvex {
namespace {

constexpr const char* kCheck = "WriteRequest::check";

template <class... Arguments>
orvex_status refuse(orvex_status status, const char* format, Arguments... arguments) {
  moduleLogger().log(kLogError, format, kCheck, arguments...);
  return status;
}

// The fewest colour samples of each photometric the writer writes and the reader reads back
// (the reader takes more, as it does from other programs' files); LogL and LogLuv are absent
// since the reader takes them only SGILOG-compressed, and the writer compresses with LZW.
int colourSamplesOf(int32_t photometric) {
  static const int kColourSamples[] = {1, 1, 3, 1, 4, 3, 3, 3, 1};
  const bool listed = photometric >= 0 && photometric <= ORVEX_PHOTOMETRIC_CFA;
  return listed ? kColourSamples[photometric] : 0;
}

bool readableDepth(uint16_t bits) {
  return SampleDepth::isPacked(bits) || (bits % 8 == 0 && bits >= 8 && bits <= 64);
}

// libtiff refuses negative and NaN resolutions; 0 is what files without one read back as.
bool goodResolution(float resolution) {
  return std::isfinite(resolution) && resolution >= 0.0F;
}

}  // namespace

WriteRequest::WriteRequest(const char* path, const orvex_page_info* info,
                           const orvex_channel* channels, uint32_t channelCount, int32_t planar)
    : path_(path), info_(info), channels_(channels), channelCount_(channelCount), planar_(planar) {}

orvex_status WriteRequest::check() const {
  for (auto part :
       {&WriteRequest::checkPointers, &WriteRequest::checkSizes, &WriteRequest::checkEnumerations,
        &WriteRequest::checkLayout, &WriteRequest::checkChannels, &WriteRequest::checkColors}) {
    const orvex_status status = (this->*part)();
    if (status != ORVEX_STATUS_OK) {
      return status;
    }
  }
  return ORVEX_STATUS_OK;
}

orvex_status WriteRequest::checkPointers() const {
  if (path_ == nullptr || path_[0] == '\0') {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] path is empty!");
  }
  if (!TextCodec::isWellFormed(path_)) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] path is not well-formed UTF-8!");
  }
  // The fields after the ICC profile are read only: a host's struct may end before them.
  constexpr size_t kWrittenFields = offsetof(orvex_page_info, scanline_size);
  if (info_ == nullptr || info_->struct_size < kWrittenFields) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] page info missing or struct_size(%u) < %u!",
                  info_ == nullptr ? 0U : static_cast<unsigned>(info_->struct_size),
                  static_cast<unsigned>(kWrittenFields));
  }
  return ORVEX_STATUS_OK;
}

orvex_status WriteRequest::checkSizes() const {
  const orvex_page_info& info = *info_;
  if (info.width == 0 || info.height == 0 || info.samples_per_pixel == 0) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT,
                  "[%s] width(%u) x height(%u) x samples(%u) is empty!",
                  static_cast<unsigned>(info.width), static_cast<unsigned>(info.height),
                  static_cast<unsigned>(info.samples_per_pixel));
  }
  if (info.extra_samples >= info.samples_per_pixel) {
    return refuse(
        ORVEX_STATUS_INVALID_ARGUMENT, "[%s] extra_samples(%u) leaves no colour sample of %u!",
        static_cast<unsigned>(info.extra_samples), static_cast<unsigned>(info.samples_per_pixel));
  }
  const uint64_t rowBits = uint64_t{info.width} * info.samples_per_pixel * info.bits_per_sample;
  if ((rowBits + 7) / 8 > UINT32_MAX) {
    return refuse(ORVEX_STATUS_OUT_OF_RANGE, "[%s] a row of %llu bits passes 4 GiB!",
                  static_cast<unsigned long long>(rowBits));
  }
  if (!goodResolution(info.x_resolution) || !goodResolution(info.y_resolution)) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT,
                  "[%s] resolution %g x %g is not finite and at least 0!",
                  static_cast<double>(info.x_resolution), static_cast<double>(info.y_resolution));
  }
  if (info.icc_profile_size > 0 && info.icc_profile == nullptr) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] icc_profile is null, icc_profile_size(%u)!",
                  static_cast<unsigned>(info.icc_profile_size));
  }
  return ORVEX_STATUS_OK;
}

orvex_status WriteRequest::checkEnumerations() const {
  const orvex_page_info& info = *info_;
  if ((info.sample_format < ORVEX_SAMPLE_FORMAT_UINT &&
       info.sample_format != ORVEX_SAMPLE_FORMAT_UNKNOWN) ||
      info.sample_format > ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] sample_format(%d) is not a sample format!",
                  static_cast<int>(info.sample_format));
  }
  if (info.resolution_unit < ORVEX_RESOLUTION_UNIT_UNKNOWN ||
      info.resolution_unit > ORVEX_RESOLUTION_UNIT_CENTIMETER) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] resolution_unit(%d) is not a unit!",
                  static_cast<int>(info.resolution_unit));
  }
  if (planar_ != ORVEX_PLANAR_CONTIG && planar_ != ORVEX_PLANAR_SEPARATE) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] planar(%d) is not a layout!",
                  static_cast<int>(planar_));
  }
  return ORVEX_STATUS_OK;
}

orvex_status WriteRequest::checkLayout() const {
  const orvex_page_info& info = *info_;
  const int colourSamples = colourSamplesOf(info.photometric);
  if (colourSamples == 0) {
    return refuse(ORVEX_STATUS_REFUSED, "[%s] photometric(%d) is not written!",
                  static_cast<int>(info.photometric));
  }
  if (info.samples_per_pixel - info.extra_samples < colourSamples) {
    return refuse(
        ORVEX_STATUS_REFUSED,
        "[%s] photometric(%d) needs %d colour samples, more than samples(%u) - extra(%u)!",
        static_cast<int>(info.photometric), colourSamples,
        static_cast<unsigned>(info.samples_per_pixel), static_cast<unsigned>(info.extra_samples));
  }
  if (!readableDepth(info.bits_per_sample)) {
    return refuse(ORVEX_STATUS_REFUSED, "[%s] bits_per_sample(%u) is not 1, 2, 4 or 8 to 64 by 8!",
                  static_cast<unsigned>(info.bits_per_sample));
  }
  if (SampleDepth::isSubByte(info.bits_per_sample) && info.samples_per_pixel > 1 &&
      planar_ == ORVEX_PLANAR_CONTIG) {
    return refuse(
        ORVEX_STATUS_REFUSED, "[%s] %u samples of %u bits are read only as separate planes!",
        static_cast<unsigned>(info.samples_per_pixel), static_cast<unsigned>(info.bits_per_sample));
  }
  return ORVEX_STATUS_OK;
}

orvex_status WriteRequest::checkChannels() const {
  if (channelCount_ != info_->extra_samples || (channelCount_ > 0 && channels_ == nullptr)) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] %u channel records for extra_samples(%u)!",
                  static_cast<unsigned>(channels_ == nullptr ? 0 : channelCount_),
                  static_cast<unsigned>(info_->extra_samples));
  }
  // Records of hosts built before channels had colours end where the colour begins.
  constexpr size_t kFirstRecordSize = offsetof(orvex_channel, has_color);
  if (channelCount_ > 0 && channels_->struct_size < kFirstRecordSize) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] channel struct_size(%u) < %u!",
                  static_cast<unsigned>(channels_->struct_size),
                  static_cast<unsigned>(kFirstRecordSize));
  }
  for (uint32_t index = 0; index < channelCount_; ++index) {
    const orvex_status status = checkChannel(index);
    if (status != ORVEX_STATUS_OK) {
      return status;
    }
  }
  return ORVEX_STATUS_OK;
}

const orvex_channel& WriteRequest::channelAt(uint32_t index) const {
  const auto* records = reinterpret_cast<const uint8_t*>(channels_);
  return *reinterpret_cast<const orvex_channel*>(records + size_t{index} * channels_->struct_size);
}

orvex_status WriteRequest::checkChannel(uint32_t index) const {
  const orvex_channel& channel = channelAt(index);
  if (channel.struct_size != channels_->struct_size) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT,
                  "[%s] channel %u: struct_size(%u) differs from the first record's!",
                  static_cast<unsigned>(index), static_cast<unsigned>(channel.struct_size));
  }
  if (channel.kind < ORVEX_CHANNEL_UNSPECIFIED || channel.kind > ORVEX_CHANNEL_SPOT) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] channel %u: kind(%d) is not a kind!",
                  static_cast<unsigned>(index), static_cast<int>(channel.kind));
  }
  if (channel.name == nullptr && channel.name_size > 0) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] channel %u: name is null, name_size(%u)!",
                  static_cast<unsigned>(index), static_cast<unsigned>(channel.name_size));
  }
  if (channel.name_size > 0 &&
      !TextCodec::isWellFormed(std::string(channel.name, channel.name_size),
                               TextCodec::Surrogates::Kept)) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT, "[%s] channel %u: name is not well-formed UTF-8!",
                  static_cast<unsigned>(index));
  }
  return ORVEX_STATUS_OK;
}

TiffImageInfo WriteRequest::imageInfo() const {
  const orvex_page_info& info = *info_;
  TiffImageInfo image;
  image.width = info.width;
  image.height = info.height;
  image.bitsPerSample = info.bits_per_sample;
  image.samplesPerPixel = info.samples_per_pixel;
  image.extraSamples = info.extra_samples;
  image.sampleFormat = static_cast<TiffSampleFormat>(info.sample_format);
  image.photometric = static_cast<TiffPhotometric>(info.photometric);
  image.xResolution = info.x_resolution;
  image.yResolution = info.y_resolution;
  image.resolutionUnit = static_cast<TiffResolutionUnit>(info.resolution_unit);
  image.iccProfile.assign(info.icc_profile, info.icc_profile + info.icc_profile_size);
  for (uint32_t index = 0; index < channelCount_; ++index) {
    const orvex_channel& channel = channelAt(index);
    image.channels.push_back(
        {static_cast<TiffChannelType>(channel.kind),
         std::string(channel.name == nullptr ? "" : channel.name, channel.name_size)});
  }
  return image;
}

const orvex_channel* WriteRequest::coloredAt(uint32_t index) const {
  const orvex_channel& channel = channelAt(index);
  const bool holdsColor = channel.struct_size >= offsetof(orvex_channel, srgb);
  return holdsColor && channel.has_color != 0 ? &channel : nullptr;
}

orvex_status WriteRequest::checkColors() const {
  for (uint32_t index = 0; index < channelCount_; ++index) {
    const orvex_status status = checkColor(index);
    if (status != ORVEX_STATUS_OK) {
      return status;
    }
  }
  return ORVEX_STATUS_OK;
}

// Colours are stored as given, as files keep them (the writer's own spot colour is a Lab
// beyond white, and other programs use colour spaces of their own), so that every colour read
// writes back; only a colour space the file's 16 bits cannot hold is refused.
orvex_status WriteRequest::checkColor(uint32_t index) const {
  const orvex_channel* channel = coloredAt(index);
  if (channel != nullptr && (channel->color_space < 0 || channel->color_space > 0xFFFF)) {
    return refuse(ORVEX_STATUS_INVALID_ARGUMENT,
                  "[%s] channel %u: color_space(%d) is not a colour space (0 to 65535)!",
                  static_cast<unsigned>(index), static_cast<int>(channel->color_space));
  }
  return ORVEX_STATUS_OK;
}

ChannelColors WriteRequest::channelColors() const {
  ChannelColors colors(channelCount_);
  for (uint32_t index = 0; index < channelCount_; ++index) {
    if (const orvex_channel* channel = coloredAt(index)) {
      ChannelColor color;
      color.color.colorSpace = static_cast<uint16_t>(channel->color_space);
      std::copy(channel->components, channel->components + 4, color.color.components.begin());
      color.opacity = channel->opacity;
      colors[index] = color;
    }
  }
  return colors;
}

}  // namespace orvex
