#include "PictureRows.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "Interruption.h"
#include "PackedBits.h"
#include "ToolError.h"

namespace orvex_cli {

PictureRows::PictureRows(TiffSource& source, std::optional<uint16_t> channel, ProgressBar& progress)
    : source_(source),
      channel_(channel),
      progress_(progress),
      width_(source.info().width),
      height_(source.info().height),
      samplesPerPixel_(channel ? 1U : source.info().samplesPerPixel),
      pixelBits_(samplesPerPixel_ * source.info().bitsPerSample),
      rowBytes_(PackedBits::bytesFor(uint64_t{width_} * pixelBits_)) {}

const uint8_t* PictureRows::row(uint32_t y) {
  if (!source_.rowScanlines()) {
    if (!transposer_) {
      transposeColumns();
    }
    return transposer_->row(y);
  }
  const Scanline scanline = read(y);
  if (scanline.size >= rowBytes_) {
    return scanline.data;
  }
  // Depths that are not whole bytes can come out a byte short of the packed row; the
  // missing bits are read as zero rather than past the reader's buffer.
  padded_.assign(rowBytes_, 0);
  std::memcpy(padded_.data(), scanline.data, scanline.size);
  return padded_.data();
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
