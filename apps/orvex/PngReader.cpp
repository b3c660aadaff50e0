#include "PngReader.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "PngMessage.h"
#include "ToolError.h"
#include "Utf8Io.h"

namespace orvex_cli {

struct PngReader::State {
  ~State() {
    if (png != nullptr) {
      png_destroy_read_struct(&png, &info, nullptr);
    }
    if (file != nullptr) {
      std::fclose(file);
    }
  }

  std::string path;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::FILE* file = nullptr;
  PngMessage message;
};

namespace {

constexpr size_t kSignatureBytes = 8;

// As in PngWriter: each libpng call in a setjmp frame of its own that holds no object with a
// destructor.
bool readHeader(PngReader::State* state) {
  if (setjmp(png_jmpbuf(state->png)) != 0) {
    return false;
  }
  png_init_io(state->png, state->file);
  png_read_info(state->png, state->info);
  return true;
}

bool readOneRow(PngReader::State* state, uint8_t* row) {
  if (setjmp(png_jmpbuf(state->png)) != 0) {
    return false;
  }
  png_read_row(state->png, row, nullptr);
  return true;
}

}  // namespace

PngReader::PngReader(const std::string& path) : state_(std::make_unique<State>()) {
  state_->path = path;
  state_->file = Utf8Io::openFile(path, "rb");
  if (state_->file == nullptr) {
    throw ToolError(kExitFileError, "cannot read " + path + ": " + std::strerror(errno));
  }
  state_->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state_->message, PngMessage::onError,
                                       PngMessage::onWarning);
  state_->info = state_->png != nullptr ? png_create_info_struct(state_->png) : nullptr;
  if (state_->info == nullptr) {
    std::snprintf(state_->message.text, sizeof(state_->message.text), "libpng could not start");
    fail();
  }
  if (!readHeader(state_.get())) {
    fail();
  }
}

PngReader::~PngReader() = default;

bool PngReader::isPng(const std::string& path) {
  std::FILE* file = Utf8Io::openFile(path, "rb");
  if (file == nullptr) {
    return false;
  }
  png_byte signature[kSignatureBytes] = {};
  const size_t read = std::fread(signature, 1, kSignatureBytes, file);
  std::fclose(file);
  return read == kSignatureBytes && png_sig_cmp(signature, 0, kSignatureBytes) == 0;
}

uint32_t PngReader::width() const {
  return png_get_image_width(state_->png, state_->info);
}

uint32_t PngReader::height() const {
  return png_get_image_height(state_->png, state_->info);
}

unsigned PngReader::bitDepth() const {
  return png_get_bit_depth(state_->png, state_->info);
}

int PngReader::colourType() const {
  return png_get_color_type(state_->png, state_->info);
}

bool PngReader::interlaced() const {
  return png_get_interlace_type(state_->png, state_->info) != PNG_INTERLACE_NONE;
}

size_t PngReader::rowBytes() const {
  return png_get_rowbytes(state_->png, state_->info);
}

void PngReader::readRow(uint8_t* row) {
  if (!readOneRow(state_.get(), row)) {
    fail();
  }
}

void PngReader::fail() {
  throw ToolError(kExitFileError, "cannot read " + state_->path + ": " + state_->message.text);
}

}  // namespace orvex_cli
