// The number formats on their own, into a plain buffer, at the edges of their
// room; and the output sink writing into memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "ascii28/BufferedTextFile.h"
#include "ascii28/NumberFormat.h"

namespace ascii28 {
namespace {

template <typename Value>
std::string Format(char* (*format)(char*, Value), Value value, std::size_t room) {
  std::string buffer(room + 8, '#');  // the guard bytes must stay untouched
  char* end = format(buffer.data(), value);
  EXPECT_LE(static_cast<std::size_t>(end - buffer.data()), room);
  EXPECT_EQ(buffer.substr(room), std::string(8, '#'));
  return std::string(buffer.data(), end);
}

TEST(NumberFormatTest, EveryValueFitsItsRoom) {
  EXPECT_EQ(Format(&FormatInt, std::numeric_limits<std::int64_t>::min(), kIntegerChars),
            "-9223372036854775808");
  EXPECT_EQ(Format(&FormatUnsigned, std::numeric_limits<std::uint64_t>::max(), kIntegerChars),
            "18446744073709551615");
  EXPECT_EQ(Format(&FormatCoord, Coord{-2147483647 - 1}, kIntegerChars), "-214748364");
  const std::string lowest =
      Format(&FormatFixed, std::numeric_limits<double>::lowest(), kFixedChars);
  EXPECT_EQ(lowest.size(), kFixedChars);
  EXPECT_EQ(lowest.substr(0, 4), "-179");
  EXPECT_EQ(lowest.substr(lowest.size() - 4), ".000");
  EXPECT_EQ(Format(&FormatFixed, -0.0004, kFixedChars), "0.000");
  EXPECT_EQ(Format(&FormatScientific, -1.5e-300, kScientificChars), "-1.50000000000000E-0300");
  EXPECT_EQ(Format(&FormatScientific, -std::numeric_limits<double>::infinity(), kScientificChars),
            std::string(19, ' ') + "-INF");
}

TEST(NumberFormatTest, MemorySinkKeepsEveryWriteInOrder) {
  std::string out;
  BufferedTextFile sink;
  sink.OpenMemory(out);
  const std::string block(BufferedTextFile::kBufferSize - 3, 'x');
  sink.Write(block);
  sink.WriteInt(-123456789);  // does not fit behind the block: flushed first
  sink.EndLine();
  sink.Close();
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(out, block + "-123456789\r\n");
  sink.WriteChar('y');  // closed: nothing
  EXPECT_EQ(out.size(), block.size() + 12);
}

}  // namespace
}  // namespace ascii28
