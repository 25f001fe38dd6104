// A board file mapped rather than read: the reader sees the file's bytes
// followed by zeros, and a file cut short while it is mapped ends the
// program with a message instead of a bus error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "boardfile/BoardFile.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "support/TestSupport.h"

namespace {

using cli::BoardInput;
using cli::BoardText;

std::string Pattern(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

TEST(BoardTextTest, AFileIsSeenWholeWithZerosAfterItsEnd) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  // A size that ends a page (the padding is past the file's pages), one that
  // leaves less room than the padding in its last page, and a small one.
  for (const std::size_t size : {2 * page, 2 * page - 10, std::size_t{5}}) {
    const std::string path = testsupport::TempFolder() + "/board.json";
    const std::string content = Pattern(size);
    testsupport::WriteFile(path, content);
    BoardInput input;
    BoardText text;
    std::string error;
    ASSERT_TRUE(input.Open(path, 1 << 20, error)) << error;
    ASSERT_TRUE(input.ReadAll(text, error, {})) << error;
    EXPECT_EQ(text.View(), content) << size;
    const char* end = text.View().data() + size;
    EXPECT_EQ(std::string(end, boardfile::kBoardTextPadding),
              std::string(boardfile::kBoardTextPadding, '\0'))
        << size;
  }
}

TEST(BoardTextTest, AFileCutShortWhileMappedEndsTheProgramAsABadBoard) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::string path = testsupport::TempFolder() + "/board.json";
  testsupport::WriteFile(path, Pattern(4 * page));
  EXPECT_EXIT(
      {
        cli::InstallSignalHandlers();
        BoardInput input;
        BoardText text;
        std::string error;
        if (!input.Open(path, 1 << 20, error) || !input.ReadAll(text, error, {})) std::exit(10);
        if (truncate(path.c_str(), 0) != 0) std::exit(11);
        volatile char last = text.View()[3 * page];
        (void)last;
        std::exit(0);
      },
      testing::ExitedWithCode(cli::kExitBadBoard),
      "board\\.json: the board file was cut short while it was read");
}

}  // namespace
