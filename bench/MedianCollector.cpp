#include "MedianCollector.h"

namespace orvex_bench {
namespace {

double toMilliseconds(double value, benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kNanosecond:
      return value / 1e6;
    case benchmark::kMicrosecond:
      return value / 1e3;
    case benchmark::kMillisecond:
      return value;
    default:
      return value * 1e3;
  }
}

}  // namespace

void MedianCollector::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) {
      continue;
    }
    const double ms = toMilliseconds(run.GetAdjustedCPUTime(), run.time_unit);
    const std::string& name = run.run_name.function_name;
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
      medians_[name] = ms;
    } else if (run.run_type == Run::RT_Iteration) {
      singles_[name] = ms;
    }
  }
  benchmark::ConsoleReporter::ReportRuns(runs);
}

std::optional<double> MedianCollector::cpuMilliseconds(const std::string& name) const {
  if (auto median = medians_.find(name); median != medians_.end()) {
    return median->second;
  }
  if (auto single = singles_.find(name); single != singles_.end()) {
    return single->second;
  }
  return std::nullopt;
}

}  // namespace orvex_bench
