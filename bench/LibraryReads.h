// Reading every scanline of a file's first directory through the library's exports, as a
// host does: the rows stay in the library's buffer and go straight to the sink.
#pragma once

#include "RowSink.h"

namespace orvex_bench {

/// Every scanline with the samples of each pixel interleaved. Throws std::runtime_error.
void readRowsThroughLibrary(const char* path, RowSink& sink);
/// Every scanline one channel at a time: channel 0 of row 0, channel 1 of row 0, ...
void readChannelsThroughLibrary(const char* path, RowSink& sink);

}  // namespace orvex_bench
