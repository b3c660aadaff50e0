#include "Interruption.h"

#include <csignal>
#include <string>

#include "ToolError.h"

namespace orvex_cli {
namespace {

volatile std::sig_atomic_t received = 0;

void note(int signal) {
  received = signal;
}

}  // namespace

void Interruption::install() {
  std::signal(SIGINT, note);
  std::signal(SIGTERM, note);
}

void Interruption::check() {
  const int signal = received;
  if (signal == 0) {
    return;
  }
  const char* name = signal == SIGINT ? "SIGINT" : "SIGTERM";
  throw ToolError(static_cast<ExitCode>(kExitSignalBase + signal),
                  std::string("stopped by ") + name + "; the file being written was abandoned");
}

}  // namespace orvex_cli
