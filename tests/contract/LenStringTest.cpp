// The length-prefixed string shared by the plug-in, the server and the host
// program: reads never pass the buffer, writes cut to what fits.
#include <gtest/gtest.h>

#include <string>

#include "LenString.h"

namespace {

TEST(LenStringTest, ReadsNoFurtherThanTheBufferWhateverTheLengthByteClaims) {
  const std::uint8_t buffer[4] = {200, 'a', 'b', 'c'};
  EXPECT_EQ(ReadLenString(buffer, sizeof buffer), "abc");
  EXPECT_EQ(ReadLenString(buffer, 1), "");
  EXPECT_EQ(ReadLenString(buffer, 0), "");
  EXPECT_EQ(ReadLenString(nullptr, 256), "");

  const ShortString<3> copy = ShortString<3>::CopyOf(buffer);
  EXPECT_EQ(copy.Length, 200) << "the length byte is copied as it is";
  EXPECT_EQ(copy.View(), "abc");
  EXPECT_TRUE(LenString::CopyOf(nullptr).Empty());
}

TEST(LenStringTest, WritesCutTheTextToTheBuffer) {
  std::uint8_t buffer[5] = {9, 9, 9, 9, 9};
  WriteLenString(buffer, sizeof buffer, "abcdef");
  EXPECT_EQ(buffer[0], 4);
  EXPECT_EQ(ReadLenString(buffer, sizeof buffer), "abcd");
  WriteLenString(buffer, 0, "x");
  EXPECT_EQ(buffer[0], 4) << "a buffer of no bytes is left alone";

  std::uint8_t big[400] = {};
  WriteLenString(big, sizeof big, std::string(300, 'z'));
  EXPECT_EQ(big[0], 255);

  LenString s(std::string(250, 'a'));
  s.Append("0123456789");
  EXPECT_EQ(s.Size(), 255u);
  EXPECT_EQ(s.View().substr(248), "aa01234");
  s.Assign("x");
  EXPECT_EQ(s, "x");
}

}  // namespace
