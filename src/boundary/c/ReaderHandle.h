// The reader handle of the C interface: the library's reader, the current page's
// description and its channel records, completed as hosts need them.
#pragma once

#include <cstdint>
#include <vector>

#include "orvex/orvex_c.h"
#include "reader/TiffReader.h"

struct orvex_reader {
public:
  orvex_status open(const char* path);
  orvex_status pageCount(uint32_t* count);
  orvex_status selectPage(uint32_t page);
  orvex_status pageInfo(orvex_page_info* info) const;
  orvex_status channel(uint32_t index, orvex_channel* channel) const;
  orvex_status read(uint32_t scanline, const uint8_t** data, uint32_t* size);
  orvex_status read(uint32_t channel, uint32_t scanline, const uint8_t** data, uint32_t* size);

private:
  /// True when a page is selected; false after a level-4 record naming `operation`.
  bool ready(const char* operation) const;
  orvex_status delivered(bool ok, uint32_t scanline, uint8_t* data, uint32_t size,
                         const uint8_t** out, uint32_t* outSize) const;

  orvex::TiffReader reader_;
  bool pageReady_ = false;
  TiffImageInfo info_;
  bool rows_ = false;
  std::vector<TiffChannelInfo> channels_;
};
