// Prints the usual console report and keeps, per benchmark, the median CPU time of its
// repetitions (or the time of its single run when it was not repeated).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvex_bench {

class MedianCollector : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override;

  /// Milliseconds of CPU time per iteration of benchmark `name`, when it ran without error.
  std::optional<double> cpuMilliseconds(const std::string& name) const;

private:
  std::map<std::string, double> medians_;
  std::map<std::string, double> singles_;
};

}  // namespace orvex_bench
