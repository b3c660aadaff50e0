// The writer handed to hosts: one TIFF image written row by row.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <utility>

#include "boundary/TextCodec.h"
#include "orvex/ITiffWriter.h"
#include "psd/PSDImageResources.h"

namespace orvex {

class TiffWriter : public ITiffWriter {
public:
  /// `channelNames` says whether a surrogate encoded on its own is stored in a channel name
  /// (for hosts of the C interface, which read names so) or refused as ill-formed.
  explicit TiffWriter(TextCodec::Surrogates channelNames = TextCodec::Surrogates::Refused)
      : channelNames_(channelNames) {}
  ~TiffWriter() override;
  TiffWriter(const TiffWriter&) = delete;
  TiffWriter& operator=(const TiffWriter&) = delete;

  bool begin(const char* fileName, const TiffImageInfo& info, int32_t planarConfig) override;
  bool writeScanline(uint16_t channelIndex, uint32_t row, const uint8_t* data,
                     uint32_t bytes) override;
  bool writeScanline(uint32_t row, const uint8_t* data, uint32_t bytes) override;
  void end() override;

  /// Colours for the extra channels of the next begin(), one per channel as far as given.
  void setChannelColors(ChannelColors colors) { channelColors_ = std::move(colors); }

private:
  void closeFile();
  bool openFile(const char* fileName, const TiffImageInfo& info);
  void fillFields(const TiffImageInfo& info, int32_t planarConfig);
  void setImageTags();
  void setIccProfile(const TiffImageInfo& info);
  void setExtraSamples(const TiffImageInfo& info);
  bool isOpenWith(uint16_t planarconfig) const;
  bool acceptsRow(uint32_t row, uint32_t bytes) const;
  bool writeRow(const uint8_t* data, uint32_t row, uint16_t sample);

  uint32_t imagewidth_ = 0;
  uint32_t imagelength_ = 0;
  uint16_t bitspersample_ = 1;
  uint16_t samplesperpixel_ = 1;
  uint16_t sampleformat_ = SAMPLEFORMAT_UINT;
  uint16_t photometric_ = PHOTOMETRIC_MINISWHITE;
  uint16_t compression_ = COMPRESSION_NONE;
  uint16_t planarconfig_ = PLANARCONFIG_CONTIG;
  uint16_t orientation_ = ORIENTATION_TOPLEFT;
  uint16_t fillorder_ = FILLORDER_MSB2LSB;
  float xresolution_ = 72.0F;
  float yresolution_ = 72.0F;
  uint16_t resolutionunit_ = RESUNIT_INCH;
  TextCodec::Surrogates channelNames_;
  TIFF* tif_ = nullptr;
  int64_t scanlineBytes_ = 0;
  ChannelColors channelColors_;
};

}  // namespace orvex
