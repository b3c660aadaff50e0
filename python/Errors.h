// The exceptions of the module: orvex.Error, and for the statuses Python has a type of its own
// for, a subclass that is also that type (FileNotFoundError, PermissionError, ValueError...).
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "orvex/orvex_c.h"

namespace orvex_python {

/// A failed call of the C interface, thrown on to Python.
struct LibraryFailure {
  orvex_status status;
  std::string reason;
};

class Errors {
public:
  /// Adds orvex.Error and its subclasses to the module and raises each LibraryFailure as the
  /// one its status names.
  static void bind(pybind11::module_& module);

private:
  static void raise(const LibraryFailure& failure);
};

}  // namespace orvex_python
