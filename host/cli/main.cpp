// pcb28-export: the stand-in host program. It plays the part of the design
// environment: the server library is loaded (linked) first, the plug-in is
// loaded by path, then for each board the board file is read into the server
// and the plug-in is told to export it.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/BoardInput.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/Plugin.h"
#include "kicad/KicadImport.h"
#include "server/ProgressLine.h"

namespace {

using namespace cli;

// Far above any real board (the largest benchmark board is about 50 MB), low
// enough that a runaway input is refused before it costs gigabytes.
constexpr std::uint64_t kBoardSizeLimit = std::uint64_t{256} << 20;

struct Job {
  std::string board;
  std::string output;
  std::string found;  // which board a KiCad project file or folder stands for, or why none
  bool refused = false;
};

void Report(const std::string& message) {
  standin::ProgressEnd();
  std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
}

// Where each board goes: beside it, to the file given, or into the folder given.
bool PlanJobs(const Options& options, std::vector<Job>& jobs, std::string& error) {
  const bool several = options.boards.size() > 1;
  const bool toStdout = options.outputGiven && options.output == kStandardStream;
  if (toStdout && several) {
    error = "-o - takes one board";
    return false;
  }
  const bool intoFolder = options.outputGiven && !toStdout &&
                          (several || options.output.back() == '/' || IsFolder(options.output));
  std::set<std::string> outputs;
  int fromStdin = 0;
  for (const std::string& given : options.boards) {
    const kicad::BoardPath path =
        given == kStandardStream ? kicad::BoardPath{given, {}} : kicad::FindBoard(given);
    Job job{path.board.empty() ? given : path.board, options.output, path.message,
            path.board.empty()};
    const std::string& board = job.board;
    if (board == kStandardStream) {
      if (++fromStdin > 1) {
        error = "standard input (-) given more than once";
        return false;
      }
      if (intoFolder) {
        error = "a board from standard input needs its own output: -o FILE or -o -";
        return false;
      }
      if (!options.outputGiven) job.output = kStandardStream;
    } else if (!options.outputGiven || intoFolder) {
      std::filesystem::path name = board;
      if (name.extension() == ".pcb" && !intoFolder) {
        error = board + " ends in .pcb: give the output file with -o";
        return false;
      }
      name.replace_extension(".pcb");
      job.output = intoFolder ? (std::filesystem::path(options.output) / name.filename()).string()
                              : name.string();
    }
    if (job.output != kStandardStream && !outputs.insert(job.output).second) {
      error = "two boards would be written to " + job.output;
      return false;
    }
    jobs.push_back(job);
  }
  return true;
}

std::string DefaultPlugin() {
  const std::filesystem::path folder = ProgramFolder();
  const std::filesystem::path beside = folder / PCB28_PLUGIN_FILE;
  const std::filesystem::path installed = folder / PCB28_PLUGIN_FOLDER / PCB28_PLUGIN_FILE;
  std::error_code ec;
  if (folder.empty()) return PCB28_PLUGIN_FILE;
  return std::filesystem::exists(beside, ec) || !std::filesystem::exists(installed, ec)
             ? beside.string()
             : installed.string();
}

// Redraws the progress line every now and then while work of unknown length
// runs on this thread.
class Ticker {
 public:
  Ticker() : thread_([this] { Run(); }) {}
  ~Ticker() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stop_; }))
      standin::ProgressShow(0, 0);
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

// Reads the board's bytes and loads them into the server, on the progress line.
bool ReadAndLoad(BoardInput& input, const std::string& name, const std::string& saveBoard,
                 std::string& error) {
  standin::ProgressBegin("Loading " + name);
  BoardText text;
  if (!input.ReadAll(text, error, [](std::uint64_t done, std::uint64_t size) {
        standin::ProgressShow(static_cast<std::int64_t>(done), static_cast<std::int64_t>(size));
      }))
    return false;
  // Reading is measured in bytes; the reader's own work only in time.
  standin::ProgressBegin("Loading " + name);
  std::vector<std::string> notes;
  bool loaded;
  {
    Ticker ticker;
    loaded = LoadBoard(text.View(), name, saveBoard, notes, error);
  }
  // What a conversion dropped or approximated, one line each.
  for (const std::string& note : notes) Report(name + ": " + note);
  return loaded;
}

int ExportOne(const Job& job, Plugin& plugin, bool quiet, const std::string& saveBoard) {
  if (!job.found.empty()) Report(job.found);
  if (job.refused) return kExitBadBoard;
  std::string error;
  BoardInput input;
  if (!input.Open(job.board, kBoardSizeLimit, error)) {
    Report(error);
    return kExitBadBoard;
  }
  ExportOutput output;
  switch (output.Prepare(job.output, input.Identity(), error)) {
    case ExportOutput::Refusal::None:
      break;
    case ExportOutput::Refusal::SameAsInput:
      Report(error + ": refused, the export would overwrite its own board");
      return kExitUsage;
    case ExportOutput::Refusal::FileError:
      Report(error);
      return kExitNotWritten;
  }
  const std::string name = job.board == kStandardStream ? "standard input" : job.board;
  const std::string shown = job.output == kStandardStream ? "standard output" : job.output;

  if (!ReadAndLoad(input, name, saveBoard, error)) {
    Report(error);
    return kExitBadBoard;
  }

  std::string pluginPath;
  if (!output.Start(pluginPath, error)) {
    Report(error);
    return kExitNotWritten;
  }
  standin::SetProgressCaptionFilter([&](std::string_view caption) {
    std::string shownCaption(caption);
    if (const std::size_t at = shownCaption.find(pluginPath); at != std::string::npos)
      shownCaption.replace(at, pluginPath.size(), shown);
    return shownCaption;
  });
  const Plugin::Result result = plugin.Export(pluginPath, shown, error);
  standin::SetProgressCaptionFilter({});
  std::string reason;
  const bool copied = output.Finish(reason);
  standin::ProgressEnd();
  if (result == Plugin::Result::FormatRefused) {
    Report(error);
    return kExitPlugin;
  }
  if (copied && result == Plugin::Result::Exported && output.Commit(reason)) {
    if (!quiet) std::fprintf(stderr, "%s: wrote %s\n", kProgram, shown.c_str());
    return kExitWritten;
  }
  // The error box, when shown, has named the file; this says why.
  if (!reason.empty())
    Report("cannot write " + shown + ": " + reason);
  else if (result != Plugin::Result::ErrorBox)
    Report("cannot write " + shown);
  return kExitNotWritten;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  switch (ParseOptions(argc, argv, options, error)) {
    case Parsed::Help:
      std::fputs(HelpText(), stdout);
      return kExitWritten;
    case Parsed::Version:
      std::fputs(VersionText(), stdout);
      return kExitWritten;
    case Parsed::Bad:
      std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                   error.c_str(), kProgram);
      return kExitUsage;
    case Parsed::Run:
      break;
  }
  std::vector<Job> jobs;
  if (!PlanJobs(options, jobs, error)) {
    Report(error);
    return kExitUsage;
  }
  InstallSignalHandlers();
  standin::SetProgressShown(!options.quiet);

  Plugin plugin;
  if (!plugin.Load(options.plugin.empty() ? DefaultPlugin() : options.plugin, error)) {
    Report(error);
    return kExitPlugin;
  }
  int status = kExitWritten;
  std::size_t written = 0;
  for (const Job& job : jobs) {
    const int jobStatus = ExportOne(job, plugin, options.quiet, options.saveBoard);
    if (jobStatus == kExitWritten)
      ++written;
    else if (status == kExitWritten)
      status = jobStatus;
  }
  if (jobs.size() > 1 && !options.quiet)
    std::fprintf(stderr, "%s: %zu of %zu boards written\n", kProgram, written, jobs.size());
  return status;
}
