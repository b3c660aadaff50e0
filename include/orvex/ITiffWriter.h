/// \file
/// The writer a host obtains from createTiffWriter.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

/// Writes one TIFF image, row by row, LZW-compressed in strips of 10 rows.
///
/// Obtain it from createTiffWriter() and hand it back to destroyTiffWriter(); never delete it
/// directly. One object is driven by one thread at a time; separate objects may be used on
/// separate threads.
///
/// Calling order: begin(); then every row with the writeScanline() form that matches the
/// layout chosen in begin(); finally end(). Rows go in increasing order, and with separate
/// planes one whole channel after another: libtiff compresses each strip as it fills and
/// cannot go back into it, so a row written out of that order fails. The writer does not
/// count rows: a row never written is missing from the file.
///
/// Failures are reported by a `false` result and explained by a level-4 record in the
/// library's log (see merrow_logger_set_observer()), except a row handed to the form that
/// does not match the layout, which is refused silently.
class ITiffWriter {
public:
  /// Frees the object; called only through destroyTiffWriter(), which closes a file still
  /// open.
  virtual ~ITiffWriter() = default;

  /// Creates the file and writes its tags. A file already open is closed first.
  ///
  /// The file is a classic TIFF, or a BigTIFF when the raw image (width x height x samples x
  /// bits) exceeds 8192 MiB, oriented top-left. Its tags come from `info` as given, without
  /// validation: size, bits and samples per pixel, sample format, photometric
  /// interpretation, resolutions and unit, and the ICC profile when not empty.
  /// `scanlineCount` is ignored. With `extraSamples` above 0 the first `extraSamples`
  /// entries of `channels` are stored: their alpha kinds in the ExtraSamples tag, and their
  /// names and spot-colour marks in a Photoshop image-resource block (tag 34377); a missing
  /// entry is stored unnamed and `Unspecified`, with a level-3 record.
  /// \param fileName Path of the file in UTF-8; an existing file is replaced.
  /// \param info Description of the image.
  /// \param planarConfig 2 to store each channel as a plane of its own, written with the
  ///   per-channel writeScanline(); any other value to store the samples of each pixel
  ///   together, written with the interleaved writeScanline().
  /// \return True when the file is open and its tags are set. False, with a level-4 record,
  ///   when the name is null or empty or the file cannot be created.
  /// \throws std::range_error with the text "bad conversion" when `fileName` or the name of
  ///   a stored channel is not valid UTF-8. For a channel name the file is then open and is
  ///   closed by the next begin(), end() or destroyTiffWriter().
  virtual bool begin(const char* fileName, const TiffImageInfo& info, int32_t planarConfig) = 0;

  /// Writes one row of one channel of a file begun with separate planes.
  /// \param channelIndex Zero-based sample index, below TiffImageInfo::samplesPerPixel.
  /// \param row Row index, below TiffImageInfo::height.
  /// \param data The row's samples in the machine's byte order; samples of 1, 2 or 4 bits
  ///   packed, most significant bit first. Read during the call only, never changed.
  /// \param bytes Length of `data`: at least one channel row, ceil(width x bits / 8) bytes;
  ///   only that many are used.
  /// \return True when libtiff took the row. False when the file was not begun with
  ///   separate planes (without a log record), or, with a level-4 record, when the row or
  ///   channel is out of range, `bytes` is too small, or libtiff refuses the row.
  virtual bool writeScanline(uint16_t channelIndex, uint32_t row, const uint8_t* data,
                             uint32_t bytes) = 0;

  /// Writes one row, with the samples of each pixel together, of a file begun with
  /// interleaved samples.
  /// \param row Row index, below TiffImageInfo::height.
  /// \param data The row's samples, pixel after pixel, in sample order; as for the
  ///   per-channel form.
  /// \param bytes Length of `data`: at least ceil(width x samples x bits / 8) bytes; only
  ///   that many are used.
  /// \return True when libtiff took the row. False when the file was not begun with
  ///   interleaved samples (without a log record), or, with a level-4 record, when the row
  ///   is out of range, `bytes` is too small, or libtiff refuses the row.
  virtual bool writeScanline(uint32_t row, const uint8_t* data, uint32_t bytes) = 0;

  /// Writes the directory and closes the file; until then the file is incomplete. Does
  /// nothing when no file is open.
  virtual void end() = 0;
};
