// The board-file reader: what a good file puts into the server, the order the
// server then yields it in, unit rounding, and the refusal of bad files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boardfile/BoardFile.h"
#include "boardfile/BoardValues.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace {

using standin::Kind;
using standin::TheServer;

std::vector<ObjectHandle> Walk(ObjectHandle owner, Kind kind, HostLayer layer = 0) {
  std::vector<ObjectHandle> out;
  TheServer().Collect(owner, kind, layer, out);
  return out;
}

template <class T>
T& Only(Kind kind, std::size_t i = 0) {
  const auto handles = Walk(TheServer().CurrentBoardHandle(), kind);
  EXPECT_LT(i, handles.size());
  T* object = TheServer().Get<T>(handles.at(i));
  EXPECT_NE(object, nullptr);
  return *object;
}

bool Load(const std::string& text, std::string& error) {
  return boardfile::LoadBoardText(text, "b.json", error);
}

class BoardFileTest : public ::testing::Test {
 protected:
  void SetUp() override { TheServer().Reset(); }
  void TearDown() override { TheServer().Reset(); }
};

TEST_F(BoardFileTest, GoodFileReachesTheServerValueForValue) {
  std::string error;
  ASSERT_TRUE(boardfile::LoadBoardFile(PCB28_TEST_DATA "/boardfile-good.json", error)) << error;
  auto& s = TheServer();
  standin::Board& b = *s.CurrentBoard();

  EXPECT_EQ(b.info2, "Rev B");
  EXPECT_EQ(b.info8, 255);
  EXPECT_EQ(b.info10, -5);
  EXPECT_EQ(b.boardLayer, kBottomLayer);
  EXPECT_EQ(b.grids.grid10, 10);
  EXPECT_DOUBLE_EQ(b.grids.grid13, 13.5);
  EXPECT_EQ(b.gerberOptions[1], 2);
  EXPECT_EQ(b.gerberOptions[2], 0);  // a short list is filled with zeros
  EXPECT_EQ(b.outputOptions.plotLayers[1], 1);
  EXPECT_EQ(b.outputOptions.plotLayers[3], 1);  // true
  EXPECT_EQ(b.printerOptions.pens[2].value2, 22);
  EXPECT_EQ(b.printerOptions.compositeLayers[kTopOverlay].value3, 3);
  EXPECT_EQ(b.placerOptions.text2, "more");
  EXPECT_EQ(b.placerOptions.bytes[3], 4);
  EXPECT_EQ(b.externalDielectrics[0].material, "Polyimide");
  EXPECT_EQ(b.externalDielectrics[0].type, 1);  // the dielectric defaults stay
  EXPECT_EQ(b.externalDielectrics[0].height, 50000);
  EXPECT_EQ(b.externalDielectrics[1].material, "FR-4");
  EXPECT_EQ(b.layerInfo[Mechanical(1)].info, 77);

  EXPECT_EQ(b.layers[kTopLayer].name, "Component side");
  EXPECT_EQ(b.layers[kTopLayer].status3, 3);
  EXPECT_EQ(b.layers[kTopLayer].copperThickness, 14000);
  EXPECT_DOUBLE_EQ(b.layers[kTopLayer].dielectric.constant, 4.2);
  EXPECT_EQ(b.layers[kTopLayer].dielectric.material, "FR-4");
  EXPECT_EQ(b.layers[kBottomLayer].name, "BottomLayer");
  EXPECT_EQ(b.layers[kInternalPlane1].planeNet, "GND");
  EXPECT_EQ(b.layers[InternalPlane(2)].planeNet, "(No Net)");
  EXPECT_EQ(b.layers[kTopLayer].nextLayer, kInternalPlane1);
  EXPECT_EQ(b.layers[kBottomLayer].prevLayer, kInternalPlane1);
  EXPECT_EQ(b.layers[MidLayer(1)].prevLayer, 0);
  ASSERT_EQ(b.layerPairs.size(), 1u);
  EXPECT_EQ(b.layerPairs[0].lowLayer, kBottomLayer);
  EXPECT_EQ(b.layerPairs[0].highLayer, kTopLayer);
  EXPECT_EQ(b.layerPairs[0].value2, 6);

  const ObjectHandle gnd = s.FindNet("GND"), vcc = s.FindNet("VCC");
  ASSERT_NE(gnd, 0u);
  EXPECT_EQ(s.Get<standin::Net>(gnd)->netValue, 4000000000u);
  EXPECT_EQ(s.Get<standin::Net>(gnd)->netByte, 9);
  EXPECT_EQ(Only<standin::ObjectClass>(Kind::Class).members,
            (std::vector<std::string>{"GND", "VCC"}));

  const auto& width = Only<standin::Rule>(Kind::Rule, 0);
  EXPECT_EQ(width.ruleKind, 2);
  EXPECT_EQ(width.priority, 2);
  EXPECT_EQ(width.values[0], 100000);
  EXPECT_EQ(width.values[1], 80000);
  EXPECT_EQ(width.layers, (std::vector<HostLayer>{kTopLayer, kBottomLayer}));
  const auto& plane = Only<standin::Rule>(Kind::Rule, 1);
  EXPECT_EQ(plane.scope, standin::RuleScope::Net);
  EXPECT_EQ(plane.scopeName, "GND");
  EXPECT_EQ(plane.values[4], 5);
  EXPECT_EQ(plane.bytes[2], 7);
  EXPECT_EQ(plane.priority, 1);
  const auto& mask = Only<standin::Rule>(Kind::Rule, 2);
  EXPECT_EQ(mask.scope, standin::RuleScope::Component);
  EXPECT_EQ(mask.values[0], 39370);  // 0.1 mm
  EXPECT_EQ(mask.texts2[1], "t2b");

  const ObjectHandle u1 = s.FindComponent("U1");
  ASSERT_NE(u1, 0u);
  const auto& c = *s.Get<standin::Component>(u1);
  EXPECT_EQ(c.x, 1000000);
  EXPECT_EQ(c.layer, kTopLayer);
  EXPECT_EQ(c.pattern, "SOIC8");
  EXPECT_EQ(c.byte3, 3);
  EXPECT_EQ(c.exValue1, -1);
  EXPECT_EQ(c.sourceLinks[6], "7");
  const auto& designator = *s.Get<standin::Text>(c.nameText);
  EXPECT_EQ(designator.x, 1000000);  // a string designator sits at the origin
  EXPECT_EQ(designator.y, 2000);
  EXPECT_EQ(designator.layer, kTopOverlay);
  EXPECT_EQ(designator.component, u1);
  const auto& comment = *s.Get<standin::Text>(c.commentText);
  EXPECT_EQ(comment.text, "NE555");
  EXPECT_EQ(comment.x, 5);
  EXPECT_EQ(comment.height, 600000);
  EXPECT_EQ(s.Get<standin::Component>(Walk(b.handle, Kind::Component)[1])->nameText, 0u);

  const auto& pad = Only<standin::Pad>(Kind::Pad);
  EXPECT_EQ(pad.component, u1);
  EXPECT_EQ(pad.net, vcc);
  EXPECT_EQ(pad.layer, kMultiLayer);
  EXPECT_EQ(pad.hole, 300000);
  EXPECT_EQ(pad.top.xSize, 600000);
  EXPECT_EQ(pad.mid.shape, 1);
  EXPECT_EQ(pad.bottom.xSize, 700000);  // a level beside "size" replaces it whole
  EXPECT_EQ(pad.bottom.ySize, 0);
  ASSERT_NE(pad.Given(MidLayer(1)), nullptr);
  EXPECT_EQ(pad.Given(kTopLayer), nullptr);
  EXPECT_EQ(pad.Given(MidLayer(1))->shape, 3);

  const auto pour = Walk(b.handle, Kind::Polygon).at(0);
  const auto& polygon = *s.Get<standin::Polygon>(pour);
  EXPECT_EQ(polygon.net, gnd);
  EXPECT_EQ(polygon.trackWidth, 80000);
  EXPECT_EQ(polygon.byte4, 4);
  ASSERT_EQ(polygon.outline.size(), 3u);
  EXPECT_EQ(polygon.outline[0].SegmentKind, 0);
  EXPECT_EQ(polygon.outline[1].SegmentKind, 1);
  // Copies: the packed entry's fields cannot be bound to references.
  EXPECT_EQ(Coord{polygon.outline[1].Radius}, 50);
  EXPECT_DOUBLE_EQ(double{polygon.outline[1].EndAngle}, 180.0);
  EXPECT_EQ(polygon.outline[2].SegmentKind, 7);
  const ObjectHandle outline = Walk(b.handle, Kind::BoardOutline).at(0);

  const auto tracks = Walk(b.handle, Kind::Track);
  ASSERT_EQ(tracks.size(), 4u);
  const auto& track = *s.Get<standin::Track>(tracks[2]);
  EXPECT_EQ(track.x2, 393701);
  EXPECT_EQ(track.y2, -1);
  EXPECT_EQ(track.width, 125000);
  EXPECT_EQ(track.net, gnd);
  EXPECT_EQ(track.polygon, pour);
  EXPECT_EQ(track.extra1, -7);
  EXPECT_EQ(s.Get<standin::Track>(tracks[3])->net, 0u);           // "" is no net
  EXPECT_EQ(s.Get<standin::Track>(tracks[3])->polygon, outline);  // 3 and "3" are one id

  const auto& via = Only<standin::Via>(Kind::Via);
  EXPECT_EQ(via.layer, kMultiLayer);
  EXPECT_EQ(via.lowLayer, kTopLayer);
  EXPECT_EQ(via.highLayer, kBottomLayer);
  EXPECT_EQ(via.size, 400000);
  const auto& text = Only<standin::Text>(Kind::Text, 3);
  EXPECT_EQ(text.text, "Caf\xE9 \xFF");  // one byte per code point
  EXPECT_EQ(text.textFlag, 1);
  EXPECT_EQ(Only<standin::FromTo>(Kind::FromTo).net, vcc);
  EXPECT_EQ(Only<standin::ManualFromTo>(Kind::ManualFromTo).texts[2], "c");
  EXPECT_EQ(Only<standin::Coordinate>(Kind::Coordinate).values[5], 10000);
  const auto& dimension = Only<standin::Dimension>(Kind::Dimension);
  EXPECT_EQ(dimension.byte1, 8);
  EXPECT_EQ(dimension.dimensionCode, 8);
  EXPECT_EQ(dimension.extText3, "t3");
  EXPECT_DOUBLE_EQ(dimension.ext8Bytes, 0.5);
  ASSERT_EQ(dimension.references.size(), 1u);
  EXPECT_EQ(dimension.references[0][3], 4);
}

TEST_F(BoardFileTest, WalksYieldComponentMembersFirstThenFreeObjectsInDocumentOrder) {
  std::string error;
  ASSERT_TRUE(Load(R"({"pcb28_board": 1,
    "tracks": [{"x": 100}, {"x": 101}],
    "components": [
      {"designator": "A", "comment": "a", "tracks": [{"x": 1}, {"x": 2}], "texts": [{"text": "A1"}]},
      {"tracks": [{"x": 3}], "texts": [{"text": "B1"}], "comment": "b"}],
    "texts": [{"text": "free"}]})",
                   error))
      << error;
  auto& s = TheServer();
  const ObjectHandle board = s.CurrentBoardHandle();
  std::vector<Coord> xs;
  for (ObjectHandle h : Walk(board, Kind::Track)) xs.push_back(s.Get<standin::Track>(h)->x);
  EXPECT_EQ(xs, (std::vector<Coord>{1, 2, 3, 100, 101}));
  std::vector<std::string> texts;
  for (ObjectHandle h : Walk(board, Kind::Text)) texts.push_back(s.Get<standin::Text>(h)->text);
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "a", "A1", "b", "B1", "free"}));
  const ObjectHandle first = Walk(board, Kind::Component).at(0);
  texts.clear();
  for (ObjectHandle h : Walk(first, Kind::Text)) texts.push_back(s.Get<standin::Text>(h)->text);
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "a", "A1"}));
}

TEST(BoardFileUnits, LengthsRoundToTheNearestUnitHalvesAwayFromZero) {
  const struct {
    const char* text;
    Coord expected;
  } cases[] = {
      {"12.5mil", 125000},
      {"0.25mm", 98425},
      {"1mm", 393701},
      {"-1mm", -393701},
      {"0.00005mil", 1},
      {"-0.00005mil", -1},
      {"0.00004999mil", 0},
      {"0.00000127mm", 1},
      {"-0.00000127mm", -1},
      {"0.00000126mm", 0},
      {"0.0000127mm", 5},
      {"+.5mil", 5000},
      {"214748.3647mil", 2147483647},
      {"-214748.3648mil", -2147483647 - 1},
      {"0.000000000000000001mm", 0},
  };
  for (const auto& c : cases) {
    Coord out = 12345;
    std::string what;
    EXPECT_TRUE(boardfile::LengthToHost(c.text, out, what)) << c.text << ": " << what;
    EXPECT_EQ(out, c.expected) << c.text;
  }
  for (const char* bad : {"214748.3648mil", "-214748.3649mil", "5455mm", "12.5", "mil", "12.5 mil",
                          "1e3mil", "12.5MIL", "--1mil", ".mil", "0.0000000000000000001mm"}) {
    Coord out = 0;
    std::string what;
    EXPECT_FALSE(boardfile::LengthToHost(bad, out, what)) << bad;
    EXPECT_FALSE(what.empty()) << bad;
  }
}

// One bad document per case: refused whole, with the place and what was wrong,
// and no board is left behind (not even the good one loaded before).
TEST_F(BoardFileTest, BadFilesAreRefusedWholeWithPlaceAndReason) {
  const std::string pad21 = std::string(21, 'P');
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"{\n  \"pcb28_board\": 1,\n  \"nets\": [,]\n}", "b.json: line 3, column 12: syntax error"},
      {"{\"pcb28_board\": 1, \"tracks\": [{\"x\": 1 \"y\": 2}]}", "b.json: line 1, column 41:"},
      {"", "b.json: line 1, column 1:"},
      // A zero byte after the document is not the end of the text.
      {std::string("{\"pcb28_board\": 1}\n\0\0", 21), "b.json: line 2, column 1: a zero byte"},
      {R"({"tracks": []})", "b.json: top level: missing key 'pcb28_board'"},
      {"{\"pcb28_board\": " + deep + "}", "pcb28_board: unsupported format version a list"},
      {R"({"pcb28_board": 2})", "b.json: pcb28_board: unsupported format version 2; expected 1"},
      {R"({"pcb28_board": 1, "trakcs": []})",
       "b.json: top level: unknown key 'trakcs' at top level (did you mean 'tracks'?)"},
      {R"({"pcb28_board": 1, "tracks": [{}, {}, {}, {"widht": 1}]})",
       "b.json: tracks[3]: unknown key 'widht' at tracks[3] (did you mean 'width'?)"},
      {R"({"pcb28_board": 1, "tracks": [{"x": 1, "x": 2}]})",
       "b.json: tracks[0]: key 'x' given twice"},
      {R"({"pcb28_board": 1, "tracks": [{"tag": 256}]})",
       "b.json: tracks[0].tag: value 256 out of range: expected an integer 0 to 255"},
      {R"({"pcb28_board": 1, "tracks": [{"x": 2147483648}]})",
       "tracks[0].x: value 2147483648 out of range"},
      {R"({"pcb28_board": 1, "tracks": [{"x": "214748.3648mil"}]})",
       "tracks[0].x: length out of range"},
      {R"({"pcb28_board": 1, "tracks": [{"x": 1.5}]})",
       "tracks[0].x: expected host units (an integer) or a length"},
      {R"({"pcb28_board": 1, "arcs": [{"start_angle": "90"}]})",
       "arcs[0].start_angle: expected a number, found a string"},
      {R"({"pcb28_board": 1, "vias": [{"low_layer": "Toplayer"}]})",
       "vias[0].low_layer: unknown layer 'Toplayer'"},
      {R"({"pcb28_board": 1, "vias": [{"layer": 83}]})",
       "vias[0].layer: layer code 83 out of range"},
      {R"({"pcb28_board": 1, "tracks": [{"net": "GND"}]})", "tracks[0].net: no net named 'GND'"},
      {R"({"pcb28_board": 1, "nets": [{"name": "A"}, {"name": "A"}]})",
       "nets[1].name: net name 'A' is used twice"},
      {R"({"pcb28_board": 1, "nets": [{"name": ""}]})",
       "nets[0].name: a net's name cannot be empty"},
      {R"({"pcb28_board": 1, "polygons": [{"id": 4}], "board_outlines": [{"id": "4"}]})",
       "board_outlines[0].id: polygon id '4' is used twice"},
      {R"({"pcb28_board": 1, "fills": [{"polygon": "nope"}]})",
       "fills[0].polygon: no polygon or board outline with id 'nope'"},
      {R"({"pcb28_board": 1, "components": [{"pads": [{"name": ")" + pad21 + R"("}]}]})",
       "components[0].pads[0].name: a pad name holds at most 20 characters; this one has 21"},
      {R"({"pcb28_board": 1, "texts": [{"text": "ok\u0100"}]})",
       "texts[0].text: character U+0100 at character 3 cannot be held"},
      {R"({"pcb28_board": 1, "nets": [{"name": "a\nb"}]})", "nets[0].name: a line feed"},
      {R"({"pcb28_board": 1, "stack": ["TopLayer", "BottomLayer", 1]})",
       "stack[2]: layer TopLayer is listed twice"},
      {R"({"pcb28_board": 1, "rules": [{"scope": {"component": "U9"}}]})",
       "rules[0].scope.component: no component with the designator 'U9'"},
      {R"({"pcb28_board": 1, "rules": [{"kind": "Width", "values": [1, 2, 3]}]})",
       "rules[0].values: expected at most 2 values for rule kind 2, found 3"},
      {R"({"pcb28_board": 1, "rules": [{"kind": "PlaneConnect", "values": [256]}]})",
       "rules[0].values[0]: value 256 out of range"},
      {R"({"pcb28_board": 1, "board": {"gerber_options": [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}})",
       "board.gerber_options: expected at most 18"},
      {R"({"pcb28_board": 1, "layers": {"MidLayer2": {"net": "GND"}}})",
       "layers.MidLayer2.net: only the layers InternalPlane1 to InternalPlane16 have a net"},
      {R"({"pcb28_board": 1, "layers": {"Top": {}}})", "layers.Top: unknown layer 'Top' as a key"},
      {R"({"pcb28_board": 1, "layer_pairs": [{"low": "TopLayer"}]})",
       "layer_pairs[0]: a layer pair needs 'low' and 'high'"},
      {R"({"pcb28_board": 1, "dimensions": [{"ext": [0,0,0,0,0,0,"",0,0,"","",0,0,0,0,0,0,0,0,0]}]})",
       "dimensions[0].ext: expected at most 19 extended dimension values, found 20"},
      {R"({"pcb28_board": 1, "dimensions": [{"references": [[1, 2, 3]]}]})",
       "dimensions[0].references[0]: a reference is a list of four integers"},
      {R"({"pcb28_board": 1, "components": [{"designator": {"text": "U1", "font": 1}}]})",
       "components[0].designator: unknown key 'font'"},
  };
  for (const auto& c : cases) {
    std::string error;
    ASSERT_TRUE(Load(R"({"pcb28_board": 1, "tracks": [{"x": 1}]})", error)) << error;
    EXPECT_FALSE(Load(c.text, error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos)
        << "got:      " << error << "\nexpected: " << c.message;
    EXPECT_EQ(TheServer().CurrentBoardHandle(), 0u) << c.text;
  }
}

TEST_F(BoardFileTest, OutlineAndReferenceCountsAreBounded) {
  std::string outline = R"({"pcb28_board": 1, "polygons": [{"outline": [)";
  for (int i = 0; i < 502; ++i) outline += std::string(i ? "," : "") + R"({"x": 1})";
  std::string error;
  EXPECT_FALSE(Load(outline + "]}]}", error));
  EXPECT_NE(error.find("polygons[0].outline: expected at most 501 outline entries, found 502"),
            std::string::npos)
      << error;
  // 501 entries (500 segments) is what the host holds.
  const std::size_t last = outline.rfind(R"(,{"x": 1})");
  EXPECT_TRUE(Load(outline.substr(0, last) + "]}]}", error)) << error;
  EXPECT_EQ(Only<standin::Polygon>(Kind::Polygon).outline.size(), 501u);
}

// The reference's example is a board file the reader takes.
TEST_F(BoardFileTest, TheDocumentedExampleLoads) {
  const std::string doc = testsupport::ReadFile(PCB28_TEST_DATA "/../../docs/board-file.md");
  const std::size_t start = doc.find("```json", doc.find("## Example"));
  ASSERT_NE(start, std::string::npos);
  const std::size_t body = doc.find('\n', start) + 1;
  const std::string example = doc.substr(body, doc.find("```", body) - body);
  std::string error;
  ASSERT_TRUE(Load(example, error)) << error;
  const ObjectHandle r1 = TheServer().FindComponent("R1");
  ASSERT_NE(r1, 0u);
  EXPECT_EQ(Walk(r1, Kind::Pad).size(), 2u);
  EXPECT_EQ(TheServer().CurrentBoard()->layers[kInternalPlane1].planeNet, "GND");
}

TEST_F(BoardFileTest, MissingFileIsNamed) {
  std::string error;
  ASSERT_TRUE(Load(R"({"pcb28_board": 1})", error)) << error;
  EXPECT_FALSE(boardfile::LoadBoardFile("/nonexistent/board.json", error));
  EXPECT_EQ(error, "/nonexistent/board.json: cannot open the board file");
  EXPECT_EQ(TheServer().CurrentBoardHandle(), 0u);
}

}  // namespace
