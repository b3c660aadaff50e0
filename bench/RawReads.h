// The libtiff baselines: the same rows as the library delivers, obtained with raw libtiff the
// fastest sensible way (a whole strip, or a row of tiles, decoded into one buffer and each
// row copied out), plus a plain loop wherever the library transforms the row.
#pragma once

#include "RowSink.h"

namespace orvex_bench {

/// Contiguous strips, top row first.
void readStripRowsWithLibtiff(const char* path, RowSink& sink);
/// Contiguous strips, last stored row first: how a reader hands out orientation 6.
void readStripRowsLastFirstWithLibtiff(const char* path, RowSink& sink);
/// Contiguous tiles: each row of tiles decoded into one buffer, rows assembled from it.
void readTileRowsWithLibtiff(const char* path, RowSink& sink);
/// 16-bit separate planes interleaved into pixels.
void readPlanesInterleavedWithLibtiff(const char* path, RowSink& sink);
/// 1-bit rows mirrored left to right (orientation 2).
void readMirroredBitRowsWithLibtiff(const char* path, RowSink& sink);
/// 8-bit palette indexes looked up into 16-bit RGB.
void readPaletteRowsWithLibtiff(const char* path, RowSink& sink);
/// 8-bit contiguous pixels, one channel at a time.
void readChannelsWithLibtiff(const char* path, RowSink& sink);
/// Any photometric through TIFFReadRGBAStrip: 8-bit RGBA, top row first.
void readRgbaStripRowsWithLibtiff(const char* path, RowSink& sink);

}  // namespace orvex_bench
