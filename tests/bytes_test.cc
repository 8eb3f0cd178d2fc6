// Little-endian fields of the dictionary's files.
#include <gtest/gtest.h>

#include <cstdint>

#include "data/bytes.h"

namespace {

TEST(Bytes, LittleEndianFields) {
  const unsigned char le[] = {0x01, 0x00, 0x01, 0x80, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(hz::LoadU32LE(le), 0x80010001u);
  EXPECT_EQ(hz::LoadI32LE(le), -2147418111);
  EXPECT_EQ(hz::LoadI32LE(le + 4), -1);
  // At any alignment.
  EXPECT_EQ(hz::LoadU32LE(le + 1), 0xFF800100u);
  EXPECT_EQ(hz::ToSigned32(0x80000000), INT32_MIN);
  EXPECT_EQ(hz::ToSigned32(0x7FFFFFFF), INT32_MAX);
}

}  // namespace
