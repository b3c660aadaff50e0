#include "ProcessMemory.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

namespace orvex_bench {
namespace {

uint64_t statusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
      return std::stoull(line.substr(length + 1));
    }
  }
  throw std::runtime_error(std::string("no ") + field + " in /proc/self/status");
}

}  // namespace

uint64_t ProcessMemory::residentBytes() {
  return statusKilobytes("VmRSS") * 1024;
}

uint64_t ProcessMemory::peakResidentBytes() {
  return statusKilobytes("VmHWM") * 1024;
}

// Writing 5 to clear_refs resets the peak (Linux 4.0 and later).
void ProcessMemory::resetPeak() {
  std::ofstream clearRefs("/proc/self/clear_refs");
  clearRefs << "5";
  clearRefs.close();
  if (!clearRefs) {
    throw std::runtime_error("cannot reset the resident peak through /proc/self/clear_refs");
  }
}

}  // namespace orvex_bench
