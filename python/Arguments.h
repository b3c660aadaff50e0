// The module's own checks of the arguments Python hands over, each failure naming the argument
// and what it takes, before anything reaches the library.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

namespace orvex_python {

class Argument {
public:
  /// `name` as the message shows it ("resolution", "channels[1]"), and what it takes
  /// ("(x, y, unit)").
  Argument(std::string name, std::string expected);

  /// The items of a tuple or list of `least` to `most` items; TypeError otherwise.
  pybind11::tuple items(const pybind11::handle& value, size_t least, size_t most) const;
  /// `value` as a T; TypeError when it is not one.
  template <class T>
  T as(const pybind11::handle& value) const {
    try {
      return value.cast<T>();
    } catch (const pybind11::builtin_exception&) {  // cast_error, or type_error for objects
      refuse(value);
    }
  }
  /// An integer from `low` to `high`; TypeError or ValueError otherwise.
  int64_t integer(const pybind11::handle& value, int64_t low, int64_t high) const;

  /// TypeError "`name` takes `expected`, not <the value>".
  [[noreturn]] void refuse(const pybind11::handle& value) const;

private:
  std::string message(const pybind11::handle& value) const;

  std::string name_;
  std::string expected_;
};

}  // namespace orvex_python
