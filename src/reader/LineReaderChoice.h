// Which line reader, if any, can deliver the scanlines of a directory.
#pragma once

namespace orvex {

struct TiffInfo;

enum class LineReaderKind {
  Refused,  ///< the directory cannot be delivered; the reason has been logged
  Common,   ///< raw strips or tiles
  Special,  ///< libtiff's RGBA interface
};

class LineReaderChoice {
public:
  /// Applies the check a directory must pass to be described at all, before its dump: a
  /// separated image's inks are understood only as CMYK. The first that fails logs its reason.
  static bool describable(const TiffInfo& info);
  /// Applies the checks that belong to the record's photometric interpretation, in order;
  /// the first that fails logs its reason.
  static LineReaderKind choose(const TiffInfo& info);
};

}  // namespace orvex
