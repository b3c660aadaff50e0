// How the stored rows of a directory become the delivered ones, decided once from its
// Orientation tag as libtiff's setorientation decides it: at most two flips, of the order of
// the stored rows and of the pixels inside each, and whether the stored rows are the
// picture's columns (orientations 5 to 8), which the host then transposes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex {

class OrientationPlan {
public:
  /// The plan of TIFF orientation `orientation`; values outside 2 to 8 read as top-left.
  static OrientationPlan of(uint16_t orientation);

  /// The stored rows are delivered last first.
  bool flipsRows() const { return flipsRows_; }
  /// The pixels of every row are delivered in reverse order.
  bool mirrorsRows() const { return mirrorsRows_; }
  /// The stored rows are the picture's columns.
  bool deliversColumns() const { return deliversColumns_; }
  /// Stored rows come out as they are stored, as the picture's rows.
  bool isIdentity() const { return !flipsRows_ && !mirrorsRows_ && !deliversColumns_; }
  /// The stored row that delivered row `row` comes from, of `rows` stored rows.
  uint32_t sourceRowOf(uint32_t row, uint32_t rows) const {
    return flipsRows_ ? rows - 1 - row : row;
  }

  /// Logs the plan chosen, as `operation`, once per directory begun.
  void log(const char* operation) const;

private:
  explicit OrientationPlan(size_t index);

  size_t index_;  ///< of the plan's row in the table: orientation - 1
  bool flipsRows_;
  bool mirrorsRows_;
  bool deliversColumns_;
};

}  // namespace orvex
