#include "TiffTarget.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

#include "ToolError.h"

namespace orvex_cli {
namespace {

constexpr int32_t kPlanarContig = 1;
constexpr int32_t kPlanarSeparate = 2;

// The writer takes 32-bit byte counts; a longer row is still only one scanline's worth to
// libtiff, so the count is capped rather than truncated.
uint32_t byteCount(size_t bytes) {
  return bytes > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                      : static_cast<uint32_t>(bytes);
}

}  // namespace

TiffTarget::TiffTarget(LogTap& log, const std::string& path, const TiffImageInfo& info,
                       bool separatePlanes)
    : log_(log), path_(path), writer_(createTiffWriter(), destroyTiffWriter) {
  const size_t call = log_.beginCall();
  bool begun = false;
  try {
    begun = writer_->begin(path.c_str(), info, separatePlanes ? kPlanarSeparate : kPlanarContig);
  } catch (const std::range_error&) {
    // The writer's UTF-8 conversion refuses the name (or a channel name) this way.
    writer_.reset();
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::u8path(path), ignored);
    throw ToolError(kExitFileError,
                    "cannot write " + path + ": a file or channel name is not valid UTF-8");
  }
  if (!begun) {
    throw ToolError(kExitFileError, "cannot write " + path + ": " + log_.explain(call).cause);
  }
}

TiffTarget::~TiffTarget() {
  if (!finished_) {
    log_.beginCall();
    writer_->end();
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::u8path(path_), ignored);
  }
}

void TiffTarget::write(uint32_t row, const uint8_t* data, size_t bytes) {
  const size_t call = log_.beginCall();
  check(writer_->writeScanline(row, data, byteCount(bytes)), row, call);
}

void TiffTarget::write(uint16_t channel, uint32_t row, const uint8_t* data, size_t bytes) {
  const size_t call = log_.beginCall();
  check(writer_->writeScanline(channel, row, data, byteCount(bytes)), row, call);
}

void TiffTarget::finish() {
  log_.beginCall();
  writer_->end();
  finished_ = true;
}

std::string TiffTarget::summary(const TiffImageInfo& info, bool separatePlanes) {
  return std::to_string(info.width) + " x " + std::to_string(info.height) + ", " +
         std::to_string(info.samplesPerPixel) + " x " + std::to_string(info.bitsPerSample) +
         " bits, " + (separatePlanes ? "separate planes" : "interleaved");
}

void TiffTarget::refuseInput(const std::string& output, const std::string& input) {
  std::error_code error;
  if (std::filesystem::equivalent(std::filesystem::u8path(input), std::filesystem::u8path(output),
                                  error)) {
    throw ToolError(kExitUsage, output + " is the input file");
  }
}

void TiffTarget::check(bool written, uint32_t row, size_t call) const {
  if (!written) {
    throw ToolError(kExitFileError, "cannot write row " + std::to_string(row) + " of " + path_ +
                                        ": " + log_.explain(call).cause);
  }
}

}  // namespace orvex_cli
