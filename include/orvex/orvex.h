// The six functions the library exports.
#pragma once

#include <cstdint>

#include "orvex/ITiffReader.h"
#include "orvex/ITiffWriter.h"

#if defined(_WIN32)
#if defined(ORVEX_BUILDING)
#define ORVEX_API __declspec(dllexport)
#else
#define ORVEX_API __declspec(dllimport)
#endif
#else
#define ORVEX_API __attribute__((visibility("default")))
#endif

extern "C" {
/// A new reader with no file open. Never null.
ORVEX_API ITiffReader* createTiffReader();
/// Deletes a reader made by createTiffReader; null is ignored. Call end() first.
ORVEX_API void destroyTiffReader(ITiffReader* reader);
/// A new writer with no file open. Never null.
ORVEX_API ITiffWriter* createTiffWriter();
/// Deletes a writer made by createTiffWriter (closing its file); null is ignored.
ORVEX_API void destroyTiffWriter(ITiffWriter* writer);
/// Stores the version numbers (1, 3, 4); each null pointer is skipped.
ORVEX_API void orvexVersionNum(uint32_t* major, uint32_t* minor, uint32_t* patch);
/// Stores the address of the version text "1.3.4", valid while the library is loaded.
ORVEX_API void orvexVersionString(const char** version);
}
