// What only the helper itself shows: the directory dump of values libtiff never lets a file
// carry, the geometry of every orientation and turn, and the refusals of a directory still
// being written, which lacks tags libtiff insists on when it reads a file; and a reader that has
// begun no page.
#include "reader/TiffHelper.h"
#include "reader/TiffReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

using orvex::TiffHelper;

TEST(TiffHelper, DumpsEveryValueItKnowsByNameAndOthersByNumber) {
  const uint16_t formats[] = {1, 2, 3, 4, 5, 6, 0, 7};
  const uint16_t photometrics[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 32803, 32844, 32845, 65535};
  const uint16_t planars[] = {1, 2, 3};
  const uint16_t orientations[] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 9};
  const uint16_t units[] = {1, 2, 3, 0};
  // Kinds beyond the count, and a count beyond the kinds, are not dumped.
  const std::vector<uint16_t> kinds[] = {{}, {2, 7, 0, 1}, {1}, {1, 2, 0}};
  const uint16_t counts[] = {0, 4, 3, 1};
  orvex_test::LogCapture log;
  for (uint16_t i = 0; i < 15; ++i) {
    orvex::TiffInfo info;
    info.numberOfDirectories_ = 15;
    info.dirIndex_ = i;
    info.imagewidth_ = 100U + i;
    info.imagelength_ = 200U + i;
    info.bitspersample_ = info.samplesperpixel_ = info.compression_ = i;
    info.extrasamples_ = counts[i % 4];
    info.extrasamplesinfo_ = kinds[i % 4];
    info.sampleformat_ = formats[i % 8];
    info.photometric_ = photometrics[i];
    info.planarconfig_ = planars[i % 3];
    info.orientation_ = orientations[i % 10];
    info.xresolution_ = 300.5F + i;
    info.yresolution_ = 0.25F * i;
    info.resolutionunit_ = units[i % 4];
    info.fillorder_ = i;
    info.isTiled_ = i % 2 == 1;
    info.rowsperstrip_ = info.tilewidth_ = 16U * i;
    info.tilelength_ = 32U * i;
    TiffHelper::logTiffInfo("x.tif", info);
  }
  orvex_test::expectTranscript("reader/dump.txt", orvex_test::transcriptOf(log.records()));
}

// 300 x 200 at 300 x 150 per unit, in every orientation (0 and 9 are none), as the adjuster
// asks, unturned; then the units, one of them unknown, a resolution of 0, and turns of
// any sign, beyond a full turn.
TEST(TiffHelper, CalculatesTheGeometryOfEveryOrientationAndUnit) {
  std::string text;
  orvex_test::LogCapture log;
  const auto calculate = [&](uint16_t orientation, int32_t rotation, uint16_t unit, float x) {
    orvex::DpiOutput out;
    TiffHelper::calculate_DPI({300, 200, orientation, rotation, x, 150.0F, unit}, out);
    char line[160];
    std::snprintf(line, sizeof line,
                  "orientation %u, %d degrees, unit %u: %ux%u, %g x %g, %g x %g mm, unit %u\n",
                  orientation, rotation, unit, out.width_, out.height_, out.xResolution_,
                  out.yResolution_, out.physicalWidthMm_, out.physicalHeightMm_,
                  out.resolutionUnit_);
    text += line + orvex_test::transcriptOf(log.records());
    log.clear();
  };
  for (uint16_t orientation = 0; orientation <= 9; ++orientation) {
    calculate(orientation, 0, RESUNIT_INCH, 300.0F);
  }
  for (const uint16_t unit : {RESUNIT_CENTIMETER, RESUNIT_NONE, 0, 4}) {
    calculate(ORIENTATION_RIGHTTOP, 0, unit, 300.0F);
  }
  calculate(ORIENTATION_TOPLEFT, 0, RESUNIT_INCH, 0.0F);
  for (const int32_t rotation : {90, -90, 450, 540}) {
    calculate(rotation < 0 ? ORIENTATION_BOTLEFT : ORIENTATION_TOPLEFT, rotation, RESUNIT_INCH,
              300.0F);
  }
  orvex_test::expectTranscript("reader/dpi.txt", text);
}

// libtiff gives width and length one "is set" mark, so the length is never the missing one.
TEST(TiffHelper, RefusesADirectoryStillBeingWrittenWithTheTagItLacks) {
  orvex_test::TempDir temp;
  TIFF* tif = orvex_test::openTiff(temp.file("unfinished.tif"), "w");
  orvex_test::LogCapture log;
  orvex::TiffInfo info;
  orvex::ColorMap colorMap;
  EXPECT_FALSE(TiffHelper::readTiffInfo(tif, info));
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 9U);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 4U);
  EXPECT_FALSE(TiffHelper::readTiffInfo(tif, info));
  EXPECT_FALSE(TiffHelper::getPaletteInfo(tif, colorMap));
  EXPECT_EQ(orvex_test::transcriptOf(log.records()),
            "[4] TIFFTAG_IMAGEWIDTH is empty!\n[4] TIFFTAG_PHOTOMETRIC is empty!\n"
            "[4] [TiffHelper::getPaletteInfo] No colormap(not a valid palette image)!\n");
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);  // a directory libtiff can close
  TIFFClose(tif);
}

// Before a page is begun there are no rows to size and no stored layout to tell.
TEST(TiffReader, DescribesNothingBeforeAPageIsBegun) {
  const orvex::TiffReader reader;
  EXPECT_EQ(reader.scanlineBytes(false), 0);
  EXPECT_EQ(reader.storedPlanarConfig(), 0);
  EXPECT_EQ(reader.storedRowsPerBlock(), 0U);
}

}  // namespace
