// The records inside a whole exported file: the export run drives the
// writers (component pass, polygons, free texts, tracks, fills, arcs, vias,
// pads), numbers nets, components and polygons, and every record is found
// in its section, in order, written out by hand from the layouts.
#include <algorithm>
#include <string>

#include "support/WriterFixture.h"

namespace writer_test {
namespace {

class ExportRecordsTest : public WriterTest {};

constexpr const char* kBoard = R"({ "pcb28_board": 1,
  "nets": [ { "name": "A" }, { "name": "B" }, { "name": "C" } ],
  "rules": [
    { "kind": "SolderMaskExpansion", "values": [40] },
    { "kind": "PasteMaskExpansion", "values": [-25] },
    { "kind": "PlaneConnect", "values": [1, 100, 200, 3, 150] },
    { "kind": "PowerPlaneExpansion", "values": [205] } ],
  "components": [
    { "pattern": "SOT23", "x": 50000, "y": 50000, "designator": "U1", "comment": "BC847",
      "tracks": [ { "x": 49000, "y": 50000, "x2": 51000, "y2": 50000, "width": 100,
                    "layer": "TopLayer", "net": "A" } ],
      "pads": [ { "name": "1", "x": 49000, "y": 50000, "net": "A" },
                { "name": "2", "x": 51000, "y": 50000, "net": "A" } ] } ],
  "texts": [ { "text": "U1", "x": 12345, "y": 6789, "height": 600, "rotation": 90,
               "style": 1, "layer": "TopOverlay", "width": 100 } ],
  "tracks": [ { "x": 1005, "y": -2000, "x2": 3000, "y2": -2000, "width": 120,
                "layer": "TopLayer", "net": "C" },
              { "x": 700, "y": 700, "x2": 700, "y2": 700, "width": 120, "layer": "TopLayer" } ],
  "fills": [ { "x": 0, "y": 0, "x2": 5000, "y2": 2500, "layer": "BottomLayer" } ],
  "arcs": [ { "x": 10000, "y": 10000, "radius": 500, "start_angle": 0, "end_angle": 90,
              "width": 100, "layer": "TopOverlay" } ],
  "vias": [ { "x": 20000, "y": 15000, "size": 500, "hole": 280, "net": "B" } ],
  "pads": [ { "name": "1", "x": 12345, "y": -12345, "hole": 300, "rotation": 270,
              "top": { "x_size": 600, "y_size": 400, "shape": 1 },
              "mid": { "x_size": 500, "y_size": 500, "shape": 2 },
              "bottom": { "x_size": 610, "y_size": 410, "shape": 3 },
              "pwr_gnd": 5, "net": "C", "tag": 7, "pad_byte1": 8, "pad_byte2": 9 } ] })";

PolygonSegment Entry(Coord x, Coord y) {
  PolygonSegment s{};
  s.X = x;
  s.Y = y;
  return s;
}

TEST_F(ExportRecordsTest, EveryRecordInItsSectionInOrder) {
  testsupport::LoadBoard(kBoard);
  // The polygon through the server's model (net A, bottom layer, one arc).
  standin::Polygon polygon;
  polygon.layer = kBottomLayer;
  polygon.net = server().FindNet("A");
  PolygonSegment arc = Entry(1000, 0);
  arc.SegmentKind = 1;
  arc.CenterX = 500;
  arc.Radius = 500;
  arc.EndAngle = 180;
  polygon.outline = {Entry(0, 0), arc, Entry(0, 0)};
  ASSERT_NE(server().Add(polygon), 0u);

  const Lines lines = testsupport::ExportLines();
  const std::string componentPad =
      " 0 0 0 0 0 0 0 0 0 0 0 34 1 0 0.000 4 -2 20 15 20 3 0 0 1 1 1 1 1 1";
  const Lines expected = {
      // the component block
      "COMP",
      "SOT23",
      "0 0 5000 5000 0 0 0 0 0 0 0  0.000 0 0 1",  //
      "CS",
      "0 0 5000 5000 0 0.000 0 0 17 0 0 0 0 0 0 0 0",
      "U1",  //
      "CS",
      "0 0 5000 5000 0 0.000 0 0 17 0 0 0 0 0 0 0 0",
      "BC847",  //
      "CT",
      "0 0 4900 5000 5100 5000 10 1 0 1 0",
      " 0 0 0 0 0",  //
      "CP",
      "0 0 4900 5000" + componentPad,
      "1",  //
      "CP",
      "0 0 5100 5000" + componentPad,
      "2",  //
      "ENDCOMP",
      // the polygon
      "PG",
      "16",
      " 1",
      "0 1 1 0  0 0",
      "0 0 0 0",
      "",
      "2",
      "0 0",
      "100 0",
      "0 0",
      " 0 0 1",  //
      "FA",
      "0 0 50 0 50 0.000 180.000 0 16 1 0",
      " 0 0",
      // free text, track (the zero-length one left out), fill, arc, via, pad
      "FS",
      "0 0 1234 678 60 90.000 0 1 17 0 0 0 0 10 0 0 0",
      "U1",  //
      "FT",
      "0 0 100 -200 300 -200 12 1 0 3 0",
      " 0 0 0 0 0",  //
      "FF",
      "0 0 0 0 500 250 16 0",
      " 0 0 0.000",  //
      "FA",
      "0 0 1000 1000 50 0.000 90.000 10 17 0 0",
      " 0 0",  //
      "FV",
      "0 0 2000 1500 50 28 0 0 2 0 0 0 0 0 0 1 16",  //
      "FP",
      "0 0 1234 -1234 60 40 1 50 50 2 61 41 3 30 5 34 3 0 270.000 4 -2 20 15 20 3 7 9 1 1 1 1 1 1",
      "1",
  };
  // Header, counts line, then the records.
  ASSERT_GE(lines.size(), 2 + expected.size());
  EXPECT_EQ(lines[0], "PCB FILE 6 VERSION 2.80");
  const Lines records(lines.begin() + 2, lines.begin() + 2 + static_cast<long>(expected.size()));
  EXPECT_EQ(records, expected);

  // The pad numbers the host keeps: 1 and 2 in the component, then the free
  // pad from the counter the component left at 0.
  std::vector<ObjectHandle> pads;
  server().Collect(server().CurrentBoardHandle(), standin::Kind::Pad, 0, pads);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_EQ(server().Get<standin::Pad>(pads[0])->index, 1);
  EXPECT_EQ(server().Get<standin::Pad>(pads[1])->index, 2);
  EXPECT_EQ(server().Get<standin::Pad>(pads[2])->index, 1);
  // Each component record appears once in the whole file.
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "BC847"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "COMP"), 1);
}

}  // namespace
}  // namespace writer_test
