#include <gtest/gtest.h>

#include "daq/driver.h"
#include "daq/return_code.h"

namespace velquor {
namespace {

TEST(ReturnCode, LastThreeHexDigits) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "000h"}, {10, "00Ah"}, {12345, "039h"}, {-1, "FFFh"}, {0x1000, "000h"}};
  for (auto [code, text] : cases) EXPECT_EQ(ReturnCodeText(code), text) << code;
  // 4096 shows "000" too: the lamp follows the digits shown, as the operator sees them.
  EXPECT_TRUE(ReturnCodeShowsSuccess(0x1000));
  EXPECT_FALSE(ReturnCodeShowsSuccess(1));
}

TEST(BinaryToVI, TwelveBitCodesAreExactAndInvertible) {
  EXPECT_EQ(BinaryToVI(-10.0f, 10.0f, 1, 12, 2100), 0.25390625f);
  EXPECT_EQ(BinaryToVI(-10.0f, 10.0f, 1, 12, 0), -10.0f);
  for (std::uint16_t code = 0; code < 4096; ++code) {
    ASSERT_EQ(VIToBinary(-10.0f, 10.0f, 12, BinaryToVI(-10.0f, 10.0f, 1, 12, code)), code);
  }
  EXPECT_EQ(VIToBinary(-10.0f, 10.0f, 12, 50.0), 4095);  // clipped at full scale
  EXPECT_EQ(VIToBinary(-10.0f, 10.0f, 12, -50.0), 0);
}

}  // namespace
}  // namespace velquor
