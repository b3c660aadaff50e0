#include "ChannelColor.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "Arguments.h"
#include "Vocabulary.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

const char kExpected[] =
    "a colour {\"space\": word, \"components\": (c0, c1, c2, c3), \"opacity\": 0 to 100}";

// "srgb" and "lab" are read only: a colour read may be written back as it is.
const std::string kKeys[] = {"space", "components", "opacity", "srgb", "lab"};

py::object spaceOf(int32_t space) {
  const char* word = nullptr;
  if (orvex_word(ORVEX_VOCABULARY_COLOR_SPACE, space, &word) == ORVEX_STATUS_OK) {
    return py::str(word);
  }
  return py::int_(space);
}

}  // namespace

double shortestDecimal(float value) {
  char text[32];
  const std::to_chars_result written = std::to_chars(text, text + sizeof text - 1, value);
  *written.ptr = '\0';
  return std::strtod(text, nullptr);
}

py::object ChannelColor::toPython(const orvex_channel& channel) {
  if (channel.has_color == 0) {
    return py::none();
  }
  const uint16_t* c = channel.components;
  const bool converted = channel.converted != 0;
  py::dict color;
  color["space"] = spaceOf(channel.color_space);
  color["components"] = py::make_tuple(c[0], c[1], c[2], c[3]);
  color["opacity"] = channel.opacity;
  color["srgb"] =
      converted ? py::object(py::make_tuple(channel.srgb[0], channel.srgb[1], channel.srgb[2]))
                : py::none();
  color["lab"] = converted ? py::object(py::make_tuple(shortestDecimal(channel.lab[0]),
                                                       shortestDecimal(channel.lab[1]),
                                                       shortestDecimal(channel.lab[2])))
                           : py::none();
  return std::move(color);
}

void ChannelColor::fromPython(const py::handle& color, const std::string& argument,
                              orvex_channel& channel) {
  const Argument whole(argument, kExpected);
  if (!py::isinstance<py::dict>(color)) {
    whole.refuse(color);
  }
  const auto fields = py::reinterpret_borrow<py::dict>(color);
  for (const auto& field : fields) {
    const std::string key = whole.as<std::string>(field.first);
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
      whole.refuse(color);
    }
  }
  if (!fields.contains("space") || !fields.contains("components")) {
    whole.refuse(color);
  }
  channel.has_color = 1;
  const auto space =
      Argument(argument + "[\"space\"]", "a word such as \"lab\"").as<std::string>(fields["space"]);
  channel.color_space = Vocabulary::value(ORVEX_VOCABULARY_COLOR_SPACE, space);
  const Argument component(argument + "[\"components\"]", "4 integers from -32768 to 65535");
  const py::tuple components = component.items(fields["components"], 4, 4);
  for (size_t i = 0; i < 4; ++i) {
    // Negative values are the int16_t a* and b* of L*a*b*.
    channel.components[i] = static_cast<uint16_t>(component.integer(components[i], -32768, 65535));
  }
  channel.opacity =
      fields.contains("opacity")
          ? static_cast<uint16_t>(
                Argument(argument + "[\"opacity\"]", "0 to 100").integer(fields["opacity"], 0, 100))
          : 100;
}

}  // namespace orvex_python
