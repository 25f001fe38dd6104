// Component blocks and polygon records.
#include <cstring>
#include <string>

#include "ascii28/GroupRecords.h"
#include "support/WriterFixture.h"

namespace writer_test {
namespace {

using ascii28::WriteComponentBlock;
using ascii28::WritePolygonRecord;

class ComponentBlockTest : public WriterTest {};
class PolygonRecordTest : public WriterTest {};

// ---- components

constexpr const char* kTwoComponents = R"({ "pcb28_board": 1,
  "components": [
    { "pattern": "DIP8", "x": 10000, "y": 20000, "layer": "TopLayer", "rotation": 90, "tag": 4,
      "bytes": [1, 2, 3],
      "designator": { "text": "U1", "x": 10000, "y": 21000, "height": 600, "width": 100,
                      "layer": "TopOverlay" },
      "comment": { "text": "NE555", "x": 10000, "y": 19000, "height": 500, "width": 80,
                   "layer": "TopOverlay" },
      "arcs": [ { "x": 10000, "y": 20000, "radius": 300, "start_angle": 0, "end_angle": 180,
                  "width": 50, "layer": "TopOverlay" } ],
      "tracks": [ { "x": 9000, "y": 20000, "x2": 11000, "y2": 20000, "width": 100,
                    "layer": "TopOverlay" } ],
      "pads": [ { "name": "1", "x": 9500, "y": 20000, "hole": 300,
                  "top": { "x_size": 600, "y_size": 600, "shape": 1 } },
                { "name": "2", "x": 10500, "y": 20000, "hole": 300,
                  "top": { "x_size": 600, "y_size": 600, "shape": 1 } } ],
      "fills": [ { "x": 9800, "y": 19800, "x2": 10200, "y2": 20200, "layer": "TopLayer" } ],
      "vias": [ { "x": 10000, "y": 20000, "size": 400, "hole": 200 } ],
      "texts": [ { "text": "pin1", "x": 9500, "y": 20500, "height": 300, "width": 30,
                   "layer": "TopOverlay" } ] },
    { "pattern": "R", "layer": "BottomLayer", "rotation": 0, "designator": "R1", "comment": "10k",
      "pads": [ { "name": "a" }, { "name": "b" }, { "name": "c" } ] } ],
  "pads": [ { "name": "free" } ] })";

TEST_F(ComponentBlockTest, TwoBlocksWrittenOutByHand) {
  Load(kTwoComponents);
  ascii28::Run.InComponent = true;  // as the export run sets it for the component pass
  const Lines lines = WalkLines(&WriteComponentBlock, 512);
  const std::string pad = " 0 0 0 0 0 0 30 0 34 0 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1";
  const std::string bare = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 34 0 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1";
  EXPECT_EQ(lines, (Lines{
                       "COMP",
                       "DIP8",
                       "0 0 1000 2000 1 2 0 0 0 0 0 90.000 4 3 1",
                       "CS",
                       "0 0 1000 2100 60 0.000 0 0 17 0 0 0 0 10 0 0 0",
                       "U1",
                       "CS",
                       "0 0 1000 1900 50 0.000 0 0 17 0 0 0 0 8 0 0 0",
                       "NE555",
                       "CA",
                       "0 0 1000 2000 30 0.000 180.000 5 17 0 0",
                       " 0 0",
                       "CT",
                       "0 0 900 2000 1100 2000 10 17 0 0 0",
                       " 0 0 0 0 0",
                       "CP",
                       "0 0 950 2000 60 60 1" + pad,
                       "1",
                       "CP",
                       "0 0 1050 2000 60 60 1" + pad,
                       "2",
                       "CF",
                       "0 0 980 1980 1020 2020 1 0",
                       " 0 0 0.000",
                       "CV",
                       "0 0 1000 2000 40 20 0 0 0 0 0 0 0 0 0 1 16",
                       "CS",
                       "0 0 950 2050 30 0.000 0 0 17 0 0 0 0 3 0 0 0",
                       "pin1",
                       "ENDCOMP",
                       "COMP",
                       "R",
                       "0 0 0 0 0 0 0 0 0 0 0  0.000 0 0 16",
                       "CS",
                       "0 0 0 0 0 0.000 0 0 17 0 0 0 0 0 0 0 0",
                       "R1",
                       "CS",
                       "0 0 0 0 0 0.000 0 0 17 0 0 0 0 0 0 0 0",
                       "10k",
                       "CP",
                       bare,
                       "a",
                       "CP",
                       bare,
                       "b",
                       "CP",
                       bare,
                       "c",
                       "ENDCOMP",
                   }));

  // Pads numbered from 1 in each component, in the host's member order;
  // the free pad is untouched.
  const auto pads = Handles(standin::Kind::Pad);
  ASSERT_EQ(pads.size(), 6u);
  const int expected[] = {1, 2, 1, 2, 3, 0};
  for (std::size_t i = 0; i < pads.size(); ++i)
    EXPECT_EQ(server().Get<standin::Pad>(pads[i])->index, expected[i]) << "pad " << i;

  // One update per component and per member handed to a writer; the
  // designator and comment are not offered a second time.
  EXPECT_EQ(Updates(), 10 + 6);

  // The run state after the blocks.
  EXPECT_FALSE(ascii28::Run.InComponent);
  EXPECT_EQ(ascii28::Run.PadCounter, 0);
  EXPECT_EQ(ascii28::Run.ComponentNameText, 0u);
  EXPECT_EQ(ascii28::Run.ComponentCommentText, 0u);
}

TEST_F(ComponentBlockTest, SetsInComponentAndTheTextHandlesEvenWhenTheRunHadNot) {
  Load(Board(R"("components": [ { "pattern": "P", "designator": "D", "comment": "C",
                                  "tracks": [ { "x2": 10 } ] } ])"));
  ascii28::Run.InComponent = false;
  ascii28::Run.PadCounter = 9;
  const Lines lines = WalkLines(&WriteComponentBlock, 512);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[3], "CS");
  EXPECT_EQ(lines[5], "D");
  EXPECT_EQ(lines[6], "CS");
  EXPECT_EQ(lines[8], "C");
  EXPECT_EQ(lines[9], "CT");
  EXPECT_EQ(lines[12], "ENDCOMP");
  EXPECT_FALSE(ascii28::Run.InComponent);
  EXPECT_EQ(ascii28::Run.PadCounter, 0);
}

TEST_F(ComponentBlockTest, RotationFieldHasWidthSix) {
  Load(Board(R"("components": [ { "pattern": "A", "rotation": 180 },
                                { "pattern": "B", "rotation": 9.9996 },
                                { "pattern": "C", "rotation": -0.25 },
                                { "pattern": "D", "rotation": 270.5 } ])"));
  const Lines lines = WalkLines(&WriteComponentBlock, 512);
  std::vector<std::string> placements;
  for (std::size_t i = 0; i + 2 < lines.size(); ++i)
    if (lines[i] == "COMP") placements.push_back(lines[i + 2]);
  EXPECT_EQ(placements, (std::vector<std::string>{
                            "0 0 0 0 0 0 0 0 0 0 0 180.000 0 0 1",
                            "0 0 0 0 0 0 0 0 0 0 0 10.000 0 0 1",
                            "0 0 0 0 0 0 0 0 0 0 0 -0.250 0 0 1",
                            "0 0 0 0 0 0 0 0 0 0 0 270.500 0 0 1",
                        }));
}

// The designator and comment are written by direct calls with the two
// handles, whatever they are: a component without them (handles 0) still
// gets two text records, written from the zeros of a failed load.
TEST_F(ComponentBlockTest, ComponentWithoutTextsOrPrimitives) {
  Load(Board(R"("components": [ { "pattern": "EMPTY", "x": -15, "y": 19 } ])"));
  EXPECT_EQ(WalkLines(&WriteComponentBlock, 512),
            (Lines{"COMP", "EMPTY", "0 0 -1 1 0 0 0 0 0 0 0  0.000 0 0 1",  //
                   "CS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", "",       //
                   "CS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", "", "ENDCOMP"}));
  EXPECT_EQ(Updates(), 3);
}

// ---- polygons
//
// The polygon boards are built through the server's own model rather than
// from board-file text, so that these tests do not depend on the reader's
// handling of the packed outline entries.

PolygonSegment Vertex(Coord x, Coord y) {
  PolygonSegment s{};
  s.X = x;
  s.Y = y;
  return s;
}
PolygonSegment ArcEntry(Coord x, Coord y, Coord cx, Coord cy, Coord radius, double start,
                        double end) {
  PolygonSegment s = Vertex(x, y);
  s.SegmentKind = 1;
  s.CenterX = cx;
  s.CenterY = cy;
  s.Radius = radius;
  s.StartAngle = start;
  s.EndAngle = end;
  return s;
}

class PolygonBoardTest : public PolygonRecordTest {
 protected:
  void SetUp() override {
    PolygonRecordTest::SetUp();
    server().CreateBoard();
  }
  static ObjectHandle AddNet(const char* name, std::uint16_t index) {
    standin::Net net;
    net.name = name;
    net.index = index;
    return server().Add(net);
  }
  static ObjectHandle AddPolygon(HostLayer layer, std::vector<PolygonSegment> outline,
                                 std::uint8_t styleCode = 0) {
    standin::Polygon p;
    p.layer = layer;
    p.outline = std::move(outline);
    p.styleCode = styleCode;
    return server().Add(p);
  }
  static Lines Write() {
    testsupport::BindPluginToServer();
    return WalkLines(&WritePolygonRecord, 1024);
  }
};

TEST_F(PolygonBoardTest, ArcEntriesTwoAndFiveGiveExactlyTwoArcRecords) {
  const ObjectHandle net = AddNet("N", 4);
  const ObjectHandle first =
      AddPolygon(kBottomLayer,
                 {Vertex(0, 0), Vertex(10000, 0), ArcEntry(10000, 5000, 10000, 6000, 1000, 270, 90),
                  Vertex(10000, 7000), Vertex(0, 7000),
                  ArcEntry(-15, 7000, -15, 3500, 3500, 90, -90.5), Vertex(0, 0)},
                 2);
  auto* p = server().Get<standin::Polygon>(first);
  p->net = net;
  p->tag = 5;
  p->byte0 = 9;
  p->byte1 = 1;
  p->byte2 = 2;
  p->byte3 = 3;
  p->byte4 = 8;
  p->value1 = 250;
  p->trackWidth = 100;
  p->value3 = -35;
  AddPolygon(kTopLayer, {Vertex(1234, -5678)}, 4);

  EXPECT_EQ(Write(), (Lines{
                         "PG",
                         "16",
                         " 4",
                         "1 0 1 2  0 3",
                         "25 10 -3 0",
                         "",
                         "6",  //
                         "0 0",
                         "1000 0",
                         "1000 500",
                         "1000 700",
                         "0 700",
                         "-1 700",
                         "0 0",
                         " 0 0 0 1 0 0 1",  //
                         "FA",
                         "0 0 1000 600 100 270.000 90.000 10 16 4 0",
                         " 0 5",  //
                         "FA",
                         "0 0 -1 350 350 90.000 -90.500 10 16 4 0",
                         " 0 5",  //
                         "PG",
                         "1",
                         " 0",
                         "0 0 0 0  0 0",
                         "0 0 0 0",
                         "",
                         "0",
                         "123 -567",
                         " 0",
                     }));
  EXPECT_EQ(Updates(), 2);
}

TEST_F(PolygonBoardTest, AnArcFlagOnTheLastEntryGivesNoArcRecord) {
  AddPolygon(kTopLayer, {Vertex(100, 0), ArcEntry(200, 0, 150, 0, 50, 0, 180)});
  EXPECT_EQ(Write(),
            (Lines{"PG", "1", " 0", "0 1 1 0  0 0", "0 0 0 0", "", "1", "10 0", "20 0", " 1 0"}));
}

TEST_F(PolygonBoardTest, EmptyOutlineIsCountZeroWithOneVertexAndOneFlag) {
  AddPolygon(static_cast<HostLayer>(kTopLayer + 1), {});  // MidLayer1
  EXPECT_EQ(Write(), (Lines{"PG", "2", " 0", "0 1 1 0  0 0", "0 0 0 0", "", "0", "0 0", " 0"}));
}

TEST_F(PolygonBoardTest, SegmentKindOtherThanOneIsAStraightEntry) {
  PolygonSegment odd = ArcEntry(10, 20, 30, 40, 50, 0, 90);
  odd.SegmentKind = 2;
  AddPolygon(kTopLayer, {odd, Vertex(0, 0)});
  EXPECT_EQ(Write(),
            (Lines{"PG", "1", " 0", "0 1 1 0  0 0", "0 0 0 0", "", "1", "1 2", "0 0", " 0 0"}));
}

TEST_F(PolygonBoardTest, StyleCodeGivesFlagsAAndB) {
  // 0 to 4 as tabled; above 4 (this writer's choice) like 0 and 1: 1 1.
  for (std::uint8_t code : {0, 1, 2, 3, 4, 5, 255}) AddPolygon(kTopLayer, {}, code);
  const Lines lines = Write();
  std::vector<std::string> flagLines;
  for (std::size_t i = 0; i + 3 < lines.size(); ++i)
    if (lines[i] == "PG") flagLines.push_back(lines[i + 3]);
  EXPECT_EQ(flagLines, (std::vector<std::string>{"0 1 1 0  0 0", "0 1 1 0  0 0", "0 0 1 0  0 0",
                                                 "0 1 0 0  0 0", "0 0 0 0  0 0", "0 1 1 0  0 0",
                                                 "0 1 1 0  0 0"}));
}

// ---- a host that reports a segment count outside 0 to 500

using QueryPolygonFn = decltype(&::PcbApi_QueryPolygon);
QueryPolygonFn g_RealQueryPolygon = nullptr;
std::int32_t g_ReportedCount = 0;

Status PCBAPI_CALL BadCountQueryPolygon(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                        std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                        std::uint8_t* tag, std::uint8_t* byte1, std::uint8_t* byte2,
                                        std::uint8_t* byte3, Coord* value1, Coord* trackWidth,
                                        std::uint8_t* byte4, std::uint8_t* styleCode, Coord* value3,
                                        std::uint8_t* byte0, std::int32_t* segmentCount,
                                        PolygonSegments* segments) {
  if (mode != kQueryGet) return 0;
  const Status status =
      g_RealQueryPolygon(mode, object, flags, index, layer, net, tag, byte1, byte2, byte3, value1,
                         trackWidth, byte4, styleCode, value3, byte0, segmentCount, segments);
  // Every one of the 501 entries, and not one byte more; arcs at 0, 100, ... 500.
  for (int k = 0; k < kPolygonSegmentCapacity; ++k) {
    PolygonSegment s{};
    s.SegmentKind = k % 100 == 0 ? 1 : 0;
    s.X = k * 10;
    s.Y = -k * 10;
    s.CenterX = k * 100;
    s.Radius = 10;
    std::memcpy(&(*segments)[k], &s, sizeof s);
  }
  *segmentCount = g_ReportedCount;
  return status;
}

void* BadCountProvider(const char* name) {
  if (std::strcmp(name, "PcbApi_QueryPolygon") == 0)
    return reinterpret_cast<void*>(&BadCountQueryPolygon);
  return StandIn_EntryPoint(name);
}

class BadSegmentCountTest : public PolygonBoardTest {
 protected:
  Lines WriteWithCount(std::int32_t count) {
    const ObjectHandle p = AddPolygon(kTopLayer, {});
    server().Get<standin::Polygon>(p)->trackWidth = 20;
    g_RealQueryPolygon =
        reinterpret_cast<QueryPolygonFn>(StandIn_EntryPoint("PcbApi_QueryPolygon"));
    EXPECT_NE(g_RealQueryPolygon, nullptr);
    g_ReportedCount = count;
    PCBProcs::BindEntryPoints(&BadCountProvider);
    return WalkLines(&WritePolygonRecord, 1024);
  }
};

TEST_F(BadSegmentCountTest, CountAbove500IsWrittenAs500AndReadsNoEntryPastTheArray) {
  const Lines lines = WriteWithCount(600);
  // PG, layer, net, flags, values, empty, count, 501 vertices, flag line,
  // five arc records (entries 0 to 400; entry 500 is the last and gets none).
  ASSERT_EQ(lines.size(), 7u + 501u + 1u + 5u * 3u);
  EXPECT_EQ(lines[6], "500");
  EXPECT_EQ(lines[7], "0 0");
  EXPECT_EQ(lines[7 + 500], "500 -500");
  const std::string& flagLine = lines[7 + 501];
  std::string expected = " 1";
  for (int k = 0; k < 500; ++k) expected += k % 100 == 0 ? " 1" : " 0";
  EXPECT_EQ(flagLine, expected);
  EXPECT_EQ(lines[7 + 502], "FA");
  EXPECT_EQ(lines[7 + 503], "0 0 0 0 1 0.000 0.000 2 1 0 0");
  EXPECT_EQ(lines[lines.size() - 2], "0 0 4000 0 1 0.000 0.000 2 1 0 0");
}

TEST_F(BadSegmentCountTest, NegativeCountIsWrittenAsZero) {
  const Lines lines = WriteWithCount(-5);
  EXPECT_EQ(lines, (Lines{"PG", "1", " 0", "0 1 1 0  0 0", "0 2 0 0", "", "0", "0 0", " 1"}));
}

TEST_F(BadSegmentCountTest, Count500IsWrittenWhole) {
  const Lines lines = WriteWithCount(500);
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[6], "500");
  EXPECT_EQ(lines.size(), 7u + 501u + 1u + 5u * 3u);
}

}  // namespace
}  // namespace writer_test
