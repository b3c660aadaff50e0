#include "TiffTarget.h"

#include <algorithm>
#include <iterator>

#include <filesystem>
#include <limits>
#include <vector>

#include "Interruption.h"
#include "ToolError.h"
#include "Words.h"

namespace orvex_cli {
namespace {

// The writer takes 32-bit byte counts; a longer row is still only one scanline's worth to
// libtiff, so the count is capped rather than truncated.
uint32_t byteCount(size_t bytes) {
  return bytes > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                      : static_cast<uint32_t>(bytes);
}

orvex_page_info pageOf(const PageInfo& info) {
  orvex_page_info page{};
  page.struct_size = sizeof(orvex_page_info);
  page.width = info.width;
  page.height = info.height;
  page.bits_per_sample = info.bitsPerSample;
  page.samples_per_pixel = info.samplesPerPixel;
  page.extra_samples = info.extraSamples;
  page.sample_format = info.sampleFormat;
  page.photometric = info.photometric;
  page.resolution_unit = info.resolutionUnit;
  page.x_resolution = info.xResolution;
  page.y_resolution = info.yResolution;
  page.icc_profile_size = static_cast<uint32_t>(info.iccProfile.size());
  page.icc_profile = info.iccProfile.data();
  return page;
}

// The records point into `info`, which outlives the writer's creation.
std::vector<orvex_channel> channelsOf(const PageInfo& info) {
  std::vector<orvex_channel> channels;
  for (const ChannelRecord& record : info.channels) {
    orvex_channel channel{};
    channel.struct_size = sizeof channel;
    channel.kind = record.kind;
    channel.name_size = static_cast<uint32_t>(record.name.size());
    channel.name = record.name.data();
    if (record.color) {
      channel.has_color = 1;
      channel.color_space = record.color->space;
      std::copy(record.color->components.begin(), record.color->components.end(),
                std::begin(channel.components));
      channel.opacity = record.color->opacity;
    }
    channels.push_back(channel);
  }
  return channels;
}

int32_t planarOf(bool separatePlanes) {
  return separatePlanes ? ORVEX_PLANAR_SEPARATE : ORVEX_PLANAR_CONTIG;
}

}  // namespace

TiffTarget::TiffTarget(LogTap& log, const std::string& path, const PageInfo& info,
                       bool separatePlanes)
    : log_(log), path_(path) {
  log_.beginCall();
  const orvex_page_info page = pageOf(info);
  const std::vector<orvex_channel> channels = channelsOf(info);
  check(orvex_writer_create(path.c_str(), &page, channels.data(),
                            static_cast<uint32_t>(channels.size()), planarOf(separatePlanes),
                            &writer_),
        "cannot write " + path);
}

TiffTarget::~TiffTarget() {
  log_.beginCall();
  orvex_writer_destroy(writer_);
}

void TiffTarget::write(uint32_t row, const uint8_t* data, size_t bytes) {
  Interruption::check();
  log_.beginCall();
  check(orvex_writer_write_scanline(writer_, row, data, byteCount(bytes)),
        "cannot write row " + std::to_string(row) + " of " + path_);
}

void TiffTarget::write(uint16_t channel, uint32_t row, const uint8_t* data, size_t bytes) {
  Interruption::check();
  log_.beginCall();
  check(orvex_writer_write_channel_scanline(writer_, channel, row, data, byteCount(bytes)),
        "cannot write row " + std::to_string(row) + " of " + path_);
}

void TiffTarget::finish() {
  Interruption::check();
  log_.beginCall();
  check(orvex_writer_close(writer_), "cannot write " + path_);
}

std::string TiffTarget::summary(const PageInfo& info, bool separatePlanes) {
  return std::to_string(info.width) + " x " + std::to_string(info.height) + ", " +
         std::to_string(info.samplesPerPixel) + " x " + std::to_string(info.bitsPerSample) +
         " bits, " + Words::text(ORVEX_VOCABULARY_PLANAR, planarOf(separatePlanes));
}

void TiffTarget::refuseInput(const std::string& output, const std::string& input) {
  std::error_code error;
  if (std::filesystem::equivalent(std::filesystem::u8path(input), std::filesystem::u8path(output),
                                  error)) {
    throw ToolError(kExitUsage, output + " is the input file");
  }
}

void TiffTarget::check(orvex_status status, const std::string& what) const {
  if (status != ORVEX_STATUS_OK) {
    throw ToolError(kExitFileError, what + ": " + LogTap::lastFailure());
  }
}

}  // namespace orvex_cli
