// The entry point every benchmark program shares.
#pragma once

namespace orvex_bench {

/// Runs `run` and returns its status; an exception is reported on stderr as one line naming
/// `program`, with status 1.
int guardedMain(const char* program, int (*run)(int, char**), int argc, char** argv);

}  // namespace orvex_bench
