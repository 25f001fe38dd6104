// The board: load order in both modes, layer defaults, layer pairs and their
// names, the stack walk, and the iteration over the board's objects.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FakeHost.h"
#include "board/PcbBoard.h"

namespace {

using fake::FakeHostTest;
using V = std::vector<long long>;

// The host's stack, top to bottom; layers not listed have no neighbours.
std::vector<int> g_Stack;
std::vector<std::pair<int, int>> g_Pairs;  // low, high
Status g_PairCountStatus;
std::int32_t g_PairCount;

void Neighbours(int code, HostLayer* prev, HostLayer* next) {
  *prev = *next = 0;
  for (std::size_t i = 0; i < g_Stack.size(); ++i) {
    if (g_Stack[i] != code) continue;
    if (i > 0) *prev = static_cast<HostLayer>(g_Stack[i - 1]);
    if (i + 1 < g_Stack.size()) *next = static_cast<HostLayer>(g_Stack[i + 1]);
  }
}

void RegisterLayers() {
  FAKE_ENTRY(PcbApi_QueryLayer,
             [](QueryMode mode, HostLayer layer, ObjectHandle board, std::uint8_t* name,
                std::int32_t*, std::uint8_t*, std::uint8_t* status2, HostLayer* prev,
                HostLayer* next, std::uint8_t*) -> Status {
               fake::Record("Layer", {mode, layer, board});
               if (mode != kQueryGet) return 0;
               fake::WriteLenString(name, "L" + std::to_string(layer));
               *status2 = static_cast<std::uint8_t>(layer + 1);
               Neighbours(layer, prev, next);
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryInternalPlane,
             [](QueryMode mode, HostLayer layer, ObjectHandle board, std::uint8_t* name,
                std::int32_t*, std::uint8_t*, std::uint8_t*, HostLayer* prev, HostLayer* next,
                std::uint8_t* net) -> Status {
               fake::Record("Plane", {mode, layer, board});
               if (mode != kQueryGet) return 0;
               fake::WriteLenString(name, "P" + std::to_string(layer));
               fake::WriteLenString(net, "NET" + std::to_string(layer));
               Neighbours(layer, prev, next);
               return 0;
             });
}

void RegisterPairs() {
  FAKE_ENTRY(PcbApi_QueryBoardLayerPairsCount, [](ObjectHandle, std::int32_t* count) -> Status {
    fake::Record("PairsCount");
    *count = g_PairCount;
    return g_PairCountStatus;
  });
  FAKE_ENTRY(
      PcbApi_QueryBoardLayerPairAt,
      [](QueryMode mode, ObjectHandle, std::int32_t index, HostLayer* low, HostLayer* high,
         std::uint8_t* v1, std::uint8_t* v2) -> Status {
        fake::Record("PairAt", {mode, index, *low, *high});
        if (mode == kQueryGet && index >= 0 && static_cast<std::size_t>(index) < g_Pairs.size()) {
          *low = static_cast<HostLayer>(g_Pairs[index].first);
          *high = static_cast<HostLayer>(g_Pairs[index].second);
          *v1 = 7, *v2 = 8;
        }
        return 0;
      });
}

// Every layer 1 to 82 in code order.
std::vector<int> CodeOrderStack() {
  std::vector<int> s;
  for (int c = 1; c <= 82; ++c) s.push_back(c);
  return s;
}

class BoardTest : public FakeHostTest {
 protected:
  void SetUp() override {
    FakeHostTest::SetUp();
    g_Stack = CodeOrderStack();
    g_Pairs.clear();
    g_PairCountStatus = 0;
    g_PairCount = 0;
    RegisterLayers();
    RegisterPairs();
  }
};

TEST_F(BoardTest, NewBoardHoldsTheDefaults) {
  TPcbBoard board(5);
  ASSERT_EQ(board.LayerAt(0), nullptr);
  EXPECT_EQ(board.LayerAt(1)->Name, "TopLayer");
  EXPECT_EQ(board.LayerAt(82)->Name, "ViaHoleLayer");
  EXPECT_EQ(board.LayerAt(83), nullptr);
  EXPECT_NE(dynamic_cast<TInternalPlane*>(board.LayerAt(39)), nullptr);
  EXPECT_NE(dynamic_cast<TInternalPlane*>(board.LayerAt(54)), nullptr);
  EXPECT_EQ(dynamic_cast<TInternalPlane*>(board.LayerAt(55)), nullptr);
  const TLayerObject& l = *board.LayerAt(7);
  EXPECT_EQ(
      (V{l.BoardHandle, l.LayerCode, l.CopperThickness, l.DielectricType, l.DielectricHeight}),
      (V{5, 7, 14000, 1, 126000}));
  EXPECT_EQ(l.DielectricMaterial, "FR-4");
  EXPECT_EQ(board.ExternalDielectric2.Material, "FR-4");
  EXPECT_EQ(board.ExternalDielectric2.Constant, 4.8);

  // Without any server the plane net names stay as made.
  fake::Reset();
  board.Load(kQueryGet);
  EXPECT_EQ(board.PlaneNetName(1), "(No Net)");
  EXPECT_EQ(board.LayerAt(7)->DielectricMaterial, "FR-4");
  EXPECT_TRUE(board.LayerPairs.empty()) << "an absent pair count reads as failure";
}

TEST_F(BoardTest, LoadRunsTheElevenStepsInOrder) {
  // Each remaining board query records its name, mode and board.
#define RECORDING(entry, label)                                                 \
  FAKE_ENTRY(entry, [](QueryMode mode, ObjectHandle board, auto...) -> Status { \
    fake::Record(label, {mode, board});                                         \
    return 0;                                                                   \
  })
  FAKE_ENTRY(PcbApi_QueryBoard,
             [](QueryMode mode, ObjectHandle board, std::int32_t*, std::uint8_t*, std::uint8_t*,
                std::int32_t*, std::int32_t*, std::int32_t*, std::int32_t*, std::uint8_t*,
                HostLayer* layer, std::int32_t* info10) -> Status {
               fake::Record("Board", {mode, board});
               if (mode == kQueryGet) *layer = 74, *info10 = 10;
               return 3;
             });
  FAKE_ENTRY(PcbApi_QueryBoardLayerInfo,
             [](QueryMode mode, ObjectHandle, HostLayer layer, std::uint8_t*, std::uint8_t*,
                std::int32_t* info) -> Status {
               fake::Record("LayerInfo", {mode, layer});
               *info = layer * 2;
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryLayerDielectric,
             [](QueryMode mode, HostLayer layer, ObjectHandle, auto...) -> Status {
               fake::Record("Dielectric", {mode, layer});
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryBoardGridsEx,
             [](QueryMode mode, ObjectHandle, std::uint8_t*, std::uint8_t*, std::uint8_t*,
                std::uint8_t*, double*, double*, double* g7, double*, std::int32_t*, std::uint8_t*,
                double*, double*, double* g13, double*) -> Status {
               fake::Record("Grids", {mode});
               if (mode == kQueryGet) *g7 = 7.5, *g13 = 13.5;
               return 0;
             });
  RECORDING(PcbApi_QueryBoardOutputOptions, "Output");
  RECORDING(PcbApi_QueryBoardOutputOptionsPlotLayers, "Plot");
  RECORDING(PcbApi_QueryBoardOutputOptionsFlipLayers, "Flip");
  RECORDING(PcbApi_QueryBoardGerberOptions, "Gerber");
  RECORDING(PcbApi_QueryBoardPrinterOptions, "Printer");
  RECORDING(PcbApi_QueryBoardPrinterOptionsPlotterPen, "Pen");
  RECORDING(PcbApi_QueryBoardPrinterOptionsCompositeLayer, "Composite");
  RECORDING(PcbApi_QueryBoardAdvancedPlacerOptions, "Placer");
  RECORDING(PcbApi_QueryBoardEngineeringChangeOrderOptions, "Eco");
  RECORDING(PcbApi_QueryBoardExternalDielectrics, "External");
#undef RECORDING
  g_PairCount = 2;
  g_Pairs = {{1, 32}, {1, 2}};
  fake::Bind();

  TPcbBoard board(5);
  EXPECT_EQ(board.Load(kQueryGet), 3);
  std::string layers;
  for (int c = 1; c <= 82; ++c)
    layers += IsInternalPlane(c) ? " Plane Dielectric" : " Layer Dielectric";
  EXPECT_EQ(fake::CallSummary(),
            "Board LayerInfo*82" + layers +
                " Grids Output Plot*109 Flip*109 Gerber Printer Pen*8 Composite*82 Placer Eco"
                " PairsCount PairAt*2 External");
  const auto infos = fake::CallsOf("LayerInfo");
  EXPECT_EQ(infos.front().Args[1], 1);
  EXPECT_EQ(infos.back().Args[1], 82);
  EXPECT_EQ(fake::CallsOf("Layer")[38].Args, (V{kQueryGet, 55, 5}));
  EXPECT_EQ(board.LayerInfo[40], 80);
  EXPECT_EQ(board.BoardLayer, 74);
  EXPECT_EQ(board.BoardInfo10, 10);
  EXPECT_EQ(board.Grids.GridCopy7, 7.5);
  EXPECT_EQ(board.Grids.GridCopy13, 13.5);
  EXPECT_EQ(board.LayerStatus2(10), 11);
  EXPECT_EQ(board.LayerStatus2(0), 0);
  EXPECT_EQ(board.PlaneNetName(4), "NET42");

  // Set mode sends the pairs held, without asking for the count.
  fake::g_Calls.clear();
  board.Load(kQuerySet);
  EXPECT_EQ(fake::CallsOf("PairsCount").size(), 0u);
  const auto sent = fake::CallsOf("PairAt");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].Args, (V{kQuerySet, 1, 1, 2}));
  for (const auto& c : fake::g_Calls) EXPECT_EQ(c.Args.empty() ? 0 : c.Args[0], 0) << c.Name;
}

TEST_F(BoardTest, PairNamesPutTheLayerHigherInTheStackFirst) {
  g_Pairs = {{32, 1}, {1, 32}, {57, 1}, {1, 57}, {57, 58}, {200, 1}, {40, 2}};
  g_PairCount = static_cast<std::int32_t>(g_Pairs.size());
  fake::Bind();
  TPcbBoard board(1);
  board.Load(kQueryGet);
  ASSERT_EQ(board.LayerPairs.size(), g_Pairs.size());
  const auto name = [&board](int i) { return std::string(board.LayerPairs[i].Name.View()); };
  EXPECT_EQ(name(0), "L1 - L32");
  EXPECT_EQ(name(1), "L1 - L32");
  EXPECT_EQ(name(2), "L57 - L1") << "a mechanical layer has position 0";
  EXPECT_EQ(name(3), "L57 - L1");
  EXPECT_EQ(name(4), "L57 - L58");
  EXPECT_EQ(name(5), " - L1") << "a code beyond 82 has no layer object";
  EXPECT_EQ(name(6), "L2 - P40") << "planes come after the copper layers in this stack";
  EXPECT_EQ(board.LayerPairs[0].PairValue2, 8);

  // Reversed: BottomLayer at the top of the stack.
  g_Stack.clear();
  for (int c = 32; c >= 1; --c) g_Stack.push_back(c);
  board.Load(kQueryGet);
  EXPECT_EQ(name(0), "L32 - L1");
  EXPECT_EQ(name(1), "L32 - L1");
}

TEST_F(BoardTest, PairCountsThatAreFailedNegativeOrHuge) {
  g_Pairs = {{1, 32}};
  g_PairCount = 1;
  g_PairCountStatus = 1;
  fake::Bind();
  TPcbBoard board(1);
  board.Load(kQueryGet);
  EXPECT_TRUE(board.LayerPairs.empty());
  EXPECT_EQ(fake::CallsOf("PairAt").size(), 0u);

  g_PairCountStatus = 0;
  g_PairCount = -5;
  board.Load(kQueryGet);
  EXPECT_TRUE(board.LayerPairs.empty());

  g_PairCount = 0x7FFFFFFF;
  fake::g_Calls.clear();
  board.Load(kQueryGet);
  EXPECT_EQ(board.LayerPairs.size(), static_cast<std::size_t>(TPcbBoard::kMaxLayerPairs));
  EXPECT_EQ(fake::CallsOf("PairAt").size(), static_cast<std::size_t>(TPcbBoard::kMaxLayerPairs));
}

TEST_F(BoardTest, StackPositionCountsSetMembersFromTheTopAndEndsOnALoop) {
  g_Stack = {1, 2, 39, 3, 32};
  fake::Bind();
  TPcbBoard board(1);
  board.Load(kQueryGet);
  const LayerSet copper = LayerSet{}.AddRange(1, 32);
  EXPECT_EQ(board.FirstLayer()->LayerCode, 1);
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(1)), 1);
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(3)), 3) << "the plane is not counted";
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(32)), 4);
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(57)), 0);
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(5)), 4) << "not on the chain: all counted";

  // 1 -> 2 -> 3 -> 2 -> ...: the walk ends at the first layer met again.
  board.LayerAt(3)->NextLayer = 2;
  board.LayerAt(2)->NextLayer = 3;
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(32)), 3);
  board.LayerAt(3)->NextLayer = 200;
  EXPECT_EQ(board.FollowingLayer(*board.LayerAt(3)), nullptr);

  for (int c = 1; c <= 82; ++c) board.LayerAt(c)->PrevLayer = 1;
  EXPECT_EQ(board.FirstLayer(), nullptr);
  EXPECT_EQ(board.StackPosition(copper, board.LayerAt(1)), 0);
}

// ---- iteration

std::vector<ObjectHandle> g_Seen;
ObjectHandle g_LastYield;

void RegisterIterators() {
  // Iterator handle = kind * 1000 + layer; it yields two objects.
  FAKE_ENTRY(PcbApi_CreateIterator,
             [](ObjectHandle owner, ObjectKindCode kind, IterationMethod method, HostLayer layer) {
               fake::Record("Create", {owner, kind, method, layer});
               return ObjectHandle{kind * 1000u + layer};
             });
  FAKE_ENTRY(PcbApi_GetFirstObject, [](ObjectHandle it) { return g_LastYield = it * 10 + 1; });
  FAKE_ENTRY(PcbApi_GetNextObject,
             [](ObjectHandle it) { return g_LastYield = g_LastYield % 10 == 1 ? it * 10 + 2 : 0; });
  FAKE_ENTRY(PcbApi_DestroyIterator, [](ObjectHandle it) {
    fake::Record("Destroy", {it});
    return Status{0};
  });
}

TEST_F(BoardTest, IterateWalksKindsThenLayersWithOneIteratorEach) {
  RegisterIterators();
  fake::Bind();
  g_Seen.clear();
  TPcbBoard board(9);
  const KindMask kinds = MaskOf(TrackObject) | MaskOf(ArcObject) | MaskOf(BoardOutlineObject);
  board.Iterate([](ObjectHandle h) { g_Seen.push_back(h); }, kinds,
                LayerSet{}.Add(0).Add(82).Add(87), 3);
  EXPECT_EQ(g_Seen,
            (std::vector<ObjectHandle>{10001, 10002, 10821, 10822, 40001, 40002, 40821, 40822}));
  EXPECT_EQ(fake::CallSummary(), "Create Destroy Create Destroy Create Destroy Create Destroy");
  EXPECT_EQ(fake::g_Calls[2].Args, (V{9, 1, 3, 82}));

  fake::g_Calls.clear();
  board.Iterate([](ObjectHandle) { ADD_FAILURE(); }, MaskOf(BoardOutlineObject) | (1u << 31),
                LayerSet::NoLayerOnly(), 0);
  board.Iterate([](ObjectHandle) { ADD_FAILURE(); }, 0x1FFFFF, LayerSet{}, 0);
  EXPECT_TRUE(fake::g_Calls.empty());

  int count = 0;
  board.Iterate([](void* c, ObjectHandle) { ++*static_cast<int*>(c); }, &count, MaskOf(PadObject),
                LayerSet::BoardLayers(), 0);
  EXPECT_EQ(count, 2 * 82);
}

}  // namespace
