// pcb28-export run as a user runs it: a separate process that loads the
// server, the board file and the plug-in, with its exit status and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Platform.h"
#include "support/TestSupport.h"

namespace {

using Outcome = testsupport::ProgramOutcome;

Outcome RunProgram(const std::vector<std::string>& arguments) {
  Outcome outcome;
  outcome.status = testsupport::RunProgram(PCB28_EXPORT_PROGRAM, arguments, &outcome.output);
  return outcome;
}

std::string BoardFile(const std::string& folder, const std::string& json) {
  const std::string path = folder + "/board.json";
  testsupport::WriteFile(path, json);
  return path;
}

}  // namespace

TEST(ExportProgram, WritesTheDefaultOutputBesideTheBoardFile) {
  const std::string folder = testsupport::TempFolder();
  const Outcome outcome = RunProgram({BoardFile(folder, R"({"pcb28_board": 1})")});
  EXPECT_EQ(outcome.status, 0) << outcome.output;
  bool wellFormed = false;
  const auto lines =
      testsupport::SplitLines(testsupport::ReadFile(folder + "/board.pcb"), wellFormed);
  EXPECT_TRUE(wellFormed);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "PCB FILE 6 VERSION 2.80");
  EXPECT_EQ(lines.back(), "ENDPCB");
}

TEST(ExportProgram, AMissingFolderIsReportedWithItsReasonAndExitsWithOne) {
  const std::string folder = testsupport::TempFolder();
  const std::string out = folder + "/missing/out.pcb";
  const Outcome outcome = RunProgram({BoardFile(folder, R"({"pcb28_board": 1})"), "-o", out});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(
      outcome.output.find("pcb28-export: cannot write " + out + ": No such file or directory"),
      std::string::npos)
      << outcome.output;
}

TEST(ExportProgram, BadArgumentsExitWithTwoAndBadBoardFilesWithThree) {
  const std::string folder = testsupport::TempFolder();
  EXPECT_EQ(RunProgram({}).status, 2);
  EXPECT_EQ(RunProgram({"--frobnicate", "x.json"}).status, 2);
  EXPECT_EQ(RunProgram({"a.json", "b.json"}).status, 3);  // several boards, both missing
  EXPECT_EQ(RunProgram({"a.json", "-o"}).status, 2);
  EXPECT_EQ(RunProgram({folder + "/does-not-exist.json"}).status, 3);
  // Exporting x.pcb to its own name would overwrite the input.
  testsupport::WriteFile(folder + "/x.pcb", "keep me");
  EXPECT_EQ(RunProgram({folder + "/x.pcb"}).status, 2);
  EXPECT_EQ(testsupport::ReadFile(folder + "/x.pcb"), "keep me");

  const Outcome bad = RunProgram({BoardFile(folder, R"({"pcb28_board": 1, "widht": 3})")});
  EXPECT_EQ(bad.status, 3);
  EXPECT_NE(bad.output.find("widht"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("board.json"), std::string::npos) << bad.output;

  // A file name longer than the system takes is a file error, with its reason.
  const std::string tooLong = folder + "/" + std::string(300, 'n') + ".pcb";
  EXPECT_EQ(RunProgram({BoardFile(folder, R"({"pcb28_board": 1})"), "-o", tooLong}).status, 1);
}

TEST(ExportProgram, HelpExplainsTheCommand) {
  const Outcome outcome = RunProgram({"--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.output.find("Usage: pcb28-export [OPTION]... BOARD..."), std::string::npos);
  EXPECT_NE(outcome.output.find("Exit status"), std::string::npos);
}

TEST(ExportProgram, WritesToStandardOutputAndReplacesAFileOnlyWhenTheExportSucceeded) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = BoardFile(folder, R"({"pcb28_board": 1})");
  const std::string out = folder + "/out.pcb";
  const Outcome file = RunProgram({"-q", board, "-o", out});
  EXPECT_EQ(file.status, 0) << file.output;
  const Outcome piped = RunProgram({"-q", board, "-o", "-"});
  EXPECT_EQ(piped.status, 0) << piped.output;
  EXPECT_EQ(piped.output, testsupport::ReadFile(out));
  // An export that fails half written (its error box shows): the old file
  // stays, and nothing is left beside it.
  testsupport::WriteFile(out, "old");
  const Outcome failed = RunProgram({"-q", board, "-o", out, "--plugin", PCB28_CUTTING_PLUGIN});
  EXPECT_EQ(failed.status, 1) << failed.output;
  EXPECT_NE(failed.output.find("Orvane Error: File Error - Failed to Export " + out),
            std::string::npos)
      << failed.output;
  EXPECT_EQ(testsupport::ReadFile(out), "old");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"board.json", "out.pcb"}));
}
