// What the program does at the edges of what a board may hold: a board past
// the server's limits is refused naming the limit, a board at them exports,
// numbers past the file's 16-bit fields are warned of, a walk the plug-in
// cut short is explained, and running out of memory is a message and a
// status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/ProgramRun.h"
#include "server/Server.h"
#include "support/TestSupport.h"

namespace {

using clitest::Outcome;
using clitest::RunExport;
using clitest::RunSetup;
using standin::ServerLimits;

bool Has(const Outcome& outcome, const std::string& text) {
  return outcome.err.find(text) != std::string::npos;
}

// `count` copies of `entry`, comma-separated; `{}` gives "{},{},{}".
std::string Repeat(const std::string& entry, std::size_t count) {
  std::string list;
  list.reserve(count * (entry.size() + 1));
  for (std::size_t i = 0; i < count; ++i) list += (i > 0 ? "," : "") + entry;
  return list;
}

std::string WriteBoard(const std::string& folder, const std::string& name,
                       const std::string& body) {
  const std::string path = folder + "/" + name;
  testsupport::WriteFile(path, R"({"pcb28_board": 1, )" + body + "}");
  return path;
}

// The counts line, the file's second.
std::string CountsLine(const std::string& file) {
  const std::size_t first = file.find("\r\n");
  return file.substr(first + 2, file.find("\r\n", first + 2) - first - 2);
}

}  // namespace

// The plug-in bounds every walk, and all walks of one export together
// (docs/host-data-bounds.md); a board the server holds stays below them.
TEST(BoardLimits, ABoardPastALimitIsRefusedAndOneAtTheLimitsExports) {
  const std::string folder = testsupport::TempFolder();
  const std::string out = folder + "/out.pcb";
  const std::vector<std::pair<std::string, std::string>> refused = {
      {R"("tracks": [)" + Repeat("{}", ServerLimits::kObjects + 1) + "]",
       "more than 1048576 objects"},
      {R"("components": [{"tracks": [)" + Repeat("{}", ServerLimits::kComponentObjects + 1) + "]}]",
       "more than 65536 objects in one component"},
      {R"("rules": [)" + Repeat(R"({"kind": "Clearance"})", ServerLimits::kRules + 1) + "]",
       "more than 16384 rules"},
  };
  for (const auto& [body, limit] : refused) {
    const std::string board = WriteBoard(folder, "over.json", body);
    const Outcome outcome = RunExport({"-q", board, "-o", out});
    EXPECT_EQ(outcome.status, 3) << outcome.err;
    EXPECT_TRUE(Has(outcome, board + ": " + limit)) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  // The most walking a board within the limits can cost: every object a pad
  // of one net, each yielded six times in one export.
  const std::size_t pads = ServerLimits::kObjects - 1;
  const std::string board =
      WriteBoard(folder, "pads.json",
                 R"("nets": [{"name": "N"}], "pads": [)" + Repeat(R"({"net": "N"})", pads) + "]");
  const Outcome outcome = RunExport({"-q", board, "-o", out});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  // From-tos, tracks, net pads, nets, arcs, vias, components, fills, pads, texts.
  EXPECT_EQ(CountsLine(testsupport::ReadFile(out)),
            "0 0 " + std::to_string(pads) + " 1 0 0 0 0 " + std::to_string(pads) + " 0");
}

TEST(BoardLimits, NumbersPastTheFilesSixteenBitsAreWarnedOfOncePerKind) {
  const std::string folder = testsupport::TempFolder();
  std::string nets;
  for (int i = 0; i < 65536; ++i)
    nets += (i > 0 ? R"(,{"name": "N)" : R"({"name": "N)") + std::to_string(i) + "\"}";
  // 65,536 nets are one too many; 65,535 components on one side are not.
  const std::string board =
      WriteBoard(folder, "many.json",
                 R"("nets": [)" + nets + R"(], "components": [)" + Repeat("{}", 65535) + "]");
  const std::string out = folder + "/many.pcb";
  const Outcome outcome = RunExport({"-q", board, "-o", out});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "pcb28-export: " + board +
                             ": 65536 nets: the file numbers them in 16 bits, so the numbers "
                             "past 65535 wrap around and records refer to the wrong ones "
                             "(written as the host writes them)\n");
  // Written as the host writes it: the counts say every object.
  EXPECT_EQ(CountsLine(testsupport::ReadFile(out)), "0 0 0 65536 0 0 65535 0 0 0");
}

TEST(BoardLimits, AWalkThePluginCutShortIsExplainedBesideItsErrorBox) {
  const std::string folder = testsupport::TempFolder();
  const std::string board =
      WriteBoard(folder, "tracks.json", R"("tracks": [)" + Repeat("{}", 3) + "]");
  const std::string out = folder + "/out.pcb";
  const Outcome outcome = RunExport({board, "-o", out, "--plugin", PCB28_CUTTING_PLUGIN});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Orvane Error: File Error - Failed to Export " + out +
                             "\npcb28-export: the plug-in left its walk over the board's 3 "
                             "tracks before its end: a bound of its protection against a runaway "
                             "host cut it short, so the file misses objects (see "
                             "docs/host-data-bounds.md)\n");
}

TEST(BoardLimits, RunningOutOfMemoryIsAMessageAndAStatus) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than any limit leaves";
#endif
  const std::string folder = testsupport::TempFolder();
  const std::string board = WriteBoard(
      folder, "tracks.json", R"("tracks": [)" + Repeat("{}", ServerLimits::kObjects) + "]");
  const std::string out = folder + "/out.pcb";
  testsupport::WriteFile(out, "old");
  RunSetup setup;
  setup.addressSpaceLimit = 150L << 20;  // the board takes about twice that
  const Outcome outcome = RunExport({"-q", board, "-o", out}, setup);
  EXPECT_EQ(outcome.signal, 0);
  EXPECT_EQ(outcome.status, 5) << outcome.err;
  EXPECT_NE(outcome.err.find("pcb28-export: out of memory"), std::string::npos) << outcome.err;
  EXPECT_EQ(testsupport::ReadFile(out), "old");
  EXPECT_EQ(clitest::FolderEntries(folder), (std::vector<std::string>{"out.pcb", "tracks.json"}));
}
