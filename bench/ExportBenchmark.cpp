// Export benchmark: builds boards of three sizes in the stand-in server and,
// for each, measures the whole export against two lower bounds: formatting
// the same records straight from the server's objects (no host calls), and
// writing the finished bytes with one write. Also host calls per record,
// heap growth during the export and peak resident memory.
//
//   pcb28_export_benchmark [--scales 0.1,0.3333,1] [--repeat N] [--dir PATH] [--keep 1]
//
// --keep 1 leaves each size's export and format-only files in PATH as
// pcb28-bench-export-SCALE.pcb and pcb28-bench-format-SCALE.pcb.
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "BenchBoard.h"
#include "FormatOnly.h"
#include "LenString.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"

// ------------------------------------------------------------------ heap counting
// Every operator new of the process (the server library's too) is counted:
// live bytes, their peak since the last reset, and the number of allocations.
namespace {
std::atomic<std::size_t> g_Live{0};
std::atomic<std::size_t> g_Peak{0};
std::atomic<std::size_t> g_Allocations{0};

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t live = g_Live += malloc_usable_size(p);
  ++g_Allocations;
  std::size_t peak = g_Peak.load();
  while (live > peak && !g_Peak.compare_exchange_weak(peak, live)) {
  }
  return p;
}
void Release(void* p) {
  if (p == nullptr) return;
  g_Live -= malloc_usable_size(p);
  std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// User and system time of the process: less disturbed than the wall clock
// when other work shares the machine.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void QuietErrorBox(const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteOnce(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  const ssize_t written = ::write(fd, bytes.data(), bytes.size());
  if (written != static_cast<ssize_t>(bytes.size())) std::fprintf(stderr, "short write\n");
  ::close(fd);
}

struct Result {
  double scale = 0;
  std::size_t records = 0;
  double exportSeconds = 0, formatSeconds = 0, writeSeconds = 0;
  double exportCpuSeconds = 1e300, formatCpuSeconds = 1e300;
  std::size_t bytes = 0, formatBytes = 0;
  std::uint64_t calls = 0;
  std::size_t heapGrowth = 0, snapshotBytes = 0, indexBytes = 0, allocations = 0;
  long peakResidentKiB = 0;
};

Result Measure(double scale, int repeat, const std::string& dir, bool keep) {
  Result r;
  r.scale = scale;
  const pcb28bench::BoardSize size = pcb28bench::BoardSize::Scaled(scale);
  r.records = size.Records();
  const auto b0 = Clock::now();
  pcb28bench::BuildBoard(size);
  const auto b1 = Clock::now();
  std::printf("  board of %zu records built in %.2f s\n", r.records, Seconds(b0, b1));
  std::fflush(stdout);

  PCBProcs::BindEntryPoints(&StandIn_EntryPoint);
  const std::string exportPath = dir + "/pcb28-bench-export.pcb";
  const std::string formatPath = dir + "/pcb28-bench-format.pcb";
  const std::string writePath = dir + "/pcb28-bench-write.pcb";
  const LenString file(exportPath);
  const LenString description(GetPcbExporterDescription());

  r.exportSeconds = 1e300;
  for (int i = 0; i < repeat; ++i) {
    const std::size_t liveBefore = g_Live.load();
    g_Peak = liveBefore;
    const std::size_t allocationsBefore = g_Allocations.load();
    const std::uint64_t callsBefore = StandIn_CallsReceived();
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    ExportFileFromPcb(file.Buffer(), description.Buffer());
    const auto t1 = Clock::now();
    r.exportSeconds = std::min(r.exportSeconds, Seconds(t0, t1));
    r.exportCpuSeconds = std::min(r.exportCpuSeconds, CpuSeconds() - cpu0);
    if (i == 0) {  // the first export: nothing of an earlier one is kept
      r.calls = StandIn_CallsReceived() - callsBefore;
      r.heapGrowth = g_Peak.load() - liveBefore;
      r.allocations = g_Allocations.load() - allocationsBefore;
      r.snapshotBytes = standin::TheServer().IteratorSnapshotBytes();
      r.indexBytes =
          standin::TheServer().NetMembersPeakBytes() + standin::TheServer().WalkOrderBytes();
    }
  }
  const std::string bytes = ReadAll(exportPath);
  r.bytes = bytes.size();

  r.formatSeconds = 1e300;
  for (int i = 0; i < repeat; ++i) {
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    pcb28bench::FormatOnly(formatPath.c_str());
    const auto t1 = Clock::now();
    r.formatSeconds = std::min(r.formatSeconds, Seconds(t0, t1));
    r.formatCpuSeconds = std::min(r.formatCpuSeconds, CpuSeconds() - cpu0);
  }
  r.formatBytes = ReadAll(formatPath).size();

  r.writeSeconds = 1e300;
  for (int i = 0; i < repeat; ++i) {
    const auto t0 = Clock::now();
    WriteOnce(writePath, bytes);
    const auto t1 = Clock::now();
    r.writeSeconds = std::min(r.writeSeconds, Seconds(t0, t1));
  }
  r.peakResidentKiB = PeakResidentKiB();
  if (keep) {
    const std::string suffix = "-" + std::to_string(scale) + ".pcb";
    std::rename(exportPath.c_str(), (dir + "/pcb28-bench-export" + suffix).c_str());
    std::rename(formatPath.c_str(), (dir + "/pcb28-bench-format" + suffix).c_str());
  }
  for (const std::string* path : {&exportPath, &formatPath, &writePath}) std::remove(path->c_str());
  return r;
}

std::vector<double> ParseScales(const char* text) {
  std::vector<double> scales;
  for (const char* p = text; *p != '\0';) {
    char* end = nullptr;
    scales.push_back(std::strtod(p, &end));
    if (end == p) break;
    p = *end == ',' ? end + 1 : end;
  }
  return scales;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<double> scales = {0.1, 1.0 / 3.0, 1.0};
  int repeat = 3;
  std::string dir = "/tmp";
  bool keep = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--scales") {
      scales = ParseScales(argv[i + 1]);
    } else if (option == "--repeat") {
      repeat = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--keep") {
      keep = std::atoi(argv[i + 1]) != 0;
    } else if (option == "--dir") {
      dir = argv[i + 1];
    } else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  Pcb28_SetErrorBoxHandler(&QuietErrorBox);

  std::vector<Result> results;
  for (double scale : scales) {
    std::printf("scale %.4g\n", scale);
    results.push_back(Measure(scale, repeat, dir, keep));
    const Result& r = results.back();
    std::printf("  export      %8.3f s  %10.0f records/s  %7.1f MB/s  %zu bytes\n", r.exportSeconds,
                r.records / r.exportSeconds, r.bytes / r.exportSeconds / 1e6, r.bytes);
    std::printf("  format-only %8.3f s  (%zu bytes)   one write %8.4f s\n", r.formatSeconds,
                r.formatBytes, r.writeSeconds);
    std::printf("  CPU time    export %.3f s, format-only %.3f s: %.2f times\n", r.exportCpuSeconds,
                r.formatCpuSeconds, r.exportCpuSeconds / r.formatCpuSeconds);
    std::fflush(stdout);
  }

  std::printf("\n%8s %9s %9s %10s %9s %9s %10s %10s %9s %11s %11s %11s %11s %9s\n", "scale",
              "records", "export_s", "ns/record", "MB/s", "calls/rec", "exp/format", "exp/write",
              "allocs/rec", "heap_grow_KiB", "snapshot_KiB", "index_KiB", "rest_KiB", "maxrss_MiB");
  for (const Result& r : results) {
    const std::size_t host = r.snapshotBytes + r.indexBytes;
    const std::size_t rest = r.heapGrowth > host ? r.heapGrowth - host : 0;
    std::printf(
        "%8.4g %9zu %9.3f %10.1f %9.1f %9.2f %10.2f %10.1f %9.2f %11zu %11zu %11zu %11zu %9.1f\n",
        r.scale, r.records, r.exportSeconds, r.exportSeconds / r.records * 1e9,
        r.bytes / r.exportSeconds / 1e6, static_cast<double>(r.calls) / r.records,
        r.exportSeconds / r.formatSeconds, r.exportSeconds / r.writeSeconds,
        static_cast<double>(r.allocations) / r.records, r.heapGrowth / 1024, r.snapshotBytes / 1024,
        r.indexBytes / 1024, rest / 1024, r.peakResidentKiB / 1024.0);
  }
  return 0;
}
