#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include <string>
#include <utility>

#include "ColourText.h"
#include "Utf8Text.h"
#include "orvex/orvex_c.h"

namespace orvex_cli {
namespace {

const char* const kDescription =
    "orvex: reads and writes TIFF images one scanline at a time through the Orvex library.\n"
    "Without a command it runs the demo: it writes a sample image (RGB with an associated\n"
    "alpha and a spot channel, named, 300 dpi, an ICC profile) to a new temporary folder,\n"
    "reads it back, describes it and says where the files are.";

const char* const kExitCodes =
    "Exit codes: 0 success, 1 a file could not be read or written, 2 bad usage, 130 and 143\n"
    "stopped by SIGINT and SIGTERM (the file being written is abandoned).";

const char* const kInfoNotes =
    "A directory the library refuses is listed with the reason the library gives: the first\n"
    "error it logged, which is the cause. --json names kinds and formats by the library's\n"
    "words (min_is_black, unassociated_alpha, spot).";

const char* const kCopyNotes =
    "The copy holds the rows a host receives: orientation applied (the picture is upright),\n"
    "palette and YCbCr images expanded to RGB, extra channels kept with their names and\n"
    "kinds unless --name or --kind change them or --drop leaves them out (I counts extra\n"
    "channels as --name does); an I the directory does not have is bad usage. A progress bar is "
    "drawn on stderr for large images when stderr is a terminal.\n"
    "Memory: rows are streamed from the reader to the output one at a time. Only images\n"
    "stored in orientations 5 to 8, which the library delivers as columns, are held whole\n"
    "in memory (one channel at a time with --planar separate) to be transposed.";

const char* const kSplitNotes =
    "Colour channels are named after the colour model (R, G, B; C, M, Y, K; Grey;\n"
    "otherwise \"sample N\"), extra channels by their names, or \"extra N\" when they have\n"
    "none. Each file is named after its channel, made safe for Windows and Linux (reserved\n"
    "characters and names replaced, trailing dots and blanks removed); a repeated name\n"
    "gets \" (2)\", \" (3)\", ...\n"
    "A TIFF plane holds the samples as delivered (same bits and sample format) with the\n"
    "resolution, and the ICC profile of a grey source; the profile of a colour source is\n"
    "written beside them as profile.icc, for join --icc. Plates of ink (C, M, Y, K and spot\n"
    "colours) are min-is-white, so that 0, no ink, shows white; alpha and other channels\n"
    "are min-is-black. A PNG plane is converted as preview --channel converts it. One line\n"
    "per file: channel, kind, name and path; then the profile's.\n"
    "Memory: rows are streamed, one pass over IN per channel; only images stored in\n"
    "orientations 5 to 8 are held whole, one channel at a time, to be transposed. A progress\n"
    "bar is drawn on stderr for large images when stderr is a terminal.";

const char* const kMergeNotes =
    "OUT holds the directory of BASE as a host receives it, its extra channels with their\n"
    "names and kinds, then one extra channel per --spot, --alpha or --associated, in the\n"
    "order given; --replace puts PLANE's samples in place of those of BASE's extra channel\n"
    "NAME (the first of that name), which keeps its name, kind and colour; a NAME BASE does\n"
    "not have is bad usage. PLANE is a single-channel TIFF, or an 8-bit grey PNG for an\n"
    "8-bit base, with the base's width, height, bits per sample and sample format. A spot\n"
    "colour is ink (0: none) and any other channel light (0: black), so a plane whose\n"
    "photometric shows 0 the other way (a min-is-black TIFF or a PNG as a spot) is\n"
    "inverted: split's plates go back exactly. NAME is UTF-8 and ends at the first '='. A\n"
    "plane that does not fit stops the merge with the reason, and OUT is left as it was.\n"
    "Without --planar, OUT is interleaved unless its samples have 1, 2 or 4 bits: several\n"
    "of those the library reads only as separate planes.\n"
    "Memory: rows are streamed from every input at once, about one strip each; only images\n"
    "stored in orientations 5 to 8 are held whole to be transposed. A progress bar is drawn\n"
    "on stderr for large images when stderr is a terminal.";

const char* const kJoinNotes =
    "OUT holds the colour planes, then one extra channel per --spot, --alpha or --associated,\n"
    "in the order given. Every PLANE is a single-channel TIFF, or an 8-bit grey PNG, with the\n"
    "first plane's width, height, bits per sample and sample format; OUT takes that plane's\n"
    "resolution and ICC profile, or the profile of --icc (an ICC profile file). Plates of ink\n"
    "(C, M, Y, K, spot colours) are min-is-white and other planes min-is-black: a plane whose\n"
    "photometric shows 0 the other way is inverted, so split's planes go back exactly; a spot\n"
    "colour's display colour is given again with @COLOUR. --planar, memory and progress as in\n"
    "merge.";

const char* const kPreviewNotes =
    "Grey, RGB and RGBA are shown as they are (16-bit samples by their high byte, floats\n"
    "clamped to 0..1, grey of 1, 2 or 4 bits scaled to 0..255, min-is-white inverted,\n"
    "colours premultiplied by an associated alpha divided by it for PNG's straight alpha);\n"
    "CMYK as it prints, a proof in RGB: the inks converted to sRGB by Little CMS through the\n"
    "file's ICC profile, or the library's built-in CMYK profile when it has no CMYK one, then\n"
    "each spot colour laid over as ink of its colour and opacity (alpha channels are not\n"
    "shown); other colour models, or --channel C, as one channel in grey.\n"
    "Memory: rows are read a strip at a time and written as they come.";

constexpr unsigned kLargestIndex = 65535;

const char* const kKindChoices =
    "unspecified, associated_alpha, unassociated_alpha or spot (or alpha, associated)";

struct KindWord {
  const char* word;
  int32_t kind;
};

// The tool's short forms, kept beside the library's words.
const KindWord kKindAliases[] = {
    {"alpha", ORVEX_CHANNEL_UNASSOCIATED_ALPHA},
    {"associated", ORVEX_CHANNEL_ASSOCIATED_ALPHA},
};

struct PlaneKindOption {
  const char* option;
  int32_t kind;
  const char* help;
};

const PlaneKindOption kPlaneKindOptions[] = {
    {"--spot", ORVEX_CHANNEL_SPOT,
     "Add PLANE as a spot colour channel named NAME, shown in COLOUR when PLANE ends in\n"
     "@COLOUR: #rrggbb, lab:L,a,b or cmyk:c,m,y,k in percent"},
    {"--alpha", ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "Add PLANE as an alpha channel named NAME"},
    {"--associated", ORVEX_CHANNEL_ASSOCIATED_ALPHA,
     "Add PLANE as an associated (premultiplied) alpha named NAME"},
};

// "KEY=VALUE", split at the first '='.
std::pair<std::string, std::string> assignment(const std::string& option, const std::string& text,
                                               const std::string& form) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) {
    throw CLI::ValidationError(option, "\"" + text + "\" is not " + form);
  }
  return {text.substr(0, equals), text.substr(equals + 1)};
}

// Names go into files as they are given, and the writer takes only UTF-8.
std::string wellFormedName(const std::string& option, const std::string& name) {
  if (!Utf8Text::isWellFormed(name)) {
    throw CLI::ValidationError(option, "the name is not well-formed UTF-8");
  }
  return name;
}

uint16_t channelIndex(const std::string& option, const std::string& text) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stoul(text) > kLargestIndex) {
    throw CLI::ValidationError(option, "\"" + text + "\" is not a channel index from 0 to 65535");
  }
  return static_cast<uint16_t>(std::stoul(text));
}

// The library's words of the channel kinds, or a short form.
int32_t kindOf(const std::string& option, const std::string& word) {
  for (const KindWord& entry : kKindAliases) {
    if (word == entry.word) {
      return entry.kind;
    }
  }
  int32_t kind = 0;
  if (orvex_parse_word(ORVEX_VOCABULARY_CHANNEL_KIND, word.c_str(), &kind) != ORVEX_STATUS_OK) {
    throw CLI::ValidationError(option, "\"" + word + "\" is not " + kKindChoices);
  }
  return kind;
}

std::string versionText() {
  const char* version = nullptr;
  orvex_version(nullptr, nullptr, nullptr, &version);
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
  copy->add_option_function<std::string>(
          "--name",
          [&options](const std::string& value) {
            const auto [index, name] = assignment("--name", value, "I=TEXT");
            options.copy.names[channelIndex("--name", index)] = wellFormedName("--name", name);
          },
          "Rename extra channel I (0: the first extra channel) to TEXT")
      ->type_name("I=TEXT")
      ->trigger_on_parse();
  copy->add_option_function<std::string>(
          "--kind",
          [&options](const std::string& value) {
            const auto [index, word] = assignment("--kind", value, "I=KIND");
            options.copy.kinds[channelIndex("--kind", index)] = kindOf("--kind", word);
          },
          std::string("Make extra channel I ") + kKindChoices)
      ->type_name("I=KIND")
      ->trigger_on_parse();
  copy->add_option_function<std::string>(
          "--drop",
          [&options](const std::string& value) {
            options.copy.drops.insert(channelIndex("--drop", value));
          },
          "Leave extra channel I out of OUT (0: the first extra channel)")
      ->type_name("I")
      ->trigger_on_parse();
  setNotes(*copy, kCopyNotes);
  copy->callback([&options, &dir, &planar] {
    options.command = Command::Copy;
    options.copy.dir = static_cast<uint16_t>(dir);
    options.copy.separatePlanes = planar == "separate";
  });
}

void addSplit(CLI::App& app, Options& options, unsigned& dir) {
  CLI::App* split =
      app.add_subcommand("split", "Write every channel of one directory as an image of its own");
  split->add_option("IN", options.split.input, "TIFF file to read")->required();
  split->add_option("OUTDIR", options.split.folder, "Folder to write into, created when missing")
      ->required();
  split->add_option("--dir", dir, "Directory to split (default 0)")
      ->check(CLI::Range(0U, kLargestIndex));
  split->add_flag("--png", options.split.png, "Write 8-bit PNGs instead of TIFFs");
  split->add_flag("--json", options.split.json, "Print one JSON document");
  setNotes(*split, kSplitNotes);
  split->callback([&options, &dir] {
    options.command = Command::Split;
    options.split.dir = static_cast<uint16_t>(dir);
  });
}

// A spot colour's PLANE may end in "@" and its display colour.
PlaneOption planeOption(const std::string& option, int32_t kind, const std::string& name,
                        const std::string& path) {
  const size_t at = path.rfind('@');
  if (kind != ORVEX_CHANNEL_SPOT || at == std::string::npos ||
      !ColourText::isColour(path.substr(at + 1))) {
    return {kind, name, path, false, std::nullopt};
  }
  try {
    return {kind, name, path.substr(0, at), false, ColourText::parse(path.substr(at + 1))};
  } catch (const std::invalid_argument& error) {
    throw CLI::ValidationError(option, error.what());
  }
}

// --spot, --alpha and --associated, which add a plane as an extra channel.
void addPlaneOptions(CLI::App& command, std::vector<PlaneOption>& planes) {
  for (const PlaneKindOption& entry : kPlaneKindOptions) {
    const std::string option = entry.option;
    const int32_t kind = entry.kind;
    command
        .add_option_function<std::string>(
            option,
            [&planes, option, kind](const std::string& value) {
              const auto [name, path] = assignment(option, value, "NAME=PLANE");
              if (path.empty()) {
                throw CLI::ValidationError(option, "\"" + value + "\" names no PLANE");
              }
              planes.push_back(planeOption(option, kind, wellFormedName(option, name), path));
            },
            entry.help)
        ->type_name("NAME=PLANE")
        ->trigger_on_parse();
  }
}

void addMerge(CLI::App& app, Options& options, unsigned& dir, std::string& planar) {
  CLI::App* merge =
      app.add_subcommand("merge", "Add single-channel planes to a directory as extra channels");
  merge->add_option("OUT", options.merge.output, "TIFF file to write")->required();
  merge->add_option("BASE", options.merge.base, "TIFF file whose directory comes first")
      ->required();
  addPlaneOptions(*merge, options.merge.planes);
  merge
      ->add_option_function<std::string>(
          "--replace",
          [&options](const std::string& value) {
            const auto [name, path] = assignment("--replace", value, "NAME=PLANE");
            if (path.empty()) {
              throw CLI::ValidationError("--replace", "\"" + value + "\" names no PLANE");
            }
            options.merge.planes.push_back({ORVEX_CHANNEL_UNSPECIFIED,
                                            wellFormedName("--replace", name), path, true,
                                            std::nullopt});
          },
          "Replace the samples of BASE's extra channel NAME with PLANE; its name, kind and "
          "colour stay")
      ->type_name("NAME=PLANE")
      ->trigger_on_parse();
  merge->add_option("--dir", dir, "Directory of BASE (default 0)")
      ->check(CLI::Range(0U, kLargestIndex));
  CLI::Option* planarOption =
      merge->add_option("--planar", planar, "Sample layout of OUT: contig or separate (see below)")
          ->check(CLI::IsMember({"contig", "separate"}));
  setNotes(*merge, kMergeNotes);
  merge->callback([&options, &dir, &planar, planarOption] {
    options.command = Command::Merge;
    options.merge.dir = static_cast<uint16_t>(dir);
    if (planarOption->count() > 0) {
      options.merge.separatePlanes = planar == "separate";
    }
  });
}

struct ColourModelOption {
  const char* option;
  int32_t photometric;
  int planes;
  const char* help;
};

const ColourModelOption kColourModelOptions[] = {
    {"--cmyk", ORVEX_PHOTOMETRIC_SEPARATED, 4, "Cyan, magenta, yellow and black plates"},
    {"--rgb", ORVEX_PHOTOMETRIC_RGB, 3, "Red, green and blue planes"},
    {"--grey", ORVEX_PHOTOMETRIC_MIN_IS_BLACK, 1, "A grey plane, whose photometric OUT takes"},
};

void addJoin(CLI::App& app, Options& options, std::string& planar) {
  CLI::App* join =
      app.add_subcommand("join", "Build an image from single-channel planes, such as split's");
  join->add_option("OUT", options.join.output, "TIFF file to write")->required();
  CLI::Option_group* model = join->add_option_group("colour model");
  for (const ColourModelOption& entry : kColourModelOptions) {
    const int32_t photometric = entry.photometric;
    model
        ->add_option_function<std::vector<std::string>>(
            entry.option,
            [&options, photometric](const std::vector<std::string>& paths) {
              options.join.photometric = photometric;
              options.join.colourPlanes = paths;
            },
            entry.help)
        ->expected(entry.planes)
        ->type_name("PLANE");
  }
  model->require_option(1);
  addPlaneOptions(*join, options.join.planes);
  join->add_option("--icc", options.join.iccProfile,
                   "OUT's ICC profile from FILE, such as the profile.icc split writes")
      ->type_name("FILE");
  CLI::Option* planarOption =
      join->add_option("--planar", planar, "Sample layout of OUT: contig or separate (see below)")
          ->check(CLI::IsMember({"contig", "separate"}));
  setNotes(*join, kJoinNotes);
  join->callback([&options, &planar, planarOption] {
    options.command = Command::Join;
    if (planarOption->count() > 0) {
      options.join.separatePlanes = planar == "separate";
    }
  });
}

void addPreview(CLI::App& app, Options& options, unsigned& dir, unsigned& channel,
                std::string& compression) {
  CLI::App* preview = app.add_subcommand("preview", "Write an 8-bit PNG of what a host receives");
  preview->add_option("IN", options.preview.input, "TIFF file to read")->required();
  preview->add_option("OUT", options.preview.output, "PNG file to write")->required();
  preview->add_option("--dir", dir, "Directory to show (default 0)")
      ->check(CLI::Range(0U, kLargestIndex));
  CLI::Option* channelOption =
      preview->add_option("--channel", channel, "Show this channel alone, in grey")
          ->check(CLI::Range(0U, kLargestIndex));
  preview
      ->add_option("--compression", compression,
                   "PNG compression: fast (the default) or best (a smaller file)")
      ->check(CLI::IsMember({"fast", "best"}));
  setNotes(*preview, kPreviewNotes);
  preview->callback([&options, &dir, &channel, channelOption, &compression] {
    options.command = Command::Preview;
    options.preview.dir = static_cast<uint16_t>(dir);
    options.preview.compression =
        compression == "best" ? PngCompression::Best : PngCompression::Fast;
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
  // Only one command is parsed, so the commands share the variables of their common options.
  unsigned dir = 0;
  unsigned channel = 0;
  std::string planar = "contig";
  std::string compression = "fast";
  addInfo(app, options);
  addCopy(app, options, dir, planar);
  addPreview(app, options, dir, channel, compression);
  addSplit(app, options, dir);
  addMerge(app, options, dir, planar);
  addJoin(app, options, planar);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? 0 : static_cast<int>(kExitUsage);
  }
  return std::nullopt;
}

}  // namespace orvex_cli
