// What the writer stores, as libtiff reads it back: the tags for each value of the host's
// enumerations, the extra channels with the Photoshop resources naming them and the warnings
// (tests/data/transcripts/writer/tags.txt), the ICC profile, and the rows in both layouts.
#include <gtest/gtest.h>

#include <sstream>

#include "orvex/orvex.h"
#include "psd/PsdText.h"
#include "support/LogCapture.h"
#include "support/ReferenceDecoder.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

template <typename Value>
void printTags(TIFF* tif, std::ostream& out, std::initializer_list<ttag_t> tags) {
  for (const ttag_t tag : tags) {
    Value value{};
    if (TIFFGetField(tif, tag, &value) != 0) out << ' ' << tag << '=' << value;
  }
}

// "tag=value" for each tag present: ExtraSamples as a list, tag 34377 last, as the channels the
// Photoshop tag reader makes of it and, on a line of their own, their colours.
std::string tagsOf(const std::string& path) {
  TIFF* tif = orvex_test::openTiff(path, "r");
  std::ostringstream out;
  printTags<uint32_t>(tif, out, {256, 257, 278});
  printTags<uint16_t>(tif, out, {259, 266, 274, 258, 262, 339, 296, 284, 277});
  uint16_t count = 0;
  const uint16_t* kinds = nullptr;
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) != 0) {
    for (uint16_t i = 0; i < count; ++i) out << (i == 0 ? " 338=" : ",") << kinds[i];
  }
  printTags<float>(tif, out, {282, 283});
  if (!orvex_test::photoshopTagOf(path).empty()) out << " 34377=" << psd_test::channelsOf(path);
  TIFFClose(tif);
  return out.str();
}

struct TagCase {
  int photometric;
  int sampleFormat;
  int resolutionUnit;
  int32_t planarConfig;
  uint16_t bits;
  uint16_t extraSamples;
  const char* channels;
};

// Every value of each enumeration, several to a file. Each file is 13 x 23 pixels of one
// sample and the extra ones: sub-byte rows end in spare bits, the last strip is short.
const TagCase kTagCases[] = {
    {0, 1, -1, 2, 16, 1, "assoc:A"},
    {1, 2, 0, 1, 8, 0, "assoc:ignored"},
    // The reader takes each unit of a surrogate pair for a character.
    {2, 3, 1, 0, 32, 1, "unspecified:\xF0\x9F\x98\x80"},
    {3, 4, 2, 3, 8, 1, "unassoc:K"},
    {4, 5, -2, -2, 16, 1, "spot:S"},
    {5, 6, 0, 1, 32, 1, "4:K"},
    {6, -1, 0, 1, 8, 1, "-1:K"},
    {7, 0, 0, 1, 1, 0, ""},
    {8, 7, 0, 2, 4, 0, ""},
    {9, 1, 0, 1, 2, 0, ""},
    {10, 3, 0, 1, 32, 2, "assoc:A; unassoc:B; spot:C"},  // channels beyond the extra samples
    {-1, 1, 0, 1, 1, 0, ""},
    // The channel missing: unnamed, unspecified, a warning.
    {11, 1, 0, 2, 8, 2, "spot:Gold"},
    {-7, 1, 0, 1, 8, 3, "assoc:Alpha 1; spot:Spot \xC3\xA9; unassoc:"},
};

// Distinct bytes for every row of every plane, the spare bits of sub-byte rows zero.
std::vector<std::vector<uint8_t>> rowsOf(const TiffImageInfo& info, bool separate) {
  std::vector<std::vector<uint8_t>> rows;  // plane after plane, row after row
  const uint32_t bits = info.width * info.bitsPerSample * (separate ? 1 : info.samplesPerPixel);
  for (uint16_t plane = 0; plane < (separate ? info.samplesPerPixel : 1); ++plane) {
    for (uint32_t y = 0; y < info.height; ++y) {
      std::vector<uint8_t> row((bits + 7) / 8);
      for (size_t i = 0; i < row.size(); ++i)
        row[i] = static_cast<uint8_t>(i * 7 + y * 13 + plane * 101 + 1);
      row.back() &= static_cast<uint8_t>(0xFF << (row.size() * 8 - bits));
      rows.push_back(row);
    }
  }
  return rows;
}

TEST(WriterTags, StoresTheDescriptionAsTagsAndTheRowsAsGiven) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("written.tif");
  std::string text;
  for (const TagCase& c : kTagCases) {
    SCOPED_TRACE(c.channels);
    TiffImageInfo info;
    info.width = 13;
    info.height = 23;
    info.bitsPerSample = c.bits;
    info.samplesPerPixel = static_cast<uint16_t>(1 + c.extraSamples);
    info.extraSamples = c.extraSamples;
    info.channels = psd_test::channelsFrom(c.channels);
    info.sampleFormat = static_cast<TiffSampleFormat>(c.sampleFormat);
    info.photometric = static_cast<TiffPhotometric>(c.photometric);
    info.xResolution = 300.5F;
    info.yResolution = 150.25F;
    info.resolutionUnit = static_cast<TiffResolutionUnit>(c.resolutionUnit);
    if (c.bits == 16) info.iccProfile = {0, 2, 0x0C, 'a', 0xFF, 0};  // the others have none
    const bool separate = c.planarConfig == 2;
    const std::vector<std::vector<uint8_t>> rows = rowsOf(info, separate);
    orvex_test::LogCapture log;
    ITiffWriter* writer = createTiffWriter();
    ASSERT_TRUE(writer->begin(path.c_str(), info, c.planarConfig));
    for (size_t i = 0; i < rows.size(); ++i) {
      const auto bytes = static_cast<uint32_t>(rows[i].size());
      EXPECT_TRUE(
          separate
              ? writer->writeScanline(static_cast<uint16_t>(i / 23), i % 23, rows[i].data(), bytes)
              : writer->writeScanline(static_cast<uint32_t>(i), rows[i].data(), bytes));
    }
    destroyTiffWriter(writer);
    text += tagsOf(path) + "\n" + psd_test::decoded(orvex_test::photoshopTagOf(path)) + "\n";
    for (const orvex_test::LogRecord& record : log.records()) {
      if (record.level >= 3) text += orvex_test::transcriptOf({record});
    }
    const orvex_test::ReferenceDirectory reference = orvex_test::referenceOf(path);
    EXPECT_EQ(reference.info.iccProfile, info.iccProfile);  // byte for byte, or no tag
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(separate ? reference.channelScanlines[i / 23][i % 23] : reference.scanlines[i],
                rows[i])
          << i;
    }
  }
  orvex_test::expectTranscript("writer/tags.txt", text);
}

}  // namespace
