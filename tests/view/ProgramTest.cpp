// pcb28-view and pcb28-export --svg as a user runs them: the picture beside
// the file, a refused file's line and exit status, and the export's picture
// drawn from the file it wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Platform.h"
#include "support/TestSupport.h"
#include "view/ViewTestFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kExample = PCB28_TEST_DATA "/../../examples/example.json";

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ViewProgram, DrawsBesideTheFileAndReplacesAnOldPicture) {
  const std::string folder = testsupport::TempFolder();
  const std::string pcb = folder + "/board.pcb";
  testsupport::WriteFile(pcb, viewtest::Joined(viewtest::HandWrittenLines(), "\r\n"));
  testsupport::WriteFile(folder + "/board.svg", "old");
  std::string output;
  EXPECT_EQ(testsupport::RunProgram(PCB28_VIEW_PROGRAM, {"-q", pcb}, &output), 0) << output;
  EXPECT_EQ(output, "");
  const std::string svg = testsupport::ReadFile(folder + "/board.svg");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"board.pcb", "board.svg"}));
}

TEST(ViewProgram, RefusesABrokenFileAtItsLineWithStatus3) {
  const std::string folder = testsupport::TempFolder();
  std::vector<std::string> lines = viewtest::HandWrittenLines();
  const std::size_t via = viewtest::LineOf(lines, "FV") + 1;
  lines[via - 1] = "0 0 2000 1500 50 28 0 0 2 0 0 0 0 0 0 1";
  testsupport::WriteFile(folder + "/broken.pcb", viewtest::Joined(lines, "\r\n"));
  std::string output;
  EXPECT_EQ(testsupport::RunProgram(PCB28_VIEW_PROGRAM,
                                    {folder + "/broken.pcb", "-o", folder + "/out.svg"}, &output),
            3);
  EXPECT_NE(output.find("broken.pcb: line " + std::to_string(via) + ": expected a via's data line"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("17 fields, found 16"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(folder + "/out.svg"));

  EXPECT_EQ(
      testsupport::RunProgram(PCB28_VIEW_PROGRAM, {kExample, "-o", folder + "/out.svg"}, &output),
      3);
  EXPECT_NE(output.find("not a PCB 2.8 ASCII file"), std::string::npos) << output;
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"broken.pcb"});
}

TEST(ViewProgram, TheExportDrawsTheFileItWrote) {
  const std::string folder = testsupport::TempFolder();
  std::string output;
  ASSERT_EQ(testsupport::RunProgram(PCB28_EXPORT_PROGRAM,
                                    {kExample, "-o", folder + "/e.pcb", "--svg", folder + "/e.svg"},
                                    &output),
            0)
      << output;
  EXPECT_NE(output.find("wrote " + folder + "/e.svg"), std::string::npos) << output;
  ASSERT_EQ(testsupport::RunProgram(PCB28_VIEW_PROGRAM,
                                    {"-q", folder + "/e.pcb", "-o", folder + "/v.svg"}),
            0);
  EXPECT_EQ(testsupport::ReadFile(folder + "/e.svg"), testsupport::ReadFile(folder + "/v.svg"));
  // A picture that cannot be written: the export is kept, the status is 1.
  EXPECT_EQ(testsupport::RunProgram(
                PCB28_EXPORT_PROGRAM,
                {kExample, "-o", folder + "/f.pcb", "--svg", folder + "/missing/f.svg"}, &output),
            1);
  EXPECT_TRUE(fs::exists(folder + "/f.pcb"));
  // Nothing to read back from standard output.
  EXPECT_EQ(testsupport::RunProgram(PCB28_EXPORT_PROGRAM,
                                    {"-q", kExample, "-o", "-", "--svg", folder + "/g.svg"}),
            2);
  EXPECT_NE(output.find("cannot write " + folder + "/missing/f.svg"), std::string::npos) << output;
  // A picture in the place of the board or of the export is refused before
  // anything is written: both stay as they were.
  testsupport::WriteFile(folder + "/b.json", testsupport::ReadFile(kExample));
  const std::string exported = testsupport::ReadFile(folder + "/e.pcb");
  for (const std::string& target : {folder + "/b.json", folder + "/e.pcb"})
    EXPECT_EQ(testsupport::RunProgram(PCB28_EXPORT_PROGRAM, {"-q", folder + "/b.json", "-o",
                                                             folder + "/e.pcb", "--svg", target}),
              2)
        << target;
  EXPECT_EQ(testsupport::ReadFile(folder + "/b.json"), testsupport::ReadFile(kExample));
  EXPECT_EQ(testsupport::ReadFile(folder + "/e.pcb"), exported);
}

}  // namespace
