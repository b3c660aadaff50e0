// The one table the benchmark prints at the end, in Markdown so that it can be pasted as is.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvex_bench {

class SummaryTable {
public:
  /// Names the two measured columns: what is judged and what it is judged against.
  explicit SummaryTable(std::string measured = "library", std::string baseline = "raw libtiff");

  /// A time case: milliseconds of the library and of libtiff; the ratio must not exceed
  /// `target`.
  void addTimes(const std::string& label, double libraryMs, double libtiffMs, double target);
  /// A memory case: peak resident growth of the library and of libtiff while reading; the
  /// library's must not exceed `budgetBytes`, which `budgetNote` explains.
  void addMemory(const std::string& label, double libraryBytes, double libtiffBytes,
                 double budgetBytes, const std::string& budgetNote);
  /// A case whose figures could not be measured.
  void addFailure(const std::string& label, const std::string& reason);

  void print(std::ostream& out) const;

private:
  std::string measured_;
  std::string baseline_;
  std::vector<std::vector<std::string>> rows_;
  void addRow(std::vector<std::string> row, bool met);
};

}  // namespace orvex_bench
