#include "boundary/ModuleLogger.h"

#include <cstdlib>

namespace orvex {
namespace {

void destroyModuleLogger();

// Built during static initialisation, before any export can run; its destruction is
// registered at once so that it goes away when the module unloads.
merrow_logger::Logger* createModuleLogger() {
  auto* logger = new merrow_logger::Logger("Orvex", nullptr, severity_level::error, false, false,
                                           false, true, 0x100000, nullptr, nullptr, nullptr);
  std::atexit(destroyModuleLogger);
  return logger;
}

merrow_logger::Logger* const theLogger = createModuleLogger();

void destroyModuleLogger() {
  delete theLogger;
}

}  // namespace

merrow_logger::Logger& moduleLogger() {
  return *theLogger;
}

}  // namespace orvex
