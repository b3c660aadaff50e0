// The exports as a host sees them.
#include <gtest/gtest.h>

#include "orvex/orvex.h"

namespace {

TEST(Exports, VersionNumbersAreOneThreeFour) {
  uint32_t major = 0, minor = 0, patch = 0;
  orvexVersionNum(&major, &minor, &patch);
  EXPECT_EQ(major, 1U);
  EXPECT_EQ(minor, 3U);
  EXPECT_EQ(patch, 4U);
}

TEST(Exports, VersionNumbersSkipEachNullPointerOnItsOwn) {
  uint32_t minor = 99;
  orvexVersionNum(nullptr, &minor, nullptr);
  EXPECT_EQ(minor, 3U);
  orvexVersionNum(nullptr, nullptr, nullptr);
}

TEST(Exports, VersionStringIsStaticAndStable) {
  const char* first = nullptr;
  const char* second = nullptr;
  orvexVersionString(&first);
  orvexVersionString(&second);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first, "1.3.4");
  EXPECT_EQ(first, second);
  orvexVersionString(nullptr);
}

TEST(Exports, DestroyersIgnoreNull) {
  destroyTiffReader(nullptr);
  destroyTiffWriter(nullptr);
}

TEST(Exports, FactoriesReturnFreshObjectsInTheirInitialState) {
  ITiffReader* reader = createTiffReader();
  ITiffReader* other = createTiffReader();
  ASSERT_NE(reader, nullptr);
  EXPECT_NE(reader, other);
  EXPECT_EQ(reader->getNumberOfDirectories(), 0U);
  destroyTiffReader(reader);
  destroyTiffReader(other);
  ITiffWriter* writer = createTiffWriter();
  ASSERT_NE(writer, nullptr);
  destroyTiffWriter(writer);
}

}  // namespace
