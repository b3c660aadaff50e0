#include "Arguments.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

constexpr size_t kShownLength = 60;  // of a value's repr in a message

std::string shown(const py::handle& value) {
  std::string text = py::repr(value).cast<std::string>();
  return text.size() <= kShownLength ? text : text.substr(0, kShownLength - 3) + "...";
}

}  // namespace

Argument::Argument(std::string name, std::string expected)
    : name_(std::move(name)), expected_(std::move(expected)) {}

py::tuple Argument::items(const py::handle& value, size_t least, size_t most) const {
  if ((!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value)) ||
      py::len(value) < least || py::len(value) > most) {
    refuse(value);
  }
  return py::tuple(py::reinterpret_borrow<py::object>(value));
}

int64_t Argument::integer(const py::handle& value, int64_t low, int64_t high) const {
  if (py::isinstance<py::bool_>(value) || !py::isinstance<py::int_>(value)) {
    refuse(value);
  }
  const auto number = value.cast<py::int_>();
  if (number < py::int_(low) || number > py::int_(high)) {
    throw py::value_error(message(value));
  }
  return number.cast<int64_t>();
}

void Argument::refuse(const py::handle& value) const {
  throw py::type_error(message(value));
}

std::string Argument::message(const py::handle& value) const {
  return name_ + " takes " + expected_ + ", not " + shown(value);
}

}  // namespace orvex_python
