// Describes the extra channels of the current directory: names, spot-colour marks and colours
// from the Photoshop image resources of tag 34377, over the records ExtraSamples gives.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvex/TiffImageInfo.h"
#include "psd/PSDDecoder.h"

namespace orvex {

/// Serves one directory: construct, read() once, take channelInfos() when it succeeded.
class TiffPhotoshopTagReader {
public:
  TiffPhotoshopTagReader() : psdDecoder_(std::make_shared<PSDDecoder>()) {}

  /// Names and marks `extraChannels`, the records of the directory's stored extra samples.
  /// False when the directory has no tag 34377 or its resources cannot be used; the caller
  /// then describes the channels from ExtraSamples alone.
  bool read(TIFF* tif, const std::vector<TiffChannelInfo>& extraChannels);
  /// One record per extra sample, in sample order.
  const std::vector<TiffChannelInfo>& channelInfos() const { return channelInfos_; }
  /// One per record of channelInfos(): the colour the resources give the channel.
  const ChannelColors& channelColors() const { return channelColors_; }

private:
  bool applyResources();
  std::string channelName(size_t channel) const;
  std::optional<ChannelColor> channelColor(size_t channel,
                                           const AlternateSpotColor* spotColor) const;

  std::shared_ptr<PSDDecoder> psdDecoder_;
  std::vector<TiffChannelInfo> channelInfos_;
  ChannelColors channelColors_;
};

}  // namespace orvex
