// The extra samples of a directory as the host's channel records: the one place where
// ExtraSamples values become channel kinds.
#pragma once

#include <vector>

#include "orvex/TiffImageInfo.h"

namespace orvex {

struct TiffInfo;

class ExtraChannels {
public:
  ExtraChannels() = delete;

  /// One record per extra sample of `info`, in sample order, of the kind its value names;
  /// unnamed.
  static std::vector<TiffChannelInfo> of(const TiffInfo& info);
};

}  // namespace orvex
