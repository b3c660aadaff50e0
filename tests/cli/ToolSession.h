// The tool run on the files of one temporary folder, each run written up as a transcript: the
// command line, what the tool printed (stderr lines marked "! "), its exit code and a line on
// each file it wrote or changed ("+ "). Paths read TMP for the folder and DATA for tests/data,
// on every platform and in the command lines given to run(); the demo's new folder reads
// orvex-demo-X.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/ToolRunner.h"
#include "support/TempDir.h"

namespace orvex_cli_test {

class ToolSession {
public:
  std::string file(const std::string& name) const { return temp_.file(name); }

  /// The words of `line` (split at blanks), TMP and DATA replaced by their paths.
  std::vector<std::string> arguments(const std::string& line) const;

  /// Writes the input `name` that a line "## name: words" declares: a TIFF in words
  /// (support/ImageWords.h), or a PNG, the tool's preview of one (a last word -20 cuts 20 bytes
  /// off its end); words in double quotes are a line of text, and those of a name with another
  /// ending its bytes in hexadecimal.
  void writeInput(const std::string& name, const std::string& words);

  /// Expects the transcript of tests/data/transcripts/cli/GROUP.txt from running each of its
  /// "$ " lines ("# " lines are comments) after writing the inputs of its "## " lines; each
  /// run first removes what is not an input, but when `chained` each command finds what the
  /// ones before it wrote.
  void expectSession(const std::string& group, bool chained = false);

private:
  /// Keeps the folder's current files as inputs.
  void keepInputs();

  /// Runs `line`: "orvex", "read_tiff" (the example host that reads files) or a program on
  /// PATH and arguments, after "[file size limit N] " or "[SIGINT while writing] " (SIGTERM
  /// too) if it is cut short; the folder is the system temporary folder to it, and its log goes
  /// to a folder of its own.
  std::string run(const std::string& line);

  std::string normalized(std::string text) const;

  orvex_test::TempDir temp_;
  orvex_test::TempDir logs_;
  std::set<std::filesystem::path> inputs_;
};

/// Sample values of an upright picture, row by row, pixel by pixel.
struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t samples = 0;
  std::vector<uint64_t> values;
};

/// Directory 0 of a TIFF file as a host receives it, by the reference decoder, columns put back
/// as rows; or an 8-bit PNG read with libpng.
Picture pictureOf(const std::string& path);

}  // namespace orvex_cli_test
