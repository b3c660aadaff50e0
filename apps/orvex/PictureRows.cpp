#include "PictureRows.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "Interruption.h"
#include "PackedBits.h"
#include "ToolError.h"

namespace orvex_cli {
namespace {

// The most a band of rows holds, so that a file stored in one huge strip is still read in
// constant memory.
constexpr size_t kBandBytes = size_t{16} << 20;

}  // namespace

PictureRows::PictureRows(TiffSource& source, std::optional<uint16_t> channel, ProgressBar& progress)
    : source_(source),
      channel_(channel),
      progress_(progress),
      width_(source.info().width),
      height_(source.info().height),
      samplesPerPixel_(channel ? 1U : source.info().samplesPerPixel),
      pixelBits_(samplesPerPixel_ * source.info().bitsPerSample),
      rowBytes_(PackedBits::bytesFor(uint64_t{width_} * pixelBits_)),
      bandRows_(
          std::max<uint32_t>(1, std::min<uint64_t>(source.info().rowsPerBlock,
                                                   kBandBytes / std::max<size_t>(rowBytes_, 1)))),
      bandStride_(rowBytes_) {}

const uint8_t* PictureRows::row(uint32_t y) {
  if (!source_.rowScanlines()) {
    if (!transposer_) {
      transposeColumns();
    }
    return transposer_->row(y);
  }
  Interruption::check();
  if (y < bandFirst_ || y - bandFirst_ >= bandCount_) {
    readBand(y);
  }
  progress_.advance();
  return band_.data() + size_t{y - bandFirst_} * bandStride_;
}

// Depths that are not whole bytes can come out a byte short of the packed row: the band is
// cleared first, so the missing bits read as zero.
void PictureRows::readBand(uint32_t y) {
  bandFirst_ = y - y % bandRows_;
  bandCount_ = std::min(bandRows_, height_ - bandFirst_);
  band_.assign(size_t{bandCount_} * bandStride_, 0);
  source_.readScanlines(channel_, bandFirst_, bandCount_, band_.data(), bandStride_);
}

uint64_t PictureRows::rawBytes(const PageInfo& info) {
  return uint64_t{info.width} * info.height * info.samplesPerPixel * info.bitsPerSample / 8;
}

Scanline PictureRows::read(uint32_t index) {
  Interruption::check();
  const Scanline scanline = channel_ ? source_.scanline(*channel_, index) : source_.scanline(index);
  progress_.advance();
  return scanline;
}

void PictureRows::transposeColumns() {
  try {
    transposer_ = std::make_unique<ColumnTransposer>(width_, height_, pixelBits_);
  } catch (const std::bad_alloc&) {
    throw ToolError(kExitFileError, "not enough memory to transpose the " + std::to_string(width_) +
                                        " x " + std::to_string(height_) + " picture of " +
                                        source_.path());
  }
  const uint32_t columns = std::min(width_, source_.info().scanlineCount);
  for (uint32_t x = 0; x < columns; ++x) {
    const Scanline column = read(x);
    transposer_->putColumn(x, column.data, column.size);
  }
}

}  // namespace orvex_cli
