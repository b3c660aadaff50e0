#include "GuardedMain.h"

#include <exception>
#include <iostream>

namespace orvex_bench {

int guardedMain(const char* program, int (*run)(int, char**), int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << program << ": " << e.what() << '\n';
    return 1;
  }
}

}  // namespace orvex_bench
