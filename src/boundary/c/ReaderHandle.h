// The reader handle of the C interface: the library's reader, the current page's
// description and its channel records, completed as hosts need them.
#pragma once

#include <cstdint>
#include <vector>

#include "orvex/orvex_c.h"
#include "psd/PSDImageResources.h"
#include "reader/TiffReader.h"

/// A host's buffer for a block of scanlines.
struct ScanlineBlock {
  uint8_t* buffer;
  uint64_t stride;
  uint64_t size;
};

struct orvex_reader {
public:
  orvex_status open(const char* path);
  orvex_status pageCount(uint32_t* count);
  orvex_status selectPage(uint32_t page);
  orvex_status pageInfo(orvex_page_info* info) const;
  orvex_status channel(uint32_t index, orvex_channel* channel) const;
  orvex_status read(uint32_t scanline, const uint8_t** data, uint32_t* size);
  orvex_status read(uint32_t channel, uint32_t scanline, const uint8_t** data, uint32_t* size);
  /// Scanlines [first, first + count) of every sample (channel < 0) or of one channel.
  orvex_status readScanlines(int64_t channel, uint32_t first, uint32_t count,
                             const ScanlineBlock& block);

private:
  /// True when a page is selected; false after a level-4 record naming `operation`.
  bool ready(const char* operation) const;
  /// OK when the page has `channel` (every sample when negative), else OUT_OF_RANGE logged.
  orvex_status checkChannel(int64_t channel) const;
  /// OK when `block` holds `count` scanlines from `first`, else the status logged.
  orvex_status checkBlock(int64_t channel, uint32_t first, uint32_t count,
                          const ScanlineBlock& block) const;
  orvex_status delivered(bool ok, uint32_t scanline, uint8_t* data, uint32_t size,
                         const uint8_t** out, uint32_t* outSize) const;

  orvex::TiffReader reader_;
  bool pageReady_ = false;
  TiffImageInfo info_;
  bool rows_ = false;
  std::vector<TiffChannelInfo> channels_;
  orvex::ChannelColors colors_;  ///< one per record of channels_
};
