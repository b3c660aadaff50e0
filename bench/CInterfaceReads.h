// Reading every scanline of a file's first page through the C interface (orvex_c.h), as a host
// in another language does, to weigh it against the same reads through the C++ exports.
#pragma once

#include "RowSink.h"

namespace orvex_bench {

/// Every scanline with the samples of each pixel interleaved. Throws std::runtime_error.
void readRowsThroughCInterface(const char* path, RowSink& sink);
/// Every scanline one channel at a time: channel 0 of row 0, channel 1 of row 0, ...
void readChannelsThroughCInterface(const char* path, RowSink& sink);

}  // namespace orvex_bench
