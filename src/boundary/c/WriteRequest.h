// A page to write as a host of the C interface describes it, checked once, before anything
// touches the disk, against what the library's own reader reads back.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/TiffImageInfo.h"
#include "orvex/orvex_c.h"
#include "psd/PSDImageResources.h"

namespace orvex {

class WriteRequest {
public:
  WriteRequest(const char* path, const orvex_page_info* info, const orvex_channel* channels,
               uint32_t channelCount, int32_t planar);

  /// ORVEX_STATUS_OK, or the first problem found, after a level-4 record naming it.
  orvex_status check() const;
  /// The description for the writer; call after check() succeeded.
  TiffImageInfo imageInfo() const;
  /// The colours the host gave its channels; call after check() succeeded.
  ChannelColors channelColors() const;
  std::string path() const { return path_; }
  int32_t planar() const { return planar_; }

private:
  orvex_status checkPointers() const;
  orvex_status checkSizes() const;
  orvex_status checkEnumerations() const;
  orvex_status checkLayout() const;
  orvex_status checkChannels() const;
  orvex_status checkChannel(uint32_t index) const;
  /// Record `index` of the host's array, whose records are the first one's struct_size apart.
  const orvex_channel& channelAt(uint32_t index) const;
  orvex_status checkColors() const;
  orvex_status checkColor(uint32_t index) const;
  /// Record `index` when it is large enough to hold a colour and has one, else null.
  const orvex_channel* coloredAt(uint32_t index) const;

  const char* path_;
  const orvex_page_info* info_;
  const orvex_channel* channels_;
  uint32_t channelCount_;
  int32_t planar_;
};

}  // namespace orvex
