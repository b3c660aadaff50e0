// The description of files as one JSON document, for scripts.
#pragma once

#include <nlohmann/json.hpp>

#include <ostream>

#include "FileReport.h"

namespace orvex_cli {

class JsonDescription {
public:
  /// {"file", "directoryCount", "directories": [...]} or {"file", "error"}.
  static nlohmann::ordered_json of(const FileReport& report);
  /// Prints `document` indented. Channel names come from files; a name that is not UTF-8 is
  /// shown with replacement characters rather than failing the whole document.
  static void print(std::ostream& out, const nlohmann::ordered_json& document);

private:
  static nlohmann::ordered_json ofDirectory(const DirectoryReport& directory);
  static nlohmann::ordered_json ofChannels(const PageInfo& info);
};

}  // namespace orvex_cli
