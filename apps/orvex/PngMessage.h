// libpng reports an error by calling a handler that must not return. The handler here keeps
// the message and jumps back to the setjmp of the libpng call in progress; the caller then
// throws it as a ToolError from C++ frames.
#pragma once

#include <png.h>

namespace orvex_cli {

struct PngMessage {
  char text[256] = {};

  /// Handlers for png_create_*_struct, whose error pointer is a PngMessage.
  static void onError(png_structp png, png_const_charp message);
  static void onWarning(png_structp png, png_const_charp message);
};

}  // namespace orvex_cli
