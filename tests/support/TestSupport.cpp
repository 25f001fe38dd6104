#include "support/TestSupport.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "boardfile/BoardFile.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/Platform.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

struct TempRoot {
  fs::path path;
  TempRoot() {
    path = fs::temp_directory_path() / ("pcb28-test-" + std::to_string(ProcessId()));
    fs::create_directories(path);
  }
  ~TempRoot() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

}  // namespace

std::string TempFolder() {
  static TempRoot root;
  static int counter = 0;
  fs::path folder = root.path / std::to_string(++counter);
  fs::create_directories(folder);
  return folder.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::vector<std::string> SplitLines(const std::string& content, bool& wellFormed) {
  std::vector<std::string> lines;
  wellFormed = true;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      wellFormed = false;
      lines.push_back(content.substr(start));
      break;
    }
    std::string line = content.substr(start, end - start);
    if (line.find_first_of("\r\n") != std::string::npos) wellFormed = false;
    lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

void BindPluginToServer() { PCBProcs::BindEntryPoints(&StandIn_EntryPoint); }

void LoadBoard(std::string_view json) {
  std::string error;
  ASSERT_TRUE(boardfile::LoadBoardText(json, "test board", error)) << error;
}

HostString Description() { return HostString(GetPcbExporterDescription()); }

std::vector<std::string> ExportLines(const std::string& fileName) {
  const std::string path = TempFolder() + "/" + fileName;
  BindPluginToServer();
  EXPECT_TRUE(ExportFileFromPcb(HostString(path).data(), Description().data()));
  bool wellFormed = false;
  std::vector<std::string> lines = SplitLines(ReadFile(path), wellFormed);
  EXPECT_TRUE(wellFormed) << "every line of " << path << " must end with CR LF";
  return lines;
}

ProgramOutcome RunExportProgram(const std::string& arguments) {
  const std::string command = std::string(PCB28_EXPORT_PROGRAM) + " " + arguments + " 2>&1";
  ProgramOutcome outcome;
#if defined(_WIN32)
  FILE* pipe = _popen(command.c_str(), "rb");
#else
  FILE* pipe = popen(command.c_str(), "r");
#endif
  if (pipe == nullptr) return outcome;
  char chunk[4096];
  std::size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) outcome.output.append(chunk, n);
#if defined(_WIN32)
  outcome.status = _pclose(pipe);
#else
  const int raw = pclose(pipe);
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  return outcome;
}

}  // namespace testsupport
