// End-to-end benchmark: generates board files of three sizes and, for each,
// measures the host program pcb28-export as a user runs it (wall time and
// peak resident memory of the whole process), and the phases of the same
// work in this process, with the host program's reading and allocator:
// reading the file, parsing and checking it into the server, and the export.
//
//   pcb28_end_to_end_benchmark [--scales 0.1,0.3333,1] [--repeat N] [--dir PATH]
//                              [--kicad BOARD.kicad_pcb]... [--kicad-cli PATH]
//
// The full size (scale 1) is 5,000 components of 10 pads (with a designator
// and a comment each), 380,000 tracks, 50,000 vias and 3,000 nets: a board
// file of about 50 MB. Then the same for KiCad boards (by default the
// largest demo board of KiCad 6's kicad-demos, when it is installed), with
// the conversion to a board-file document as a phase of its own; with
// --kicad-cli, KiCad's own `kicad-cli pcb export pos` of each board is
// timed beside (once: it takes seconds).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "BenchBoard.h"
#include "BoardFileWriter.h"
#include "LenString.h"
#include "boardfile/BoardFile.h"
#include "cli/Platform.h"
#include "hostapi/PCBProcs.h"
#include "kicad/KicadImport.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// Host objects a board file makes: components with their two texts and
// pads, tracks, vias, nets.
std::size_t Objects(const pcb28bench::BoardSize& size) {
  return size.components * (3 + size.padsPerComponent) + size.tracks + size.vias + size.nets;
}

// Reads a file whole into `text`, with room after it for the reader.
struct ProgramRun {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system: less disturbed by a busy machine
  double peakMiB = 0;
  bool ok = false;
};

// Runs a program as a user would, its output silenced, and measures the
// whole process.
ProgramRun RunProgram(const std::vector<std::string>& command) {
  ProgramRun run;
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::fflush(nullptr);  // or the child writes out what this process has buffered
  const auto t0 = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
    quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = Seconds(t0, Clock::now());
  run.peakMiB = usage.ru_maxrss / 1024.0;
  run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// The host program on a board: best wall and CPU time of `repeat` runs,
// the largest peak.
ProgramRun RunExport(const std::string& board, const std::string& out, int repeat) {
  ProgramRun best{1e300, 1e300, 0, true};
  for (int i = 0; i < repeat; ++i) {
    const ProgramRun run = RunProgram({PCB28_EXPORT_PROGRAM, board, "-o", out});
    best.ok = best.ok && run.ok;
    best.seconds = std::min(best.seconds, run.seconds);
    best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
    best.peakMiB = std::max(best.peakMiB, run.peakMiB);
  }
  return best;
}

struct Result {
  double scale = 0;
  std::size_t objects = 0, fileBytes = 0;
  double readSeconds = 1e300, loadSeconds = 1e300, exportSeconds = 1e300;
  ProgramRun program{1e300, 1e300, 0, true};
};

// Reads a board file as the host program does (mapped, with its padding).
bool ReadBoard(const std::string& path, cli::BoardText& text, std::string& error) {
  cli::BoardInput input;
  return input.Open(path, std::uint64_t{1} << 30, error) && input.ReadAll(text, error, {});
}

constexpr const char* kKicadBoard = "/usr/share/kicad/demos/video/video.kicad_pcb";

// A KiCad board as the host program takes it: read, converted to a
// board-file document, loaded and exported in this process (best of
// `repeat`), then the program itself; then, with `kicadCli`, KiCad's own
// reading and writing of the footprint positions, once. Prints a row.
bool MeasureKicad(const std::string& board, const std::string& out, int repeat,
                  const std::string& kicadCli) {
  const LenString description(GetPcbExporterDescription());
  const LenString file(out);
  double read = 1e300, convert = 1e300, load = 1e300, exported = 1e300;
  std::size_t bytes = 0;
  for (int i = 0; i < repeat; ++i) {
    const auto t0 = Clock::now();
    std::string project, error;
    cli::BoardText text;
    if (!ReadBoard(board, text, error) || !kicad::ReadProjectBeside(board, project, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    const auto t1 = Clock::now();
    kicad::Conversion conversion;
    const bool converted = kicad::ConvertBoard(text.View(), project, conversion, error);
    const auto t2 = Clock::now();
    if (!converted || !boardfile::LoadBoardInPlace(conversion.document, board, error)) {
      std::fprintf(stderr, "%s: %s\n", board.c_str(), error.c_str());
      return false;
    }
    const auto t3 = Clock::now();
    ExportFileFromPcb(file.Buffer(), description.Buffer());
    const auto t4 = Clock::now();
    bytes = text.View().size();
    read = std::min(read, Seconds(t0, t1));
    convert = std::min(convert, Seconds(t1, t2));
    load = std::min(load, Seconds(t2, t3));
    exported = std::min(exported, Seconds(t3, t4));
    standin::TheServer().Reset();
  }
  const ProgramRun program = RunExport(board, out, repeat);
  std::filesystem::remove(out);
  if (!program.ok) {
    std::fprintf(stderr, "pcb28-export failed on %s\n", board.c_str());
    return false;
  }
  const std::string name = std::filesystem::path(board).filename().string();
  std::printf("%-28s %8.1f %8.3f %10.3f %8.3f %9.3f %10.3f %13.3f %11.1f\n", name.c_str(),
              bytes / 1e6, read, convert, load, exported, program.seconds, program.cpuSeconds,
              program.peakMiB);
  if (!kicadCli.empty()) {
    const std::string positions = out + ".pos";
    const ProgramRun kicad =
        RunProgram({kicadCli, "pcb", "export", "pos", "--output", positions, board});
    std::filesystem::remove(positions);
    if (!kicad.ok) {
      std::fprintf(stderr, "kicad-cli failed on %s\n", board.c_str());
      return false;
    }
    std::printf("%-28s %8s %8s %10s %8s %9s %10.3f %13.3f %11.1f  (%.0f times ours)\n",
                "  kicad-cli pcb export pos", "", "", "", "", "", kicad.seconds, kicad.cpuSeconds,
                kicad.peakMiB, kicad.seconds / program.seconds);
  }
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<double> scales = {0.1, 0.3333, 1.0};
  int repeat = 3;
  std::string dir = ".";
  std::vector<std::string> kicadBoards;
  std::string kicadCli;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scales" && i + 1 < argc) {
      scales.clear();
      std::stringstream list(argv[++i]);
      for (std::string item; std::getline(list, item, ',');)
        scales.push_back(std::atof(item.c_str()));
    } else if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--dir" && i + 1 < argc) {
      dir = argv[++i];
    } else if (arg == "--kicad" && i + 1 < argc) {
      kicadBoards.push_back(argv[++i]);
    } else if (arg == "--kicad-cli" && i + 1 < argc) {
      kicadCli = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: pcb28_end_to_end_benchmark [--scales LIST] [--repeat N] [--dir PATH] "
                   "[--kicad BOARD]... [--kicad-cli PATH]\n");
      return 2;
    }
  }

  PCBProcs::BindEntryPoints(&StandIn_EntryPoint);
  const LenString description(GetPcbExporterDescription());
  std::vector<Result> results;
  for (double scale : scales) {
    Result r;
    r.scale = scale;
    const pcb28bench::BoardSize size =
        pcb28bench::BoardSize::Scaled(scale, pcb28bench::kFullBoardFile);
    r.objects = Objects(size);
    char name[64];
    std::snprintf(name, sizeof name, "/pcb28-e2e-%g.json", scale);
    const std::string board = dir + name;
    const std::string out = board + ".pcb";
    if (!pcb28bench::WriteBoardFile(board, size)) {
      std::fprintf(stderr, "cannot write %s\n", board.c_str());
      return 1;
    }
    std::printf("scale %g: %s\n", scale, board.c_str());
    std::fflush(stdout);
    const LenString file(out);
    for (int i = 0; i < repeat; ++i) {
      // The phases, as the host program runs them, with its own reading
      // (the file mapped) and its allocator.
      const auto t0 = Clock::now();
      std::string error;
      cli::BoardText text;
      if (!ReadBoard(board, text, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
      const auto t1 = Clock::now();
      if (!boardfile::LoadBoardPadded(text.View(), board, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
      const auto t2 = Clock::now();
      ExportFileFromPcb(file.Buffer(), description.Buffer());
      const auto t3 = Clock::now();
      r.fileBytes = text.View().size();
      r.readSeconds = std::min(r.readSeconds, Seconds(t0, t1));
      r.loadSeconds = std::min(r.loadSeconds, Seconds(t1, t2));
      r.exportSeconds = std::min(r.exportSeconds, Seconds(t2, t3));
      standin::TheServer().Reset();
    }
    r.program = RunExport(board, out, repeat);
    if (!r.program.ok) {
      std::fprintf(stderr, "pcb28-export failed on %s\n", board.c_str());
      return 1;
    }
    results.push_back(r);
  }

  if (!results.empty())
    std::printf("\n%8s %9s %8s %8s %8s %9s %10s %13s %11s %10s %12s\n", "scale", "objects",
                "file_MB", "read_s", "load_s", "export_s", "program_s", "program_cpu_s",
                "program_MiB", "us/object", "KiB/object");
  for (const Result& r : results) {
    std::printf("%8.4g %9zu %8.1f %8.3f %8.3f %9.3f %10.3f %13.3f %11.1f %10.2f %12.2f\n", r.scale,
                r.objects, r.fileBytes / 1e6, r.readSeconds, r.loadSeconds, r.exportSeconds,
                r.program.seconds, r.program.cpuSeconds, r.program.peakMiB,
                r.program.seconds / r.objects * 1e6, r.program.peakMiB * 1024 / r.objects);
  }
  if (kicadBoards.empty()) kicadBoards.push_back(kKicadBoard);
  std::printf("\n%-28s %8s %8s %10s %8s %9s %10s %13s %11s\n", "KiCad board", "file_MB", "read_s",
              "convert_s", "load_s", "export_s", "program_s", "program_cpu_s", "program_MiB");
  bool ok = true;
  for (const std::string& board : kicadBoards) {
    if (!std::filesystem::exists(board)) {
      std::printf("no KiCad board at %s: skipped\n", board.c_str());
      continue;
    }
    ok = MeasureKicad(board, dir + "/pcb28-e2e-kicad.pcb", repeat, kicadCli) && ok;
  }
  return ok ? 0 : 1;
}
