// The reader a host obtains from createTiffReader.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

/// Reads a TIFF file one scanline at a time. Obtain it from createTiffReader and release it
/// with destroyTiffReader; never delete it directly. Drive one object from one thread at a
/// time. Calling order: begin, then per directory beginReadSubDir, getImageInfo,
/// isRowScanline, readScanline (any rows, any order), endReadSubDir; finally end.
class ITiffReader {
public:
  virtual ~ITiffReader() = default;

  /// Opens the file named by a UTF-8 path. True when it opened and has at least one
  /// directory. Closes a file opened before.
  virtual bool begin(const char* fileName) = 0;

  /// Directory count of the open file (at most 65535); 0 when no file is open.
  virtual uint16_t getNumberOfDirectories() = 0;

  /// Prepares directory `dirIndex` (zero-based) for reading; ends the current one first.
  /// False when it cannot be selected or its kind of image is not supported.
  virtual bool beginReadSubDir(uint16_t dirIndex) = 0;

  /// The current directory as delivered; the unset record when no directory is ready.
  virtual TiffImageInfo getImageInfo() = 0;

  /// True when each delivered scanline is a row of the output image, false when it is a
  /// column (orientations 5 to 8: the host transposes).
  virtual bool isRowScanline() = 0;

  /// Delivers scanline `row` of one channel. `data` receives a pointer to a buffer the reader
  /// owns, valid until the next readScanline, endReadSubDir, beginReadSubDir or end; `size`
  /// its length in bytes. Either may be null.
  virtual bool readScanline(uint16_t channel, uint32_t row, uint8_t** data, uint32_t* size) = 0;

  /// Delivers scanline `row` with the samples of each pixel interleaved; as above.
  virtual bool readScanline(uint32_t row, uint8_t** data, uint32_t* size) = 0;

  /// Ends the current directory and frees its buffers.
  virtual void endReadSubDir() = 0;

  /// Closes the file. Legal in every state.
  virtual void end() = 0;
};
