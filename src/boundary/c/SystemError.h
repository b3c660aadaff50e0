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
  /// The status of a libtiff error. Its errno counts when libtiff's message quotes the
  /// system's words for it (a file it could not open) or when it says the disk refused more
  /// bytes; otherwise it may be left over from an earlier call. Notes the errno for the
  /// reason when it counts.
  static orvex_status statusOf(const LibtiffError& error, orvex_status otherwise);
};

}  // namespace orvex
