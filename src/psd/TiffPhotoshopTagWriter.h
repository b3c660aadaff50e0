// Stores the names and kinds of a new image's extra channels as a Photoshop image-resource
// block in tag 34377, where image editors and our own reader find them.
#pragma once

#include <tiffio.h>

#include <vector>

#include "boundary/TextCodec.h"
#include "orvex/TiffImageInfo.h"
#include "psd/PSDImageResources.h"

namespace orvex {

class TiffPhotoshopTagWriter {
public:
  /// True when the tag was set or when there are no channels to describe. A name that is
  /// not well-formed UTF-8 throws std::range_error("bad conversion"); a surrogate encoded on
  /// its own is that only when `surrogates` refuses it, and otherwise stored as its unit. A
  /// channel given a colour is shown in it, a spot channel printed in it; the others keep the
  /// usual red.
  static bool write(TIFF* tif, const std::vector<TiffChannelInfo>& channels,
                    TextCodec::Surrogates surrogates, const ChannelColors& colors = {});
};

}  // namespace orvex
