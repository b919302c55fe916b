// Where the minimised dialog draws its icon.
#include <gtest/gtest.h>

#include "harness/icon_position.h"

namespace {

TEST(CenteredIconOffset, CentresRoundingHalfUp) {
  struct Case {
    int client, icon, offset;
  };
  const Case cases[] = {
      {36, 32, 2},  // room to spare on both sides
      {37, 32, 3},  // an odd remainder goes to the left/top
      {32, 32, 0},  // exactly fits
      {33, 32, 1}, {160, 16, 72},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.offset, CenteredIconOffset(c.client, c.icon)) << c.client << " " << c.icon;
  }
}

TEST(CenteredIconOffset, SmallerClientTruncatesTowardZero) {
  struct Case {
    int client, icon, offset;
  };
  const Case cases[] = {
      {31, 32, 0},   // (31 - 32 + 1) / 2
      {30, 32, 0},   // -1 / 2 is 0, not -1
      {29, 32, -1},  // -2 / 2
      {28, 32, -1},  // -3 / 2 truncates to -1
      {0, 32, -15},  // -31 / 2
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.offset, CenteredIconOffset(c.client, c.icon)) << c.client << " " << c.icon;
  }
}

}  // namespace
