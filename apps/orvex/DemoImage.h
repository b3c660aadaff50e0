// The picture the demo writes and reads back: RGB with an associated alpha and a spot
// channel, both named, with a resolution and an ICC profile.
#pragma once

#include <cstdint>
#include <vector>

#include "PageInfo.h"

namespace orvex_cli {

class DemoImage {
public:
  DemoImage();

  const PageInfo& info() const { return info_; }
  /// Row `y`: red, green, blue (premultiplied by alpha), alpha, spot; 8 bits each.
  std::vector<uint8_t> row(uint32_t y) const;

private:
  PageInfo info_;
};

}  // namespace orvex_cli
