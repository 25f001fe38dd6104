// Hosts that break what every caller relies on: walks that never end, and a
// kind query that calls everything a class with endless members. Every
// export must end, write a whole file, and show the error box when the file
// misses objects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "board/HostBounds.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/EdgeAnswers.h"
#include "support/TestSupport.h"

namespace {

using edgeanswers::Endless;
using edgeanswers::KindLie;

standin::Server& server() { return standin::TheServer(); }
edgeanswers::Answers& fakes() { return edgeanswers::g_Answers; }

int g_ErrorBoxes = 0;
void CountErrorBox(const char*, const char*) { ++g_ErrorBoxes; }

// Ends the test program when an export has not returned in time, so that a
// host that still makes the export hang cannot stall CI.
class Watchdog {
 public:
  Watchdog()
      : thread_([this] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, std::chrono::minutes(3), [this] { return finished_; })) {
            std::fputs("export did not end\n", stderr);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_one();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

// Heap bytes in use, and the most in use since the last reset, counted by the
// program's operator new (at the end of this file) where the C library tells
// a block's size.
std::atomic<std::int64_t> g_LiveBytes{0};
std::atomic<std::int64_t> g_PeakBytes{0};
#if defined(__GLIBC__)
constexpr bool kCountsHeap = true;
#else
constexpr bool kCountsHeap = false;
#endif

// What one export did to the heap: its peak above the heap before it, and
// what it left behind.
struct HeapUse {
  std::int64_t peak = 0;
  std::int64_t left = 0;
};

class HostileHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakes() = edgeanswers::Answers{};
    server().Reset();
    server().CreateBoard();
    g_ErrorBoxes = 0;
    previous_ = plugin::SetErrorBoxHandler(&CountErrorBox);
  }
  void TearDown() override {
    plugin::SetErrorBoxHandler(previous_);
    server().Reset();
    PCBProcs::UnbindEntryPoints();
  }

  // Components with pads, tracks and texts, nets through the pads, free tracks.
  static void BuildBoard(int components) {
    std::vector<ObjectHandle> nets;
    for (int n = 0; n < 3; ++n) {
      standin::Net net;
      net.name = "N" + std::to_string(n);
      nets.push_back(server().Add(net));
    }
    for (int c = 0; c < components; ++c) {
      const ObjectHandle component = server().Add(standin::Component{});
      standin::Text designator;
      designator.text = "U" + std::to_string(c);
      server().AddDesignator(component, designator);
      for (int p = 0; p < 3; ++p) {
        standin::Pad pad;
        pad.x = 10000 * p;
        pad.net = nets[static_cast<std::size_t>((c + p) % 3)];
        server().Add(pad, component);
      }
      standin::Track track;
      track.x2 = 50000;
      server().Add(track, component);
      standin::Track free;
      free.y = 10000 * c;
      free.net = nets[0];
      server().Add(free);
    }
  }

  // Exports through the fakes; the file's content.
  static std::string Export() {
    PCBProcs::BindEntryPoints(&edgeanswers::Provider);
    const std::string path = testsupport::TempFolder() + "/board.pcb";
    const testsupport::HostString fileName(path);
    const testsupport::HostString description = testsupport::Description();
    {
      const Watchdog watchdog;
      const std::int64_t before = g_PeakBytes = g_LiveBytes.load();
      EXPECT_TRUE(ExportFileFromPcb(fileName.data(), description.data()));
      heap_ = {g_PeakBytes - before, g_LiveBytes - before};
    }
    EXPECT_EQ(server().OpenIterators(), 0u);
    return testsupport::ReadFile(path);
  }

  static inline HeapUse heap_;

  static bool EndsWithEndPcb(const std::string& file) {
    return file.size() >= 8 && file.compare(file.size() - 8, 8, "ENDPCB\r\n") == 0;
  }

 private:
  ErrorBoxHandler previous_ = nullptr;
};

struct EndlessCase {
  Endless board, component, net;
};

class EndlessWalkTest : public HostileHostTest, public ::testing::WithParamInterface<EndlessCase> {
 protected:
  void Choose() {
    fakes().boardWalks = GetParam().board;
    fakes().componentWalks = GetParam().component;
    fakes().netWalks = GetParam().net;
  }
};
class RepeatingWalkTest : public EndlessWalkTest {};

// A walk that repeats a handle ends there: what the host yielded before is
// all written, so the file is the honest host's, and the box says the walk
// was cut.
TEST_P(RepeatingWalkTest, RepeatsAreDroppedAndReported) {
  BuildBoard(20);
  const std::string honest = Export();
  EXPECT_EQ(g_ErrorBoxes, 0);
  Choose();
  EXPECT_EQ(Export(), honest);
  EXPECT_EQ(g_ErrorBoxes, 1);
  EXPECT_GT(fakes().endlessYields, 0);
}

// Walks that never end are cut at their bounds: the export ends, the file
// is whole, the box is shown, and a second export takes no more memory.
TEST_P(EndlessWalkTest, EndlessWalksEndTheExport) {
  BuildBoard(20);
  Choose();
  const std::string first = Export();
  EXPECT_TRUE(EndsWithEndPcb(first));
  EXPECT_EQ(g_ErrorBoxes, 1);
  EXPECT_LE(fakes().endlessYields, hostbounds::kExportYields);
  EXPECT_LT(first.size(), 64u << 20);

  g_ErrorBoxes = 0;
  const std::string second = Export();
  EXPECT_EQ(second, first);
  EXPECT_EQ(g_ErrorBoxes, 1);
  // Memory: at most what the largest bounded walk needs, and all of it given
  // back (the fakes keep a few bytes per walk).
  if (kCountsHeap) {
    EXPECT_LT(heap_.peak, 64 << 20);
    EXPECT_LT(heap_.left, 64 << 10);
  }
}

constexpr Endless R = Endless::Repeating;
constexpr Endless F = Endless::Fresh;
constexpr Endless N = Endless::No;

INSTANTIATE_TEST_SUITE_P(Owners, RepeatingWalkTest,
                         ::testing::Values(EndlessCase{R, N, N}, EndlessCase{N, R, N},
                                           EndlessCase{N, N, R}, EndlessCase{R, R, R}));
INSTANTIATE_TEST_SUITE_P(Owners, EndlessWalkTest,
                         ::testing::Values(EndlessCase{R, R, R}, EndlessCase{F, N, N},
                                           EndlessCase{N, F, N}, EndlessCase{N, N, F},
                                           EndlessCase{F, F, F}));

// A host that calls every handle a class whose member list never ends: the
// member reads of the whole export stay within one class's bound, and the
// file, which holds no member names, is complete.
TEST_F(HostileHostTest, ClassEverywhereReadsMembersOncePerExport) {
  BuildBoard(600);  // about 5,000 objects, each with references to look up
  fakes().kindLie = KindLie::Fixed;
  fakes().kindValue = 13;
  fakes().endlessMembers = true;
  const std::string file = Export();
  EXPECT_TRUE(EndsWithEndPcb(file));
  EXPECT_EQ(fakes().memberCalls, hostbounds::kClassMemberReads);
  EXPECT_EQ(g_ErrorBoxes, 0);
}

}  // namespace

#if defined(__GLIBC__)
#include <malloc.h>

namespace {
void* Take(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::int64_t live = g_LiveBytes += static_cast<std::int64_t>(malloc_usable_size(block));
  std::int64_t peak = g_PeakBytes;
  while (live > peak && !g_PeakBytes.compare_exchange_weak(peak, live)) {
  }
  return block;
}
void Give(void* block) {
  if (block == nullptr) return;
  g_LiveBytes -= static_cast<std::int64_t>(malloc_usable_size(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Take(size); }
void operator delete(void* block) noexcept { Give(block); }
void operator delete(void* block, std::size_t) noexcept { Give(block); }
#endif
