#include "InfoCommand.h"

#include <iostream>

#include "FileReport.h"
#include "JsonDescription.h"
#include "TextDescription.h"

namespace orvex_cli {

ExitCode InfoCommand::run(LogTap& log, const InfoOptions& options, std::ostream& out) {
  ExitCode result = kExitSuccess;
  nlohmann::ordered_json files = nlohmann::ordered_json::array();
  bool first = true;
  for (const std::string& path : options.files) {
    const FileReport report = FileReport::describe(log, path);
    if (!report.error.empty()) {
      std::cerr << "orvex: " << report.error << "\n";
      result = kExitFileError;
    }
    if (options.json) {
      files.push_back(JsonDescription::of(report));
    } else if (report.error.empty()) {
      out << (first ? "" : "\n");
      TextDescription::print(out, report);
      first = false;
    }
  }
  if (options.json) {
    JsonDescription::print(out, {{"files", files}});
  }
  return result;
}

}  // namespace orvex_cli
