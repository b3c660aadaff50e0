// File names for the planes that split writes into one folder, made from channel names.
#pragma once

#include <cstddef>
#include <set>
#include <string>

namespace orvex_cli {

class PlaneFileNames {
public:
  /// `name` as a file name without extension that Windows and Linux both accept: the
  /// characters < > : " / \ | ? *, control characters and bytes that are not UTF-8 replaced
  /// by '_', cut to kMaxStemBytes at a character boundary, trailing dots and blanks removed,
  /// and '_' put before a device name Windows reserves (CON, PRN, AUX, NUL, COM1 to COM9,
  /// LPT1 to LPT9, also when an extension follows). "_" when nothing is left.
  static std::string safeStem(const std::string& name);

  /// The safe stem of `name` with `extension` (".tif"), numbered " (2)", " (3)", ... when an
  /// earlier call gave the same file name. Names differing only in ASCII case count as the
  /// same, since Windows and macOS file systems do not tell them apart.
  std::string claim(const std::string& name, const std::string& extension);

  static constexpr size_t kMaxStemBytes = 200;

private:
  std::set<std::string> taken_;
};

}  // namespace orvex_cli
