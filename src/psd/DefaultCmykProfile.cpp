#include "psd/DefaultCmykProfile.h"

namespace orvex {
namespace {

// The overprints of cyan, magenta, yellow and black in the order of a CMYK lookup table with
// two grid points per ink (black varying fastest): rounded colours of coated offset inks on
// paper taken as perfect white, so that no ink shows as white on screen. Little CMS
// interpolates between them.
const cmsCIELab kOverprints[16] = {
    {100, 0, 0},    {16, 0, 0},    // paper; K
    {89, -5, 93},   {15, 0, 8},    // Y; YK
    {48, 74, -3},   {12, 8, 0},    // M; MK
    {47, 68, 48},   {10, 7, 5},    // MY; MYK
    {55, -37, -50}, {12, -4, -8},  // C; CK
    {50, -65, 27},  {10, -7, 3},   // CY; CYK
    {24, 22, -46},  {9, 2, -6},    // CM; CMK
    {23, 0, 0},     {8, 0, 0},     // CMY; CMYK
};

constexpr cmsUInt32Number kGridPoints = 2;
constexpr cmsUInt32Number kInks = 4;
constexpr cmsUInt32Number kLabChannels = 3;

// CMYK to the Lab connection space through the table, as the profile's device-to-PCS tag.
bool writeLookup(cmsHPROFILE profile) {
  cmsUInt16Number table[16 * kLabChannels];
  for (int i = 0; i < 16; ++i) {
    cmsFloat2LabEncoded(&table[i * kLabChannels], &kOverprints[i]);
  }
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, kInks, kLabChannels);
  cmsStage* lookup = cmsStageAllocCLut16bit(nullptr, kGridPoints, kInks, kLabChannels, table);
  if (pipeline == nullptr || lookup == nullptr ||
      !cmsPipelineInsertStage(pipeline, cmsAT_BEGIN, lookup)) {
    if (lookup != nullptr) {
      cmsStageFree(lookup);  // never inserted
    }
    cmsPipelineFree(pipeline);
    return false;
  }
  const bool written = cmsWriteTag(profile, cmsSigAToB0Tag, pipeline) != 0;
  cmsPipelineFree(pipeline);  // with the stage
  return written;
}

}  // namespace

cmsHPROFILE DefaultCmykProfile::create() {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  if (profile == nullptr) {
    return nullptr;
  }
  cmsSetProfileVersion(profile, 4.3);
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  if (!cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ()) || !writeLookup(profile)) {
    cmsCloseProfile(profile);
    return nullptr;
  }
  return profile;
}

// A profile of another colour space, or bytes that are no profile, cannot show CMYK samples:
// the built-in profile shows them rather than nothing.
cmsHPROFILE DefaultCmykProfile::openOrCreate(const uint8_t* iccProfile, size_t size,
                                             bool& builtIn) {
  cmsHPROFILE given = iccProfile == nullptr || size == 0
                          ? nullptr
                          : cmsOpenProfileFromMem(iccProfile, static_cast<cmsUInt32Number>(size));
  if (given != nullptr && cmsGetColorSpace(given) == cmsSigCmykData) {
    builtIn = false;
    return given;
  }
  if (given != nullptr) {
    cmsCloseProfile(given);
  }
  builtIn = true;
  return create();
}

}  // namespace orvex
