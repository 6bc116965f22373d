// The portable path helpers and the centring arithmetic.
#include <gtest/gtest.h>

#include "util/Paths.h"
#include "util/System.h"

TEST(PathsTest, AppendBackslashNeverDoubles) {
  EXPECT_EQ(util::AppendBackslash(""), "");
  EXPECT_EQ(util::AppendBackslash("C:\\X"), "C:\\X\\");
  EXPECT_EQ(util::AppendBackslash("C:\\X\\"), "C:\\X\\");
}

TEST(PathsTest, StripBackslashRemovesExactlyOne) {
  EXPECT_EQ(util::StripBackslash("C:\\X\\"), "C:\\X");
  EXPECT_EQ(util::StripBackslash("C:\\"), "C:");
  EXPECT_EQ(util::StripBackslash("C:\\X\\\\"), "C:\\X\\");
  EXPECT_EQ(util::StripBackslash("C:\\X"), "C:\\X");
  EXPECT_EQ(util::StripBackslash(""), "");
}

TEST(PathsTest, CentreCoordinateTruncatesTowardZero) {
  EXPECT_EQ(util::CentreCoordinate(100, 200, 100), 150);
  EXPECT_EQ(util::CentreCoordinate(0, 100, 105), -2);  // -5 / 2
  EXPECT_EQ(util::CentreCoordinate(10, 100, 103), 9);  // 10 + (-3 / 2)
}
