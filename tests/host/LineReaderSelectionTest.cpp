// Which directories the reader accepts, and the exact reason it gives for each refusal.
#include <gtest/gtest.h>

#include <string>

#include "HostReader.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"

namespace {

using orvex_test::LogCapture;
using orvex_test::TiffSpec;

constexpr const char* kSelect = "[TiffReader::createSuitableTiffLineReader] ";

struct SelectionCase {
  const char* name;
  TiffSpec tiffSpec;
  bool accepted;
  int level;  ///< of the line below
  std::string line;
};

TiffSpec tiffSpec(uint16_t photometric, uint16_t bits, uint16_t samples, uint16_t planar = 1) {
  TiffSpec s;
  s.width = 8;
  s.height = 3;
  s.photometric = photometric;
  s.bitsPerSample = bits;
  s.samplesPerPixel = samples;
  s.planar = planar;
  return s;
}

// `s` with one more tag set.
template <typename Field>
TiffSpec with(TiffSpec s, Field TiffSpec::*field, const std::decay_t<Field>& value) {
  s.*field = value;
  return s;
}

TiffSpec withExtra(TiffSpec s, std::vector<uint16_t> extra) {
  return with(std::move(s), &TiffSpec::extraSamples, extra);
}

TiffSpec palette(uint16_t bits, uint16_t samples = 1, uint16_t planar = 1) {
  return with(tiffSpec(PHOTOMETRIC_PALETTE, bits, samples, planar), &TiffSpec::colorMap,
              std::vector<uint16_t>(3 * (size_t{1} << bits), 0));
}

const std::string kCommon = std::string(kSelect) + "use TiffCommonLineReader!";
const std::string kSpecial = std::string(kSelect) + "use TiffSpecialLineReader!";
const std::string kContiguousSubByte = std::string(kSelect) +
                                       "not support PHOTOMETRIC_PALETTE(PLANARCONFIG_CONTIG  "
                                       "samplesperpixel:2 bitspersample:4) ";

class LineReaderSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(LineReaderSelection, AcceptsOrRefusesWithTheExactLine) {
  const SelectionCase& c = GetParam();
  orvex_test::TempDir temp;
  const std::string path = temp.file("selection.tif");
  orvex_test::writeTiff(path, c.tiffSpec, orvex_test::patternImage(c.tiffSpec));
  auto reader = orvex_host_test::makeReader();
  ASSERT_TRUE(reader->begin(path.c_str()));
  LogCapture log;
  EXPECT_EQ(reader->beginReadSubDir(0), c.accepted);
  EXPECT_TRUE(log.contains(c.level, c.line)) << c.line;
  if (!c.accepted) {
    EXPECT_EQ(log.count(kCommon) + log.count(kSpecial), 0U);
    EXPECT_EQ(reader->getImageInfo().width, 0U);
    EXPECT_FALSE(reader->readScanline(0, nullptr, nullptr));
  }
  reader->end();
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineReaderSelection,
    ::testing::Values(
        SelectionCase{"GreyWithAlpha", withExtra(tiffSpec(1, 8, 2), {2}), true, 2, kCommon},
        SelectionCase{"WhiteIsZeroOneBit", tiffSpec(0, 1, 1), true, 2, kCommon},
        SelectionCase{"FourBitGreyAlphaContiguous", withExtra(tiffSpec(1, 4, 2), {2}), false, 4,
                      kContiguousSubByte},
        SelectionCase{"FourBitGreyAlphaSeparate", withExtra(tiffSpec(1, 4, 2, 2), {2}), true, 2,
                      kCommon},
        SelectionCase{
            "RgbWithTwoExtra", withExtra(tiffSpec(2, 8, 4), {2, 0}), false, 4,
            std::string(kSelect) + "PHOTOMETRIC_RGB: samplesperpixel(4) - extrasamples(2) < 3"},
        SelectionCase{"RgbWithOneExtra", withExtra(tiffSpec(2, 8, 4), {1}), true, 2, kCommon},
        SelectionCase{"Palette8", palette(8), true, 2, kCommon},
        SelectionCase{"Palette4TwoSamplesContiguous", palette(4, 2), false, 4, kContiguousSubByte},
        SelectionCase{
            "PaletteTwoSamples", palette(8, 2), false, 2,
            std::string(kSelect) + "not support PHOTOMETRIC_PALETTE[reason: samplesperpixel > 1]!"},
        // A colour map for 2^17 entries is still writable; deeper palettes are not.
        SelectionCase{"Palette17", palette(17), false, 2,
                      std::string(kSelect) +
                          "not support PHOTOMETRIC_PALETTE[reason: info.bitspersample_ > 16]!"},
        SelectionCase{"PaletteSigned", with(palette(8), &TiffSpec::sampleFormat, SAMPLEFORMAT_INT),
                      false, 2,
                      std::string(kSelect) + "not support PHOTOMETRIC_PALETTE[reason: sampleformat "
                                             "is not SAMPLEFORMAT_UINT]!"},
        SelectionCase{"Mask", tiffSpec(PHOTOMETRIC_MASK, 1, 1), true, 2, kCommon},
        SelectionCase{"Cmyk", tiffSpec(PHOTOMETRIC_SEPARATED, 8, 4), true, 0, "[TIFFTAG_INKSET]:1"},
        SelectionCase{
            "CmyOnly", tiffSpec(PHOTOMETRIC_SEPARATED, 8, 3), false, 4,
            std::string(kSelect) + "PHOTOMETRIC_SEPARATED: samplesperpixel is 3 , less than 4!"},
        // The directory read itself refuses a separated image whose inks are not CMYK.
        SelectionCase{"SeparatedOtherInks",
                      with(tiffSpec(PHOTOMETRIC_SEPARATED, 8, 4), &TiffSpec::inkSet, 2), false, 4,
                      std::string(kSelect) + "readTiffInfo failed!"},
        SelectionCase{"YCbCr", tiffSpec(PHOTOMETRIC_YCBCR, 8, 3), true, 2, kSpecial},
        SelectionCase{"CieLab", tiffSpec(PHOTOMETRIC_CIELAB, 8, 3), true, 2, kCommon},
        SelectionCase{"IccLab", tiffSpec(PHOTOMETRIC_ICCLAB, 8, 3), true, 2, kCommon},
        SelectionCase{"ItuLab", tiffSpec(PHOTOMETRIC_ITULAB, 8, 3), true, 2, kCommon},
        SelectionCase{"Cfa", tiffSpec(PHOTOMETRIC_CFA, 8, 1), true, 2, kCommon},
        SelectionCase{
            "LogLUncompressed", tiffSpec(PHOTOMETRIC_LOGL, 16, 1), false, 4,
            std::string(kSelect) + "PHOTOMETRIC_LOGL: LogL data must be COMPRESSION_SGILOG!"},
        SelectionCase{"LogLuvUncompressed", tiffSpec(PHOTOMETRIC_LOGLUV, 16, 3), true, 2, kCommon},
        SelectionCase{"Photometric7", tiffSpec(7, 8, 1), false, 2,
                      std::string(kSelect) + "not support photometric:7!"},
        SelectionCase{"Photometric32767", tiffSpec(32767, 8, 1), false, 2,
                      std::string(kSelect) + "not support photometric:32767!"}),
    [](const ::testing::TestParamInfo<SelectionCase>& param) { return param.param.name; });

}  // namespace
