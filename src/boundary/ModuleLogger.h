// The one logger of the module, created when the library loads.
#pragma once

#include "merrow_logger/Logger.h"

namespace orvex {

using merrow_logger::severity_level;

constexpr severity_level kLogDetail = severity_level::detail;
constexpr severity_level kLogDump = severity_level::dump;
constexpr severity_level kLogMilestone = severity_level::milestone;
constexpr severity_level kLogWarning = severity_level::warning;
constexpr severity_level kLogError = severity_level::error;

/// The module-wide logger; every class of the library writes its diagnostics here.
merrow_logger::Logger& moduleLogger();

}  // namespace orvex
