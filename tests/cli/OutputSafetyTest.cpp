// What happens to the user's files: the old output survives a failed or an
// interrupted export, links are followed, the board is never overwritten.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli/ProgramRun.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::FolderEntries;
using clitest::Outcome;
using clitest::RunExport;
using clitest::RunSetup;

constexpr const char* kOld = "the old output, which must survive\n";

std::string SmallBoard(const std::string& folder) {
  const std::string path = folder + "/board.json";
  testsupport::WriteFile(path,
                         testsupport::ReadFile(PCB28_TEST_DATA "/../../examples/example.json"));
  return path;
}

// A board with many tracks, so that its export takes a while.
std::string LargeBoard(const std::string& folder, int tracks) {
  std::string json = R"({"pcb28_board": 1, "nets": [{"name": "N"}], "tracks": [)";
  for (int i = 0; i < tracks; ++i) {
    if (i > 0) json += ',';
    json += R"({"x": )" + std::to_string(i) + R"(, "y": 0, "x2": 5000, "y2": )" +
            std::to_string(i) + R"(, "width": 80000, "layer": "TopLayer", "net": "N"})";
  }
  json += "]}";
  const std::string path = folder + "/large.json";
  testsupport::WriteFile(path, json);
  return path;
}

// Whether the process has an unnamed (or named temporary) file open in
// `folder` that already holds data: the export is writing.
bool WritingInto(pid_t pid, const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    const fs::path target = fs::read_symlink(entry.path(), ec);
    if (ec || target.string().rfind(folder + "/", 0) != 0) continue;
    if (target.string().find(".json") != std::string::npos) continue;
    struct stat st {};
    if (stat(entry.path().c_str(), &st) == 0 && st.st_size > 0) return true;
  }
  return false;
}

}  // namespace

TEST(OutputSafety, AFailedExportLeavesTheOldFileAndNothingElse) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  const std::string out = folder + "/out.pcb";
  testsupport::WriteFile(out, kOld);
  RunSetup setup;
  setup.fileSizeLimit = 4096;  // the export is about 12 KB
  const Outcome outcome = RunExport({board, "-o", out}, setup);
  EXPECT_EQ(outcome.status, 1) << outcome.err;
  EXPECT_NE(outcome.err.find("pcb28-export: cannot write " + out + ": File too large"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(outcome.err.find("/proc/"), std::string::npos) << outcome.err;
  EXPECT_EQ(testsupport::ReadFile(out), kOld);
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"board.json", "out.pcb"}));
}

TEST(OutputSafety, AnInterruptedExportLeavesTheOldFileAndNothingElse) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = LargeBoard(folder, 60000);
  const std::string out = folder + "/out.pcb";
  for (int signal : {SIGINT, SIGTERM}) {
    testsupport::WriteFile(out, kOld);
    clitest::Process process({board, "-o", out});
    // Interrupted once the output holds data; waits up to a minute for that.
    bool writing = false;
    for (int i = 0; i < 60000 && !writing; ++i) {
      writing = WritingInto(process.Pid(), folder);
      if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!writing) GTEST_SKIP() << "the export ended before it could be interrupted";
    process.Signal(signal);
    const Outcome outcome = process.Wait();
    EXPECT_EQ(outcome.signal, signal) << outcome.status << outcome.err;
    EXPECT_EQ(testsupport::ReadFile(out), kOld);
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"large.json", "out.pcb"}));
  }
  // Waiting on its board from standard input, with the output prepared.
  testsupport::WriteFile(out, kOld);
  RunSetup setup;
  setup.keepInputOpen = true;
  clitest::Process waiting({"-", "-o", out}, setup);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  waiting.Signal(SIGTERM);
  EXPECT_EQ(waiting.Wait().signal, SIGTERM);
  EXPECT_EQ(testsupport::ReadFile(out), kOld);
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"large.json", "out.pcb"}));
}

TEST(OutputSafety, AnOutputThatIsTheBoardIsRefusedUnderAnyName) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  const std::string content = testsupport::ReadFile(board);
  fs::create_symlink(board, folder + "/link.pcb");
  fs::create_hard_link(board, folder + "/hard.pcb");
  for (const std::string& out :
       {board, folder + "/link.pcb", folder + "/hard.pcb",
        folder + "/../" + fs::path(folder).filename().string() + "/board.json"}) {
    const Outcome outcome = RunExport({"-o", out, board});
    EXPECT_EQ(outcome.status, 2) << out << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("is the board file itself"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(testsupport::ReadFile(board), content);
  EXPECT_TRUE(fs::is_symlink(folder + "/link.pcb"));
}

TEST(OutputSafety, ALinkKeepsPointingToTheNewFile) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  fs::create_directory(folder + "/real");
  testsupport::WriteFile(folder + "/real/out.pcb", kOld);
  fs::create_symlink("real/out.pcb", folder + "/link.pcb");
  const Outcome outcome = RunExport({board, "--output=" + folder + "/link.pcb"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(fs::is_symlink(folder + "/link.pcb"));
  const std::string written = testsupport::ReadFile(folder + "/real/out.pcb");
  EXPECT_EQ(written.rfind("PCB FILE 6 VERSION 2.80\r\n", 0), 0u);
  EXPECT_EQ(written.substr(written.size() - 8), "ENDPCB\r\n");
  EXPECT_EQ(FolderEntries(folder + "/real"), std::vector<std::string>{"out.pcb"});
}

TEST(OutputSafety, OutputsThatAreNotRegularFilesAreWrittenDirectly) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  // Standard output, as "-" and through /dev/stdout.
  for (const char* out : {"-", "/dev/stdout"}) {
    const Outcome outcome = RunExport({board, "-o", out});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out.rfind("PCB FILE 6 VERSION 2.80\r\n", 0), 0u) << out;
    EXPECT_EQ(outcome.out.substr(outcome.out.size() - 8), "ENDPCB\r\n") << out;
  }
  EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"board.json"});
  // A reader that is gone: an error and status 1, not a silent death.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  RunSetup setup;
  setup.outputFd = fds[1];
  const Outcome broken = RunExport({board, "-o", "-"}, setup);
  close(fds[1]);
  EXPECT_EQ(broken.signal, 0);
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("cannot write standard output: Broken pipe"), std::string::npos)
      << broken.err;
  // A full device.
  const Outcome full = RunExport({board, "-o", "/dev/full"});
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("cannot write /dev/full: No space left on device"), std::string::npos)
      << full.err;
}

TEST(OutputSafety, TwoExportsToOnePathEachLeaveAWholeFile) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = LargeBoard(folder, 5000);
  const std::string out = folder + "/out.pcb";
  clitest::Process first({board, "-o", out});
  clitest::Process second({board, "-o", out});
  EXPECT_EQ(first.Wait().status, 0);
  EXPECT_EQ(second.Wait().status, 0);
  EXPECT_EQ(testsupport::ReadFile(out), RunExport({board, "-o", "-"}).out);
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"large.json", "out.pcb"}));
}

TEST(OutputSafety, TheSavedBoardIsWrittenWithTheSameCare) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  const std::string content = testsupport::ReadFile(board);
  const std::string out = folder + "/out.pcb";
  fs::create_symlink(board, folder + "/link.json");
  // A KiCad board is told by its content; the refusal comes before reading.
  const std::string kicad = folder + "/k.kicad_pcb";
  testsupport::WriteFile(kicad, content);
  for (const auto& [input, saved] :
       {std::pair{board, board}, std::pair{board, folder + "/link.json"},
        std::pair{kicad, kicad}}) {
    const Outcome outcome = RunExport({input, "-o", out, "--save-board", saved});
    EXPECT_EQ(outcome.status, 2) << saved << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("is the board file itself"), std::string::npos) << outcome.err;
    EXPECT_EQ(testsupport::ReadFile(input), content);
  }
  EXPECT_EQ(RunExport({board, "-o", out, "--save-board", out}).status, 2);
  // A folder that is missing: the reason and status 1, before the board is
  // read (this one would not load).
  testsupport::WriteFile(folder + "/bad.json", "{ not json");
  const Outcome missing =
      RunExport({folder + "/bad.json", "-o", out, "--save-board", folder + "/none/s.json"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot write " + folder + "/none/s.json: No such file or directory"),
            std::string::npos)
      << missing.err;
  EXPECT_EQ(missing.err.find("line 1"), std::string::npos) << missing.err;
  // A save that fails leaves the old file and nothing beside it.
  const std::string saved = folder + "/saved.json";
  testsupport::WriteFile(saved, kOld);
  RunSetup setup;
  setup.fileSizeLimit = 4096;  // the board is about 18 KB
  const Outcome failed = RunExport({board, "-o", out, "--save-board", saved}, setup);
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("cannot write " + saved + ": File too large"), std::string::npos)
      << failed.err;
  EXPECT_EQ(testsupport::ReadFile(saved), kOld);
  EXPECT_EQ(FolderEntries(folder),
            (std::vector<std::string>{"bad.json", "board.json", "k.kicad_pcb", "link.json",
                                      "saved.json"}));
  const Outcome good = RunExport({board, "-o", out, "--save-board", saved});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(testsupport::ReadFile(saved), content);
}

TEST(OutputSafety, AFileInAFolderThatTakesNoNewFileIsReplacedThroughACopy) {
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  const std::string shared = folder + "/shared", temp = folder + "/temp";
  fs::create_directories(shared);
  fs::create_directories(temp);
  chmod(temp.c_str(), 0777);
  const std::string out = shared + "/out.pcb";
  testsupport::WriteFile(out, kOld);
  // The user may write the file but not its folder: as root the export runs
  // as another user, who owns the file; otherwise the folder is made
  // read-only.
  RunSetup setup;
  if (geteuid() == 0) {
    ASSERT_EQ(chown(out.c_str(), clitest::kOtherUser, clitest::kOtherUser), 0);
    // The build may lie where that user cannot go: a copy of the program
    // with the libraries it finds beside itself.
    const std::string bin = folder + "/bin";
    fs::create_directories(bin);
    for (const char* file : {PCB28_EXPORT_PROGRAM, PCB28_SERVER_PATH, PCB28_PLUGIN_PATH})
      fs::copy_file(file, bin + "/" + fs::path(file).filename().string());
    setup.program = bin + "/" + fs::path(PCB28_EXPORT_PROGRAM).filename().string();
  } else {
    chmod(shared.c_str(), 0555);
  }
  struct stat before {};
  ASSERT_EQ(stat(out.c_str(), &before), 0);
  setup.asOtherUser = true;
  setup.environment = {"TMPDIR=" + temp};
  const Outcome outcome = RunExport({board, "-o", out}, setup);
  chmod(shared.c_str(), 0755);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(testsupport::ReadFile(out), RunExport({board, "-o", "-"}).out);
  struct stat after {};
  ASSERT_EQ(stat(out.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, with its owner and links
  EXPECT_EQ(FolderEntries(shared), std::vector<std::string>{"out.pcb"});
  EXPECT_TRUE(FolderEntries(temp).empty());
}

TEST(OutputSafety, RootReplacingAnotherUsersFileKeepsItsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can replace another user's file";
  const std::string folder = testsupport::TempFolder();
  const std::string board = SmallBoard(folder);
  const std::string out = folder + "/out.pcb";
  testsupport::WriteFile(out, kOld);
  ASSERT_EQ(chown(out.c_str(), 12345, 23456), 0);
  chmod(out.c_str(), 0640);
  const Outcome outcome = RunExport({board, "-o", out});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  struct stat st {};
  ASSERT_EQ(stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 12345u);
  EXPECT_EQ(st.st_gid, 23456u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(testsupport::ReadFile(out), kOld);
}
