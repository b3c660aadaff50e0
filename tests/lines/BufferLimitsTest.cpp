// The caps on buffer sizes: refused requests allocate nothing and leave no row.
#include <gtest/gtest.h>

#include "lines/ScanlineBuffer.h"
#include "lines/ScanlineBufferArray.h"

namespace orvex_lines_test {
namespace {

using orvex::kMaxBufferBytes;
using orvex::ScanlineBuffer;
using orvex::ScanlineBufferArray;

TEST(BufferLimits, BufferBeyondTheCapIsRefused) {
  ScanlineBuffer buffer;
  ASSERT_TRUE(buffer.resize(8));
  EXPECT_FALSE(buffer.resize(kMaxBufferBytes + 1));
  EXPECT_EQ(buffer.data, nullptr);
  EXPECT_EQ(buffer.size, 0);
}

TEST(BufferLimits, ArrayUpToItsTotalIsBuilt) {
  ScanlineBufferArray array(100);
  ASSERT_TRUE(array.rebuild(10, 10));
  EXPECT_EQ(array.count(), 10u);
  ASSERT_TRUE(array.rebuild(1, 100));
  EXPECT_EQ(array.bufferSize(), 100);
}

TEST(BufferLimits, ArrayBeyondItsTotalIsRefusedEmpty) {
  ScanlineBufferArray array(100);
  ASSERT_TRUE(array.rebuild(2, 5));
  EXPECT_FALSE(array.rebuild(11, 10));
  EXPECT_EQ(array.count(), 0u);
  EXPECT_EQ(array.bufferSize(), 0);
  EXPECT_FALSE(array.rebuild(1, 101));
}

// So many small buffers that even the list of their pointers would be gigabytes.
TEST(BufferLimits, HugeCountOfSmallBuffersIsRefusedWithoutReserving) {
  ScanlineBufferArray array;
  EXPECT_FALSE(array.rebuild(size_t{1} << 40, 256));
  EXPECT_EQ(array.count(), 0u);
}

}  // namespace
}  // namespace orvex_lines_test
