#include "reader/TiffHelper.h"

#include <cstdio>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

// TIFFGetFieldDefaulted already applies libtiff's own defaults, so most "absent" branches
// below are reached only through handles whose directory is still being written.

template <typename T>
bool readRequiredTag(TIFF* tif, ttag_t tag, T& into, const char* messageWhenAbsent) {
  if (TIFFGetFieldDefaulted(tif, tag, &into) != 0) {
    return true;
  }
  moduleLogger().log(kLogError, "%s", messageWhenAbsent);
  return false;
}

void logAssumedDefault(const TiffInfo& info, const char* warning) {
  moduleLogger().log(kLogWarning, warning, static_cast<unsigned>(info.extrasamples_));
}

void assumeDefault(TiffInfo& info, const char* warning) {
  info.assumedDefaults_.push_back(warning);
  logAssumedDefault(info, warning);
}

template <typename T>
void readOptionalTag(TIFF* tif, ttag_t tag, T& into, T defaultValue, TiffInfo& info,
                     const char* messageWhenAbsent) {
  if (TIFFGetFieldDefaulted(tif, tag, &into) == 0) {
    assumeDefault(info, messageWhenAbsent);
    into = defaultValue;
  }
}

void readExtraSamples(TIFF* tif, TiffInfo& info) {
  const uint16_t* kinds = nullptr;
  if (TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &info.extrasamples_, &kinds) == 0) {
    info.extrasamples_ = 0;
    assumeDefault(info, "TIFFTAG_EXTRASAMPLES is empty! assume 0");
    info.extrasamplesinfo_.clear();
    return;
  }
  if (kinds != nullptr) {
    info.extrasamplesinfo_.assign(kinds, kinds + info.extrasamples_);
    return;
  }
  for (uint16_t i = 0; i < info.extrasamples_; ++i) {
    assumeDefault(info,
                  "extrasamples cout is %u,but extrasamplesinfo is empty! assume "
                  "EXTRASAMPLE_UNSPECIFIED");
  }
  info.extrasamplesinfo_.assign(info.extrasamples_, EXTRASAMPLE_UNSPECIFIED);
}

bool readLayoutTags(TIFF* tif, TiffInfo& info) {
  info.isTiled_ = TIFFIsTiled(tif) != 0;
  if (!info.isTiled_) {
    return readRequiredTag(tif, TIFFTAG_ROWSPERSTRIP, info.rowsperstrip_,
                           "TIFFTAG_ROWSPERSTRIP is empty!");
  }
  return readRequiredTag(tif, TIFFTAG_TILEWIDTH, info.tilewidth_,
                         "tiff is tiled. but TIFFTAG_TILEWIDTH is empty!") &&
         readRequiredTag(tif, TIFFTAG_TILELENGTH, info.tilelength_,
                         "tiff is tiled. but TIFFTAG_TILELENGTH is empty!");
}

// Names of tag values in the directory dump. A value missing from its table is dumped as
// its number.
struct ValueName {
  uint16_t value;
  const char* name;
};

constexpr ValueName kExtraSampleNames[] = {
    {EXTRASAMPLE_UNSPECIFIED, "EXTRASAMPLE_UNSPECIFIED"},
    {EXTRASAMPLE_ASSOCALPHA, "EXTRASAMPLE_ASSOCALPHA"},
    {EXTRASAMPLE_UNASSALPHA, "EXTRASAMPLE_UNASSALPHA"},
};

constexpr ValueName kSampleFormatNames[] = {
    {SAMPLEFORMAT_UINT, "SAMPLEFORMAT_UINT(unsigned integer data)"},
    {SAMPLEFORMAT_INT, "SAMPLEFORMAT_INT(signed integer data)"},
    {SAMPLEFORMAT_IEEEFP, "SAMPLEFORMAT_IEEEFP(IEEE floating point data)"},
    {SAMPLEFORMAT_VOID, "SAMPLEFORMAT_VOID(untyped data)"},
    {SAMPLEFORMAT_COMPLEXINT, "SAMPLEFORMAT_COMPLEXINT(complex signed int)"},
    {SAMPLEFORMAT_COMPLEXIEEEFP, "SAMPLEFORMAT_COMPLEXIEEEFP(complex ieee floating)"},
};

constexpr ValueName kPhotometricNames[] = {
    {PHOTOMETRIC_MINISWHITE, "PHOTOMETRIC_MINISWHITE"},
    {PHOTOMETRIC_MINISBLACK, "PHOTOMETRIC_MINISBLACK"},
    {PHOTOMETRIC_RGB, "PHOTOMETRIC_RGB"},
    {PHOTOMETRIC_PALETTE, "PHOTOMETRIC_PALETTE"},
    {PHOTOMETRIC_MASK, "PHOTOMETRIC_MASK"},
    {PHOTOMETRIC_SEPARATED, "PHOTOMETRIC_SEPARATED(CMYK)"},
    {PHOTOMETRIC_YCBCR, "PHOTOMETRIC_YCBCR"},
    {PHOTOMETRIC_CIELAB, "PHOTOMETRIC_CIELAB"},
    {PHOTOMETRIC_ICCLAB, "PHOTOMETRIC_ICCLAB"},
    {PHOTOMETRIC_ITULAB, "PHOTOMETRIC_ITULAB"},
    {PHOTOMETRIC_CFA, "PHOTOMETRIC_CFA"},
    {PHOTOMETRIC_LOGL, "PHOTOMETRIC_LOGL"},
    {PHOTOMETRIC_LOGLUV, "PHOTOMETRIC_LOGLUV"},
};

constexpr ValueName kPlanarConfigNames[] = {
    {PLANARCONFIG_CONTIG, "PLANARCONFIG_CONTIG"},
    {PLANARCONFIG_SEPARATE, "PLANARCONFIG_SEPARATE"},
};

// The orientation line has no blank between the colon and a bare number, so the blank
// belongs to the names.
constexpr ValueName kOrientationNames[] = {
    {ORIENTATION_TOPLEFT, " ORIENTATION_TOPLEFT(row 0 top, col 0 lhs)"},
    {ORIENTATION_TOPRIGHT, " ORIENTATION_TOPRIGHT(row 0 top, col 0 rhs)"},
    {ORIENTATION_BOTRIGHT, " ORIENTATION_BOTRIGHT(row 0 bottom, col 0 rhs)"},
    {ORIENTATION_BOTLEFT, " ORIENTATION_BOTLEFT(row 0 bottom, col 0 lhs)"},
    {ORIENTATION_LEFTTOP, " ORIENTATION_LEFTTOP(row 0 lhs, col 0 top)"},
    {ORIENTATION_RIGHTTOP, " ORIENTATION_RIGHTTOP(row 0 rhs, col 0 top)"},
    {ORIENTATION_RIGHTBOT, " ORIENTATION_RIGHTBOT(row 0 rhs, col 0 bottom)"},
    {ORIENTATION_LEFTBOT, " ORIENTATION_LEFTBOT(row 0 lhs, col 0 bottom)"},
};

constexpr ValueName kResolutionUnitNames[] = {
    {RESUNIT_NONE, "RESUNIT_NONE"},
    {RESUNIT_INCH, "RESUNIT_INCH"},
    {RESUNIT_CENTIMETER, "RESUNIT_CENTIMETER"},
};

/// Logs `label` followed by the name of `value` in `names`, or by the number itself.
template <size_t N>
void logNamedValue(severity_level level, const char* label, const ValueName (&names)[N],
                   uint16_t value) {
  for (const ValueName& entry : names) {
    if (entry.value == value) {
      moduleLogger().log(level, "%s%s", label, entry.name);
      return;
    }
  }
  moduleLogger().log(level, "%s%u", label, static_cast<unsigned>(value));
}

void logExtraSamples(const TiffInfo& info) {
  for (size_t i = 0; i < info.extrasamples_ && i < info.extrasamplesinfo_.size(); ++i) {
    char label[48];
    std::snprintf(label, sizeof label, "    [TIFFTAG_EXTRASAMPLES] %u - ",
                  static_cast<unsigned>(i));
    logNamedValue(kLogDetail, label, kExtraSampleNames, info.extrasamplesinfo_[i]);
  }
}

void logLayout(const TiffInfo& info) {
  if (info.isTiled_) {
    moduleLogger().log(kLogDetail, "[TIFFTAG_TILEWIDTH]:%u", info.tilewidth_);
    moduleLogger().log(kLogDetail, "[TIFFTAG_TILELENGTH]:%u", info.tilelength_);
  } else {
    moduleLogger().log(kLogDetail, "[TIFFTAG_ROWSPERSTRIP]:%u", info.rowsperstrip_);
  }
}

bool isRowOrientation(uint16_t orientation) {
  return orientation >= ORIENTATION_TOPLEFT && orientation <= ORIENTATION_BOTLEFT;
}

bool isColumnOrientation(uint16_t orientation) {
  return orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
}

// Width and height trade places when the stored rows end up as the picture's columns:
// column orientations turned by a half turn or not at all, row orientations by a quarter.
bool swapsAxes(uint16_t orientation, int32_t rotation) {
  int32_t degrees = rotation % 360;
  if (degrees < 0) {
    degrees += 360;
  }
  const bool quarterTurn = degrees == 90 || degrees == 270;
  const bool halfOrNoTurn = degrees == 0 || degrees == 180;
  return (isRowOrientation(orientation) && quarterTurn) ||
         (isColumnOrientation(orientation) && halfOrNoTurn);
}

float pixelsPerInchFactor(uint16_t resolutionUnit) {
  switch (resolutionUnit) {
    case RESUNIT_INCH:
      return 1.0f;
    case RESUNIT_CENTIMETER:
      return 2.54f;
    default:
      moduleLogger().log(kLogWarning, "[%s] invalid resUnit! assume RESUNIT_INCH",
                         "TiffHelper::calculate_DPI");
      return 1.0f;
  }
}

}  // namespace

bool TiffHelper::readTiffInfo(TIFF* tif, TiffInfo& info) {
  if (tif == nullptr) {
    return false;
  }
  if (!readRequiredTag(tif, TIFFTAG_IMAGEWIDTH, info.imagewidth_, "TIFFTAG_IMAGEWIDTH is empty!") ||
      !readRequiredTag(tif, TIFFTAG_IMAGELENGTH, info.imagelength_,
                       "TIFFTAG_IMAGELENGTH is empty!") ||
      !readRequiredTag(tif, TIFFTAG_BITSPERSAMPLE, info.bitspersample_,
                       "TIFFTAG_BITSPERSAMPLE is empty!") ||
      !readRequiredTag(tif, TIFFTAG_SAMPLESPERPIXEL, info.samplesperpixel_,
                       "TIFFTAG_SAMPLESPERPIXEL is empty!")) {
    return false;
  }
  readExtraSamples(tif, info);
  readOptionalTag<uint16_t>(
      tif, TIFFTAG_SAMPLEFORMAT, info.sampleformat_, SAMPLEFORMAT_UINT, info,
      "[TIFFTAG_SAMPLESPERPIXEL] no sampleformat tag : assume SAMPLEFORMAT_UINT");
  if (!readRequiredTag(tif, TIFFTAG_PHOTOMETRIC, info.photometric_,
                       "TIFFTAG_PHOTOMETRIC is empty!") ||
      !readRequiredTag(tif, TIFFTAG_COMPRESSION, info.compression_,
                       "TIFFTAG_COMPRESSION is empty!") ||
      !readRequiredTag(tif, TIFFTAG_PLANARCONFIG, info.planarconfig_,
                       "TIFFTAG_PLANARCONFIG is empty!")) {
    return false;
  }
  readOptionalTag<uint16_t>(
      tif, TIFFTAG_ORIENTATION, info.orientation_, ORIENTATION_TOPLEFT, info,
      "[TIFFTAG_ORIENTATION] no orientation tag : assume ORIENTATION_TOPLEFT");
  readOptionalTag(tif, TIFFTAG_XRESOLUTION, info.xresolution_, 72.0f, info,
                  "[TIFFTAG_XRESOLUTION] no xresolution tag : assume 72.0f");
  readOptionalTag(tif, TIFFTAG_YRESOLUTION, info.yresolution_, 72.0f, info,
                  "[TIFFTAG_YRESOLUTION] no yresolution tag : assume 72.0f");
  readOptionalTag<uint16_t>(tif, TIFFTAG_RESOLUTIONUNIT, info.resolutionunit_, RESUNIT_INCH, info,
                            "[TIFFTAG_RESOLUTIONUNIT] no resolutionunit tag : assume RESUNIT_INCH");
  readOptionalTag<uint16_t>(tif, TIFFTAG_FILLORDER, info.fillorder_, FILLORDER_LSB2MSB, info,
                            "[TIFFTAG_FILLORDER] no fillorder tag : assume FILLORDER_LSB2MSB");
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &info.inkset_);
  return readLayoutTags(tif, info);
}

bool TiffHelper::readTiffInfo(TIFF* tif, DirectoryChain& chain, uint16_t dirIndex, TiffInfo& info) {
  if (tif == nullptr) {
    return false;
  }
  if (!chain.select(tif, dirIndex)) {
    moduleLogger().log(kLogError, "[%s] TIFFSetDirectory failed [dirIndex:%u]",
                       "TiffHelper::readTiffInfo", static_cast<unsigned>(dirIndex));
    return false;
  }
  info.numberOfDirectories_ = chain.count();
  info.dirIndex_ = dirIndex;
  return readTiffInfo(tif, info);
}

void TiffHelper::logAssumedDefaults(const TiffInfo& info) {
  for (const char* warning : info.assumedDefaults_) {
    logAssumedDefault(info, warning);
  }
}

void TiffHelper::logTiffInfo(const std::string& fileName, const TiffInfo& info) {
  merrow_logger::Logger& log = moduleLogger();
  const char* name = fileName.c_str();
  const unsigned dirIndex = info.dirIndex_;
  const unsigned directories = info.numberOfDirectories_;
  log.log(kLogDump,
          " infos begin -------------------- (%s)[dirIndex: %u / %u] -------------------- begin",
          name, dirIndex, directories);
  log.log(kLogDetail, "TIFFIsTiled:%s", info.isTiled_ ? "true[is tile]" : "false[is strip]");
  log.log(kLogDump, "[TIFFTAG_IMAGEWIDTH]: --------------- %u", info.imagewidth_);
  log.log(kLogDump, "[TIFFTAG_IMAGELENGTH]: -------------- %u", info.imagelength_);
  log.log(kLogDump, "[TIFFTAG_BITSPERSAMPLE]: ------------ %u",
          static_cast<unsigned>(info.bitspersample_));
  log.log(kLogDump, "[TIFFTAG_SAMPLESPERPIXEL]: ---------- %u",
          static_cast<unsigned>(info.samplesperpixel_));
  log.log(kLogDump, "[TIFFTAG_EXTRASAMPLES]: ------------- %u",
          static_cast<unsigned>(info.extrasamples_));
  logExtraSamples(info);
  logNamedValue(kLogDump, "[TIFFTAG_SAMPLEFORMAT]:  --------------- ", kSampleFormatNames,
                info.sampleformat_);
  logNamedValue(kLogDump, "[TIFFTAG_PHOTOMETRIC]: --------------- ", kPhotometricNames,
                info.photometric_);
  log.log(kLogDetail, "[TIFFTAG_COMPRESSION]: --------------- %u",
          static_cast<unsigned>(info.compression_));
  logNamedValue(kLogDump, "[TIFFTAG_PLANARCONFIG]: --------------- ", kPlanarConfigNames,
                info.planarconfig_);
  logNamedValue(kLogDetail, "[TIFFTAG_ORIENTATION]:", kOrientationNames, info.orientation_);
  log.log(kLogDump, "[TIFFTAG_XRESOLUTION]: --------------- %f",
          static_cast<double>(info.xresolution_));
  log.log(kLogDump, "[TIFFTAG_YRESOLUTION]: --------------- %f",
          static_cast<double>(info.yresolution_));
  logNamedValue(kLogDump, "[TIFFTAG_RESOLUTIONUNIT]: --------------- ", kResolutionUnitNames,
                info.resolutionunit_);
  log.log(kLogDetail, "[TIFFTAG_FILLORDER]: --------------- %u",
          static_cast<unsigned>(info.fillorder_));
  logLayout(info);
  log.log(kLogDump,
          " infos end   -------------------- (%s)[dirIndex: %u / %u] --------------------   end",
          name, dirIndex, directories);
}

void TiffHelper::calculate_DPI(const DpiInput& input, DpiOutput& output) {
  const bool swap = swapsAxes(input.orientation_, input.rotation_);
  output.width_ = swap ? input.height_ : input.width_;
  output.height_ = swap ? input.width_ : input.height_;
  output.xResolution_ = swap ? input.yResolution_ : input.xResolution_;
  output.yResolution_ = swap ? input.xResolution_ : input.yResolution_;
  output.resolutionUnit_ = input.resolutionUnit_;
  const float factor = pixelsPerInchFactor(input.resolutionUnit_);
  const float xPixelsPerInch = output.xResolution_ * factor;
  const float yPixelsPerInch = output.yResolution_ * factor;
  output.physicalWidthMm_ = static_cast<float>(output.width_) / xPixelsPerInch * 25.4f;
  output.physicalHeightMm_ = static_cast<float>(output.height_) / yPixelsPerInch * 25.4f;
}

void TiffHelper::readTiffIccProfile(TIFF* tif, uint16_t dirIndex,
                                    std::vector<uint8_t>& iccProfile) {
  static const char* const kOperation = "TiffHelper::readTiffIccProfile";
  if (tif == nullptr) {
    return;
  }
  const unsigned index = dirIndex;
  uint32_t byteCount = 0;
  const uint8_t* bytes = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &byteCount, &bytes) == 0) {
    moduleLogger().log(kLogDetail, "[%s] tif has no TIFFTAG_ICCPROFILE tag [dirIndex:%u]",
                       kOperation, index);
    return;
  }
  if (bytes == nullptr) {
    moduleLogger().log(kLogError, "[%s] TIFFTAG_ICCPROFILE tag is invalid [dirIndex:%u]",
                       kOperation, index);
    return;
  }
  iccProfile.assign(bytes, bytes + byteCount);
}

bool TiffHelper::getPaletteInfo(TIFF* tif, ColorMap& colorMap) {
  uint16_t* tables[3] = {nullptr, nullptr, nullptr};
  if (tif == nullptr) {
    return false;
  }
  if (TIFFGetField(tif, TIFFTAG_COLORMAP, &tables[0], &tables[1], &tables[2]) == 0) {
    moduleLogger().log(kLogError, "[%s] No colormap(not a valid palette image)!",
                       "TiffHelper::getPaletteInfo");
    return false;
  }
  colorMap = ColorMap{tables[0], tables[1], tables[2]};
  return colorMap.red != nullptr && colorMap.green != nullptr && colorMap.blue != nullptr;
}

}  // namespace orvex
