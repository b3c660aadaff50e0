// The file system's errors as statuses of the C interface.
#pragma once

#include "boundary/LibtiffMessages.h"
#include "orvex/orvex_c.h"

namespace orvex {

class SystemError {
public:
  SystemError() = delete;

  /// The status an errno value stands for; `otherwise` for values without one.
  static orvex_status statusOf(int error, orvex_status otherwise);
  /// The status of a libtiff error while writing: ORVEX_STATUS_NO_SPACE when the errno of
  /// that moment says the disk refused more bytes (any other errno may be left over from
  /// an earlier call), after noting it for the reason; `otherwise` else.
  static orvex_status statusOf(const LibtiffError& error, orvex_status otherwise);
  /// The status of a file libtiff could not open, from the system's own answer; noted for
  /// the reason when it names a cause, `otherwise` when the system opens the file.
  static orvex_status statusOfOpening(const char* utf8Name, bool forWriting,
                                      orvex_status otherwise);
};

}  // namespace orvex
