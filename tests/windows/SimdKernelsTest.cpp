// simdjson as the Windows builds compile it from source: the 64-bit build
// carries the SIMD kernels the board-file reader is fast with, and every
// kernel this processor runs reads the boards into the same model and
// export as the portable one (a kernel the cross compiler got wrong shows
// here, under Wine, on a real processor).
#include <gtest/gtest.h>
#include <simdjson.h>

#include <set>
#include <string>
#include <vector>

#include "boardfile/BoardFile.h"
#include "server/StandInBoard.h"
#include "support/ModelSnapshot.h"
#include "support/TestSupport.h"

namespace {

std::set<std::string> CompiledKernels() {
  std::set<std::string> names;
  for (const simdjson::implementation* kernel : simdjson::get_available_implementations())
    names.insert(kernel->name());
  return names;
}

struct Read {
  modelsnapshot::Snapshot model;
  std::vector<std::string> exported;
};

Read ReadWith(const simdjson::implementation* kernel, const std::string& file) {
  simdjson::get_active_implementation() = kernel;
  standin::TheServer().Reset();
  std::string error;
  EXPECT_TRUE(boardfile::LoadBoardText(testsupport::ReadFile(file), file, error)) << error;
  return {modelsnapshot::Take(), testsupport::ExportLines()};
}

class SimdKernels : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::BindPluginToServer(); }
  void TearDown() override {
    simdjson::get_active_implementation() =
        simdjson::get_available_implementations().detect_best_supported();
    standin::TheServer().Reset();
  }
};

TEST_F(SimdKernels, BuildCarriesTheKernelsOfItsArchitecture) {
  const std::set<std::string> kernels = CompiledKernels();
  EXPECT_TRUE(kernels.count("fallback")) << "the portable kernel is missing";
#if defined(__x86_64__)
  // AVX2 and SSE4.2: what makes the reader fast on a 64-bit host.
  EXPECT_TRUE(kernels.count("haswell")) << "no AVX2 kernel in the 64-bit build";
  EXPECT_TRUE(kernels.count("westmere")) << "no SSE4.2 kernel in the 64-bit build";
#endif
  EXPECT_TRUE(simdjson::get_active_implementation()->supported_by_runtime_system());
}

TEST_F(SimdKernels, EveryKernelThisProcessorRunsReadsTheBoardsAlike) {
  const std::vector<std::string> boards = {PCB28_TEST_DATA "/boardfile-good.json",
                                           PCB28_TEST_DATA "/scenarios/components-polygons.json",
                                           PCB28_TEST_DATA "/scenarios/four-layer-stack.json",
                                           PCB28_TEST_DATA "/../../examples/example.json",
                                           PCB28_TEST_DATA "/../../examples/example-4layer.json"};
  const simdjson::implementation* portable = simdjson::get_available_implementations()["fallback"];
  ASSERT_NE(portable, nullptr);
  int compared = 0;
  for (const simdjson::implementation* kernel : simdjson::get_available_implementations()) {
    if (kernel == portable || !kernel->supported_by_runtime_system()) continue;
    ++compared;
    for (const std::string& board : boards) {
      const Read expected = ReadWith(portable, board);
      const Read read = ReadWith(kernel, board);
      EXPECT_TRUE(read.model == expected.model) << kernel->name() << ": " << board;
      EXPECT_EQ(read.exported, expected.exported) << kernel->name() << ": " << board;
    }
  }
  if (compared == 0) GTEST_SKIP() << "no kernel but the portable one runs here";
}

}  // namespace
