// Which delivered samples make up the pixels of a preview.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "PageInfo.h"

namespace orvex_cli {

/// Grey and RGB images are shown as they are, with their alpha when the first extra channel
/// is one; CMYK as it prints (a proof in RGB, see CmykProof); every other colour model, and
/// any channel asked for, is shown as one channel in grey. PNG's alpha is unassociated, so colours
/// premultiplied by an associated alpha are divided by it again; shown as they are they would
/// darken every soft edge.
struct PreviewLayout {
  std::optional<uint16_t> channel;  ///< read this channel alone
  std::vector<unsigned> samples;    ///< samples of a delivered pixel, in PNG order
  bool invertFirst = false;         ///< min-is-white grey: 0 is white
  bool premultiplied = false;       ///< the alpha (last sample) is associated
  bool proof = false;               ///< CMYK shown in RGB, with its spot colours
  std::string description;

  /// Throws ToolError (usage) for a channel the image does not have.
  static PreviewLayout choose(const PageInfo& info, std::optional<uint16_t> channel);
};

}  // namespace orvex_cli
