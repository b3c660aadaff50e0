// The writer handle of the C interface: the library's writer on a temporary file beside the
// target, rows taken only in the order libtiff can write them, the target replaced only
// when the file is complete.
#pragma once

#include <cstdint>
#include <string>

#include "boundary/c/WriteRequest.h"
#include "orvex/orvex_c.h"
#include "writer/TiffWriter.h"

struct orvex_writer {
public:
  /// Drops a file not closed successfully.
  ~orvex_writer();

  orvex_status create(const orvex::WriteRequest& request);
  /// `channel` is ignored for a contiguous page.
  orvex_status write(bool perChannel, uint32_t channel, uint32_t row, const uint8_t* data,
                     uint32_t size);
  orvex_status close();

private:
  orvex_status expected(bool perChannel, uint32_t channel, uint32_t row) const;
  orvex_status written(bool ok, uint32_t size);
  void advance();
  uint32_t planes() const;
  uint64_t rowBytes() const;

  orvex::TiffWriter writer_{orvex::TextCodec::Surrogates::Kept};
  std::string target_;
  std::string temporary_;
  TiffImageInfo info_;
  bool separate_ = false;
  uint32_t nextChannel_ = 0;
  uint32_t nextRow_ = 0;
  bool broken_ = false;
  bool closed_ = false;
};
