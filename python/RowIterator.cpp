#include "RowIterator.h"

namespace py = pybind11;

namespace orvex_python {

RowIterator::RowIterator(Page page, std::optional<uint16_t> channel)
    : page_(std::move(page)), channel_(channel) {}

py::object RowIterator::next() {
  if (next_ >= page_.info().description().height) {
    throw py::stop_iteration();
  }
  const uint32_t y = next_++;
  if (page_.rowScanlines()) {
    return page_.readRow(y, channel_);
  }
  if (!picture_) {
    picture_ = page_.read(channel_);
  }
  return picture_->attr("__getitem__")(y);
}

void RowIterator::bind(py::module_& module) {
  py::class_<RowIterator>(module, "RowIterator", "The rows of a page, top row first.")
      .def(
          "__iter__", [](py::object self) { return self; }, "The iterator itself.")
      .def("__next__", &RowIterator::next, "The next row; StopIteration after the last.");
}

}  // namespace orvex_python
