// The description of files as one JSON document, for scripts.
#pragma once

#include <nlohmann/json.hpp>

#include "FileReport.h"

namespace orvex_cli {

class JsonDescription {
public:
  /// {"file", "directoryCount", "directories": [...]} or {"file", "error"}.
  static nlohmann::ordered_json of(const FileReport& report);

private:
  static nlohmann::ordered_json ofDirectory(const DirectoryReport& directory);
  static nlohmann::ordered_json ofChannels(const TiffImageInfo& info);
};

}  // namespace orvex_cli
