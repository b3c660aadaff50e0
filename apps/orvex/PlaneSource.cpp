#include "PlaneSource.h"

#include <png.h>

#include <algorithm>

#include "Words.h"

namespace orvex_cli {
namespace {

struct PngColourType {
  int type;
  uint16_t channels;
  const char* text;
};

const PngColourType kPngColourTypes[] = {
    {PNG_COLOR_TYPE_GRAY, 1, "grey"},       {PNG_COLOR_TYPE_GRAY_ALPHA, 2, "grey with alpha"},
    {PNG_COLOR_TYPE_RGB, 3, "RGB"},         {PNG_COLOR_TYPE_RGB_ALPHA, 4, "RGB with alpha"},
    {PNG_COLOR_TYPE_PALETTE, 1, "palette"},
};

const PngColourType& pngColourType(int type) {
  for (const PngColourType& entry : kPngColourTypes) {
    if (entry.type == type) {
      return entry;
    }
  }
  return kPngColourTypes[0];  // libpng refuses any other type while reading the header
}

std::string size(const PageInfo& info) {
  return std::to_string(info.width) + " x " + std::to_string(info.height);
}

}  // namespace

PlaneSource::PlaneSource(LogTap& log, const std::string& path) : path_(path) {
  if (PngReader::isPng(path)) {
    png_ = std::make_unique<PngReader>(path);
    shape_.width = png_->width();
    shape_.height = png_->height();
    shape_.samplesPerPixel = pngColourType(png_->colourType()).channels;
    shape_.bitsPerSample = static_cast<uint16_t>(png_->bitDepth());
    shape_.sampleFormat = ORVEX_SAMPLE_FORMAT_UINT;
    shape_.photometric = ORVEX_PHOTOMETRIC_MIN_IS_BLACK;
    shape_.scanlineCount = shape_.height;
    return;
  }
  tiff_ = std::make_unique<TiffSource>(log, path);
  tiff_->require(0);
  shape_ = tiff_->info();
}

std::string PlaneSource::mismatch(const PageInfo& base, const std::string& reference) const {
  if (png_) {
    const std::string refusal = pngMismatch();
    if (!refusal.empty()) {
      return refusal;
    }
  }
  if (shape_.samplesPerPixel != 1) {
    return std::to_string(shape_.samplesPerPixel) + " channels, a plane must have one";
  }
  if (shape_.width != base.width || shape_.height != base.height) {
    return size(shape_) + " pixels, " + reference + " has " + size(base);
  }
  if (shape_.bitsPerSample != base.bitsPerSample) {
    return std::to_string(shape_.bitsPerSample) + " bits per sample, " + reference + " has " +
           std::to_string(base.bitsPerSample);
  }
  if (shape_.sampleFormat != base.sampleFormat) {
    return std::string(Words::text(ORVEX_VOCABULARY_SAMPLE_FORMAT, shape_.sampleFormat)) +
           " samples, " + reference + " has " +
           Words::text(ORVEX_VOCABULARY_SAMPLE_FORMAT, base.sampleFormat) + " samples";
  }
  return "";
}

std::string PlaneSource::pngMismatch() const {
  if (png_->colourType() != PNG_COLOR_TYPE_GRAY || png_->bitDepth() != 8) {
    return "a PNG of " + std::to_string(png_->bitDepth()) + "-bit " +
           pngColourType(png_->colourType()).text + ", a PNG plane must be 8-bit grey";
  }
  if (png_->interlaced()) {
    return "an interlaced PNG, which cannot be read row by row";
  }
  return "";
}

uint32_t PlaneSource::scanlineCount() const {
  return shape_.scanlineCount;
}

void PlaneSource::start(ProgressBar& progress, bool inverted) {
  progress_ = &progress;
  if (tiff_) {
    tiffRows_ = std::make_unique<PictureRows>(*tiff_, uint16_t{0}, progress);
  } else {
    pngRow_.resize(png_->rowBytes());
  }
  invertedRow_.assign(inverted ? rowBytes() : 0, 0);
}

size_t PlaneSource::rowBytes() const {
  return tiffRows_ ? tiffRows_->rowBytes() : pngRow_.size();
}

// The complement of an unsigned sample of any width is its bits flipped, so a row is inverted
// byte by byte, packed samples included.
const uint8_t* PlaneSource::row(uint32_t y) {
  const uint8_t* samples = stored(y);
  if (invertedRow_.empty()) {
    return samples;
  }
  std::transform(samples, samples + invertedRow_.size(), invertedRow_.begin(),
                 [](uint8_t byte) { return static_cast<uint8_t>(~byte); });
  return invertedRow_.data();
}

const uint8_t* PlaneSource::stored(uint32_t y) {
  if (tiffRows_) {
    return tiffRows_->row(y);
  }
  png_->readRow(pngRow_.data());
  progress_->advance();
  return pngRow_.data();
}

}  // namespace orvex_cli
