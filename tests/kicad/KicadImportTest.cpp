// The mapping of KiCad boards onto board-file documents, on small hand-written
// boards. Expected host units are worked out by hand: 1 mm = 393700.787 units,
// and with the Edge.Cuts box from (0, 0) to (50, 40) mm, y' = 40 mm - y.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "boardfile/BoardFile.h"
#include "kicad/KicadImport.h"

namespace {

using nlohmann::json;

std::string Board(const std::string& body, const std::string& layers = "") {
  return "(kicad_pcb (version 20211014) (generator pcbnew)\n"
         "  (layers (0 \"F.Cu\" signal) " +
         layers +
         "(31 \"B.Cu\" signal) (37 \"F.SilkS\" user) (44 \"Edge.Cuts\" user))\n"
         "  (net 0 \"\") (net 1 \"GND\") (net 2 \"VCC\")\n"
         "  (gr_rect (start 0 0) (end 50 40) (layer \"Edge.Cuts\") (width 0.1))\n" +
         body + ")\n";
}

struct Converted {
  json doc;
  std::vector<std::string> report;
};

// Converts and checks that the document loads as a board file.
Converted Convert(const std::string& text, const std::string& project = "") {
  kicad::Conversion out;
  std::string error;
  EXPECT_TRUE(kicad::ConvertBoard(text, project, out, error)) << error;
  std::string loadError;
  EXPECT_TRUE(boardfile::LoadBoardText(out.document, "test", loadError)) << loadError;
  return {json::parse(out.document), out.report};
}

std::string ErrorOf(const std::string& text) {
  kicad::Conversion out;
  std::string error;
  EXPECT_FALSE(kicad::ConvertBoard(text, "", out, error));
  return error;
}

bool Reports(const Converted& c, const std::string& line) {
  return std::find(c.report.begin(), c.report.end(), line) != c.report.end();
}

TEST(KicadImport, FootprintsTurnAndPlaceTheirPadsOnBothSides) {
  // A pad at (1, 0.5) mm in a footprint at (10, 20) mm, turned by each angle.
  struct Case {
    const char* angle;
    const char* side;
    long long x, y;  // expected pad position, host units
  } cases[] = {
      {"0", "F.Cu", 4330709, 7677165},    // (11, 20.5) -> y' 19.5
      {"90", "F.Cu", 4133858, 8267717},   // (10.5, 19) -> y' 21
      {"180", "F.Cu", 3543307, 8070866},  // (9, 19.5)  -> y' 20.5
      {"-90", "F.Cu", 3740157, 7480315},  // (9.5, 21)  -> y' 19
      {"0", "B.Cu", 4330709, 7677165},   {"90", "B.Cu", 4133858, 8267717},
      {"180", "B.Cu", 3543307, 8070866}, {"-90", "B.Cu", 3740157, 7480315},
  };
  for (const Case& c : cases) {
    const std::string side = c.side;
    const Converted out =
        Convert(Board("(footprint \"Lib:R_0805\" (layer \"" + side + "\") (at 10 20 " + c.angle +
                      ")\n"
                      "  (fp_text reference \"R1\" (at 0 -1 " +
                      c.angle +
                      ") (layer \"F.SilkS\") (effects (font (size 1 1) (thickness 0.15))))\n"
                      "  (fp_text value \"10k\" (at 0 1) (layer \"F.SilkS\"))\n"
                      "  (pad \"1\" smd rect (at 1 0.5 " +
                      c.angle + ") (size 1.2 0.8) (layers \"" + side + "\") (net 1 \"GND\")))\n"));
    SCOPED_TRACE(std::string(c.angle) + " " + side);
    const json& comp = out.doc["components"][0];
    EXPECT_EQ(comp["pattern"], "R_0805");
    EXPECT_EQ(comp["layer"], side == "F.Cu" ? "TopLayer" : "BottomLayer");
    EXPECT_EQ(comp["x"], 3937008);
    EXPECT_EQ(comp["y"], 7874016);
    EXPECT_EQ(comp["designator"]["text"], "R1");
    EXPECT_EQ(comp["designator"]["height"], 393701);
    EXPECT_EQ(comp["comment"]["text"], "10k");
    const json& pad = comp["pads"][0];
    EXPECT_EQ(pad["x"], c.x);
    EXPECT_EQ(pad["y"], c.y);
    EXPECT_EQ(pad["layer"], side == "F.Cu" ? "TopLayer" : "BottomLayer");
    EXPECT_EQ(pad["net"], "GND");
    EXPECT_EQ(pad["size"]["x_size"], 472441);
    EXPECT_EQ(pad["size"]["y_size"], 314961);
    EXPECT_DOUBLE_EQ(pad["rotation"].get<double>(),
                     c.angle == std::string("-90") ? 270.0 : std::stod(c.angle));
  }
}

TEST(KicadImport, ArcsOfBothFormsBecomeCounterClockwiseArcs) {
  const Converted out = Convert(Board(
      // Through (10,0), (0,-10) and (-10,0) with y down: over the top, 0 to 180 degrees.
      "(arc (start 20 20) (mid 10 10) (end 0 20) (width 0.25) (layer \"F.Cu\") (net 2))\n"
      // The same points the other way round: still 0 to 180.
      "(arc (start 0 20) (mid 10 10) (end 20 20) (width 0.25) (layer \"F.Cu\") (net 2))\n"
      // Under the centre: 180 to 0 (through 270).
      "(arc (start 20 20) (mid 10 30) (end 0 20) (width 0.25) (layer \"F.Cu\") (net 2))\n"
      // KiCad 5: centre, first point, sweep 90 (clockwise as seen): 270 to 0.
      "(gr_arc (start 10 20) (end 20 20) (angle 90) (layer \"F.SilkS\") (width 0.1))\n"
      // A sweep of -90 from the same point runs counter-clockwise: 0 to 90.
      "(gr_arc (start 10 20) (end 20 20) (angle -90) (layer \"F.SilkS\") (width 0.1))\n"
      "(gr_circle (center 10 20) (end 13 20) (layer \"F.SilkS\") (width 0.1))\n"));
  const json& arcs = out.doc["arcs"];
  ASSERT_EQ(arcs.size(), 6u);
  const double expected[6][2] = {{0, 180}, {0, 180}, {180, 0}, {270, 0}, {0, 90}, {0, 360}};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(arcs[i]["x"], 3937008);
    EXPECT_EQ(arcs[i]["y"], 7874016);
    EXPECT_EQ(arcs[i]["radius"], i == 5 ? 1181102 : 3937008);
    EXPECT_NEAR(arcs[i]["start_angle"].get<double>(), expected[i][0], 1e-9);
    EXPECT_NEAR(arcs[i]["end_angle"].get<double>(), expected[i][1], 1e-9);
  }
  EXPECT_EQ(arcs[0]["net"], "VCC");
  EXPECT_EQ(arcs[0]["width"], 98425);
}

TEST(KicadImport, EachPadShapeAndLayerRule) {
  const Converted out = Convert(Board(
      "(footprint \"P\" (layer \"F.Cu\") (at 10 10)\n"
      " (pad \"1\" thru_hole circle (at 0 0) (size 2 2) (drill 1) (layers *.Cu *.Mask) (net 1 "
      "\"GND\"))\n"
      " (pad \"2\" thru_hole oval (at 0 0) (size 2 3) (drill oval 1 2) (layers *.Cu))\n"
      " (pad \"3\" smd rect (at 0 0) (size 2 1) (layers \"B.Cu\" \"B.Mask\"))\n"
      " (pad \"4\" smd roundrect (at 0 0) (size 2 1) (layers \"F.Cu\") (roundrect_rratio 0.25))\n"
      " (pad \"5\" smd trapezoid (at 0 0) (size 2 1) (rect_delta 0 0.5) (layers \"F.Cu\"))\n"
      " (pad \"6\" smd roundrect (at 0 0) (size 2 2) (layers \"F.Cu\") (chamfer_ratio 0.2) "
      "(chamfer top_left))\n"
      " (pad \"\" np_thru_hole circle (at 0 0) (size 3 3) (drill 3) (layers *.Cu *.Mask))\n"
      " (pad \"8\" smd custom (at 0 0) (size 1 1) (layers \"F.Cu\") (net 2 \"VCC\")\n"
      "   (options (clearance outline) (anchor rect))\n"
      "   (primitives (gr_line (start 0 0) (end 5 0) (width 0.5))))\n"
      " (pad \"123456789012345678901\" connect rect (at 0 0) (size 1 1) (layers \"F.Mask\")))\n"));
  const json& pads = out.doc["components"][0]["pads"];
  ASSERT_EQ(pads.size(), 9u);
  struct Expect {
    const char* layer;
    int shape;
    long long xs, ys, hole;
  } expect[] = {{"MultiLayer", 1, 787402, 787402, 393701},
                {"MultiLayer", 1, 787402, 1181102, 393701},
                {"BottomLayer", 2, 787402, 393701, 0},
                {"TopLayer", 2, 787402, 393701, 0},
                {"TopLayer", 2, 787402, 393701, 0},
                {"TopLayer", 3, 787402, 787402, 0},
                {"MultiLayer", 1, 1181102, 1181102, 1181102},
                {"TopLayer", 2, 393701, 393701, 0},
                {"TopLayer", 2, 393701, 393701, 0}};
  for (std::size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pads[i]["layer"], expect[i].layer);
    EXPECT_EQ(pads[i]["size"]["shape"], expect[i].shape);
    EXPECT_EQ(pads[i]["size"]["x_size"], expect[i].xs);
    EXPECT_EQ(pads[i]["size"]["y_size"], expect[i].ys);
    EXPECT_EQ(pads[i].value("hole", 0LL), expect[i].hole);
  }
  EXPECT_EQ(pads[0]["net"], "GND");
  EXPECT_EQ(pads[8]["name"], "12345678901234567890");
  // The custom pad's shape: a track on the pad's layer and net, from the pad on.
  const json& track = out.doc["components"][0]["tracks"][0];
  EXPECT_EQ(track["layer"], "TopLayer");
  EXPECT_EQ(track["net"], "VCC");
  EXPECT_EQ(track["x"], 3937008);
  EXPECT_EQ(track["x2"], 5905512);  // 15 mm
  EXPECT_EQ(track["width"], 196850);
  for (const char* line :
       {"1 slotted holes written as round holes", "1 rounded-rectangle pads written as rectangles",
        "1 trapezoid pads written as rectangles", "1 chamfered pads written as octagons",
        "1 pad names cut to 20 characters",
        "1 pads without copper placed on their side's copper layer"})
    EXPECT_TRUE(Reports(out, line)) << line;
}

TEST(KicadImport, ZonesNetClassesAndTexts) {
  std::string points;
  for (int i = 0; i < 600; ++i)  // a 600-point outline, beyond the 500 segments of the file
    points += "(xy " + std::to_string(25 + 10 * std::cos(i * 6.283185307179586 / 600)) + " " +
              std::to_string(20 + 10 * std::sin(i * 6.283185307179586 / 600)) + ")";
  const Converted out = Convert(
      Board("(zone (net 1) (net_name \"GND\") (layers \"F.Cu\" \"B.Cu\") (min_thickness 0.25)\n"
            "  (polygon (pts " +
            points +
            "))\n"
            "  (filled_polygon (layer \"B.Cu\") (pts (xy 20 20) (xy 30 20) (xy 30 25))))\n"
            "(gr_text \"two\\nlines \xE2\x82\xAC \xC3\xA9\" (at 5 5 90) (layer \"F.SilkS\") "
            "(effects (font (size 2 2) (thickness 0.3)) (justify mirror)))\n"
            "(gr_line (start 1 1) (end 2 2) (layer \"F.CrtYd\") (width 0.1))\n"
            "(segment (start 1 1) (end 2 1) (width 0.25) (layer \"F.Cu\") (net 2) (colour red))\n"),
      R"({"net_settings": {"classes": [
           {"name": "Default", "clearance": 0.2, "track_width": 0.25, "via_diameter": 0.8, "via_drill": 0.4},
           {"name": "Power", "clearance": 0.3, "track_width": 0.5, "nets": ["VCC", "NOPE"]}]}})");
  const json& polys = out.doc["polygons"];
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(polys[0]["layer"], "TopLayer");
  EXPECT_EQ(polys[1]["layer"], "BottomLayer");
  EXPECT_EQ(polys[1]["net"], "GND");
  EXPECT_EQ(polys[1]["track_width"], 98425);
  EXPECT_EQ(polys[0]["outline"].size(), 501u);  // simplified to 500 segments, closed
  const json& tracks = out.doc["tracks"];
  // In the file's order: the board edge (4), 3 fill edges, the segment (the
  // courtyard line is left out).
  ASSERT_EQ(tracks.size(), 8u);
  EXPECT_EQ(tracks[0]["layer"], "Mechanical1");
  EXPECT_EQ(tracks[4]["polygon"], polys[1]["id"]);
  EXPECT_EQ(tracks[4]["layer"], "BottomLayer");
  EXPECT_EQ(tracks[7]["net"], "VCC");
  EXPECT_EQ(tracks[6]["x2"], tracks[4]["x"]);  // the fill's outline closes on its first point
  EXPECT_EQ(tracks[6]["y2"], tracks[4]["y"]);
  // One text a line, the second one line pitch (1.6 heights) further down the
  // text's direction: turned by 90 degrees, that is 3.2 mm to the right.
  const json& texts = out.doc["texts"];
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]["text"], "two");
  EXPECT_EQ(texts[1]["text"], "lines ? \xC3\xA9");
  EXPECT_EQ(texts[0]["x"], 1968504);
  EXPECT_EQ(texts[1]["x"], 3228346);  // 8.2 mm
  EXPECT_EQ(texts[1]["y"], texts[0]["y"]);
  EXPECT_EQ(texts[0]["text_flag"], 1);
  // Rules: the default class board-wide, the other class on its nets of the board.
  const json& rules = out.doc["rules"];
  ASSERT_EQ(rules.size(), 5u);
  EXPECT_EQ(rules[0]["kind"], "Clearance");
  EXPECT_EQ(rules[0]["values"][0], 78740);
  EXPECT_EQ(rules[2]["kind"], "RoutingVias");
  EXPECT_EQ(rules[2]["values"], json::array({157480, 314961, 0}));
  EXPECT_EQ(rules[3]["scope"]["net"], "VCC");
  EXPECT_EQ(rules[4]["values"], json::array({196850, 196850}));
  EXPECT_EQ(out.doc["classes"][0]["members"], json::array({"VCC"}));
  for (const char* line :
       {"1 drawings on F.CrtYd left out", "1 characters beyond Latin-1 written as '?'",
        "1 texts of several lines written as one text a line",
        "2 zone outlines over 500 segments simplified",
        "1 unknown token 'colour' in 'segment' ignored (first at line 10, column 68)"})
    EXPECT_TRUE(Reports(out, line)) << line;
}

TEST(KicadImport, EdgeCutsJoinIntoTheBoardOutlineWhateverTheirOrderAndDirection) {
  const std::string head =
      "(kicad_pcb (version 20211014) (layers (0 \"F.Cu\" signal) (44 \"Edge.Cuts\" user))\n";
  const std::string edges =
      "(gr_line (start 20 10) (end 0 10) (layer \"Edge.Cuts\") (width 0.1))\n"
      "(gr_line (start 0 0) (end 20 0) (layer \"Edge.Cuts\") (width 0.1))\n"
      "(gr_line (start 0 0) (end 0 10) (layer \"Edge.Cuts\") (width 0.1))\n"
      "(gr_arc (start 20 0) (mid 25 5) (end 20 10) (layer \"Edge.Cuts\") (width 0.1))\n";
  const Converted out = Convert(head + edges + ")");
  // Origin at (0, 10) mm: the box of the drawing, the arc's bulge included.
  const json& outline = out.doc["board_outlines"][0]["outline"];
  ASSERT_EQ(outline.size(), 5u);  // four segments, closed
  EXPECT_EQ(outline[0]["x"], 7874016);
  EXPECT_EQ(outline[0]["y"], 0);
  EXPECT_EQ(outline[4], (json{{"x", 7874016}, {"y", 0}}));
  int arcs = 0;
  for (const json& entry : outline)
    if (entry.contains("arc")) {
      ++arcs;
      EXPECT_EQ(entry["arc"]["cx"], 7874016);
      EXPECT_EQ(entry["arc"]["cy"], 1968504);
      EXPECT_EQ(entry["arc"]["radius"], 1968504);
      EXPECT_DOUBLE_EQ(entry["arc"]["start_angle"].get<double>(), 270);
      EXPECT_DOUBLE_EQ(entry["arc"]["end_angle"].get<double>(), 90);
    }
  EXPECT_EQ(arcs, 1);
  // Without the arc the loop is open: no outline, and the report says so.
  const Converted open = Convert(head + edges.substr(0, edges.rfind("(gr_arc")) + ")");
  EXPECT_FALSE(open.doc.contains("board_outlines"));
  EXPECT_TRUE(Reports(open, "1 board outlines not closed: no outline written"));
}

TEST(KicadImport, RefusesWhatHasNoPlaceInTheFile) {
  EXPECT_EQ(ErrorOf(Board("", "(1 \"In1.Cu\" signal) (15 \"In15.Cu\" signal) ")),
            "line 2, column 49: the copper layer In15.Cu has no counterpart: the file keeps at "
            "most 14 inner layers");
  EXPECT_EQ(ErrorOf(Board("(segment (start 1 1) (end 2 1) (width 0.25) (layer \"F.Cu\") (net 7))")),
            "line 5, column 60: no net 7 in the board's net list");
  EXPECT_EQ(ErrorOf(Board("(via (at 1 x) (size 1) (drill 0.5) (layers \"F.Cu\" \"B.Cu\"))")),
            "line 5, column 12: expected a number, found 'x'");
  EXPECT_EQ(ErrorOf("(kicad_pcb (version 20221018))"),
            "line 1, column 12: KiCad board format version 20221018 is not read; versions "
            "20171130 (KiCad 5) to 2021xxxx (KiCad 6) are");
  EXPECT_EQ(
      ErrorOf("(kicad_sch (version 20211014))"),
      "line 1, column 1: not a KiCad board: the file starts with '(kicad_sch', not '(kicad_pcb'");
  EXPECT_TRUE(kicad::IsKicadBoard("\xEF\xBB\xBF\n ( kicad_pcb (version 4))"));
  EXPECT_FALSE(kicad::IsKicadBoard("{\"pcb28_board\": 1}"));
  EXPECT_FALSE(kicad::IsKicadBoard("(kicad_pcbx)"));
  // Inner layers keep their copper order in the stack.
  const Converted out = Convert(Board("", "(2 \"In2.Cu\" signal) (1 \"In1.Cu\" signal) "));
  EXPECT_EQ(out.doc["stack"], json::array({"TopLayer", "MidLayer2", "MidLayer1", "BottomLayer"}));
}

TEST(KicadImport, TheDocumentKeepsRoomForTheReaderAfterItsText) {
  // Thousands of tracks and fill edges: the document's estimate holds them
  // with the board-file reader's padding after the text, so that the reader
  // takes it where it is.
  std::string body =
      "(zone (net 1) (net_name \"GND\") (layer \"F.Cu\")\n"
      "  (polygon (pts (xy 0 0) (xy 50 0) (xy 50 40)))\n  (filled_polygon (pts";
  for (int i = 0; i < 3000; ++i) body += " (xy " + std::to_string(i % 50) + ".123456 17.5)";
  body += ")))\n";
  for (int i = 0; i < 3000; ++i)
    body += "(segment (start 1.5 1) (end 2 1) (width 0.25) (layer \"B.Cu\") (net 2))\n";
  kicad::Conversion out;
  std::string error;
  ASSERT_TRUE(kicad::ConvertBoard(Board(body), "", out, error)) << error;
  EXPECT_GE(out.document.capacity(), out.document.size() + boardfile::kBoardTextPadding);
  EXPECT_EQ(json::parse(out.document)["tracks"].size(), 4u + 3000 + 3000);
}

}  // namespace
