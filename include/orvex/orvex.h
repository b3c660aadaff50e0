/// \file
/// The six functions the library exports. Including this header brings in the whole public
/// interface: ITiffReader, ITiffWriter, the records of TiffImageInfo.h and the channel-name
/// repair of ChannelNames.h.
///
/// The exports keep no state and never write to the log; they may be called from any
/// thread. Objects made by a factory are freed only by the matching destroyer, so that the
/// module that allocated them frees them.
#pragma once

#include <cstdint>

#include "orvex/ChannelNames.h"
#include "orvex/ITiffReader.h"
#include "orvex/ITiffWriter.h"

/// \mainpage Orvex
///
/// Orvex reads and writes TIFF images one scanline at a time, together with the names and
/// kinds of their extra channels (alpha and spot colours).
///
/// - Reading: createTiffReader() gives an ITiffReader; ITiffReader::begin() opens a file,
///   ITiffReader::beginReadSubDir() selects a directory, ITiffReader::getImageInfo()
///   describes it as a TiffImageInfo, and ITiffReader::readScanline() delivers its
///   scanlines.
/// - Writing: createTiffWriter() gives an ITiffWriter; ITiffWriter::begin() creates a file
///   from a TiffImageInfo and ITiffWriter::writeScanline() takes its rows.
/// - Diagnostics: every failure is explained in the log of the logging module, which a host
///   observes with merrow_logger_set_observer().
///
/// The guide "Getting started in C++" (docs/start/cpp.rst) shows both loops in full, and
/// `examples/` holds two hosts that the tests build and run.

#if defined(_WIN32)
#if defined(ORVEX_BUILDING)
#define ORVEX_API __declspec(dllexport)
#else
#define ORVEX_API __declspec(dllimport)
#endif
#else
/// Marks the six exported functions: visible outside the shared library, and imported from
/// the DLL by hosts on Windows.
#define ORVEX_API __attribute__((visibility("default")))
#endif

extern "C" {

/// Creates a reader with no file open.
/// \return A new reader, never null; hand it back to destroyTiffReader(). An allocation
///   failure leaves as std::bad_alloc.
ORVEX_API ITiffReader* createTiffReader();

/// Frees a reader made by createTiffReader(). A file still open is closed without a log
/// record; call ITiffReader::end() first to have the closing logged.
/// \param reader The reader; null is ignored. Invalid afterwards, as is every scanline it
///   handed out.
ORVEX_API void destroyTiffReader(ITiffReader* reader);

/// Creates a writer with no file open.
/// \return A new writer, never null; hand it back to destroyTiffWriter(). An allocation
///   failure leaves as std::bad_alloc.
ORVEX_API ITiffWriter* createTiffWriter();

/// Frees a writer made by createTiffWriter(). A file still open is closed (its directory
/// written) without a log record; call ITiffWriter::end() first to have the closing logged.
/// \param writer The writer; null is ignored. Invalid afterwards.
ORVEX_API void destroyTiffWriter(ITiffWriter* writer);

/// Reports the library's version as numbers: 1, 3 and 4 for version 1.3.4.
/// \param major Receives the major version; skipped when null.
/// \param minor Receives the minor version; skipped when null.
/// \param patch Receives the patch number; skipped when null.
ORVEX_API void orvexVersionNum(uint32_t* major, uint32_t* minor, uint32_t* patch);

/// Reports the library's version as text, "1.3.4".
/// \param version Receives the address of the text, the same on every call and valid while
///   the library is loaded; skipped when null.
ORVEX_API void orvexVersionString(const char** version);
}
