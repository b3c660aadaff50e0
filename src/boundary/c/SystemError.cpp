#include "boundary/c/SystemError.h"

#include <cerrno>

#include "boundary/TiffFileOpener.h"
#include "boundary/c/CallRecords.h"

namespace orvex {
namespace {

bool isNoSpace(int error) {
#if defined(EDQUOT)
  if (error == EDQUOT) {
    return true;
  }
#endif
  return error == ENOSPC || error == EFBIG;
}

}  // namespace

orvex_status SystemError::statusOf(int error, orvex_status otherwise) {
  if (error == ENOENT || error == ENOTDIR) {
    return ORVEX_STATUS_NOT_FOUND;
  }
  if (error == EACCES || error == EPERM || error == EROFS) {
    return ORVEX_STATUS_PERMISSION_DENIED;
  }
  if (error == ENOMEM) {
    return ORVEX_STATUS_OUT_OF_MEMORY;
  }
  return isNoSpace(error) ? ORVEX_STATUS_NO_SPACE : otherwise;
}

orvex_status SystemError::statusOf(const LibtiffError& error, orvex_status otherwise) {
  if (!error.reported || !isNoSpace(error.systemError)) {
    return otherwise;
  }
  CallRecords::noteSystemError(error.systemError);
  return ORVEX_STATUS_NO_SPACE;
}

orvex_status SystemError::statusOfOpening(const char* utf8Name, bool forWriting,
                                          orvex_status otherwise) {
  const int error = TiffFileOpener::systemErrorOf(utf8Name, forWriting);
  const orvex_status status = statusOf(error, otherwise);
  if (status != otherwise) {
    CallRecords::noteSystemError(error);
  }
  return status;
}

}  // namespace orvex
