// pcb28-export: the stand-in host program. It plays the part of the design
// environment: the server library is loaded (linked) first, the plug-in is
// loaded by path, then for each board the board file is read into the server
// and the plug-in is told to export it.

#include <algorithm>
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

#include "HostLayers.h"
#include "cli/BoardInput.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/Plugin.h"
#include "kicad/KicadImport.h"
#include "server/ProgressLine.h"
#include "server/Server.h"
#include "view/ViewFile.h"

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
  // Several boards go into a folder; a name that is no folder is a slip
  // (one output file for many boards), told before anything is written.
  if (intoFolder && several && options.output.back() != '/' && !IsFolder(options.output)) {
    error = "-o " + options.output + ": " + std::to_string(options.boards.size()) +
            " boards are written into a folder, and this is not one; give an existing folder "
            "(or one ending in /), or export one board at a time";
    return false;
  }
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
    if (!options.saveBoard.empty() &&
        (options.saveBoard == kStandardStream ? job.output == kStandardStream
                                              : SameFile(options.saveBoard, job.output))) {
      error = "--save-board " + options.saveBoard + " is also the export's output";
      return false;
    }
    // The picture is written last: it must not take the place of a file the
    // export reads or writes.
    if (!options.svg.empty() && board != kStandardStream &&
        (SameFile(options.svg, board) || SameFile(options.svg, job.output) ||
         (!options.saveBoard.empty() && SameFile(options.svg, options.saveBoard)))) {
      error = "--svg " + options.svg + " is also the board file or another output";
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

// The plural name of a kind of host object, for messages.
const char* KindName(standin::Kind kind) {
  switch (kind) {
    case standin::Kind::Arc:
      return "arcs";
    case standin::Kind::Pad:
      return "pads";
    case standin::Kind::Via:
      return "vias";
    case standin::Kind::Track:
      return "tracks";
    case standin::Kind::Text:
      return "texts";
    case standin::Kind::Fill:
      return "fills";
    case standin::Kind::Net:
      return "nets";
    case standin::Kind::Component:
      return "components";
    case standin::Kind::Polygon:
      return "polygons";
    case standin::Kind::Rule:
      return "rules";
    default:
      return "objects";
  }
}

// The file numbers components (each side apart), nets and polygons (each
// layer apart) in the host's 16-bit fields: past 65,535 the numbers wrap and
// records refer to the wrong object. The file is written as the host writes
// it; the user is told once per kind.
void WarnOfWrappingNumbers(const std::string& name) {
  constexpr std::size_t kNumbers = 65535;
  standin::Server& server = standin::TheServer();
  const ObjectHandle board = server.CurrentBoardHandle();
  std::vector<ObjectHandle> found;
  auto count = [&](standin::Kind kind, HostLayer layer) {
    server.Collect(board, kind, layer, found);
    return found.size();
  };
  auto warn = [&](std::size_t n, const char* what, const char* where) {
    if (n > kNumbers)
      Report(name + ": " + std::to_string(n) + " " + what + where +
             ": the file numbers them in 16 bits, so the numbers past 65535 wrap around and "
             "records refer to the wrong ones (written as the host writes them)");
  };
  warn(std::max(count(standin::Kind::Component, kTopLayer),
                count(standin::Kind::Component, kBottomLayer)),
       "components", " on one side");
  warn(count(standin::Kind::Net, kMultiLayer), "nets", "");
  std::size_t polygons = 0;
  for (HostLayer layer = 1; layer <= kLastHostLayer; ++layer)
    polygons = std::max(polygons, count(standin::Kind::Polygon, layer));
  warn(polygons, "polygons", " on one layer");
}

// Why the plug-in's error box showed when the file itself was written: a
// walk over the host's objects that the plug-in left before its end, which
// it does only when one of its bounds cut the walk short.
void ExplainUnfinishedWalk() {
  const standin::Server::UnfinishedWalks& walks = standin::TheServer().Unfinished();
  if (walks.count == 0) return;
  const char* owner = walks.owner == standin::Kind::Component ? "a component's"
                      : walks.owner == standin::Kind::Net     ? "a net's"
                                                              : "the board's";
  Report(std::string("the plug-in left its walk over ") + owner + " " +
         std::to_string(walks.handles) + " " + KindName(walks.kind) +
         " before its end: a bound of its protection against a runaway host cut it short, so "
         "the file misses objects (see docs/host-data-bounds.md)");
}

// Reads the board's bytes and loads them into the server, on the progress line.
bool ReadAndLoad(BoardInput& input, const std::string& name, const BoardSink& save,
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
    loaded = LoadBoard(text.View(), name, save, notes, error, [&text] { text.Release(); });
  }
  // What a conversion dropped or approximated, one line each.
  for (const std::string& note : notes) Report(name + ": " + note);
  if (loaded) WarnOfWrappingNumbers(name);
  return loaded;
}

// Checks an output before the board loads; 0 when it may be written, else
// the exit status, with the message reported.
int PrepareOutput(ExportOutput& output, const std::string& path, const FileIdentity& input,
                  const char* what) {
  std::string error;
  switch (output.Prepare(path, input, error)) {
    case ExportOutput::Refusal::None:
      return kExitWritten;
    case ExportOutput::Refusal::SameAsInput:
      Report(error + ": refused, " + what + " would overwrite its own board");
      return kExitUsage;
    case ExportOutput::Refusal::FileError:
      Report(error);
      return kExitNotWritten;
  }
  return kExitNotWritten;
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
  if (const int status = PrepareOutput(output, job.output, input.Identity(), "the export"))
    return status;
  // The board file that is loaded, kept with the same care as the export.
  ExportOutput saved;
  BoardSink save;
  bool saveFailed = false;
  if (!saveBoard.empty()) {
    if (const int status = PrepareOutput(saved, saveBoard, input.Identity(), "--save-board"))
      return status;
    save = [&](std::string_view document, std::string& saveError) {
      std::string reason;
      if (saved.Write(document, reason) && saved.Commit(reason)) return true;
      saveError = "cannot write " + saveBoard + ": " + reason;
      saveFailed = true;
      return false;
    };
  }
  const std::string name = job.board == kStandardStream ? "standard input" : job.board;
  const std::string shown = job.output == kStandardStream ? "standard output" : job.output;

  if (!ReadAndLoad(input, name, save, error)) {
    Report(error);
    return saveFailed ? kExitNotWritten : kExitBadBoard;
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
  if (result == Plugin::Result::ErrorBox) ExplainUnfinishedWalk();
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
  InstallOutOfMemoryHandler();
  standin::SetProgressShown(!options.quiet);

  Plugin plugin;
  if (!plugin.Load(options.plugin.empty() ? DefaultPlugin() : options.plugin, error)) {
    // A program copied away from its build or installation: say where the
    // plug-in is looked for and how to name another.
    if (options.plugin.empty())
      error += std::string("\n") + kProgram +
               ": the plug-in " PCB28_PLUGIN_FILE
               " is looked for beside the program and in " PCB28_PLUGIN_FOLDER
               " from there; give its place with --plugin FILE";
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
  // The picture of the board, drawn from the file just written.
  if (status == kExitWritten && !options.svg.empty()) {
    if (view::DrawFile(jobs.front().output, options.svg, error) != view::Drawn::Written) {
      Report(error);
      status = kExitNotWritten;
    } else if (!options.quiet) {
      std::fprintf(stderr, "%s: wrote %s\n", kProgram, options.svg.c_str());
    }
  }
  if (jobs.size() > 1 && !options.quiet)
    std::fprintf(stderr, "%s: %zu of %zu boards written\n", kProgram, written, jobs.size());
  return status;
}
