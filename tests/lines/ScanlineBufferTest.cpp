// Buffer ownership and the cache list's reuse rules.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "lines/ScanlineBuffer.h"
#include "lines/ScanlineBufferArray.h"

namespace orvex_lines_test {
namespace {

using orvex::ScanlineBuffer;
using orvex::ScanlineBufferArray;

TEST(ScanlineBuffer, ResizeGivesZeroedBytes) {
  ScanlineBuffer buffer;
  ASSERT_TRUE(buffer.resize(5));
  buffer.data[4] = 9;
  ASSERT_TRUE(buffer.resize(6));
  EXPECT_EQ(buffer.size, 6);
  EXPECT_EQ(std::vector<uint8_t>(buffer.data, buffer.data + 6), std::vector<uint8_t>(6, 0));
}

TEST(ScanlineBuffer, ResizeToNothingFailsAndHoldsNoRow) {
  for (int64_t size : {int64_t{0}, int64_t{-3}}) {
    ScanlineBuffer buffer;
    ASSERT_TRUE(buffer.resize(8));
    EXPECT_FALSE(buffer.resize(size));
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.size, 0);
  }
}

TEST(ScanlineBufferArray, RebuildsOnlyWhenCountOrSizeChange) {
  ScanlineBufferArray array;
  ASSERT_TRUE(array.rebuild(3, 10));
  EXPECT_TRUE(array.holds(3, 10));
  EXPECT_FALSE(array.holds(3, 11));
  EXPECT_FALSE(array.holds(2, 10));
  array.at(2).data[9] = 1;
  array.zeroFill();
  EXPECT_EQ(array.at(2).data[9], 0);
  EXPECT_EQ(array.bufferSize(), 10);
}

TEST(ScanlineBufferArray, FailedRebuildLeavesItEmpty) {
  ScanlineBufferArray array;
  ASSERT_TRUE(array.rebuild(2, 4));
  EXPECT_FALSE(array.rebuild(2, 0));
  EXPECT_EQ(array.count(), 0u);
  EXPECT_EQ(array.bufferSize(), 0);
}

TEST(ScanlineBufferArray, IndexAtTheCountThrowsOutRange) {
  ScanlineBufferArray array;
  ASSERT_TRUE(array.rebuild(2, 4));
  try {
    array.at(2);
    FAIL() << "no exception";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "out range!");
  }
}

}  // namespace
}  // namespace orvex_lines_test
