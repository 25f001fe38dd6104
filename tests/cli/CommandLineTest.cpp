// The command line: errors with their reasons and statuses, found before the
// board loads; options; several boards; the progress line on a terminal;
// the installed program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "cli/ProgramRun.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::Outcome;
using clitest::RunExport;
using clitest::RunSetup;

const std::string kExample = PCB28_TEST_DATA "/../../examples/example.json";

bool Has(const Outcome& outcome, const std::string& text) {
  return outcome.err.find(text) != std::string::npos;
}

bool IsExport(const std::string& text) {
  return text.rfind("PCB FILE 6 VERSION 2.80\r\n", 0) == 0 && text.size() > 8 &&
         text.substr(text.size() - 8) == "ENDPCB\r\n";
}

}  // namespace

TEST(CommandLine, FileErrorsSayWhyAndComeBeforeTheBoardLoads) {
  const std::string folder = testsupport::TempFolder();
  // Not JSON: had it been loaded, its syntax error would show.
  const std::string bad = folder + "/bad.json";
  testsupport::WriteFile(bad, "{ not json");
  testsupport::WriteFile(folder + "/file", "");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{folder + "/missing.json"},
       3,
       folder + "/missing.json: cannot open the board file: No such file or directory"},
      {{folder}, 3, folder + ": a folder with no KiCad board (.kicad_pcb) in it"},
      {{"/dev/zero", "-o", folder + "/z.pcb"}, 3, "/dev/zero: not a regular file"},
      {{bad, "-o", folder + "/missing/out.pcb"},
       1,
       "cannot write " + folder + "/missing/out.pcb: No such file or directory"},
      {{bad, "-o", folder + "/file/out.pcb"},
       1,
       "cannot write " + folder + "/file/out.pcb: Not a directory"},
      {{bad, "-o", folder + "/" + std::string(300, 'n')},
       1,
       "cannot write " + folder + "/" + std::string(300, 'n') + ": File name too long"},
      {{bad, "--plugin", folder + "/none.so"}, 4, "cannot load the plug-in " + folder + "/none.so"},
      {{bad, "--plugin", bad}, 4, "cannot load the plug-in"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunExport(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments[0] << "\n" << outcome.err;
    EXPECT_TRUE(Has(outcome, "pcb28-export: " + c.message)) << outcome.err;
    EXPECT_FALSE(Has(outcome, "syntax error")) << outcome.err;
  }
  // A named pipe without a writer is refused, not waited on.
  ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0600), 0);
  EXPECT_EQ(RunExport({folder + "/fifo", "-o", folder + "/f.pcb"}).status, 3);
  // Far too large: refused from its size, before a byte is read.
  {
    const std::string huge = folder + "/huge.json";
    testsupport::WriteFile(huge, "");
    fs::resize_file(huge, std::uintmax_t{257} << 20);
    const Outcome outcome = RunExport({huge, "-o", folder + "/h.pcb"});
    EXPECT_EQ(outcome.status, 3);
    EXPECT_TRUE(Has(outcome, "too large for a board file")) << outcome.err;
    // And the same through standard input, which has no size to ask.
    RunSetup setup;
    setup.input = std::string(1 << 20, ' ');
    EXPECT_EQ(RunExport({"-", "-o", "-"}, setup).status, 3);
  }
  // A read-only file stays as it is (root may write anything).
  if (geteuid() != 0) {
    testsupport::WriteFile(folder + "/ro.pcb", "keep");
    chmod((folder + "/ro.pcb").c_str(), 0444);
    const Outcome outcome = RunExport({bad, "-o", folder + "/ro.pcb"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(Has(outcome, "ro.pcb: Permission denied")) << outcome.err;
    EXPECT_EQ(testsupport::ReadFile(folder + "/ro.pcb"), "keep");
  }
  // The board's own errors keep their place and exit with 3.
  const Outcome syntax = RunExport({bad, "-o", folder + "/b.pcb"});
  EXPECT_EQ(syntax.status, 3);
  EXPECT_TRUE(Has(syntax, bad + ": line 1, column 4")) << syntax.err;
}

TEST(CommandLine, OptionsInTheirUsualForms) {
  const std::string folder = testsupport::TempFolder();
  const Outcome version = RunExport({"--version"});
  EXPECT_EQ(version.status, 0);
  const std::string number = version.out.substr(std::min<std::size_t>(13, version.out.size()));
  EXPECT_EQ(version.out.substr(0, 13), "pcb28-export ");
  EXPECT_EQ(std::count(number.begin(), number.end(), '.'), 2) << version.out;
  EXPECT_EQ(number.find_first_not_of("0123456789.\n"), std::string::npos) << version.out;
  EXPECT_EQ(number.back(), '\n');
  const Outcome help = RunExport({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Exit status:"), std::string::npos);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"-o", "", kExample},
                                              {"--output=", kExample},
                                              {"--output"},
                                              {"--frobnicate", kExample},
                                              {"-x", kExample},
                                              {"--quiet=1", kExample},
                                              {},
                                              {"-", "-", "-o", "-"},
                                              {kExample, kExample, "-o", "-"}}) {
    const Outcome outcome = RunExport(bad);
    EXPECT_EQ(outcome.status, 2) << (bad.empty() ? "" : bad[0]) << outcome.err;
    EXPECT_TRUE(Has(outcome, "pcb28-export: ")) << outcome.err;
  }

  // --output=, -oFILE, grouped -qo, and a board named like an option after --.
  testsupport::WriteFile(folder + "/-q.json", testsupport::ReadFile(kExample));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--output=" + folder + "/a.pcb", kExample},
        {"-o" + folder + "/a.pcb", kExample},
        {kExample, "-qo", folder + "/a.pcb"},
        {"-o", folder + "/a.pcb", "--", folder + "/-q.json"}}) {
    fs::remove(folder + "/a.pcb");
    const Outcome outcome = RunExport(args);
    EXPECT_EQ(outcome.status, 0) << args[0] << outcome.err;
    EXPECT_TRUE(IsExport(testsupport::ReadFile(folder + "/a.pcb"))) << args[0];
  }
  // Quiet: not a word on success.
  EXPECT_EQ(RunExport({"-q", kExample, "-o", folder + "/b.pcb"}).err, "");
  // Standard input to standard output, the same bytes as from the file.
  RunSetup setup;
  setup.input = testsupport::ReadFile(kExample);
  const Outcome piped = RunExport({"-"}, setup);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.out, testsupport::ReadFile(folder + "/b.pcb"));
}

TEST(CommandLine, SeveralBoardsGoIntoOneFolderWithASummary) {
  const std::string folder = testsupport::TempFolder();
  fs::create_directory(folder + "/in");
  fs::create_directory(folder + "/out");
  testsupport::WriteFile(folder + "/in/one.json", testsupport::ReadFile(kExample));
  testsupport::WriteFile(folder + "/in/two.json", R"({"pcb28_board": 1})");
  testsupport::WriteFile(folder + "/in/bad.json", R"({"pcb28_board": 1, "widht": 3})");

  const Outcome good =
      RunExport({folder + "/in/one.json", folder + "/in/two.json", "-o", folder + "/out"});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_TRUE(Has(good, "pcb28-export: 2 of 2 boards written")) << good.err;
  EXPECT_EQ(clitest::FolderEntries(folder + "/out"),
            (std::vector<std::string>{"one.pcb", "two.pcb"}));
  EXPECT_EQ(testsupport::ReadFile(folder + "/out/one.pcb"), RunExport({kExample, "-o", "-"}).out);

  const Outcome mixed =
      RunExport({folder + "/in/bad.json", folder + "/in/one.json", "-o", folder + "/out/"});
  EXPECT_EQ(mixed.status, 3);
  EXPECT_TRUE(Has(mixed, "widht")) << mixed.err;
  EXPECT_TRUE(Has(mixed, "pcb28-export: 1 of 2 boards written")) << mixed.err;
  // Two boards of one name would overwrite each other.
  EXPECT_EQ(
      RunExport({folder + "/in/one.json", folder + "/in/../in/one.json", "-o", folder + "/out"})
          .status,
      2);
}

TEST(CommandLine, TheProgressLineFitsANarrowTerminal) {
  const std::string folder = testsupport::TempFolder();
  const std::string out = folder + "/" + std::string(60, 'x') + "/output.pcb";
  fs::create_directories(fs::path(out).parent_path());
  constexpr int kColumns = 40;
  RunSetup setup;
  setup.terminalColumns = kColumns;
  const Outcome outcome = RunExport({kExample, "-o", out}, setup);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  // Each drawing starts at \r and ends with "erase the rest of the line".
  std::string text = outcome.err;
  for (std::size_t at; (at = text.find("\x1b[K")) != std::string::npos;) text.erase(at, 3);
  std::size_t drawings = 0;
  bool saving = false, loading = false, savingShortened = false, loadingShortened = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string piece = text.substr(start, end - start);
    if (piece.rfind("pcb28-export: wrote ", 0) != 0 && !piece.empty()) {
      ++drawings;
      EXPECT_LT(piece.size(), static_cast<std::size_t>(kColumns)) << piece;
      const bool shortened = piece.find("...") != std::string::npos;
      if (piece.rfind("Saving ", 0) == 0) {
        saving = true;
        savingShortened =
            savingShortened || (shortened && piece.find("ASCII) [") != std::string::npos);
      }
      if (piece.rfind("Loading ", 0) == 0) {
        loading = true;
        loadingShortened =
            loadingShortened || (shortened && piece.find("json [") != std::string::npos);
      }
      EXPECT_EQ(piece.find("/proc/"), std::string::npos) << piece;
    }
    start = end + 1;
  }
  EXPECT_GT(drawings, 0u);
  EXPECT_TRUE(saving && loading) << outcome.err;
  // The caption is shortened in the middle: its start and its end stay.
  EXPECT_TRUE(savingShortened && loadingShortened) << text;
  // Nothing is drawn where standard error is not a terminal.
  EXPECT_EQ(RunExport({kExample, "-o", out}).err, "pcb28-export: wrote " + out + "\n");
}

TEST(CommandLine, TheInstalledProgramFindsItsPlugin) {
  const std::string prefix = testsupport::TempFolder() + "/prefix";
  const std::string build = fs::path(PCB28_EXPORT_PROGRAM).parent_path().string();
  const std::string command =
      "cmake --install '" + build + "' --prefix '" + prefix + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::exists(prefix + "/share/doc/pcb28/README.md"));
  clitest::Process process({"-q", kExample, "-o", "-"});  // the build's own program
  const std::string expected = process.Wait().out;
  // The installed one, with the build folder out of reach.
  const std::string installed = prefix + "/bin/pcb28-export";
  FILE* pipe = popen(("'" + installed + "' -q '" + kExample + "' -o -").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string got;
  char chunk[4096];
  std::size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) got.append(chunk, n);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(got, expected);
}
