#include "SharedReader.h"

#include "LibraryCall.h"

namespace orvex_python {

SharedReader::SharedReader(const std::string& path) : reader_(nullptr, &orvex_reader_destroy) {
  LibraryCall().check([&] {
    orvex_reader* reader = nullptr;
    const orvex_status status = orvex_reader_open(path.c_str(), &reader);
    reader_.reset(reader);
    return status == ORVEX_STATUS_OK ? orvex_reader_page_count(reader, &pageCount_) : status;
  });
}

void SharedReader::close() {
  LibraryCall().check([&] {
    const std::lock_guard<std::mutex> lock(mutex_);
    reader_.reset();
    currentPage_ = kNoPage;
    return ORVEX_STATUS_OK;
  });
}

}  // namespace orvex_python
