// The lay-out halves of the record writers: records from given values, lines
// worked out by hand from the layouts, and not one call to the host.
#include "ascii28/GroupRecords.h"
#include "ascii28/NetRecords.h"
#include "ascii28/PadRecords.h"
#include "board/PcbGroups.h"
#include "board/PcbPad.h"
#include "support/WriterFixture.h"

namespace writer_test {
namespace {

class RecordLayoutTest : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    Load(Board(""));
    callsBefore_ = server().CallsReceived();
  }
  void TearDown() override {
    EXPECT_EQ(server().CallsReceived(), callsBefore_) << "a lay-out asked the host";
    WriterTest::TearDown();
  }

 private:
  std::uint64_t callsBefore_ = 0;
};

TEST_F(RecordLayoutTest, PadValuesEachTakeTheirOwnField) {
  TPcbPad pad(0);
  pad.X = 10, pad.Y = 20, pad.XSizeTop = 30, pad.YSizeTop = 40, pad.ShapeTop = 1;
  pad.XSizeMid = 50, pad.YSizeMid = 60, pad.ShapeMid = 2;
  pad.XSizeBottom = 70, pad.YSizeBottom = 80, pad.ShapeBottom = 3, pad.HoleSize = 90;
  pad.Layer = kBottomLayer, pad.Rotation = 45.5, pad.Tag = 7, pad.PadByte2 = 8;
  pad.Name.Assign("P1");
  ascii28::PadRecordValues values;
  values.PwrGnd = 4, values.Net = 5;
  values.SolderMaskExpansion = 110, values.PasteMaskExpansion = 120;
  values.PlaneConnectB = 130, values.PlaneConnectD = 140, values.PowerPlaneExpansion = 150;
  values.PlaneConnectC = -3;
  ascii28::Run.InComponent = true;
  EXPECT_EQ(
      Capture([&] { ascii28::LayOutPadRecord(pad, values); }),
      (Lines{"CP", "0 0 1 2 3 4 1 5 6 2 7 8 3 9 4 16 5 0 45.500 11 12 13 14 15 -3 7 8 1 1 1 1 1 1",
             "P1"}));
}

// Each arc entry of the outline names the net by the number its own lookup
// gave, not by the record's.
TEST_F(RecordLayoutTest, PolygonArcEntriesTakeTheirOwnNetNumbers) {
  TPcbPolygon polygon(0);
  polygon.Layer = kTopLayer, polygon.Tag = 3;
  polygon.PolygonByte1 = 1, polygon.PolygonByte2 = 2, polygon.PolygonByte3 = 3;
  polygon.PolygonValue1 = 10, polygon.TrackWidth = 40, polygon.PolygonValue3 = 20;
  polygon.SegmentCount = 3;
  polygon.Segments[0] = {1, 1000, 2000, 100, 200, 30, 0.0, 90.0};
  polygon.Segments[1] = {0, 3000, 4000, 0, 0, 0, 0.0, 0.0};
  polygon.Segments[2] = {1, 5000, 6000, 500, 600, 70, 180.0, 270.0};
  polygon.Segments[3] = {0, 1000, 2000, 0, 0, 0, 0.0, 0.0};
  ascii28::PolygonReferences refs;
  refs.Net = 5, refs.ArcNet[0] = 6, refs.ArcNet[2] = 8;
  EXPECT_EQ(Capture([&] { ascii28::LayOutPolygonRecord(polygon, refs); }),
            (Lines{"PG", "1", " 5", "1 1 1 2  0 3", "1 4 2 0", "", "3", "100 200", "300 400",
                   "500 600", "100 200", " 0 1 0 1", "FA", "0 0 10 20 3 0.000 90.000 4 1 6 0",
                   " 0 3", "FA", "0 0 50 60 7 180.000 270.000 4 1 8 0", " 0 3"}));
}

TEST_F(RecordLayoutTest, NetDefinitionFromRoutingMembersAndPlane) {
  TPcbNet net(0);
  net.Name.Assign("GND");
  net.NetValue = 9;
  const ascii28::NetMember members[] = {{1, 2}, {3, 4}, {5, 6}};
  ascii28::NetDefinitionValues values;
  values.Routing = {100000, 500000, 1, 2};
  values.Members = members;
  values.Plane = {InternalPlane(2), 4};
  EXPECT_EQ(Capture([&] { ascii28::LayOutNetDefinition(net, values); }),
            (Lines{"NETDEF", "GND", "10000 50000 0 3", "(", " 1 2", " 3 4", " 5 6", ")", "{",
                   "1 2 0 0 0", "2 3 0 0 0", "}", "0 0 0", "24 9 4"}));
}

}  // namespace
}  // namespace writer_test
