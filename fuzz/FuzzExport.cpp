// A whole export of a board built from fuzz input. Some entry points can be
// answered by fakes chained in front of the stand-in server, for host answers
// the server's model cannot hold: a class member walk that never ends, a
// polygon segment count below 0 or far beyond the outline array, a dimension
// reference count beyond the reference array. Entry points picked from the
// input are hidden. The export must finish and end the file with ENDPCB.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "BoardGenerator.h"
#include "LenString.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/EdgeAnswers.h"

namespace {

std::int32_t PickCount(FuzzedDataProvider& in) {
  static constexpr std::int32_t kCounts[] = {-1,     -5,        INT32_MIN, 500, 501,
                                             100000, INT32_MAX, 200,       201};
  return in.ConsumeBool() ? in.PickValueInArray(kCounts) : in.ConsumeIntegral<std::int32_t>();
}

void QuietErrorBox(const char*, const char*) {}

const std::string& OutputPath() {
  static const std::string path = "/tmp/pcb28-fuzz-export-" + std::to_string(getpid()) + ".pcb";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Pcb28_SetErrorBoxHandler(&QuietErrorBox);
  std::atexit([] { std::remove(OutputPath().c_str()); });
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
  const int hidden = in.ConsumeIntegralInRange<int>(0, 3);
  std::size_t hiddenSlots[3] = {};
  for (int i = 0; i < hidden; ++i)
    hiddenSlots[i] = in.ConsumeIntegralInRange<std::size_t>(0, PCBProcs::kEntryPointCount - 1);

  pcb28fuzz::GenerateBoard(in);

  standin::Server& server = standin::TheServer();
  for (int i = 0; i < hidden; ++i)
    server.Hide(PCBProcs::EntryPointName(static_cast<PCBProcs::EntryPoint>(hiddenSlots[i])));
  PCBProcs::BindEntryPoints(&edgeanswers::Provider);

  const LenString file(OutputPath());
  const LenString description(GetPcbExporterDescription());
  if (!ExportFileFromPcb(file.Buffer(), description.Buffer())) std::abort();

  // Whatever the board held, the file is whole: it ends with ENDPCB.
  std::ifstream written(OutputPath(), std::ios::binary);
  const std::string content{std::istreambuf_iterator<char>(written), {}};
  static constexpr std::string_view kEnd = "ENDPCB\r\n";
  if (content.size() < kEnd.size() ||
      content.compare(content.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
    std::abort();
  // Every walk destroys its iterator (when the host offers the call).
  if (hidden == 0 && server.OpenIterators() != 0) std::abort();

  server.Reset();
  PCBProcs::UnbindEntryPoints();
  return 0;
}
