#include "reader/LineReaderChoice.h"

#include <array>

#include "boundary/ModuleLogger.h"
#include "reader/TiffInfo.h"

namespace orvex {
namespace {

constexpr const char* kOperation = "TiffReader::createSuitableTiffLineReader";

using Check = bool (*)(TIFF*, uint16_t, const TiffInfo&);

// Sub-byte samples are only unpacked per channel plane, so several of them interleaved in
// one byte cannot be delivered. The message names the palette case for every kind it guards.
bool contiguousSubByteSamplesAbsent(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.planarconfig_ == PLANARCONFIG_CONTIG && info.samplesperpixel_ != 1 &&
      info.bitspersample_ < 8) {
    moduleLogger().log(kLogError,
                       "[%s] not support PHOTOMETRIC_PALETTE(PLANARCONFIG_CONTIG  "
                       "samplesperpixel:%u bitspersample:%u) ",
                       kOperation, static_cast<unsigned>(info.samplesperpixel_),
                       static_cast<unsigned>(info.bitspersample_));
    return false;
  }
  return true;
}

bool rgbHasThreeColourSamples(TIFF*, uint16_t, const TiffInfo& info) {
  const int32_t colourSamples =
      static_cast<int32_t>(info.samplesperpixel_) - static_cast<int32_t>(info.extrasamples_);
  if (colourSamples < 3) {
    moduleLogger().log(
        kLogError, "[%s] PHOTOMETRIC_RGB: samplesperpixel(%u) - extrasamples(%u) < 3", kOperation,
        static_cast<unsigned>(info.samplesperpixel_), static_cast<unsigned>(info.extrasamples_));
    return false;
  }
  return true;
}

bool paletteHasOneSample(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.samplesperpixel_ > 1) {
    moduleLogger().log(kLogMilestone,
                       "[%s] not support PHOTOMETRIC_PALETTE[reason: samplesperpixel > 1]!",
                       kOperation);
    return false;
  }
  return true;
}

bool paletteIndexFitsSixteenBits(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.bitspersample_ > 16) {
    moduleLogger().log(kLogMilestone,
                       "[%s] not support PHOTOMETRIC_PALETTE[reason: info.bitspersample_ > 16]!",
                       kOperation);
    return false;
  }
  return true;
}

bool paletteIndexIsUnsigned(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.sampleformat_ != SAMPLEFORMAT_UINT) {
    moduleLogger().log(
        kLogMilestone,
        "[%s] not support PHOTOMETRIC_PALETTE[reason: sampleformat is not SAMPLEFORMAT_UINT]!",
        kOperation);
    return false;
  }
  return true;
}

// The ink set is not part of the record, so it is read from the directory being selected,
// and the handle is put back where it was.
uint16_t inkSetOf(TIFF* tif, uint16_t dirIndex) {
  const tdir_t previous = TIFFCurrentDirectory(tif);
  const bool moved = previous != dirIndex && TIFFSetDirectory(tif, dirIndex) == 1;
  uint16_t inkSet = 0xFFFF;
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkSet);
  if (moved) {
    TIFFSetDirectory(tif, previous);
  }
  return inkSet;
}

bool separatedInkSetIsCmyk(TIFF* tif, uint16_t dirIndex, const TiffInfo&) {
  const uint16_t inkSet = inkSetOf(tif, dirIndex);
  moduleLogger().log(kLogDetail, "[TIFFTAG_INKSET]:%u", static_cast<unsigned>(inkSet));
  if (inkSet != INKSET_CMYK) {
    moduleLogger().log(kLogError, "[%s] PHOTOMETRIC_SEPARATED: inkset is not INKSET_CMYK!",
                       kOperation);
    return false;
  }
  return true;
}

bool separatedHasFourSamples(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.samplesperpixel_ < 4) {
    moduleLogger().log(kLogError,
                       "[%s] PHOTOMETRIC_SEPARATED: samplesperpixel is %u , less than 4!",
                       kOperation, static_cast<unsigned>(info.samplesperpixel_));
    return false;
  }
  return true;
}

bool logLIsSgiLogCompressed(TIFF*, uint16_t, const TiffInfo& info) {
  if (info.compression_ != COMPRESSION_SGILOG) {
    moduleLogger().log(kLogError, "[%s] PHOTOMETRIC_LOGL: LogL data must be COMPRESSION_SGILOG!",
                       kOperation);
    return false;
  }
  return true;
}

struct PhotometricRule {
  uint16_t photometric;
  LineReaderKind reader;
  std::array<Check, 4> checks;  // applied in order; unused slots are null
};

const std::array<PhotometricRule, 13> kRules = {{
    {PHOTOMETRIC_MINISWHITE, LineReaderKind::Common, {contiguousSubByteSamplesAbsent}},
    {PHOTOMETRIC_MINISBLACK, LineReaderKind::Common, {contiguousSubByteSamplesAbsent}},
    {PHOTOMETRIC_RGB, LineReaderKind::Common, {rgbHasThreeColourSamples}},
    {PHOTOMETRIC_PALETTE,
     LineReaderKind::Common,
     {contiguousSubByteSamplesAbsent, paletteHasOneSample, paletteIndexFitsSixteenBits,
      paletteIndexIsUnsigned}},
    {PHOTOMETRIC_MASK, LineReaderKind::Common, {}},
    {PHOTOMETRIC_SEPARATED,
     LineReaderKind::Common,
     {separatedInkSetIsCmyk, separatedHasFourSamples}},
    {PHOTOMETRIC_YCBCR, LineReaderKind::Special, {}},
    {PHOTOMETRIC_CIELAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_ICCLAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_ITULAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_CFA, LineReaderKind::Common, {}},
    {PHOTOMETRIC_LOGL, LineReaderKind::Common, {logLIsSgiLogCompressed}},
    {PHOTOMETRIC_LOGLUV, LineReaderKind::Common, {}},
}};

}  // namespace

LineReaderKind LineReaderChoice::choose(TIFF* tif, uint16_t dirIndex, const TiffInfo& info) {
  for (const PhotometricRule& rule : kRules) {
    if (rule.photometric != info.photometric_) {
      continue;
    }
    for (Check check : rule.checks) {
      if (check != nullptr && !check(tif, dirIndex, info)) {
        return LineReaderKind::Refused;
      }
    }
    return rule.reader;
  }
  // Every other value, the undefined 7 among them, has no reader.
  moduleLogger().log(kLogMilestone, "[%s] not support photometric:%u!", kOperation,
                     static_cast<unsigned>(info.photometric_));
  return LineReaderKind::Refused;
}

}  // namespace orvex
