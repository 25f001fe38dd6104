// The board-file reader against itself: the same board whatever the order
// of the keys and whatever the form of the values, and on a bad file the
// fault's place and reason with nothing left in the server.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

#include "boardfile/BoardFile.h"
#include "server/StandInBoard.h"
#include "support/ModelSnapshot.h"
#include "support/TestSupport.h"

namespace {

using standin::TheServer;

// Loads both texts; true when both are taken and build the same model and
// the same export.
void ExpectSameBoard(const std::string& text, const std::string& same, const std::string& what) {
  std::string error;
  ASSERT_TRUE(boardfile::LoadBoardText(same, what, error)) << error;
  const modelsnapshot::Snapshot expected = modelsnapshot::Take();
  const std::vector<std::string> expectedExport = testsupport::ExportLines();
  ASSERT_TRUE(boardfile::LoadBoardText(text, what, error)) << error;
  EXPECT_TRUE(modelsnapshot::Take() == expected) << what;
  EXPECT_EQ(testsupport::ExportLines(), expectedExport) << what;
}

// The same document with every object's keys in sorted order.
std::string Sorted(const std::string& text) { return nlohmann::json::parse(text).dump(1); }

class BoardReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TheServer().Reset();
    testsupport::BindPluginToServer();
  }
  void TearDown() override { TheServer().Reset(); }
};

TEST_F(BoardReadersTest, KeyOrderDoesNotChangeTheExampleAndTestBoards) {
  for (const char* file : {PCB28_TEST_DATA "/boardfile-good.json",
                           PCB28_TEST_DATA "/scenarios/components-polygons.json",
                           PCB28_TEST_DATA "/scenarios/four-layer-stack.json",
                           PCB28_TEST_DATA "/../../examples/example.json",
                           PCB28_TEST_DATA "/../../examples/example-4layer.json"}) {
    const std::string text = testsupport::ReadFile(file);
    ExpectSameBoard(text, Sorted(text), file);
  }
}

// The reader meets keys in the file's order; the board must not depend on
// it (a reference before the net it names, a pad's "top" before its
// "size", a designator string before the component's position, rule values
// before the rule's kind, members before the component's values).
TEST_F(BoardReadersTest, KeyOrderDoesNotChangeTheBoard) {
  const std::string text = R"({
    "tracks": [{"net": "GND", "polygon": 7, "x": "1mil", "width": 100}],
    "rules": [{"values": [1, "2mil", 3, 4, 5], "kind": "PlaneConnect",
               "scope": {"component": "U1"}},
              {"scope": {"net": "GND"}, "values": ["3mil"]}],
    "components": [{"pads": [{"top": {"x_size": 5}, "size": {"x_size": 9, "shape": 1},
                              "name": "1", "net": "GND", "layer_stack": {"MidLayer1": {"x_size": 3},
                              "TopLayer": {"shape": 2}}}],
                    "designator": "U1", "comment": {"text": "10k"}, "x": 100, "y": -200,
                    "texts": [{"text": "a"}], "tracks": [{"x": 1}]}],
    "board_outlines": [{"id": "7", "outline": [{"kind": 0, "arc": {"cx": 1}}, {"arc": {}}]}],
    "layers": {"InternalPlane1": {"net": "GND"}, "MidLayer1": {"name": "Signal 1"}},
    "stack": ["TopLayer", "MidLayer1", "InternalPlane1", "BottomLayer"],
    "nets": [{"name": "VCC"}, {"name": "GND", "value": 4294967295}],
    "pcb28_board": 1})";
  ExpectSameBoard(text, Sorted(text), "reordered");
}

// Values at the edges of what each width takes, in every form the reader
// accepts, against the same values written plainly.
TEST_F(BoardReadersTest, EdgeValuesGiveTheirPlainValues) {
  ExpectSameBoard(R"({"pcb28_board": 1,
    "vias": [{"x": -2147483648, "y": 2147483647, "tag": true, "bitfield2": false,
              "flags": 65535, "low_layer": "1", "high_layer": 82, "size": "-0.0000127mm"}],
    "arcs": [{"start_angle": -0, "end_angle": -0.0, "radius": "1.00005mil", "layer": 0}],
    "fills": [{"rotation": 18446744073709551615, "x": "+3mil", "y": ".5mm"}],
    "texts": [{"text": "caf\u00e9 \u00ff", "rotation": 1e300, "text_flag": 1}],
    "board": {"layer_info": {"1": 5, "BottomLayer": -7}, "plot_layers": [true, 0, 255]}})",
                  R"({"pcb28_board": 1,
    "vias": [{"x": -2147483648, "y": 2147483647, "tag": 1, "bitfield2": 0,
              "flags": 65535, "low_layer": "TopLayer", "high_layer": "ViaHoleLayer", "size": -5}],
    "arcs": [{"start_angle": 0, "end_angle": 0, "radius": 10001, "layer": "NoLayer"}],
    "fills": [{"rotation": 1.8446744073709552e19, "x": 30000, "y": 196850}],
    "texts": [{"text": "café ÿ", "rotation": 1e300, "text_flag": 1}],
    "board": {"layer_info": {"TopLayer": 5, "32": -7}, "plot_layers": [1, 0, 255]}})",
                  "edges");
}

// A ring is the closed chain of tracks through its points, each with the
// object's other values, in the order of its edges.
TEST_F(BoardReadersTest, ARingIsTheTracksAroundItsPoints) {
  ExpectSameBoard(R"({"pcb28_board": 1, "nets": [{"name": "GND"}], "tracks": [{"x": 5},
    {"ring": [0, 0, "1mil", 0, 10000, 10000], "width": 7, "net": "GND", "layer": "BottomLayer"}],
    "components": [{"tracks": [{"ring": [1, 2, 3, 4]}]}]})",
                  R"({"pcb28_board": 1, "nets": [{"name": "GND"}], "tracks": [{"x": 5},
    {"x": 0, "y": 0, "x2": 10000, "y2": 0, "width": 7, "net": "GND", "layer": "BottomLayer"},
    {"x": 10000, "y": 0, "x2": 10000, "y2": 10000, "width": 7, "net": "GND", "layer": "BottomLayer"},
    {"x": 10000, "y": 10000, "x2": 0, "y2": 0, "width": 7, "net": "GND", "layer": "BottomLayer"}],
    "components": [{"tracks": [{"x": 1, "y": 2, "x2": 3, "y2": 4}, {"x": 3, "y": 4, "x2": 1, "y2": 2}]}]})",
                  "ring");
}

// Each file has one fault, or several; it is refused with the first fault's
// place and reason, and the server is left empty.
TEST_F(BoardReadersTest, RefusedFilesNameTheFaultAndLeaveTheServerEmpty) {
  const std::pair<std::string, std::string> bad[] = {
      {R"({"pcb28_board": 1, "nets": [{"name": "A"}], "tracks": [{"net": "B"}]})",
       "tracks[0].net: no net named 'B' in 'nets'"},
      {R"({"pcb28_board": 1, "tracks": [{"widht": 1}], "vias": [{"size": true}]})",
       "tracks[0]: unknown key 'widht' at tracks[0] (did you mean 'width'?)"},
      {R"({"pcb28_board": 1, "pads": [{"x": 1.0}]})",
       "pads[0].x: expected host units (an integer) or a length such as \"12.5mil\" or "
       "\"0.25mm\", found the number 1.0"},
      {R"({"pcb28_board": 1, "tracks": [{"x": 99999999999999999999}]})",
       "tracks[0].x: expected host units (an integer) or a length such as \"12.5mil\" or "
       "\"0.25mm\", found the number 1e+20"},
      {R"({"pcb28_board": 1, "tracks": [{"tag": 1e19}]})",
       "tracks[0].tag: value 1e+19 out of range: expected an integer 0 to 255"},
      {R"({"pcb28_board": 1, "tracks": [{"tag": 2.5}]})",
       "tracks[0].tag: expected an integer 0 to 255, found the number 2.5"},
      {R"({"pcb28_board": 1, "fills": [{"polygon": 1.5}]})",
       "fills[0].polygon: expected a polygon id (a non-empty string or an integer), found the "
       "number 1.5"},
      {R"({"pcb28_board": 1, "vias": [{"low_layer": -1}]})",
       "vias[0].low_layer: layer code -1 out of range"},
      {R"({"pcb28_board": 1, "stack": ["TopLayer", "1"]})",
       "stack[1]: layer TopLayer is listed twice in the stack"},
      {R"({"pcb28_board": 1, "layers": {"TopLayer": {}, "TopLayer": {}}})",
       "layers: key 'TopLayer' given twice"},
      {R"({"pcb28_board": 1.0})", "pcb28_board: unsupported format version the number 1.0"},
      // The place names a key the parser unescaped.
      {R"({"pcb28_board": 1, "layers": {"Mid\u004cayer2": {"net": "GND"}}})",
       "layers.MidLayer2.net: only the layers InternalPlane1 to InternalPlane16 have a net"},
      {R"({"pcb28_board": 1} {})", "b.json: line 1, column 20: syntax error"},
      {R"({"pcb28_board": 01})", "b.json: line 1, column 18: syntax error"},
      {"{\"pcb28_board\": 1,\n \"tracks\": [{\"x\": 1,}]}",
       "b.json: line 2, column 21: syntax error"},
      {"[1, 2]", "b.json: top level: expected a board file (a JSON object), found a list"},
      {" -7e0 ", "b.json: top level: expected a board file (a JSON object), found the number -7.0"},
      {R"({"pcb28_board": 1, "tracks": [{"ring": [0, 0, 1]}]})",
       "tracks[0].ring: a ring is a list of x, y of at least two points; this one has 3 "
       "coordinates"},
      {R"({"pcb28_board": 1, "tracks": [{"ring": [0, 0, 1, 1], "x2": 5}]})",
       "tracks[0]: a track has a 'ring' or its ends, not both"},
  };
  for (const auto& [text, message] : bad) {
    std::string error;
    ASSERT_TRUE(boardfile::LoadBoardText(R"({"pcb28_board": 1})", "good.json", error)) << error;
    EXPECT_FALSE(boardfile::LoadBoardText(text, "b.json", error)) << text;
    EXPECT_NE(error.find(message), std::string::npos)
        << "got:      " << error << "\nexpected: " << message;
    EXPECT_EQ(TheServer().CurrentBoard(), nullptr) << text;
  }
}

// Good files in rarer forms: a byte-order mark, keys written with escapes, a
// layer keyed by name and by code (the later value holds).
TEST_F(BoardReadersTest, RareGoodFilesLoad) {
  for (const std::string text :
       {"\xEF\xBB\xBF{\"pcb28_board\": 1, \"nets\": [{\"name\": \"A\"}]}",
        R"({"pcb28_board": 1, "n\u0065ts": [{"n\u0061me": "A"}], "tr\u0061cks": [{"net": "A"}],
            "components": [{"designator": "U1", "p\u0061ds": [{"net": "A"}]}],
            "rules": [{"kind": "Width", "v\u0061lues": [1, 2]}]})",
        R"({"pcb28_board": 1, "nets": [{"name": "A"}],
            "layers": {"1": {"name": "x"}, "TopLayer": {"name": "Top"}}})"}) {
    std::string error;
    ASSERT_TRUE(boardfile::LoadBoardText(text, "b.json", error)) << error;
    EXPECT_NE(TheServer().FindNet("A"), 0u) << text;
  }
  EXPECT_EQ(TheServer().CurrentBoard()->layers[kTopLayer].name, "Top");
}

// Reading in place lends the string's spare room to the parser and gives
// the text back unchanged, whether the file is taken or refused.
TEST_F(BoardReadersTest, ReadingInPlaceGivesTheTextBack) {
  const std::pair<std::string, bool> cases[] = {
      {R"({"pcb28_board": 1, "nets": [{"name": "A"}]})", true},
      {R"({"pcb28_board": 1, "nets": [{"name": ""}]})", false}};
  for (const auto& [original, good] : cases) {
    std::string text = original, error;
    text.reserve(text.size() + boardfile::kBoardTextPadding);
    EXPECT_EQ(boardfile::LoadBoardInPlace(text, "b.json", error), good) << error;
    EXPECT_EQ(text, original);
  }
}

}  // namespace
