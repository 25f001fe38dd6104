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
  } expect[] = {
      {"MultiLayer", 1, 787402, 787402, 393701},    {"MultiLayer", 1, 787402, 1181102, 393701},
      {"BottomLayer", 2, 787402, 393701, 0},        {"TopLayer", 2, 787402, 393701, 0},
      {"TopLayer", 2, 787402, 393701, 0},           {"TopLayer", 3, 787402, 787402, 0},
      {"MultiLayer", 1, 1181102, 1181102, 1181102}, {"TopLayer", 2, 393701, 393701, 0},
      {"TopSolder", 2, 393701, 393701, 0}};
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
       {"1 slotted holes written as round holes",
        "1 copper pads on F.Cu with rounded corners written as rectangles",
        "1 copper pads on F.Cu of trapezoid shape written as rectangles",
        "1 copper pads on F.Cu with chamfered corners written as octagons",
        "1 copper pads on F.Cu of custom shape written as their anchor pad and their shapes as "
        "tracks",
        "1 pad names cut to 20 characters", "1 pads without copper written on F.Mask"})
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
  // In the file's order: the board edge (4), the fill as one ring of its 3
  // points, the segment (the courtyard line is left out).
  ASSERT_EQ(tracks.size(), 6u);
  EXPECT_EQ(tracks[0]["layer"], "Mechanical1");
  EXPECT_EQ(tracks[4]["polygon"], polys[1]["id"]);
  EXPECT_EQ(tracks[4]["layer"], "BottomLayer");
  EXPECT_EQ(tracks[4]["ring"].size(), 6u);
  EXPECT_EQ(tracks[5]["net"], "VCC");
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
        "1 copper zone outlines on F.Cu over 500 segments simplified",
        "1 copper zone outlines on B.Cu over 500 segments simplified",
        "1 copper zone fills on B.Cu written as their outlines",
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
  std::string inner;
  for (int i = 1; i <= 15; ++i)
    inner += "(" + std::to_string(i) + " \"In" + std::to_string(i) + ".Cu\" signal) ";
  const std::string error = ErrorOf(Board("", inner));
  EXPECT_NE(error.find(": the copper layer In15.Cu has no counterpart: the file keeps at most 14 "
                       "inner layers"),
            std::string::npos)
      << error;
  EXPECT_EQ(ErrorOf(Board("(segment (start 1 1) (end 2 1) (width 0.25) (layer \"F.Cu\") (net 7))")),
            "line 5, column 60: no net 7 in the board's net list");
  EXPECT_EQ(ErrorOf(Board("(via (at 1 x) (size 1) (drill 0.5) (layers \"F.Cu\" \"B.Cu\"))")),
            "line 5, column 12: expected a number, found 'x'");
  EXPECT_EQ(
      ErrorOf("(kicad_sch (version 20211014))"),
      "line 1, column 1: not a KiCad board: the file starts with '(kicad_sch', not '(kicad_pcb'");
  EXPECT_TRUE(kicad::IsKicadBoard("\xEF\xBB\xBF\n ( kicad_pcb (version 4))"));
  EXPECT_FALSE(kicad::IsKicadBoard("{\"pcb28_board\": 1}"));
  EXPECT_FALSE(kicad::IsKicadBoard("(kicad_pcbx)"));
  // The layer table lists the copper layers front to back; the inner ones
  // are the mid layers in that order, whatever their names or ordinals.
  const Converted out =
      Convert(Board("(segment (start 1 1) (end 2 1) (width 0.25) (layer \"In1.Cu\") (net 2))",
                    "(2 \"In2.Cu\" signal) (1 \"In1.Cu\" signal) "));
  EXPECT_EQ(out.doc["stack"], json::array({"TopLayer", "MidLayer1", "MidLayer2", "BottomLayer"}));
  EXPECT_EQ(out.doc["tracks"][4]["layer"], "MidLayer2");
}

// KiCad 4 and 5: `module`, nothing quoted, copper layers renamed in the
// layer table (known by their type), %R in footprint texts, centre-and-angle
// arcs, flags after the text.
TEST(KicadVersions, KiCad4And5BoardsWithRenamedCopper) {
  const Converted out = Convert(
      "(kicad_pcb (version 4) (host pcbnew 4.0.7)\n"
      "  (layers (0 C1F signal) (1 GND.Cu power) (2 PWR power) (31 C4B signal)\n"
      "    (37 F.SilkS user) (44 Edge.Cuts user) (40 Dwgs.User user))\n"
      "  (setup (via_drill 0.4))\n"
      "  (net 0 \"\") (net 1 GND) (net 2 VCC)\n"
      "  (net_class Default \"\" (via_dia 0.8) (add_net GND))\n"
      "  (net_class Power \"\" (via_dia 1) (via_drill 0.5) (add_net VCC))\n"
      "  (gr_line (start 0 0) (end 50 0) (layer Edge.Cuts) (width 0.1))\n"
      "  (gr_line (start 50 0) (end 50 40) (layer Edge.Cuts) (width 0.1))\n"
      "  (gr_line (start 50 40) (end 0 40) (layer Edge.Cuts) (width 0.1))\n"
      "  (gr_line (start 0 40) (end 0 0) (layer Edge.Cuts) (width 0.1))\n"
      "  (module Resistors:R_0805 (layer C1F) (tedit 5415CC62) (at 10 20 90)\n"
      "    (fp_text reference R7 (at 0 -1.65 90) (layer F.SilkS)\n"
      "      (effects (font (size 1 1) (thickness 0.15))))\n"
      "    (fp_text value 10k (at 0 1.65 90) (layer F.Fab) hide\n"
      "      (effects (font (size 1 1) (thickness 0.15))))\n"
      "    (fp_text user %R-%V (at 0 0 90) (layer Dwgs.User))\n"
      "    (pad 1 smd rect (at -0.95 0 90) (size 0.7 1.3) (layers C1F F.Paste F.Mask)\n"
      "      (net 1 GND)))\n"
      "  (segment (start 5 5) (end 15 5) (width 0.25) (layer PWR) (net 2))\n"
      "  (segment (start 5 6) (end 15 6) (width 0.25) (layer GND.Cu) (net 1))\n"
      "  (gr_arc (start 25 20) (end 30 20) (angle 90) (layer Dwgs.User) (width 0.1))\n"
      // Vias that leave their drill to their net class, or else to the setup.
      "  (via (at 5 10) (size 1) (layers C1F C4B) (net 2))\n"
      "  (via (at 6 10) (size 0.8) (layers GND.Cu C4B) (net 1))\n"
      "  (zone (net 1) (net_name GND) (layer GND.Cu) (min_thickness 0.254)\n"
      "    (polygon (pts (xy 1 1) (xy 49 1) (xy 49 39) (xy 1 39)))\n"
      "    (filled_polygon (pts (xy 1 1) (xy 49 1) (xy 49 39)))))\n");
  EXPECT_EQ(out.doc["stack"], json::array({"TopLayer", "MidLayer1", "MidLayer2", "BottomLayer"}));
  const json& comp = out.doc["components"][0];
  EXPECT_EQ(comp["pattern"], "R_0805");
  EXPECT_EQ(comp["layer"], "TopLayer");
  EXPECT_EQ(comp["pads"][0]["layer"], "TopLayer");
  EXPECT_EQ(comp["designator"]["text"], "R7");
  EXPECT_EQ(comp["comment"]["text"], "10k");
  EXPECT_EQ(comp["texts"][0]["text"], "R7-10k");
  EXPECT_EQ(comp["texts"][0]["layer"], "Mechanical4");
  // Edge (4), the two segments on the renamed inner layers, the fill (a ring
  // of 3 points).
  const json& tracks = out.doc["tracks"];
  ASSERT_EQ(tracks.size(), 7u);
  EXPECT_EQ(tracks[6]["ring"].size(), 6u);
  EXPECT_EQ(tracks[4]["layer"], "MidLayer2");
  EXPECT_EQ(tracks[4]["net"], "VCC");
  EXPECT_EQ(tracks[5]["layer"], "MidLayer1");
  EXPECT_EQ(tracks[6]["layer"], "MidLayer1");
  EXPECT_EQ(out.doc["polygons"][0]["layer"], "MidLayer1");
  EXPECT_TRUE(Reports(out, "1 copper zone fills on GND.Cu written as their outlines"));
  const json& vias = out.doc["vias"];
  ASSERT_EQ(vias.size(), 2u);
  EXPECT_EQ(vias[0]["hole"], 196850);  // 0.5 mm, the Power class's
  EXPECT_EQ(vias[1]["hole"], 157480);  // 0.4 mm, the setup's
  EXPECT_EQ(vias[1]["low_layer"], "MidLayer1");
  EXPECT_TRUE(Reports(out, "2 vias without a drill of their own given their net class's"));
  // Nothing about versions: version 4 is read in full.
  for (const std::string& line : out.report) EXPECT_EQ(line.find("version"), std::string::npos);
}

// KiCad 7 and 8: quoted everything, strokes, filled shapes, text boxes,
// reference and value as properties (hidden by (hide yes)), flags before
// the text, a self-referring text variable expanded once.
TEST(KicadVersions, KiCad7And8FieldsFlagsAndShapes) {
  const Converted out = Convert(Board(
      "(footprint \"Lib:SOT-23\" (layer \"F.Cu\") (uuid \"u\") (at 20 20)\n"
      "  (property \"Reference\" \"Q${REFERENCE}\" (at 0 -2 0) (layer \"F.SilkS\") (uuid \"a\")\n"
      "    (effects (font (size 1 1) (thickness 0.15))))\n"
      "  (property \"Value\" \"BC817\" (at 0 2 0) (layer \"F.Fab\") (hide yes) (uuid \"b\")\n"
      "    (effects (font (size 1 1) (thickness 0.15))))\n"
      "  (property \"Datasheet\" \"\" (at 0 0 0) (layer \"F.Fab\") (hide yes))\n"
      "  (property \"MPN\" \"X-1\" (at 0 3 0) (layer \"F.Fab\"))\n"
      "  (fp_text user \"${VALUE}/${MPN}/${UNKNOWN}\" (at 0 0 0) (layer \"F.Fab\") (uuid \"c\"))\n"
      "  (fp_rect (start -1 -1) (end 1 1) (stroke (width 0.1) (type solid)) (fill solid)\n"
      "    (layer \"F.SilkS\") (uuid \"d\"))\n"
      "  (pad \"1\" smd rect (at 0 0) (size 1 1) (layers \"F.Cu\" \"F.Mask\") (net 1 \"GND\")\n"
      "    (uuid \"e\")))\n"
      "(footprint \"Old\" (layer \"B.Cu\") (at 30 20)\n"
      "  (fp_text reference locked \"U1\" (at 0 0) (layer \"B.SilkS\"))\n"
      "  (fp_text value \"${REFERENCE}${REFERENCE}\" (at 0 1) (layer \"B.Fab\") hide))\n"
      "(gr_poly (pts (xy 1 1) (xy 3 1) (xy 3 3)) (stroke (width 0.2) (type solid))\n"
      "  (fill yes) (layer \"F.Cu\") (net 1) (uuid \"f\"))\n"
      "(gr_text_box \"boxed\\ntext\" (start 40 10) (end 48 14) (layer \"F.SilkS\")\n"
      "  (effects (font (size 1 1) (thickness 0.1))) (border yes) (uuid \"g\"))\n"));
  const json& q = out.doc["components"][0];
  EXPECT_EQ(q["designator"]["text"], "QQ${REFERENCE}");  // expanded once, never again
  EXPECT_EQ(q["comment"]["text"], "BC817");
  EXPECT_EQ(q["comment"]["layer"], "Mechanical2");
  // The visible field and the user text, its variables expanded once; an
  // unknown variable stays as written.
  ASSERT_EQ(q["texts"].size(), 2u);
  EXPECT_EQ(q["texts"][0]["text"], "X-1");
  EXPECT_EQ(q["texts"][1]["text"], "BC817/X-1/${UNKNOWN}");
  EXPECT_EQ(q["fills"].size(), 1u);
  EXPECT_EQ(q["fills"][0]["x"], 7480315);  // 19 mm
  const json& u = out.doc["components"][1];
  EXPECT_EQ(u["designator"]["text"], "U1");
  EXPECT_EQ(u["comment"]["text"], "U1U1");
  // The copper polygon's outline keeps its net; the text box one text a line.
  const json& tracks = out.doc["tracks"];
  ASSERT_EQ(tracks.size(), 4u + 3);
  EXPECT_EQ(tracks[4]["net"], "GND");
  ASSERT_EQ(out.doc["texts"].size(), 2u);
  EXPECT_EQ(out.doc["texts"][0]["text"], "boxed");
  EXPECT_EQ(out.doc["texts"][0]["x"], 15748031);  // 40 mm
  EXPECT_EQ(out.doc["texts"][0]["y"], 11417323);  // 40 - 11 mm: a height down
  EXPECT_EQ(out.doc["texts"][1]["y"], 10787402);  // 1.6 mm further
  for (const char* line : {"1 hidden footprint fields left out",
                           "1 copper filled polygons on F.Cu written as their outlines",
                           "1 text boxes written as texts without their box"})
    EXPECT_TRUE(Reports(out, line)) << line;
}

// KiCad 9: layer ordinals of its own (B.Cu 2, In1.Cu 4, user layers odd
// even when typed as copper), zones on several
// copper layers with a fill per layer, arcs in point lists, pad stacks,
// paste-only pads, tracks shorter than a host unit, and a newer version.
TEST(KicadVersions, KiCad9AndNewer) {
  const std::string head =
      "(kicad_pcb (version 20241229) (generator \"pcbnew\") (generator_version \"9.0\")\n"
      "  (layers (0 \"F.Cu\" signal) (4 \"In1.Cu\" signal) (2 \"B.Cu\" signal)\n"
      "    (13 \"F.Paste\" user) (1 \"F.Mask\" user) (25 \"Edge.Cuts\" user)\n"
      "    (39 \"User.1\" signal))\n"
      "  (net 0 \"\") (net 1 \"GND\")\n"
      "  (gr_rect (start 0 0) (end 50 40) (stroke (width 0.1) (type default)) (layer "
      "\"Edge.Cuts\"))\n";
  const std::string body =
      "  (zone (net 1) (net_name \"GND\") (layers \"F&B.Cu\" \"In1.Cu\") (min_thickness 0.25)\n"
      "    (polygon (pts (xy 1 1) (arc (start 10 1) (mid 12 3) (end 10 5)) (xy 1 5)))\n"
      "    (filled_polygon (layer \"In1.Cu\") (pts (xy 2 2) (xy 9 2) (xy 9 4)))\n"
      "    (filled_polygon (layer \"B.Cu\") (pts (xy 2 2) (xy 9 2) (xy 9 4) (xy 2 4))))\n"
      "  (footprint \"F\" (layer \"F.Cu\") (at 20 20) (embedded_fonts no)\n"
      "    (property \"Reference\" \"J1\" (at 0 0 0) (layer \"F.SilkS\"))\n"
      "    (pad \"1\" smd roundrect (at 0 0) (size 1 1) (layers \"F.Paste\") (net 1 \"GND\"))\n"
      "    (pad \"2\" thru_hole circle (at 2 0) (size 1.5 1.5) (drill 0.8) (layers \"*.Cu\")\n"
      "      (padstack (mode front_inner_back) (layer \"Inner\" (shape circle) (size 1 1)))\n"
      "      (teardrops (best_length_ratio 0.5) (enabled yes)) (tenting (front yes))))\n"
      "  (segment (start 5 30) (end 5.000001 30) (width 0.2) (layer \"F.Cu\") (net 1))\n"
      "  (via (at 8 8) (size 0.6) (drill 0.3) (layers \"F.Cu\" \"B.Cu\") (net 1)\n"
      "    (tenting (front none)) (teardrops (enabled no)))\n"
      "  (embedded_fonts no))\n";
  const Converted out = Convert(head + body);
  EXPECT_EQ(out.doc["stack"], json::array({"TopLayer", "MidLayer1", "BottomLayer"}));
  // One polygon per copper layer, the outline's arc kept as an arc.
  const json& polys = out.doc["polygons"];
  ASSERT_EQ(polys.size(), 3u);
  EXPECT_EQ(polys[0]["layer"], "TopLayer");
  EXPECT_EQ(polys[1]["layer"], "BottomLayer");
  EXPECT_EQ(polys[2]["layer"], "MidLayer1");
  ASSERT_EQ(polys[0]["outline"].size(), 5u);  // 4 entries, closed
  EXPECT_TRUE(polys[0]["outline"][1].contains("arc"));
  EXPECT_EQ(polys[0]["outline"][1]["arc"]["radius"], 787402);  // 2 mm about (10, 3)
  // Each fill on its own layer's polygon; the segment of 1 nm is left out.
  const json& tracks = out.doc["tracks"];
  // The unfilled layer's outline (4 tracks), then each fill as one ring of
  // its points (3 and 4), x and y each.
  ASSERT_EQ(tracks.size(), 4u + 1 + 1);
  EXPECT_EQ(tracks[4]["ring"].size(), 6u);
  EXPECT_EQ(tracks[5]["ring"].size(), 8u);
  EXPECT_EQ(tracks[4]["layer"], "MidLayer1");
  EXPECT_EQ(tracks[4]["polygon"], polys[2]["id"]);
  EXPECT_EQ(tracks[5]["polygon"], polys[1]["id"]);
  const json& pads = out.doc["components"][0]["pads"];
  EXPECT_EQ(pads[0]["layer"], "TopPaste");
  EXPECT_EQ(pads[0]["net"], "");
  EXPECT_EQ(pads[1]["layer"], "MultiLayer");
  for (const char* line :
       {"1 pads without copper written on F.Paste",
        "1 copper zone fills on In1.Cu written as their outlines",
        "1 copper tracks of zero length on F.Cu left out",
        "1 copper pads on *.Cu with shapes of their own per layer written with their front shape"})
    EXPECT_TRUE(Reports(out, line)) << line;
  for (const std::string& line : out.report)
    EXPECT_EQ(line.find("unknown"), std::string::npos) << line;

  // A newer version is read as far as it is understood, with one line; its
  // nets may be named rather than numbered.
  const Converted newer = Convert(
      "(kicad_pcb (version 20250901) (layers (0 \"F.Cu\" signal) (2 \"B.Cu\" signal))\n"
      "  (segment (start 1 1) (end 5 1) (width 0.2) (layer \"B.Cu\") (net \"SDA\")))\n");
  EXPECT_EQ(newer.report.at(0),
            "KiCad board format version 20250901 is newer than the newest read in full "
            "(20241229, KiCad 9): read as far as it is understood");
  EXPECT_EQ(newer.doc["nets"][0]["name"], "SDA");
  EXPECT_EQ(newer.doc["tracks"][0]["net"], "SDA");
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
  const json tracks = json::parse(out.document)["tracks"];
  ASSERT_EQ(tracks.size(), 4u + 1 + 3000);  // the fill is one ring
  EXPECT_EQ(tracks[4]["ring"].size(), 2u * 3000);
}

}  // namespace
