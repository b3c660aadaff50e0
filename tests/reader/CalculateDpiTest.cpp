// Output geometry and resolution for every orientation and rotation.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>

#include "reader/TiffHelper.h"
#include "support/LogCapture.h"

namespace {

using orvex::DpiInput;
using orvex::DpiOutput;
using orvex::TiffHelper;
using orvex_test::LogCapture;
using orvex_test::LogRecord;

DpiInput input(uint16_t orientation, int32_t rotation, uint16_t unit = RESUNIT_INCH) {
  DpiInput in;
  in.width_ = 300;
  in.height_ = 200;
  in.orientation_ = orientation;
  in.rotation_ = rotation;
  in.xResolution_ = 300.0f;
  in.yResolution_ = 150.0f;
  in.resolutionUnit_ = unit;
  return in;
}

struct Rotation {
  int32_t degrees;
  int32_t normalised;  // the same turn within 0..359
};

class CalculateDpiSwap : public ::testing::TestWithParam<std::tuple<uint16_t, Rotation>> {};

// Whether width and height trade places, by orientation (rows) and turn of 0, 90, 180 and
// 270 degrees (columns). Turns between the quarters never exchange them.
constexpr bool kSwaps[10][4] = {
    {false, false, false, false},  // 0: not an orientation
    {false, true, false, true},    // 1: top-left
    {false, true, false, true},    // 2: top-right
    {false, true, false, true},    // 3: bottom-right
    {false, true, false, true},    // 4: bottom-left
    {true, false, true, false},    // 5: left-top
    {true, false, true, false},    // 6: right-top
    {true, false, true, false},    // 7: right-bottom
    {true, false, true, false},    // 8: left-bottom
    {false, false, false, false},  // 9: not an orientation
};

TEST_P(CalculateDpiSwap, ExchangesAxesByOrientationAndTurn) {
  const uint16_t orientation = std::get<0>(GetParam());
  const int32_t turn = std::get<1>(GetParam()).normalised;
  const bool expectSwap = turn % 90 == 0 && kSwaps[orientation][turn / 90];

  DpiOutput out;
  LogCapture log;
  TiffHelper::calculate_DPI(input(orientation, std::get<1>(GetParam()).degrees), out);
  EXPECT_EQ(out.width_, expectSwap ? 200U : 300U);
  EXPECT_EQ(out.height_, expectSwap ? 300U : 200U);
  EXPECT_EQ(out.xResolution_, expectSwap ? 150.0f : 300.0f);
  EXPECT_EQ(out.yResolution_, expectSwap ? 300.0f : 150.0f);
  EXPECT_FLOAT_EQ(out.physicalWidthMm_, expectSwap ? 200.0f / 150.0f * 25.4f : 25.4f);
  EXPECT_FLOAT_EQ(out.physicalHeightMm_, expectSwap ? 25.4f : 200.0f / 150.0f * 25.4f);
  EXPECT_EQ(out.resolutionUnit_, RESUNIT_INCH);
  EXPECT_TRUE(log.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllOrientations, CalculateDpiSwap,
    ::testing::Combine(::testing::Range<uint16_t>(0, 10),
                       ::testing::Values(Rotation{0, 0}, Rotation{90, 90}, Rotation{180, 180},
                                         Rotation{270, 270}, Rotation{-90, 270}, Rotation{-270, 90},
                                         Rotation{-180, 180}, Rotation{360, 0}, Rotation{450, 90},
                                         Rotation{-450, 270}, Rotation{1080, 0}, Rotation{45, 45},
                                         Rotation{-45, 315}, Rotation{INT32_MIN, 232},
                                         Rotation{INT32_MAX, 127})));

TEST(CalculateDpi, CentimetresAreConvertedForTheSizeOnly) {
  DpiOutput out;
  TiffHelper::calculate_DPI(input(ORIENTATION_RIGHTTOP, 0, RESUNIT_CENTIMETER), out);
  EXPECT_EQ(out.width_, 200U);
  EXPECT_EQ(out.height_, 300U);
  EXPECT_EQ(out.xResolution_, 150.0f);
  EXPECT_EQ(out.yResolution_, 300.0f);
  EXPECT_NEAR(out.physicalWidthMm_, 13.3333f, 1e-3f);
  EXPECT_NEAR(out.physicalHeightMm_, 10.0f, 1e-4f);
  EXPECT_EQ(out.resolutionUnit_, RESUNIT_CENTIMETER);
}

class CalculateDpiInvalidUnit : public ::testing::TestWithParam<uint16_t> {};

TEST_P(CalculateDpiInvalidUnit, IsTreatedAsInchButKept) {
  DpiOutput out;
  LogCapture log;
  TiffHelper::calculate_DPI(input(ORIENTATION_TOPLEFT, 0, GetParam()), out);
  EXPECT_EQ(log.records(),
            (std::vector<LogRecord>{
                {3, "[TiffHelper::calculate_DPI] invalid resUnit! assume RESUNIT_INCH"}}));
  EXPECT_FLOAT_EQ(out.physicalWidthMm_, 25.4f);
  EXPECT_FLOAT_EQ(out.physicalHeightMm_, 200.0f / 150.0f * 25.4f);
  EXPECT_EQ(out.xResolution_, 300.0f);
  EXPECT_EQ(out.resolutionUnit_, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Units, CalculateDpiInvalidUnit,
                         ::testing::Values(RESUNIT_NONE, uint16_t{0}, uint16_t{4}));

TEST(CalculateDpi, ZeroResolutionGivesInfiniteSize) {
  DpiInput in = input(ORIENTATION_TOPLEFT, 0);
  in.xResolution_ = 0.0f;
  DpiOutput out;
  TiffHelper::calculate_DPI(in, out);
  EXPECT_TRUE(std::isinf(out.physicalWidthMm_));
  EXPECT_FLOAT_EQ(out.physicalHeightMm_, 200.0f / 150.0f * 25.4f);
}

}  // namespace
