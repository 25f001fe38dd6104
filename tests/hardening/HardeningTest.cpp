// Host answers at the edge of what the plug-in can hold, answered by small
// fakes chained in front of the stand-in server, and the server's net member
// index against its plain walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "HostLayers.h"
#include "board/PcbBoard.h"
#include "board/PcbNets.h"
#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/EdgeAnswers.h"
#include "support/TestSupport.h"

namespace {

using standin::Kind;

standin::Server& server() { return standin::TheServer(); }

edgeanswers::Answers& g_Fake = edgeanswers::g_Answers;

class HardeningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Fake = edgeanswers::Answers{};
    server().Reset();
    server().CreateBoard();
  }
  void TearDown() override {
    server().Reset();
    PCBProcs::UnbindEntryPoints();
  }

  // Binds the plug-in through the fakes and exports; the lines of the file.
  static std::vector<std::string> Export() {
    PCBProcs::BindEntryPoints(&edgeanswers::Provider);
    const std::string path = testsupport::TempFolder() + "/board.pcb";
    EXPECT_TRUE(
        ExportFileFromPcb(testsupport::HostString(path).data(), testsupport::Description().data()));
    bool wellFormed = false;
    std::vector<std::string> lines =
        testsupport::SplitLines(testsupport::ReadFile(path), wellFormed);
    EXPECT_TRUE(wellFormed);
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
      EXPECT_EQ(lines.back(), "ENDPCB");
    }
    return lines;
  }

  // The segment count line of the first polygon record.
  static std::string PolygonCountLine(const std::vector<std::string>& lines) {
    const auto pg = std::find(lines.begin(), lines.end(), "PG");
    return lines.end() - pg > 6 ? *(pg + 6) : std::string("no polygon record");
  }

  static ObjectHandle AddPolygon(std::size_t entries) {
    standin::Polygon polygon;
    polygon.layer = kTopLayer;
    polygon.outline.resize(entries);
    return server().Add(polygon);
  }

  static std::vector<ObjectHandle> Walk(ObjectHandle owner, Kind kind) {
    std::vector<ObjectHandle> out;
    const ObjectHandle it = PcbApi_CreateIterator(owner, static_cast<ObjectKindCode>(kind), 0, 0);
    for (ObjectHandle h = PcbApi_GetFirstObject(it); h != 0; h = PcbApi_GetNextObject(it))
      out.push_back(h);
    PcbApi_DestroyIterator(it);
    return out;
  }
};

TEST_F(HardeningTest, ClassMemberWalkThatNeverEndsIsCutOff) {
  standin::ObjectClass objectClass;
  objectClass.name = "Power";
  const ObjectHandle classHandle = server().Add(objectClass);
  // A track whose net link names the class: the record's net number loads it.
  standin::Track track;
  track.x2 = 100000;
  track.net = classHandle;
  server().Add(track);
  g_Fake.endlessMembers = true;
  Export();
  EXPECT_GT(g_Fake.memberCalls, 0);
  EXPECT_EQ(g_Fake.memberCalls, TPCBObjectClass::kMaxMembers);
}

TEST_F(HardeningTest, NegativeSegmentCountWritesOneVertex) {
  AddPolygon(3);
  g_Fake.forceSegmentCount = true;
  g_Fake.segmentCount = -5;
  EXPECT_EQ(PolygonCountLine(Export()), "0");
}

TEST_F(HardeningTest, SegmentCountBeyondTheOutlineArrayIsCut) {
  AddPolygon(501);
  g_Fake.forceSegmentCount = true;
  g_Fake.segmentCount = 100000;
  const std::vector<std::string> lines = Export();
  EXPECT_EQ(PolygonCountLine(lines), "500");
}

TEST_F(HardeningTest, OutlineOfMoreThan501EntriesIsCutByTheHost) {
  AddPolygon(700);
  EXPECT_EQ(PolygonCountLine(Export()), "500");
}

TEST_F(HardeningTest, ReferenceCountBeyondTheArrayIsCut) {
  standin::Dimension dimension;
  dimension.references.resize(250, {1, 2, 3, 4});
  const ObjectHandle handle = server().Add(dimension);
  g_Fake.forceReferenceCount = true;
  g_Fake.referenceCount = 100000;
  PCBProcs::BindEntryPoints(&edgeanswers::Provider);
  TPcbDimension loaded(handle);
  loaded.Load(kQueryGet);
  EXPECT_EQ(loaded.ReferenceCount, TPcbDimension::kReferenceCapacity);
  EXPECT_EQ(loaded.References[199][3], 4);
  g_Fake.referenceCount = -7;
  loaded.Load(kQueryGet);
  EXPECT_EQ(loaded.ReferenceCount, 0);
}

TEST_F(HardeningTest, LoopingLayerChainEndsTheStackWalk) {
  standin::Board& board = *server().CurrentBoard();
  // MidLayer1 -> TopLayer -> BottomLayer -> TopLayer -> ...
  board.layers[MidLayer(1)].nextLayer = kTopLayer;
  board.layers[kTopLayer].prevLayer = MidLayer(1);
  board.layers[kBottomLayer].nextLayer = kTopLayer;
  PCBProcs::BindEntryPoints(&edgeanswers::Provider);
  TPcbBoard loaded(server().CurrentBoardHandle());
  loaded.Load(kQueryGet);
  LayerSet set = LayerSet::Of(kBottomLayer);
  set.Add(MidLayer(5));
  // MidLayer5 is not on the chain: the walk runs round the loop until cut.
  EXPECT_EQ(loaded.StackPosition(set, loaded.LayerAt(MidLayer(5))), 1);
  EXPECT_EQ(loaded.StackPosition(set, loaded.LayerAt(kBottomLayer)), 1);
  Export();
}

TEST_F(HardeningTest, NetMemberWalkInsideAnotherWalkMatchesThePlainWalk) {
  standin::Net a;
  a.name = "A";
  const ObjectHandle netA = server().Add(a);
  standin::Net b;
  b.name = "B";
  const ObjectHandle netB = server().Add(b);
  const ObjectHandle component = server().Add(standin::Component{});
  std::vector<ObjectHandle> onA;
  for (int i = 0; i < 6; ++i) {
    standin::Pad pad;
    pad.net = i % 2 == 0 ? netA : netB;
    const ObjectHandle h = server().Add(pad, i < 3 ? component : 0);
    if (pad.net == netA) onA.push_back(h);
  }
  EXPECT_EQ(Walk(netA, Kind::Pad), onA);

  // A net field naming no object of the model (any 32 bits) is in no net's
  // walk and does not size the member index.
  standin::Pad stray;
  stray.net = 0xFFFFFFF0u;
  server().Add(stray);

  // The same walk nested in a walk over the nets, as the export does it.
  const ObjectHandle outer = PcbApi_CreateIterator(server().CurrentBoardHandle(), 8, 0, 0);
  ASSERT_NE(PcbApi_GetFirstObject(outer), 0u);
  EXPECT_EQ(Walk(netA, Kind::Pad), onA);
  EXPECT_EQ(Walk(netB, Kind::Pad).size(), 3u);
  EXPECT_LT(server().NetMembersPeakBytes(), std::size_t{1} << 16);
  // A change through the server during the outer walk is seen at once.
  standin::Pad late;
  late.net = netA;
  onA.push_back(server().Add(late));
  EXPECT_EQ(Walk(netA, Kind::Pad), onA);
  ASSERT_TRUE(server().Reparent(onA.front(), 0));
  const std::vector<ObjectHandle> reordered = {onA[1], onA[2], onA[3], onA[0]};
  EXPECT_EQ(Walk(netA, Kind::Pad), reordered);
  PcbApi_DestroyIterator(outer);

  // Outside any walk, a direct change of the model is seen too.
  server().Get<standin::Pad>(onA[1])->net = netB;
  EXPECT_EQ(Walk(netA, Kind::Pad), (std::vector<ObjectHandle>{onA[2], onA[3], onA[0]}));
  EXPECT_EQ(server().OpenIterators(), 0u);
}

}  // namespace
