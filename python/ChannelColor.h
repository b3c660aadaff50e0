// An extra channel's colour between the C interface's orvex_channel and a Python dict:
// {"space": "lab", "components": (5000, 0, 0, 0), "opacity": 100, "srgb": (r, g, b),
//  "lab": (L, a, b)}, the last two None when the library has not converted the colour.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "orvex/orvex_c.h"

namespace orvex_python {

class ChannelColor {
public:
  /// The colour `channel` carries, None when it has none. A colour space without a word
  /// comes as its Photoshop ID.
  static pybind11::object toPython(const orvex_channel& channel);
  /// Sets `channel`'s colour from a dict as toPython gives it, its space a word ("srgb" and
  /// "lab" are ignored, "opacity" defaults to 100); TypeError or ValueError naming `argument`
  /// otherwise, orvex.InvalidArgumentError for a word the library does not know.
  static void fromPython(const pybind11::handle& color, const std::string& argument,
                         orvex_channel& channel);
};

/// The shortest decimal that reads back as `value`: 118.11, not 118.11000061035156.
double shortestDecimal(float value);

}  // namespace orvex_python
