#include "Errors.h"

#include <cerrno>

#include "Utf8Text.h"

namespace py = pybind11;

namespace orvex_python {
namespace {

struct Kind {
  orvex_status status;
  const char* name;     // in the module
  const char* builtin;  // the Python type it is too
  int error;            // its errno, for the types of OSError
  const char* doc;
};

// Damaged data and a call out of order are orvex.Error alone.
const Kind kKinds[] = {
    {ORVEX_STATUS_NOT_FOUND, "NotFoundError", "FileNotFoundError", ENOENT,
     "A file or folder named does not exist."},
    {ORVEX_STATUS_PERMISSION_DENIED, "PermissionDeniedError", "PermissionError", EACCES,
     "The system refused access to a file."},
    {ORVEX_STATUS_NO_SPACE, "NoSpaceError", "OSError", ENOSPC,
     "The disk is full, or the file too large for it."},
    {ORVEX_STATUS_INVALID_ARGUMENT, "InvalidArgumentError", "ValueError", 0,
     "An ill-formed value, name or word."},
    {ORVEX_STATUS_REFUSED, "RefusedError", "ValueError", 0,
     "A page or layout the library does not read or write."},
    {ORVEX_STATUS_OUT_OF_RANGE, "OutOfRangeError", "IndexError", 0,
     "A page, channel, row or value index too large."},
    {ORVEX_STATUS_OUT_OF_MEMORY, "OutOfMemoryError", "MemoryError", 0, "An allocation failed."},
};

const Kind* kindOf(orvex_status status) {
  for (const Kind& kind : kKinds) {
    if (kind.status == status) {
      return &kind;
    }
  }
  return nullptr;
}

}  // namespace

void Errors::bind(py::module_& module) {
  const py::object error = py::exception<LibraryFailure>(module, "Error");
  error.attr("__doc__") = "A failing call of the library, with its reason as the text.";
  const py::module_ builtins = py::module_::import("builtins");
  for (const Kind& kind : kKinds) {
    py::dict body;
    body["__module__"] = "orvex";
    body["__doc__"] = kind.doc;
    module.attr(kind.name) =
        builtins.attr("type")(kind.name, py::make_tuple(builtins.attr(kind.builtin), error), body);
  }
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) {
        std::rethrow_exception(thrown);
      }
    } catch (const LibraryFailure& failure) {
      raise(failure);
    }
  });
}

// The reason may quote a file name that is not UTF-8. The errno is set after the exception is
// made, so that its text stays the reason alone.
void Errors::raise(const LibraryFailure& failure) {
  const py::module_ module = py::module_::import("orvex");
  const Kind* kind = kindOf(failure.status);
  const py::object type = module.attr(kind != nullptr ? kind->name : "Error");
  const py::object exception = type(Utf8Text::toPython(failure.reason, "replace"));
  if (kind != nullptr && kind->error != 0) {
    exception.attr("errno") = kind->error;
  }
  PyErr_SetObject(type.ptr(), exception.ptr());
}

}  // namespace orvex_python
