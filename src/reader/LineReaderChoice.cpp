#include "reader/LineReaderChoice.h"

#include <tiffio.h>

#include <algorithm>
#include <array>

#include "boundary/ModuleLogger.h"
#include "lines/SampleDepth.h"
#include "lines/TiffPaletteLineAdjuster.h"
#include "reader/TiffInfo.h"

namespace orvex {
namespace {

constexpr const char* kOperation = "TiffReader::createSuitableTiffLineReader";

using Check = bool (*)(const TiffInfo&);

// Sub-byte samples are only unpacked per channel plane, so several of them interleaved in
// one byte cannot be delivered. The message names the palette case for every kind it guards.
bool contiguousSubByteSamplesAbsent(const TiffInfo& info) {
  if (info.planarconfig_ == PLANARCONFIG_CONTIG && info.samplesperpixel_ != 1 &&
      SampleDepth::isSubByte(info.bitspersample_)) {
    moduleLogger().log(kLogError,
                       "[%s] not support PHOTOMETRIC_PALETTE(PLANARCONFIG_CONTIG  "
                       "samplesperpixel:%u bitspersample:%u) ",
                       kOperation, static_cast<unsigned>(info.samplesperpixel_),
                       static_cast<unsigned>(info.bitspersample_));
    return false;
  }
  return true;
}

bool rgbHasThreeColourSamples(const TiffInfo& info) {
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

bool paletteHasOneSample(const TiffInfo& info) {
  if (info.samplesperpixel_ > 1) {
    moduleLogger().log(kLogMilestone,
                       "[%s] not support PHOTOMETRIC_PALETTE[reason: samplesperpixel > 1]!",
                       kOperation);
    return false;
  }
  return true;
}

bool paletteIndexFitsSixteenBits(const TiffInfo& info) {
  if (info.bitspersample_ > 16) {
    moduleLogger().log(kLogMilestone,
                       "[%s] not support PHOTOMETRIC_PALETTE[reason: info.bitspersample_ > 16]!",
                       kOperation);
    return false;
  }
  return true;
}

bool paletteIndexHasLookUp(const TiffInfo& info) {
  if (!TiffPaletteLineAdjuster::expandsIndexBits(info.bitspersample_)) {
    moduleLogger().log(
        kLogMilestone,
        "[%s] not support PHOTOMETRIC_PALETTE[reason: bitspersample is not 1, 2, 4, 8 or 16]!",
        kOperation);
    return false;
  }
  return true;
}

bool paletteIndexIsUnsigned(const TiffInfo& info) {
  if (info.sampleformat_ != SAMPLEFORMAT_UINT) {
    moduleLogger().log(
        kLogMilestone,
        "[%s] not support PHOTOMETRIC_PALETTE[reason: sampleformat is not SAMPLEFORMAT_UINT]!",
        kOperation);
    return false;
  }
  return true;
}

// Separated images are only understood as CMYK; other ink sets have no channel meaning the
// host could be told about.
bool inkSetIsCmyk(const TiffInfo& info) {
  if (info.inkset_ != INKSET_CMYK) {
    moduleLogger().log(kLogError,
                       "photometric is PHOTOMETRIC_SEPARATED. but inkset is not INKSET_CMYK!");
    return false;
  }
  return true;
}

// Any ink set but CMYK has been refused before the dump; the dump shows the one the directory
// has.
bool logInkSet(const TiffInfo& info) {
  moduleLogger().log(kLogDetail, "[TIFFTAG_INKSET]:%u", static_cast<unsigned>(info.inkset_));
  return true;
}

bool separatedHasFourSamples(const TiffInfo& info) {
  if (info.samplesperpixel_ < 4) {
    moduleLogger().log(kLogError,
                       "[%s] PHOTOMETRIC_SEPARATED: samplesperpixel is %u , less than 4!",
                       kOperation, static_cast<unsigned>(info.samplesperpixel_));
    return false;
  }
  return true;
}

bool logLIsSgiLogCompressed(const TiffInfo& info) {
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
  std::array<Check, 5> checks;  // applied in order; unused slots are null
  Check describes = nullptr;    // applied before the dump, when not null
};

const std::array<PhotometricRule, 13> kRules = {{
    {PHOTOMETRIC_MINISWHITE, LineReaderKind::Common, {contiguousSubByteSamplesAbsent}},
    {PHOTOMETRIC_MINISBLACK, LineReaderKind::Common, {contiguousSubByteSamplesAbsent}},
    {PHOTOMETRIC_RGB, LineReaderKind::Common, {rgbHasThreeColourSamples}},
    {PHOTOMETRIC_PALETTE,
     LineReaderKind::Common,
     {contiguousSubByteSamplesAbsent, paletteHasOneSample, paletteIndexFitsSixteenBits,
      paletteIndexIsUnsigned, paletteIndexHasLookUp}},
    {PHOTOMETRIC_MASK, LineReaderKind::Common, {}},
    {PHOTOMETRIC_SEPARATED,
     LineReaderKind::Common,
     {logInkSet, separatedHasFourSamples},
     inkSetIsCmyk},
    {PHOTOMETRIC_YCBCR, LineReaderKind::Special, {}},
    {PHOTOMETRIC_CIELAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_ICCLAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_ITULAB, LineReaderKind::Common, {}},
    {PHOTOMETRIC_CFA, LineReaderKind::Common, {}},
    {PHOTOMETRIC_LOGL, LineReaderKind::Common, {logLIsSgiLogCompressed}},
    {PHOTOMETRIC_LOGLUV, LineReaderKind::Common, {}},
}};

const PhotometricRule* ruleOf(uint16_t photometric) {
  const auto found = std::find_if(kRules.begin(), kRules.end(), [photometric](const auto& rule) {
    return rule.photometric == photometric;
  });
  return found != kRules.end() ? &*found : nullptr;
}

}  // namespace

bool LineReaderChoice::describable(const TiffInfo& info) {
  const PhotometricRule* rule = ruleOf(info.photometric_);
  return rule == nullptr || rule->describes == nullptr || rule->describes(info);
}

LineReaderKind LineReaderChoice::choose(const TiffInfo& info) {
  if (const PhotometricRule* rule = ruleOf(info.photometric_)) {
    for (Check check : rule->checks) {
      if (check != nullptr && !check(info)) {
        return LineReaderKind::Refused;
      }
    }
    return rule->reader;
  }
  // Every other value, the undefined 7 among them, has no reader.
  moduleLogger().log(kLogMilestone, "[%s] not support photometric:%u!", kOperation,
                     static_cast<unsigned>(info.photometric_));
  return LineReaderKind::Refused;
}

}  // namespace orvex
