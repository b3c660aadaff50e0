#include "DemoCommand.h"

#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "FileReport.h"
#include "PictureRows.h"
#include "PreviewCommand.h"
#include "TextDescription.h"
#include "TiffSource.h"
#include "TiffTarget.h"
#include "orvex/orvex_c.h"

namespace orvex_cli {

ExitCode DemoCommand::run(LogTap& log, std::ostream& out) {
  const char* version = nullptr;
  orvex_version(nullptr, nullptr, nullptr, &version);
  out << "orvex " << version
      << " demo: a sample image written and read back through the library\n\n";

  const std::filesystem::path folder = makeFolder();
  const std::string tiffPath = (folder / "sample.tif").u8string();
  const std::string pngPath = (folder / "sample.png").u8string();
  const DemoImage image;
  writeSample(log, image, tiffPath);
  out << "wrote " << tiffPath << ": " << image.info().width << " x " << image.info().height
      << " RGB, 8 bits, an associated alpha and a spot channel, 300 dpi, an ICC profile\n\n";

  TextDescription::print(out, FileReport::describe(log, tiffPath));
  out << "\n";
  readBack(log, image, tiffPath, pngPath, out);
  out << "\nfiles are in " << folder.u8string() << "\n";
  return kExitSuccess;
}

std::filesystem::path DemoCommand::makeFolder() {
  std::random_device seed;
  std::mt19937 random(seed());
  const std::filesystem::path temporary = std::filesystem::temp_directory_path();
  for (;;) {
    std::ostringstream name;
    name << "orvex-demo-" << std::hex << (random() & 0xFFFFFFU);
    const std::filesystem::path folder = temporary / name.str();
    if (std::filesystem::create_directory(folder)) {
      return folder;
    }
  }
}

void DemoCommand::writeSample(LogTap& log, const DemoImage& image, const std::string& path) {
  TiffTarget target(log, path, image.info(), false);
  for (uint32_t y = 0; y < image.info().height; ++y) {
    const std::vector<uint8_t> row = image.row(y);
    target.write(y, row.data(), row.size());
  }
  target.finish();
}

void DemoCommand::readBack(LogTap& log, const DemoImage& image, const std::string& path,
                           const std::string& pngPath, std::ostream& out) {
  TiffSource source(log, path);
  source.require(0);
  ProgressBar noProgress("", 0, 0);
  PictureRows rows(source, std::nullopt, noProgress);
  uint32_t differing = 0;
  for (uint32_t y = 0; y < rows.height(); ++y) {
    const std::vector<uint8_t> written = image.row(y);
    if (rows.rowBytes() != written.size() ||
        std::memcmp(rows.row(y), written.data(), written.size()) != 0) {
      ++differing;
    }
  }
  if (differing != 0 || rows.height() != image.info().height) {
    throw ToolError(kExitFileError, std::to_string(differing) + " of the " +
                                        std::to_string(rows.height()) +
                                        " rows read back differ from those written");
  }
  out << "read back " << rows.height() << " rows: every sample equals the one written\n";
  const std::string shown = PreviewCommand::render(source, std::nullopt, pngPath, noProgress);
  out << "preview (" << shown << "): " << pngPath << "\n";
}

}  // namespace orvex_cli
