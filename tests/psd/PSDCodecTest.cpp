// The image-resource block byte by byte: what the decoder keeps of whole, odd and broken
// blocks, and the exact bytes the encoder writes for what was decoded.
#include <gtest/gtest.h>

#include <optional>

#include "psd/PSDDecoder.h"
#include "psd/PSDEncoder.h"
#include "psd/PsdText.h"
#include "support/TempDir.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

using orvex_test::bytesOf;
using psd_test::Bytes;
using psd_test::decoded;
using psd_test::resource;

const std::string kNameA = resource(1006, "01'A'");
const std::string kIds9 = resource(1053, "00000009");

struct DecodeCase {
  const char* label;
  std::string block;
};

// A resource that cannot be delimited ends the walk, an entry that does not fit ends its
// resource; what came before stays.
const DecodeCase kDecodeCases[] = {
    {"empty block", ""},
    {"name length 0: length byte and pad", "'8BIM' 03EE 0000 00000002 01'A'" + kIds9},
    {"name length 1: no pad", "'8BIM' 03EE 01'X' 00000002 01'A'" + kIds9},
    {"name length 2: pad", "'8BIM' 03EE 02'XX' 00 00000002 01'A'" + kIds9},
    {"odd sizes padded, other IDs skipped",
     "'8BIM' 1234 0000 00000005 'abcde' 00 '8BIM' 03EE 0000 00000005 04'WXYZ' 00" + kNameA},
    {"words without the signature stepped over", "00000000 '8BIX' 3842494E" + kNameA},
    {"no resynchronising byte by byte", "0000" + kNameA},
    {"3 bytes left", kNameA + "384249"},
    {"signature alone", kNameA + "'8BIM'"},
    {"no name length", kNameA + "'8BIM' 041D"},
    {"name pad missing", kNameA + "'8BIM' 041D 02'ab'"},
    {"size cut", kNameA + "'8BIM' 041D 0000 000000"},
    {"data cut", kNameA + "'8BIM' 041D 0000 00000008 00000001"},
    {"huge size", kNameA + "'8BIM' 041D 0000 FFFFFFFF 00000001"},
    {"resource inside a cut one", kNameA + "'8BIM' 03EE 0000 00000028" + kIds9},
    {"last pad missing", kNameA + "'8BIM' 03EE 0000 00000003 02'BC'"},
    {"names append, records are replaced",
     "'8BIM' 03EE 0000 00000004 01'A' 01'B' '8BIM' 0415 0000 00000008 00000002 0058 0000"
     "'8BIM' 041D 0000 00000008 00000001 00000002 '8BIM' 042B 0000 00000004 0001 0000"
     "'8BIM' 0435 0000 00000004 00000001 '8BIM' 03EE 0000 00000001 00 00"
     "'8BIM' 0415 0000 00000008 00000002 0059 0000 '8BIM' 041D 0000 00000004 00000003"
     "'8BIM' 042B 0000 00000004 0002 0000 '8BIM' 0435 0000 00000004 00000002"},
    {"Unicode name cut at a zero unit", resource(1045, "00000004 0041 0042 0000 0043")},
    {"Unicode name of no units", resource(1045, "00000000")},
    {"Unicode terminator alone", resource(1045, "00000001 0000")},
    {"Unicode name without terminator", resource(1045, "00000001 00E9")},
    {"two Unicode names", resource(1045, "00000002 0050 0000 00000003 0051 0052 0000")},
    {"display version alone", resource(1077, "00000007")},
    {"display entries as stored",
     resource(1077, "00000001 0007 0001 0002 0003 0004 00FA 09 0000 FFFF 0000 0000 0000 0064 02")},
    {"no identifiers", resource(1053, "")},
    {"no spot colours", resource(1067, "0001 0000")},
    {"name cut", resource(1006, "01'A' 02'B'")},
    {"unit count cut", resource(1045, "00000002 0041 0000 0000")},
    {"units cut", resource(1045, "00000002 0041 0000 00000003 0042 0043")},
    {"huge unit count", resource(1045, "FFFFFFFF 0041")},
    {"identifier cut", resource(1053, "00000001 000002")},
    {"spot colour cut",
     resource(1067, "0001 0003 00000005 0007 0001 0002 0003 0004 00000000 0000")},
    {"spot colour header cut", resource(1067, "000100")},
    {"display entry cut",
     resource(1077, "00000001 0000 0001 0002 0003 0004 0032 02 00000000 0000")},
    {"display version cut", resource(1077, "000001")},
};

// What is kept of each block is in tests/data/transcripts/psd/decoded.txt.
TEST(PSDDecoder, KeepsWhatTheBlockDelimits) {
  std::string text;
  for (const DecodeCase& c : kDecodeCases)
    text += std::string(c.label) + ": " + decoded(bytesOf(c.block)) + "\n";
  orvex_test::expectTranscript("psd/decoded.txt", text);
}

// The walk takes every block and every resource, whatever it holds: a host never sees it fail.
TEST(PSDDecoder, TakesEveryBlockAndResource) {
  orvex::PSDDecoder decoder;
  EXPECT_TRUE(decoder.readImageResource(0x0400, nullptr, 0));
  EXPECT_TRUE(decoder.readImageResources(nullptr, 12));
}

// Five resources of even sizes, in the order the encoder writes them.
const std::string kUnicode = resource(1045, "00000001 0000");
const std::string kDisplay =
    resource(1077, "00000001 0000 FFFF 0000 0000 0000 0064 01 0000 FFFF 0000 0000 0000 0032 02");
const std::string kIds = resource(1053, "00000401 00000402");
const std::string kSpots =
    resource(1067, "0001 0002 00000401 0007 3200 0000 0000 0000 00000402 0007 3200 0001 0000 0000");

// Photoshop's own block of a real file, which holds none of the channel resources, then ours:
// a cut inside a resource keeps the resources before it, and nothing past the cut is read.
TEST(PSDDecoder, EveryCutOfABlockKeepsTheResourcesBeforeIt) {
  const std::string adobe = orvex_test::testDataFile("pillow/tiff_adobe_deflate.tif");
  Bytes block;
  for (const Bytes& resource :
       {orvex_test::photoshopTagOf(adobe), bytesOf(kNameA), bytesOf(kUnicode), bytesOf(kDisplay),
        bytesOf(kIds), bytesOf(kSpots)}) {
    const std::string kept = decoded(block);
    block.insert(block.end(), resource.begin(), resource.end());
    for (size_t size = block.size() - resource.size(); size < block.size(); ++size) {
      ASSERT_EQ(decoded(Bytes(block.begin(), block.begin() + size)), kept) << size;
    }
  }
  EXPECT_EQ(block.size(), 7516U + 138U);
  EXPECT_EQ(decoded(block),
            "names \"A\"; unicode -; display 1 0,65535,0,0,0,100,1 0,65535,0,0,0,50,2; "
            "ids 1025 1026; spots 1 1025,7,12800,0,0,0 1026,7,12800,1,0,0");
}

// A decoded block encoded again gives the same bytes when it was written as the encoder
// writes, else the encoder's own.
struct EncodeCase {
  const char* label;
  std::string bytes;
  std::optional<std::string> encoded;  ///< the same bytes when absent
};

const EncodeCase kEncodeCases[] = {
    {"empty records left out",
     "'8BIM' 0435 0000 00000004 00000001 '8BIM' 041D 0000 00000000 '8BIM' 042B 0000 00000004 "
     "0000 0000",
     ""},
    {"Pascal name", "'8BIM' 03EE 0000 00000008 07'Alpha 1'", std::nullopt},
    {"empty Pascal name, padded", "'8BIM' 03EE 0000 00000001 00 00", std::nullopt},
    {"Unicode names, terminators counted",
     "'8BIM' 0415 0000 00000014 00000003 0041 0042 0000 00000003 D83D DE00 0000", std::nullopt},
    {"display entry, padded",
     "'8BIM' 0435 0000 00000011 00000001 0007 0001 0002 0003 ABCD 0032 02 00", std::nullopt},
    {"spot colours always version 1",
     "'8BIM' 042B 0000 00000012 0005 0001 01020304 0007 0009 0008 0007 0006",
     "'8BIM' 042B 0000 00000012 0001 0001 01020304 0007 0009 0008 0007 0006"},
    {"resources in a fixed order", kSpots + kIds + kDisplay + kUnicode + kNameA,
     kNameA + kUnicode + kDisplay + kIds + kSpots},
    {"what the writer stores for one spot channel named S",
     "'8BIM' 03EE 0000 00000002 01'S' '8BIM' 0415 0000 00000008 00000002 0053 0000 "
     "'8BIM' 0435 0000 00000011 00000001 0000 FFFF 0000 0000 0000 0032 02 00 "
     "'8BIM' 041D 0000 00000004 00000400 "
     "'8BIM' 042B 0000 00000012 0001 0001 00000400 0007 3200 0000 0000 0000",
     std::nullopt},
};

TEST(PSDEncoder, WritesTheBlockBackExactly) {
  for (const EncodeCase& c : kEncodeCases) {
    SCOPED_TRACE(c.label);
    orvex::PSDEncoder encoder(psd_test::resourcesOf(bytesOf(c.bytes)));
    for (int pass = 0; pass < 2; ++pass) {  // each encode starts afresh
      ASSERT_TRUE(encoder.encode());
      EXPECT_EQ(encoder.bytesStream(), bytesOf(c.encoded.value_or(c.bytes)));
    }
  }
  orvex::PSDImageResources longName;
  longName.alphaNames = {std::string(300, 'x')};
  orvex::PSDEncoder encoder(longName);
  ASSERT_TRUE(encoder.encode());
  EXPECT_EQ(encoder.bytesStream(),
            bytesOf("'8BIM' 03EE 0000 00000100 FF'" + std::string(255, 'x') + "'"));
}

}  // namespace
