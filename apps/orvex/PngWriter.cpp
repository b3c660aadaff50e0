#include "PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "Interruption.h"
#include "PngMessage.h"
#include "ReplacingFile.h"
#include "ToolError.h"

namespace orvex_cli {

// Owns everything libpng and the C library hand out, so that a failure anywhere, the
// constructor included, releases it and removes the unfinished file; libpng's structures go
// before the file.
struct PngWriter::State {
  explicit State(const std::string& target) : path(target), file(target) {}
  ~State();

  std::string path;
  ReplacingFile file;
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngMessage message;
  uint32_t width = 0;
  uint32_t height = 0;
  int colourType = 0;
  PngCompression compression = PngCompression::Fast;
};

PngWriter::State::~State() {
  if (png != nullptr) {
    png_destroy_write_struct(&png, &info);
  }
}

namespace {

const int kColourTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                            PNG_COLOR_TYPE_RGB_ALPHA};

// Each libpng call runs inside its own setjmp frame that holds no object with a destructor,
// so the long jump back out of libpng skips nothing that needs cleaning up.
bool writeHeader(PngWriter::State* state) {
  if (setjmp(png_jmpbuf(state->png)) != 0) {
    return false;
  }
  png_init_io(state->png, state->file.stream());
  const bool fast = state->compression == PngCompression::Fast;
  png_set_compression_level(state->png, fast ? 1 : 6);
  png_set_filter(state->png, PNG_FILTER_TYPE_BASE, fast ? PNG_FILTER_SUB : PNG_ALL_FILTERS);
  png_set_IHDR(state->png, state->info, state->width, state->height, 8, state->colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(state->png, state->info);
  return true;
}

bool writeOneRow(PngWriter::State* state, const uint8_t* row) {
  if (setjmp(png_jmpbuf(state->png)) != 0) {
    return false;
  }
  png_write_row(state->png, row);
  return true;
}

bool writeEnd(PngWriter::State* state) {
  if (setjmp(png_jmpbuf(state->png)) != 0) {
    return false;
  }
  png_write_end(state->png, nullptr);
  return true;
}

}  // namespace

PngWriter::PngWriter(const std::string& path, uint32_t width, uint32_t height, unsigned channels,
                     PngCompression compression)
    : state_(std::make_unique<State>(path)) {
  state_->compression = compression;
  state_->width = width;
  state_->height = height;
  state_->colourType = kColourTypes[channels - 1];
  state_->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state_->message,
                                        PngMessage::onError, PngMessage::onWarning);
  state_->info = state_->png != nullptr ? png_create_info_struct(state_->png) : nullptr;
  if (state_->info == nullptr) {
    std::snprintf(state_->message.text, sizeof(state_->message.text), "libpng could not start");
    fail();
  }
  if (!writeHeader(state_.get())) {
    fail();
  }
}

PngWriter::~PngWriter() = default;

void PngWriter::writeRow(const uint8_t* row) {
  Interruption::check();
  if (!writeOneRow(state_.get(), row)) {
    fail();
  }
}

void PngWriter::finish() {
  Interruption::check();
  if (!writeEnd(state_.get())) {
    fail();
  }
  state_->file.commit();
}

// libpng reports a failed write as "Write Error"; the system's reason (a full disk, a file too
// large) says more, and is still in errno when the stream shows the error.
void PngWriter::fail() {
  const int error = errno;
  const bool writeFailed = std::ferror(state_->file.stream()) != 0 && error != 0;
  throw ToolError(kExitFileError, "cannot write " + state_->path + ": " +
                                      (writeFailed ? std::strerror(error) : state_->message.text));
}

}  // namespace orvex_cli
