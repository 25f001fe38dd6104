// A whole export of a board built from fuzz input, against a host that the
// input may make break its promises. Fakes chained in front of the stand-in
// server give the answers its model cannot hold: a class member walk that
// never ends, a polygon segment count below 0 or far beyond the outline
// array, a dimension reference count beyond the reference array, length
// bytes beyond their buffers, a layer pair count that fails or lies, a kind
// query that names another kind, and board, component and net walks that
// never end (repeating a handle or yielding new ones). Entry points picked
// from the input are hidden: a few, many, all, or PcbApi_DestroyIterator.
// The export must finish, end the file with ENDPCB and show the error box
// whenever the host made a walk endless.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "BoardGenerator.h"
#include "LenString.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/EdgeAnswers.h"

namespace {

using edgeanswers::Endless;
using edgeanswers::KindLie;

std::int32_t PickCount(FuzzedDataProvider& in) {
  static constexpr std::int32_t kCounts[] = {-1,     -5,        INT32_MIN, 500, 501,
                                             100000, INT32_MAX, 200,       201};
  return in.ConsumeBool() ? in.PickValueInArray(kCounts) : in.ConsumeIntegral<std::int32_t>();
}

// Mostly a walk that ends, so that most inputs run at full speed.
Endless PickEndless(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return Endless::Repeating;
    case 1:
      return Endless::Fresh;
    default:
      return Endless::No;
  }
}

int g_ErrorBoxes = 0;
void CountErrorBox(const char*, const char*) { ++g_ErrorBoxes; }

// The output file lives in memory and goes with the process, however it
// ends; the export opens it by its name under /proc.
int OutputFile() {
  static const int fd = memfd_create("pcb28-fuzz-export", 0);
  if (fd < 0) std::abort();
  return fd;
}

bool FileEndsWithEndPcb() {
  static constexpr std::string_view kEnd = "ENDPCB\r\n";
  const off_t size = lseek(OutputFile(), 0, SEEK_END);
  if (size < static_cast<off_t>(kEnd.size())) return false;
  char tail[8];
  if (pread(OutputFile(), tail, sizeof tail, size - 8) != 8) return false;
  return std::string_view(tail, sizeof tail) == kEnd;
}

// Hides the entry points the input picks: a few, each with a chance the
// input gives, all of them, or the iterator's end.
void HideEntryPoints(FuzzedDataProvider& in, standin::Server& server) {
  const auto hide = [&](std::size_t slot) {
    server.Hide(PCBProcs::EntryPointName(static_cast<PCBProcs::EntryPoint>(slot)));
  };
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: {
      const auto chance = in.ConsumeIntegral<std::uint8_t>();
      for (std::size_t slot = 0; slot < PCBProcs::kEntryPointCount; ++slot)
        if (in.ConsumeIntegral<std::uint8_t>() < chance) hide(slot);
      break;
    }
    case 1:
      for (std::size_t slot = 0; slot < PCBProcs::kEntryPointCount; ++slot) hide(slot);
      break;
    case 2:
      server.Hide("PcbApi_DestroyIterator");
      [[fallthrough]];
    default: {
      const int hidden = in.ConsumeIntegralInRange<int>(0, 3);
      for (int i = 0; i < hidden; ++i)
        hide(in.ConsumeIntegralInRange<std::size_t>(0, PCBProcs::kEntryPointCount - 1));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Pcb28_SetErrorBoxHandler(&CountErrorBox);
  OutputFile();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  auto& fakes = edgeanswers::g_Answers;
  fakes = edgeanswers::Answers{};
  fakes.endlessMembers = in.ConsumeBool();
  fakes.forceSegmentCount = in.ConsumeBool();
  fakes.segmentCount = PickCount(in);
  fakes.forceReferenceCount = in.ConsumeBool();
  fakes.referenceCount = PickCount(in);
  fakes.forceLengthByte = in.ConsumeBool();
  fakes.lengthByte = in.ConsumeIntegral<std::uint8_t>();
  fakes.forcePairCount = in.ConsumeBool();
  fakes.pairCountStatus = in.ConsumeBool() ? in.ConsumeIntegral<Status>() : 0;
  fakes.pairCount = PickCount(in);
  fakes.kindLie = static_cast<KindLie>(in.ConsumeIntegralInRange<int>(0, 2));
  fakes.kindValue = in.ConsumeIntegral<std::uint8_t>();
  fakes.boardWalks = PickEndless(in);
  fakes.componentWalks = PickEndless(in);
  fakes.netWalks = PickEndless(in);

  pcb28fuzz::GenerateBoard(in);

  standin::Server& server = standin::TheServer();
  HideEntryPoints(in, server);
  PCBProcs::BindEntryPoints(&edgeanswers::Provider);

  const LenString file("/proc/self/fd/" + std::to_string(OutputFile()));
  const LenString description(GetPcbExporterDescription());
  g_ErrorBoxes = 0;
  if (!ExportFileFromPcb(file.Buffer(), description.Buffer())) std::abort();

  // Whatever the board held and the host answered, the file is whole.
  if (!FileEndsWithEndPcb()) std::abort();
  // A walk the host made endless could only end at a bound, which the user
  // learns from the error box.
  if (fakes.endlessYields > 0 && !server.IsHidden("PcbApi_GetNextObject") && g_ErrorBoxes != 1)
    std::abort();
  // Every walk destroys its iterator (when the host offers the call).
  if (!server.IsHidden("PcbApi_DestroyIterator") && !server.IsHidden("PcbApi_CreateIterator") &&
      server.OpenIterators() != 0)
    std::abort();

  server.Reset();
  PCBProcs::UnbindEntryPoints();
  return 0;
}
