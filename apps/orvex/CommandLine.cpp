#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include <string>

#include "orvex/orvex.h"

namespace orvex_cli {
namespace {

const char* const kDescription =
    "orvex: reads and writes TIFF images one scanline at a time through the Orvex library.\n"
    "Without a command it runs the demo: it writes a sample image (RGB with an associated\n"
    "alpha and a spot channel, named, 300 dpi, an ICC profile) to a new temporary folder,\n"
    "reads it back, describes it and says where the files are.";

const char* const kExitCodes =
    "Exit codes: 0 success, 1 a file could not be read or written, 2 bad usage.";

const char* const kInfoNotes =
    "A directory the library refuses is listed with the first error it logged, which is the\n"
    "cause; --json also lists every record that explains it (\"reasons\").";

const char* const kCopyNotes =
    "The copy holds the rows a host receives: orientation applied (the picture is upright),\n"
    "palette and YCbCr images expanded to RGB, extra channels kept with their names and\n"
    "kinds. A progress bar is drawn on stderr for large images when stderr is a terminal.\n"
    "Memory: rows are streamed from the reader to the output one at a time. Only images\n"
    "stored in orientations 5 to 8, which the library delivers as columns, are held whole\n"
    "in memory (one channel at a time with --planar separate) to be transposed.";

const char* const kPreviewNotes =
    "Grey, RGB and RGBA are shown as they are (16-bit samples by their high byte, floats\n"
    "clamped to 0..1, grey of 1, 2 or 4 bits scaled to 0..255, min-is-white inverted,\n"
    "colours premultiplied by an associated alpha divided by it for PNG's straight alpha);\n"
    "other colour models, or --channel C, as one channel in grey.";

constexpr unsigned kLargestIndex = 65535;

std::string versionText() {
  const char* version = nullptr;
  orvexVersionString(&version);
  return std::string("orvex ") + (version != nullptr ? version : "?");
}

// Each command's help ends with its own notes and the exit codes. A subcommand starts with
// its parent's footer, so every one sets its own.
void setNotes(CLI::App& app, const std::string& notes) {
  app.footer(notes.empty() ? kExitCodes : notes + "\n" + kExitCodes);
}

void addInfo(CLI::App& app, Options& options) {
  CLI::App* info =
      app.add_subcommand("info", "Describe every directory of each FILE as a host sees it");
  info->add_option("FILE", options.info.files, "TIFF files")->required();
  info->add_flag("--json", options.info.json, "Print one JSON document");
  setNotes(*info, kInfoNotes);
  info->callback([&options] { options.command = Command::Info; });
}

void addCopy(CLI::App& app, Options& options, unsigned& dir, std::string& planar) {
  CLI::App* copy = app.add_subcommand("copy", "Copy one directory as a host receives it");
  copy->add_option("IN", options.copy.input, "TIFF file to read")->required();
  copy->add_option("OUT", options.copy.output, "TIFF file to write")->required();
  copy->add_option("--dir", dir, "Directory to copy (default 0)")
      ->check(CLI::Range(0U, kLargestIndex));
  copy->add_option("--planar", planar, "Sample layout of OUT: contig (default) or separate")
      ->check(CLI::IsMember({"contig", "separate"}));
  setNotes(*copy, kCopyNotes);
  copy->callback([&options, &dir, &planar] {
    options.command = Command::Copy;
    options.copy.dir = static_cast<uint16_t>(dir);
    options.copy.separatePlanes = planar == "separate";
  });
}

void addPreview(CLI::App& app, Options& options, unsigned& dir, unsigned& channel) {
  CLI::App* preview = app.add_subcommand("preview", "Write an 8-bit PNG of what a host receives");
  preview->add_option("IN", options.preview.input, "TIFF file to read")->required();
  preview->add_option("OUT", options.preview.output, "PNG file to write")->required();
  preview->add_option("--dir", dir, "Directory to show (default 0)")
      ->check(CLI::Range(0U, kLargestIndex));
  CLI::Option* channelOption =
      preview->add_option("--channel", channel, "Show this channel alone, in grey")
          ->check(CLI::Range(0U, kLargestIndex));
  setNotes(*preview, kPreviewNotes);
  preview->callback([&options, &dir, &channel, channelOption] {
    options.command = Command::Preview;
    options.preview.dir = static_cast<uint16_t>(dir);
    if (channelOption->count() > 0) {
      options.preview.channel = static_cast<uint16_t>(channel);
    }
  });
}

}  // namespace

std::optional<int> CommandLine::parse(int argc, char** argv, Options& options) {
  CLI::App app(kDescription, "orvex");
  setNotes(app, "");
  app.set_version_flag("--version", versionText(), "Print the library's version and exit");
  app.add_flag("--verbose", options.verbose,
               "Show the library's log records of level 2 and above on stderr");
  app.require_subcommand(0, 1);
  // Lets --verbose follow the command as well as precede it.
  app.fallthrough();
  // CLI11 takes "/name" for an option on Windows, which would swallow absolute paths given
  // with forward slashes; the tool documents only "--" options. Subcommands inherit this.
  app.allow_windows_style_options(false);
  unsigned copyDir = 0;
  unsigned previewDir = 0;
  unsigned channel = 0;
  std::string planar = "contig";
  addInfo(app, options);
  addCopy(app, options, copyDir, planar);
  addPreview(app, options, previewDir, channel);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? 0 : static_cast<int>(kExitUsage);
  }
  return std::nullopt;
}

}  // namespace orvex_cli
