// The exports as a host sees them.
#include <gtest/gtest.h>

#include <vector>

#include "orvex/orvex.h"

namespace {

TEST(Exports, VersionNumbersAreOneThreeFourAndSkipEachNullPointerOnItsOwn) {
  uint32_t major = 0, minor = 0, patch = 0;
  orvexVersionNum(&major, &minor, &patch);
  EXPECT_EQ((std::vector<uint32_t>{major, minor, patch}), (std::vector<uint32_t>{1, 3, 4}));
  minor = 99;
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

TEST(Exports, FactoriesReturnFreshObjectsAndDestroyersIgnoreNull) {
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
  destroyTiffReader(nullptr);
  destroyTiffWriter(nullptr);
}

}  // namespace
