// orvex: the command-line host of the Orvex library. It uses only the library's C interface,
// orvex_c.h, as a host in any language would.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DemoCommand.h"
#include "Interruption.h"
#include "LogTap.h"
#include "ToolError.h"
#include "Utf8Io.h"

namespace {

using orvex_cli::Command;

orvex_cli::ExitCode runCommand(orvex_cli::LogTap& log, const orvex_cli::Options& options) {
  switch (options.command) {
    case Command::Info:
      return orvex_cli::InfoCommand::run(log, options.info, std::cout);
    case Command::Copy:
      return orvex_cli::CopyCommand::run(log, options.copy, std::cout);
    case Command::Preview:
      return orvex_cli::PreviewCommand::run(log, options.preview, std::cout);
    case Command::Split:
      return orvex_cli::SplitCommand::run(log, options.split, std::cout);
    case Command::Merge:
      return orvex_cli::MergeCommand::run(log, options.merge, std::cout);
    case Command::Join:
      return orvex_cli::JoinCommand::run(log, options.join, std::cout);
    case Command::Demo:
      break;
  }
  return orvex_cli::DemoCommand::run(log, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
  orvex_cli::Utf8Io::useUtf8Console();
  std::vector<std::string> arguments = orvex_cli::Utf8Io::arguments(argc, argv);
  std::vector<char*> argumentPointers;
  for (std::string& argument : arguments) {
    argumentPointers.push_back(argument.data());
  }
  orvex_cli::Options options;
  if (const std::optional<int> exitCode = orvex_cli::CommandLine::parse(
          static_cast<int>(argumentPointers.size()), argumentPointers.data(), options)) {
    return *exitCode;
  }
  // The commands that write stop between rows; info has nothing to abandon, so a signal ends
  // it as it ends any program.
  if (options.command != Command::Info) {
    orvex_cli::Interruption::install();
  }
  orvex_cli::LogTap log(options.verbose);
  try {
    return runCommand(log, options);
  } catch (const orvex_cli::ToolError& error) {
    std::cout.flush();
    std::cerr << "orvex: " << error.what() << "\n";
    return error.exitCode();
  } catch (const std::exception& error) {
    // The tool's own steps can still throw (an allocation, the file system); for the user
    // those are files that cannot be read or written.
    std::cout.flush();
    std::cerr << "orvex: " << error.what() << "\n";
    return orvex_cli::kExitFileError;
  }
}
