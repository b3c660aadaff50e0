#include "CmykProof.h"

#include "LogTap.h"
#include "ToolError.h"

namespace orvex_cli {
namespace {

constexpr unsigned kInks = 4;

}  // namespace

CmykProof::CmykProof(const PageInfo& info)
    : width_(info.width),
      samplesPerPixel_(info.samplesPerPixel),
      converter_(info.bitsPerSample, info.sampleFormat),
      direct_(info.sampleFormat == ORVEX_SAMPLE_FORMAT_UINT &&
              (info.bitsPerSample == 8 || info.bitsPerSample == 16)),
      toSrgb_(nullptr, orvex_cmyk_to_srgb_destroy) {
  for (size_t i = 0; i < info.channels.size(); ++i) {
    if (info.channels[i].kind == ORVEX_CHANNEL_SPOT) {
      spots_.emplace_back(info.channels[i], static_cast<unsigned>(kInks + i));
    }
  }
  if (!direct_) {
    scaled_.resize(size_t{width_} * kInks);
  }
  int32_t builtIn = 0;
  orvex_cmyk_to_srgb* toSrgb = nullptr;
  const orvex_status status = orvex_cmyk_to_srgb_create(
      info.iccProfile.data(), static_cast<uint32_t>(info.iccProfile.size()),
      direct_ ? info.bitsPerSample : 8, direct_ ? info.samplesPerPixel : kInks, &builtIn, &toSrgb);
  toSrgb_.reset(toSrgb);
  if (status != ORVEX_STATUS_OK) {
    throw ToolError(status == ORVEX_STATUS_REFUSED ? kExitUsage : kExitFileError,
                    "cannot show CMYK in colour: " + LogTap::lastFailure() +
                        "; --channel C shows one plate in grey");
  }
  describe(info, builtIn != 0);
}

void CmykProof::render(const uint8_t* row, uint8_t* rgb) {
  orvex_cmyk_to_srgb_convert(toSrgb_.get(), cmykOf(row), width_, rgb);
  for (const SpotInk& spot : spots_) {
    spot.lay(converter_, row, samplesPerPixel_, width_, rgb);
  }
}

const uint8_t* CmykProof::cmykOf(const uint8_t* row) {
  if (direct_) {
    return row;
  }
  for (uint32_t x = 0; x < width_; ++x) {
    for (unsigned k = 0; k < kInks; ++k) {
      scaled_[size_t{x} * kInks + k] = converter_.toByte(row, size_t{x} * samplesPerPixel_ + k);
    }
  }
  return scaled_.data();
}

void CmykProof::describe(const PageInfo& info, bool builtIn) {
  description_ = "CMYK in sRGB through ";
  if (!builtIn) {
    description_ += "its ICC profile";
  } else {
    description_ += info.iccProfile.empty()
                        ? "the built-in CMYK profile"
                        : "the built-in CMYK profile (its own does not convert CMYK)";
  }
  if (!spots_.empty()) {
    description_ += ", " + std::to_string(spots_.size()) + " spot colour" +
                    (spots_.size() == 1 ? "" : "s") + " laid over";
  }
}

}  // namespace orvex_cli
