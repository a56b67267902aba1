#include <gtest/gtest.h>

#include "measure/encoder.h"

namespace velquor {
namespace {

TEST(AssembleEncoder, FormsTwelveBitCountsAndConsumesPortTwo) {
  MeasurementRecord rec;
  rec.DataNum = 3;
  const std::uint8_t ports[3][3] = {{0x34, 0x12, 0xB7}, {0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00}};
  for (int i = 1; i <= 3; ++i) {
    for (int k = 0; k < 3; ++k) rec.PortByte(k, i) = ports[i - 1][k];
  }
  AssembleEncoder(rec);
  EXPECT_EQ(rec.Encoder(0, 1), 1844.0f);  // 0x734
  EXPECT_EQ(rec.Encoder(1, 1), 2834.0f);  // 0xB12
  EXPECT_EQ(rec.Encoder(0, 2), 4095.0f);
  EXPECT_EQ(rec.Encoder(0, 3), 0.0f);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(rec.PortByte(2, i), 0) << i;
}

TEST(AssembleEncoder, NeverPassesTheLastSlot) {
  MeasurementRecord rec;
  rec.DataNum = 5000;  // an out-of-range condition must not index past sample 2000
  rec.PortByte(2, kMaxSamples) = 0x11;
  AssembleEncoder(rec);
  EXPECT_EQ(rec.Encoder(0, kMaxSamples), 256.0f);
  EXPECT_EQ(rec.Encoder(1, kMaxSamples), 256.0f);
}

}  // namespace
}  // namespace velquor
