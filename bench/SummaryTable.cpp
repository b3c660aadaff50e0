#include "SummaryTable.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <utility>

namespace orvex_bench {
namespace {

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string mebibytes(double bytes) {
  return formatted("%.2f MiB", bytes / (1024.0 * 1024.0));
}

const char* verdictOf(bool met) {
  return met ? "met" : "MISSED";
}

}  // namespace

SummaryTable::SummaryTable(std::string measured, std::string baseline)
    : measured_(std::move(measured)), baseline_(std::move(baseline)) {}

void SummaryTable::addRow(std::vector<std::string> row, bool met) {
  row.push_back(verdictOf(met));
  rows_.push_back(std::move(row));
}

void SummaryTable::addTimes(const std::string& label, double libraryMs, double libtiffMs,
                            double target) {
  const double ratio = libraryMs / libtiffMs;
  addRow({label, formatted("%.1f ms", libraryMs), formatted("%.1f ms", libtiffMs),
          formatted("%.3f", ratio), formatted("<= %.2f", target)},
         ratio <= target);
}

void SummaryTable::addMemory(const std::string& label, double libraryBytes, double libtiffBytes,
                             double budgetBytes, const std::string& budgetNote) {
  addRow({label, mebibytes(libraryBytes), mebibytes(libtiffBytes),
          formatted("%.3f", libraryBytes / libtiffBytes),
          "<= " + mebibytes(budgetBytes) + " (" + budgetNote + ")"},
         libraryBytes <= budgetBytes);
}

void SummaryTable::addFailure(const std::string& label, const std::string& reason) {
  rows_.push_back({label, "-", "-", "-", reason, "FAILED"});
}

void SummaryTable::print(std::ostream& out) const {
  const std::vector<std::string> header = {"case", measured_, baseline_, "ratio", "target",
                                           "verdict"};
  std::vector<size_t> widths(header.size());
  for (size_t c = 0; c < header.size(); ++c) {
    widths[c] = header[c].size();
    for (const auto& row : rows_) {
      widths[c] = std::max(widths[c], row[c].size());
    }
  }
  const auto printRow = [&](const std::vector<std::string>& row) {
    out << '|';
    for (size_t c = 0; c < row.size(); ++c) {
      // Figures are right-aligned, words left-aligned.
      const bool figure = c >= 1 && c <= 3;
      out << ' ' << (figure ? std::right : std::left) << std::setw(static_cast<int>(widths[c]))
          << row[c] << " |";
    }
    out << '\n';
  };
  printRow(header);
  out << '|';
  for (size_t c = 0; c < widths.size(); ++c) {
    const bool figure = c >= 1 && c <= 3;
    out << ' ' << std::string(widths[c] - (figure ? 1 : 0), '-') << (figure ? ":" : "") << " |";
  }
  out << '\n';
  for (const auto& row : rows_) {
    printRow(row);
  }
}

}  // namespace orvex_bench
