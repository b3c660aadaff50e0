#include "writer/TiffWriter.h"

#include <vector>

#include "boundary/ModuleLogger.h"
#include "boundary/PublicEnumerations.h"
#include "boundary/TiffFileOpener.h"
#include "psd/TiffPhotoshopTagWriter.h"

namespace orvex {
namespace {

const char* const kBegin = "TiffWriter::begin";
const char* const kWriteScanline = "TiffWriter::writeScanline";

constexpr uint32_t kRowsPerStrip = 10;

// The raw size is compared with twice classic TIFF's 4 GiB offset limit because LZW
// usually compresses images to well under half their raw size; only images expected to
// outgrow classic offsets pay for BigTIFF, which older readers cannot open.
constexpr uint64_t kLargestClassicMs = 8192;

uint64_t possibleMsOf(const TiffImageInfo& info) {
  const uint64_t bits =
      static_cast<uint64_t>(info.width) * info.height * info.samplesPerPixel * info.bitsPerSample;
  return bits >> 23;
}

}  // namespace

TiffWriter::~TiffWriter() {
  closeFile();
}

bool TiffWriter::begin(const char* fileName, const TiffImageInfo& info, int32_t planarConfig) {
  closeFile();
  if (fileName == nullptr || fileName[0] == '\0') {
    moduleLogger().log(kLogError, "[%s] fileName is empty!", kBegin);
    return false;
  }
  if (!openFile(fileName, info)) {
    return false;
  }
  fillFields(info, planarConfig);
  setImageTags();
  setIccProfile(info);
  setExtraSamples(info);
  scanlineBytes_ = TIFFScanlineSize(tif_);
  return true;
}

bool TiffWriter::writeScanline(uint16_t channelIndex, uint32_t row, const uint8_t* data,
                               uint32_t bytes) {
  if (!isOpenWith(PLANARCONFIG_SEPARATE) || !acceptsRow(row, bytes)) {
    return false;
  }
  if (channelIndex >= samplesperpixel_) {
    moduleLogger().log(kLogError, "[%s] channelIndex(%u) >= samplesperpixel(%u)!", kWriteScanline,
                       static_cast<unsigned>(channelIndex),
                       static_cast<unsigned>(samplesperpixel_));
    return false;
  }
  return writeRow(data, row, channelIndex);
}

bool TiffWriter::writeScanline(uint32_t row, const uint8_t* data, uint32_t bytes) {
  return isOpenWith(PLANARCONFIG_CONTIG) && acceptsRow(row, bytes) && writeRow(data, row, 0);
}

void TiffWriter::end() {
  if (tif_ != nullptr) {
    moduleLogger().log(kLogMilestone, "[%s] *************** end! (%s)!", "TiffWriter::end",
                       TIFFFileName(tif_));
    closeFile();
  }
  scanlineBytes_ = 0;
}

void TiffWriter::closeFile() {
  if (tif_ != nullptr) {
    TIFFClose(tif_);
    tif_ = nullptr;
  }
}

bool TiffWriter::openFile(const char* fileName, const TiffImageInfo& info) {
  const uint64_t possibleMs = possibleMsOf(info);
  const bool bigTiff = possibleMs > kLargestClassicMs;
  moduleLogger().log(
      kLogMilestone,
      bigTiff ? "[%s] possibleMs:%u M (BigTIFF)!" : "[%s] possibleMs:%u M (ClassicTIFF)!", kBegin,
      static_cast<unsigned>(possibleMs));
  tif_ = TiffFileOpener::open(fileName, bigTiff ? "wm8" : "wm");
  if (tif_ == nullptr) {
    moduleLogger().log(kLogError, "[%s] can't open %s as a TIFF file!", kBegin, fileName);
    return false;
  }
  moduleLogger().log(kLogMilestone, "[%s] *************** %s open success!", kBegin, fileName);
  return true;
}

void TiffWriter::fillFields(const TiffImageInfo& info, int32_t planarConfig) {
  imagewidth_ = info.width;
  imagelength_ = info.height;
  bitspersample_ = info.bitsPerSample;
  samplesperpixel_ = info.samplesPerPixel;
  sampleformat_ = PublicEnumerations::tiffSampleFormatOf(info.sampleFormat);
  photometric_ = PublicEnumerations::tiffPhotometricOf(info.photometric);
  compression_ = COMPRESSION_LZW;
  planarconfig_ =
      planarConfig == PLANARCONFIG_SEPARATE ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG;
  orientation_ = ORIENTATION_TOPLEFT;
  fillorder_ = FILLORDER_MSB2LSB;
  xresolution_ = info.xResolution;
  yresolution_ = info.yResolution;
  resolutionunit_ = PublicEnumerations::tiffResolutionUnitOf(info.resolutionUnit);
}

// libtiff reports refused values through its own error handler; the file is still written
// with whatever it accepted, so the results are not checked.
void TiffWriter::setImageTags() {
  TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, imagewidth_);
  TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, imagelength_);
  TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, bitspersample_);
  TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, samplesperpixel_);
  TIFFSetField(tif_, TIFFTAG_SAMPLEFORMAT, sampleformat_);
  TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, photometric_);
  TIFFSetField(tif_, TIFFTAG_COMPRESSION, compression_);
  TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, planarconfig_);
  TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, kRowsPerStrip);
  TIFFSetField(tif_, TIFFTAG_ORIENTATION, orientation_);
  TIFFSetField(tif_, TIFFTAG_FILLORDER, fillorder_);
  TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, resolutionunit_);
  TIFFSetField(tif_, TIFFTAG_XRESOLUTION, static_cast<double>(xresolution_));
  TIFFSetField(tif_, TIFFTAG_YRESOLUTION, static_cast<double>(yresolution_));
}

void TiffWriter::setIccProfile(const TiffImageInfo& info) {
  if (!info.iccProfile.empty()) {
    TIFFSetField(tif_, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(info.iccProfile.size()),
                 info.iccProfile.data());
  }
}

// Every extra sample gets an ExtraSamples value and a channel record, even when the host
// described fewer channels than it declared, so that the Photoshop names line up with the
// samples by index.
void TiffWriter::setExtraSamples(const TiffImageInfo& info) {
  if (info.extraSamples == 0) {
    return;
  }
  std::vector<uint16_t> values(info.extraSamples, EXTRASAMPLE_UNSPECIFIED);
  std::vector<TiffChannelInfo> channels;
  channels.reserve(info.extraSamples);
  for (size_t i = 0; i < values.size(); ++i) {
    if (i < info.channels.size()) {
      values[i] = PublicEnumerations::tiffExtraSampleOf(info.channels[i].type);
      channels.push_back(info.channels[i]);
    } else {
      moduleLogger().log(kLogWarning,
                         "[%s] extrasampleIndex:%u, assume EXTRASAMPLE_UNSPECIFIED,name is empty!",
                         kBegin, static_cast<unsigned>(i));
      channels.push_back(TiffChannelInfo());
    }
  }
  TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, info.extraSamples, values.data());
  if (!TiffPhotoshopTagWriter::write(tif_, channels, channelNames_, channelColors_)) {
    moduleLogger().log(kLogWarning, "[%s] tiffPhotoshopTagWriter.write failed [TIFFTAG_PHOTOSHOP]",
                       kBegin);
  }
}

bool TiffWriter::isOpenWith(uint16_t planarconfig) const {
  return tif_ != nullptr && planarconfig_ == planarconfig;
}

bool TiffWriter::acceptsRow(uint32_t row, uint32_t bytes) const {
  if (row >= imagelength_) {
    moduleLogger().log(kLogError, "[%s] row(%u) >= height(%u)!", kWriteScanline, row, imagelength_);
    return false;
  }
  if (static_cast<int64_t>(bytes) < scanlineBytes_) {
    moduleLogger().log(kLogError, "[%s] bytes(%u) < scanlineBytes(%u)!", kWriteScanline, bytes,
                       static_cast<unsigned>(scanlineBytes_));
    return false;
  }
  return true;
}

// libtiff's LZW encoder without a predictor reads the row without changing it, so the
// host's const row can be handed over as it is.
bool TiffWriter::writeRow(const uint8_t* data, uint32_t row, uint16_t sample) {
  if (TIFFWriteScanline(tif_, const_cast<uint8_t*>(data), row, sample) < 0) {
    moduleLogger().log(kLogError, "[%s] TIFFWriteScanline failed!", kWriteScanline);
    return false;
  }
  return true;
}

}  // namespace orvex
