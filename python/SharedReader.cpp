#include "SharedReader.h"

#include "LibraryCall.h"

namespace orvex_python {

SharedReader::SharedReader(const std::string& path)
    : reader_(createTiffReader(), &destroyTiffReader) {
  LibraryCall call;
  call.check([&] {
    open_ = reader_->begin(path.c_str());
    directoryCount_ = reader_->getNumberOfDirectories();
    return open_;
  });
}

void SharedReader::close() {
  LibraryCall call;
  call.check([&] {
    const std::lock_guard<std::mutex> lock(mutex_);
    reader_->end();
    open_ = false;
    currentDirectory_ = -1;
    return true;
  });
}

}  // namespace orvex_python
