#include "PngMessage.h"

#include <cstdio>

namespace orvex_cli {

void PngMessage::onError(png_structp png, png_const_charp message) {
  auto* kept = static_cast<PngMessage*>(png_get_error_ptr(png));
  std::snprintf(kept->text, sizeof(kept->text), "%s", message);
  png_longjmp(png, 1);
}

// Warnings (an unknown chunk, a bad checksum in an ancillary chunk) do not stop a plane.
void PngMessage::onWarning(png_structp /*png*/, png_const_charp /*message*/) {}

}  // namespace orvex_cli
