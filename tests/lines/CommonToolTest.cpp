// Row mirroring and 1/2/4-bit unpacking and packing, against references written here.
#include "lines/CommonTool.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/LogCapture.h"

namespace {

using orvex::CommonTool;
using orvex_test::LogCapture;
using orvex_test::LogRecord;
using Bytes = std::vector<uint8_t>;

constexpr int kError = 4;
constexpr uint8_t kGuard = 0xCC;

Bytes randomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (uint8_t& byte : bytes) {
    byte = static_cast<uint8_t>(random());
  }
  return bytes;
}

// Sample i of a packed row starts at bit i × bits, counted from the most significant bit.
unsigned sampleShift(size_t i, unsigned bits) {
  return 8 - bits - static_cast<unsigned>(i * bits % 8);
}

Bytes referenceUnpack(const Bytes& packed, unsigned bits, size_t count) {
  Bytes values(count);
  for (size_t i = 0; i < count; ++i) {
    values[i] =
        static_cast<uint8_t>((packed[i * bits / 8] >> sampleShift(i, bits)) & ((1U << bits) - 1));
  }
  return values;
}

Bytes referencePack(const Bytes& values, unsigned bits) {
  Bytes packed((values.size() * bits + 7) / 8, 0);
  for (size_t i = 0; i < values.size(); ++i) {
    packed[i * bits / 8] |=
        static_cast<uint8_t>((values[i] & ((1U << bits) - 1)) << sampleShift(i, bits));
  }
  return packed;
}

Bytes withGuards(Bytes bytes, size_t guards) {
  bytes.insert(bytes.end(), guards, kGuard);
  return bytes;
}

class CommonToolRoundTrip
    : public ::testing::TestWithParam<std::tuple<uint16_t, uint32_t, uint16_t>> {
protected:
  uint16_t bits() const { return std::get<0>(GetParam()); }
  uint32_t width() const { return std::get<1>(GetParam()); }
  uint16_t spp() const { return std::get<2>(GetParam()); }
  size_t samples() const { return size_t{width()} * spp(); }
  size_t packedSize() const { return (samples() * bits() + 7) / 8; }
  unsigned seed() const { return bits() * 1000U + width() * 10U + spp(); }
};

// The destination is given two spare bytes beyond what the row needs, and holds one more
// that it is not told about: unpacking leaves all three alone, packing clears the two.
TEST_P(CommonToolRoundTrip, UnpackThenPackRestoresTheRowWithSpareBitsCleared) {
  const Bytes packed = randomBytes(packedSize(), seed());
  Bytes unpacked(samples() + 3, kGuard);
  ASSERT_TRUE(CommonTool::convert_1_2_4_To_8Bits(packed.data(), packed.size(), unpacked.data(),
                                                 samples() + 2, spp(), bits(), width()));
  EXPECT_EQ(unpacked, withGuards(referenceUnpack(packed, bits(), samples()), 3));

  unpacked.resize(samples());
  Bytes repacked(packedSize() + 3, kGuard);
  ASSERT_TRUE(CommonTool::convert_8_To_1_2_4Bits(unpacked.data(), unpacked.size(), repacked.data(),
                                                 packedSize() + 2, spp(), bits(), width()));
  Bytes expected = referencePack(referenceUnpack(packed, bits(), samples()), bits());
  expected.insert(expected.end(), {0, 0, kGuard});
  EXPECT_EQ(repacked, expected);
}

TEST_P(CommonToolRoundTrip, PackingKeepsOnlyTheLowBitsOfEachByte) {
  const Bytes values = randomBytes(samples(), seed());
  Bytes packed(packedSize());
  ASSERT_TRUE(CommonTool::convert_8_To_1_2_4Bits(values.data(), values.size(), packed.data(),
                                                 packed.size(), spp(), bits(), width()));
  EXPECT_EQ(packed, referencePack(values, bits()));
}

INSTANTIATE_TEST_SUITE_P(Depths, CommonToolRoundTrip,
                         ::testing::Combine(::testing::Values<uint16_t>(1, 2, 4),
                                            ::testing::Range<uint32_t>(1, 18),
                                            ::testing::Range<uint16_t>(1, 5)));

struct BitExample {
  uint16_t bits;
  uint32_t width;
  Bytes packed;
  Bytes unpacked;
};

class CommonToolExample : public ::testing::TestWithParam<BitExample> {};

TEST_P(CommonToolExample, UnpacksAndPacksMostSignificantBitsFirst) {
  const BitExample& example = GetParam();
  Bytes unpacked(example.width);
  ASSERT_TRUE(CommonTool::convert_1_2_4_To_8Bits(example.packed.data(), example.packed.size(),
                                                 unpacked.data(), unpacked.size(), 1, example.bits,
                                                 example.width));
  EXPECT_EQ(unpacked, example.unpacked);
  Bytes packed(example.packed.size());
  ASSERT_TRUE(CommonTool::convert_8_To_1_2_4Bits(example.unpacked.data(), example.unpacked.size(),
                                                 packed.data(), packed.size(), 1, example.bits,
                                                 example.width));
  EXPECT_EQ(packed, example.packed);
}

INSTANTIATE_TEST_SUITE_P(Bytes, CommonToolExample,
                         ::testing::Values(BitExample{1, 8, {0xA5}, {1, 0, 1, 0, 0, 1, 0, 1}},
                                           BitExample{1, 3, {0xE0}, {1, 1, 1}},
                                           BitExample{
                                               1, 10, {0xFF, 0x40}, {1, 1, 1, 1, 1, 1, 1, 1, 0, 1}},
                                           BitExample{2, 4, {0xE4}, {3, 2, 1, 0}},
                                           BitExample{2, 5, {0xE4, 0x80}, {3, 2, 1, 0, 2}},
                                           BitExample{4, 2, {0x1F}, {1, 15}},
                                           BitExample{4, 3, {0x1F, 0xA0}, {1, 15, 10}}));

TEST(CommonTool, EmptyRowsConvertWithoutTouchingTheSourceAndPackingClearsDest) {
  Bytes dest(4, kGuard);
  EXPECT_TRUE(CommonTool::convert_1_2_4_To_8Bits(nullptr, 0, dest.data(), 4, 3, 4, 0));
  EXPECT_EQ(dest, Bytes(4, kGuard));
  EXPECT_TRUE(CommonTool::convert_8_To_1_2_4Bits(nullptr, 0, dest.data(), 4, 3, 4, 0));
  EXPECT_EQ(dest, Bytes(4, 0));
}

class CommonToolOtherDepth : public ::testing::TestWithParam<uint16_t> {};

TEST_P(CommonToolOtherDepth, ConversionsRefuseSilently) {
  const Bytes src(64, 1);
  Bytes dest(64, kGuard);
  LogCapture log;
  EXPECT_FALSE(
      CommonTool::convert_1_2_4_To_8Bits(src.data(), 64, dest.data(), 64, 1, GetParam(), 4));
  EXPECT_FALSE(
      CommonTool::convert_8_To_1_2_4Bits(src.data(), 64, dest.data(), 64, 1, GetParam(), 4));
  EXPECT_EQ(dest, Bytes(64, kGuard));
  EXPECT_TRUE(log.records().empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, CommonToolOtherDepth, ::testing::Values<uint16_t>(0, 3, 8, 16));

// Rows of 2-bit RGB, 5 pixels: 4 packed bytes, 15 unpacked. The message follows the name of
// the conversion.
struct SizeCheckCase {
  bool pack;
  int64_t srcBytes;
  int64_t destBytes;
  const char* message;
};

class CommonToolSizeCheck : public ::testing::TestWithParam<SizeCheckCase> {};

TEST_P(CommonToolSizeCheck, ShortBufferFailsWithItsMessageAndLeavesDestAlone) {
  const SizeCheckCase& test = GetParam();
  const Bytes src(16, 1);
  Bytes dest(16, kGuard);
  LogCapture log;
  const auto convert =
      test.pack ? CommonTool::convert_8_To_1_2_4Bits : CommonTool::convert_1_2_4_To_8Bits;
  EXPECT_FALSE(convert(src.data(), test.srcBytes, dest.data(), test.destBytes, 3, 2, 5));
  const std::string name = test.pack ? "convert_8_To_1_2_4Bits" : "convert_1_2_4_To_8Bits";
  EXPECT_EQ(log.records(),
            (std::vector<LogRecord>{{kError, "[CommonTool::" + name + "] " + test.message}}));
  EXPECT_EQ(dest, Bytes(16, kGuard));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CommonToolSizeCheck,
    ::testing::Values(SizeCheckCase{false, 3, 15, "srcScanlineBytes(3) < srcSuitableBytes(4)"},
                      SizeCheckCase{false, 4, 14, "destScanlineBytes(14) < destSuitableBytes(15)"},
                      SizeCheckCase{false, -1, 0, "srcScanlineBytes(-1) < srcSuitableBytes(4)"},
                      SizeCheckCase{true, 14, 4, "srcScanlineBytes(14) < srcSuitableBytes(15) "},
                      SizeCheckCase{true, 15, 3, "destScanlineBytes(3) < destSuitableBytes(4)"},
                      SizeCheckCase{true, 0, 0, "srcScanlineBytes(0) < srcSuitableBytes(15) "}));

class CommonToolReverse : public ::testing::TestWithParam<std::tuple<uint16_t, uint16_t>> {};

// Every byte of the row differs, so a sample whose bytes were swapped or a pixel whose
// samples moved would show. The widths cover rows mirrored in 8-byte words and their ends.
TEST_P(CommonToolReverse, MirrorsWholePixelsInPlaceAndLeavesTheTailAlone) {
  const uint16_t bits = std::get<0>(GetParam());
  const uint16_t spp = std::get<1>(GetParam());
  const size_t pixelBytes = size_t{spp} * bits / 8;
  for (uint32_t width : {0U, 1U, 2U, 3U, 4U, 5U, 7U, 15U, 16U, 17U, 24U, 31U, 33U, 40U}) {
    const size_t rowBytes = width * pixelBytes;
    Bytes row(rowBytes + 3);
    for (size_t i = 0; i < row.size(); ++i) {
      row[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    Bytes expected = row;
    for (uint32_t pixel = 0; pixel < width; ++pixel) {
      const size_t mirrored = (width - 1 - pixel) * pixelBytes;
      std::copy(row.begin() + mirrored, row.begin() + mirrored + pixelBytes,
                expected.begin() + pixel * pixelBytes);
    }
    ASSERT_TRUE(CommonTool::reverseScanline_8multiple_BitsPerSample(row.data(), row.size(), spp,
                                                                    bits, width));
    EXPECT_EQ(row, expected) << "width " << width;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, CommonToolReverse,
                         ::testing::Combine(::testing::Values<uint16_t>(8, 16, 32, 64),
                                            ::testing::Range<uint16_t>(1, 5)));

TEST(CommonTool, ReverseOneByteShortFailsAndLeavesTheRow) {
  const Bytes original = randomBytes(12, 7);
  Bytes row = original;
  LogCapture log;
  EXPECT_FALSE(CommonTool::reverseScanline_8multiple_BitsPerSample(row.data(), 11, 3, 8, 4));
  EXPECT_EQ(log.records(),
            (std::vector<LogRecord>{{kError,
                                     "[CommonTool::reverseScanline_8multiple_BitsPerSample] "
                                     "scanlineBytes(11) < suitableBytes(12)"}}));
  EXPECT_EQ(row, original);
}

// Sub-byte depths give zero-byte pixels: there is nothing to move, whatever the width.
TEST(CommonTool, ReverseOfZeroBytePixelsChangesNothing) {
  Bytes row = {1, 2, 3};
  LogCapture log;
  EXPECT_TRUE(CommonTool::reverseScanline_8multiple_BitsPerSample(row.data(), 0, 1, 4, 3));
  EXPECT_EQ(row, (Bytes{1, 2, 3}));
  EXPECT_TRUE(log.records().empty());
}

}  // namespace
