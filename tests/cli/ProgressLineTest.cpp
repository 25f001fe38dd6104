// The progress line's text: never wider than the terminal, whatever bytes the
// caption holds.
#include <gtest/gtest.h>

#include "server/ProgressLine.h"

namespace {

// Columns of a line as a terminal shows it: one per code point, two for the
// wide ones used below.
int Columns(const std::string& line) {
  int columns = 0;
  for (std::size_t i = 0; i < line.size();) {
    const auto lead = static_cast<unsigned char>(line[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    columns += length >= 3 ? 2 : 1;
    i += length;
  }
  return columns;
}

}  // namespace

TEST(ProgressLine, FitsEveryWidthAndShowsNoControlCharacters) {
  // Latin letters, CJK (two columns each), an escape sequence, a lone
  // continuation byte and a cut-off sequence.
  const std::string caption =
      "Saving /h\xC3\xA9/\xE6\x9D\xBF\xE5\xAD\x90/\x1b[31mred\x80/"
      "out.pcb (2.8 ASCII)\xE6\x9D";
  for (int columns = 1; columns <= 120; ++columns) {
    for (int percent : {-1, 0, 42, 100}) {
      const std::string line = standin::ComposeProgressLine(caption, percent, 7, columns);
      EXPECT_LE(Columns(line), std::max(columns - 1, 0)) << columns << ": " << line;
      EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
      EXPECT_EQ(line.find('\x80'), std::string::npos) << line;
    }
  }
  // Wide enough: the whole caption, control bytes and broken sequences as '?'.
  const std::string shown =
      "Saving /h\xC3\xA9/\xE6\x9D\xBF\xE5\xAD\x90/?[31mred?/out.pcb (2.8 ASCII)?? [";
  EXPECT_EQ(standin::ComposeProgressLine(caption, 42, 0, 200).rfind(shown, 0), 0u);
  EXPECT_EQ(standin::ComposeProgressLine("Loading b.json", -1, 3, 80), "Loading b.json ... 3 s");
  EXPECT_EQ(standin::ComposeProgressLine("Saving x.pcb", 50, 0, 30), "Saving x.pcb [##---]  50%");
}
