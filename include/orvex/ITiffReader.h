/// \file
/// The reader a host obtains from createTiffReader.
#pragma once

#include <cstdint>

#include "orvex/TiffImageInfo.h"

/// Reads a TIFF file one scanline at a time, directory by directory.
///
/// Obtain it from createTiffReader() and hand it back to destroyTiffReader(); never delete it
/// directly, since it must be freed by the module that allocated it. One object is driven by
/// one thread at a time; separate objects may be used on separate threads.
///
/// Calling order: begin(); then for each directory of interest beginReadSubDir(),
/// getImageInfo() and isRowScanline(), readScanline() for any rows in any order, and
/// endReadSubDir(); finally end(). A call out of order does not touch the file: it returns
/// false, or the unset TiffImageInfo, without a log record (beginReadSubDir() with no file
/// open logs one at level 4).
///
/// Failures are reported by a `false` result and explained only in the library's log (see
/// merrow_logger_set_observer()): at least one record says what failed, at level 4, or at
/// level 2 for a directory whose kind of image is not supported.
class ITiffReader {
public:
  /// Frees the object; called only through destroyTiffReader().
  virtual ~ITiffReader() = default;

  /// Opens a TIFF file for reading. A file already open is closed first, as by end().
  /// \param fileName Path of the file in UTF-8.
  /// \return True when the file opened and has at least one directory. False, with a level-4
  ///   record, when the name is null, empty or not valid UTF-8, when the file cannot be
  ///   opened as TIFF, or when it has no directory (the file then stays open until end() or
  ///   the next begin()). Never throws.
  virtual bool begin(const char* fileName) = 0;

  /// \return The number of directories of the open file; 0 when no file is open. A file with
  ///   more than 65535 directories is read through its first 65535.
  virtual uint16_t getNumberOfDirectories() = 0;

  /// Makes a directory the current one and prepares it for reading. The current directory is
  /// ended first, as by endReadSubDir(), which ends the validity of every scanline handed
  /// out so far.
  /// \param dirIndex Zero-based index, below getNumberOfDirectories().
  /// \return True when the directory can be read. False when no file is open, the index does
  ///   not exist, a required tag is missing or invalid, or the kind of image is not
  ///   supported; the log says which. After false, getImageInfo() returns the unset record
  ///   and readScanline() returns false until a directory is begun successfully.
  virtual bool beginReadSubDir(uint16_t dirIndex) = 0;

  /// Describes the current directory as the scanlines are delivered: orientation applied,
  /// palette images as RGB, YCbCr images as RGB with an associated alpha.
  /// \return A fresh record that the host owns. Channel names and spot-colour marks come from
  ///   the file's Photoshop image resources; without usable resources each extra sample gets
  ///   a record with its kind from the ExtraSamples tag and an empty name. The list can be
  ///   shorter than `extraSamples` (see TiffImageInfo::channels). The unset record
  ///   (zeros, empty vectors, `Unknown` enumerations) when no directory is ready.
  virtual TiffImageInfo getImageInfo() = 0;

  /// \return True when each delivered scanline is a row of the upright picture, top row
  ///   first (stored orientations 1 to 4). False when it is a column, left column first and
  ///   each from top to bottom (orientations 5 to 8): the host transposes. Also false when no
  ///   directory is ready.
  virtual bool isRowScanline() = 0;

  /// Delivers one scanline of one channel.
  /// \param channel Zero-based sample index among the delivered samples, below
  ///   TiffImageInfo::samplesPerPixel (colour samples first, then the extra channels).
  /// \param row Scanline index, below TiffImageInfo::scanlineCount.
  /// \param data Receives a pointer to the scanline; may be null. The bytes belong to the
  ///   reader: the host reads them and never frees them. They stay valid until the next
  ///   readScanline() of either form, endReadSubDir(), beginReadSubDir(), begin(), end() or
  ///   destroyTiffReader() on this reader.
  /// \param size Receives the scanline's length in bytes; may be null. A scanline holds n
  ///   pixels: TiffImageInfo::width when isRowScanline() is true, TiffImageInfo::height when
  ///   it is false. Samples of 1, 2 or 4 bits are packed, most significant bit first, in
  ///   ceil(n * bits / 8) bytes; wider samples take n * bits / 8 bytes, in the machine's
  ///   byte order (bits being TiffImageInfo::bitsPerSample).
  /// \return True when the scanline was delivered. False when no directory is ready
  ///   (without a log record), or, with level-4 records, when the row is out of range, its
  ///   strip or tile cannot be decoded, or its samples cannot be converted.
  /// \throws std::out_of_range with the text "out range!" when `channel` is not below the
  ///   number of delivered samples, or when a file stored with interleaved samples of a
  ///   depth other than 1, 2, 4 or a multiple of 8 would have to be split into channels.
  virtual bool readScanline(uint16_t channel, uint32_t row, uint8_t** data, uint32_t* size) = 0;

  /// Delivers one scanline with the samples of each pixel interleaved, in sample order; a
  /// file stored as separate planes is interleaved by the reader.
  /// \param row Scanline index, below TiffImageInfo::scanlineCount.
  /// \param data Receives a pointer to the scanline; may be null. Owned by the reader and
  ///   valid as for the per-channel form.
  /// \param size Receives the scanline's length in bytes; may be null. For n pixels of s
  ///   samples: ceil(n * s * bits / 8) bytes for samples of 1, 2 or 4 bits (packed), n * s *
  ///   bits / 8 bytes for wider samples.
  /// \return True when the scanline was delivered; false as for the per-channel form.
  /// \throws std::out_of_range with the text "out range!" when a file stored as separate
  ///   planes of a depth other than 1, 2, 4 or a multiple of 8 would have to be interleaved.
  virtual bool readScanline(uint32_t row, uint8_t** data, uint32_t* size) = 0;

  /// Ends the current directory and frees its buffers; scanlines handed out are no longer
  /// valid. Does nothing when no directory is current.
  virtual void endReadSubDir() = 0;

  /// Ends the current directory and closes the file. Legal in every state; does nothing when
  /// no file is open.
  virtual void end() = 0;
};
