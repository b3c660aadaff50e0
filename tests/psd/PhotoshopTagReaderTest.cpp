// The channels of a directory: kinds from ExtraSamples, names and spot marks from the resources
// of tag 34377. What the writer stores there is checked with the writer's tags.
#include <gtest/gtest.h>

#include <string>

#include "psd/PsdText.h"
#include "psd/TiffPhotoshopTagReader.h"
#include "psd/TiffPhotoshopTagWriter.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

using psd_test::channelsOf;
using psd_test::resource;

struct ReadCase {
  const char* label;
  std::string extraSamples;
  std::string block;
};

const std::string kPascal = resource(1006, "02'p0' 02'p1'");
const std::string kSpot1025 = " 00000401 0007 3200 0000 0000 0000";

const std::string kDisplay2 =
    resource(1077, "00000001 0000 FFFF 0000 0000 0000 0032 02  0002 0000 8000 0000 0000 0019 00");

// Each case as its label, its ExtraSamples values (one digit each) and its block in hex (no tag
// 34377 when empty).
const ReadCase kReadCases[] = {
    {"no tag", "", ""},
    {"no tag, an extra sample", "2", ""},
    {"no extra samples: nothing to name", "", resource(1006, "01'x'")},
    {"Unicode names first", "20",
     kPascal + resource(1045, "00000004 00E9 0074 00E9 0000 00000002 5730 0000")},
    {"empty Unicode name: Pascal name", "00",
     kPascal + resource(1045, "00000001 0000 00000003 0075 0031 0000")},
    {"missing Unicode name: Pascal name", "00",
     kPascal + resource(1045, "00000003 0075 0030 0000")},
    {"more channels than names", "102", resource(1006, "04'only'")},
    {"spot colour by identifier", "12",
     resource(1053, "00000400 00000401") + resource(1067, "0001 0001" + kSpot1025)},
    {"channel without identifier keeps its kind", "02",
     resource(1053, "00000400") +
         resource(1067, "0001 0002" + kSpot1025 + " 00000400 0007 3200 0000 0000 0000")},
    {"no spot colours need no identifiers", "2",
     resource(1045, "00000002 0041 0000") + resource(1067, "0001 0000")},
    {"damaged tail: names before it kept", "00", resource(1006, "04'kept'") + "'8BIM' 03EE 00"},
    {"spot colours without identifiers", "0",
     resource(1045, "00000002 0053 0000") + resource(1067, "0001 0001" + kSpot1025)},
    {"display info alone", "00", kDisplay2},
    {"spot colour over display colour", "00",
     kDisplay2 + resource(1053, "00000400 00000401") + resource(1067, "0001 0001" + kSpot1025)},
    {"spot colour without display entry", "00",
     resource(1053, "00000400 00000401") + resource(1067, "0001 0001" + kSpot1025)},
    {"fewer display entries than channels", "000",
     resource(1077, "00000001 0008 2710 0000 0000 0000 0064 00")},
};

// What the reader makes of each case: the channels (or "false") with the records logged, then the
// colours (tests/data/transcripts/psd/reader.txt).
TEST(TiffPhotoshopTagReader, NamesMarksAndColoursTheExtraChannels) {
  orvex_test::TempDir temp;
  const std::string path = temp.file("read.tif");
  std::string text;
  for (const ReadCase& c : kReadCases) {
    orvex_test::TiffSetup image;
    image.samplesPerPixel = static_cast<uint16_t>(1 + c.extraSamples.size());
    for (const char value : c.extraSamples) image.extraSamples.push_back(value - '0');
    image.photoshop = orvex_test::bytesOf(c.block);
    orvex_test::writeTiff(path, image, orvex_test::patternImage(image));
    text += std::string("# ") + c.label + "\n" + channelsOf(path) + "\n";
  }
  orvex_test::expectTranscript("psd/reader.txt", text);
  orvex_test::LogCapture log;
  EXPECT_FALSE(orvex::TiffPhotoshopTagReader().read(nullptr, {}));
  EXPECT_TRUE(orvex::TiffPhotoshopTagWriter::write(
      nullptr, {}, orvex::TextCodec::Surrogates::Refused));  // nothing to write
  EXPECT_TRUE(log.records().empty());
}

}  // namespace
