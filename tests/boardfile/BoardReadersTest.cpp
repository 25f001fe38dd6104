// The streaming board-file reader against the exact one: the same boards
// from the same files, whatever the order of their keys, and on a bad file
// the exact reader's message with nothing left in the server.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "boardfile/BoardFile.h"
#include "boardfile/ExactReader.h"
#include "server/StandInBoard.h"
#include "support/ModelSnapshot.h"
#include "support/TestSupport.h"

#if PCB28_FAST_BOARDFILE
#include "boardfile/FastReader.h"

namespace {

using standin::TheServer;

bool Fast(const std::string& text) {
  std::string padded = text;
  padded.append(boardfile::kBoardTextPadding, '\0');
  return boardfile::LoadFast(std::string_view(padded.data(), text.size()), padded.size());
}

// Loads the text with both readers; true when both take it and build the
// same model.
void ExpectSameBoard(const std::string& text, const std::string& what) {
  std::string error;
  ASSERT_TRUE(boardfile::LoadBoardExact(text, what, error)) << error;
  const modelsnapshot::Snapshot exact = modelsnapshot::Take();
  const std::vector<std::string> exactExport = testsupport::ExportLines();
  ASSERT_TRUE(Fast(text)) << what;
  EXPECT_TRUE(modelsnapshot::Take() == exact) << what;
  EXPECT_EQ(testsupport::ExportLines(), exactExport) << what;
}

class BoardReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TheServer().Reset();
    testsupport::BindPluginToServer();
  }
  void TearDown() override { TheServer().Reset(); }
};

TEST_F(BoardReadersTest, ExampleAndTestBoardsGiveTheSameModelAndExport) {
  for (const char* file : {PCB28_TEST_DATA "/boardfile-good.json",
                           PCB28_TEST_DATA "/scenarios/components-polygons.json",
                           PCB28_TEST_DATA "/scenarios/four-layer-stack.json",
                           PCB28_TEST_DATA "/../../examples/example.json",
                           PCB28_TEST_DATA "/../../examples/example-4layer.json"}) {
    ExpectSameBoard(testsupport::ReadFile(file), file);
  }
}

// The streaming reader meets keys in the file's order; the board must not
// depend on it (a reference before the net it names, a pad's "top" before
// its "size", a designator string before the component's position, rule
// values before the rule's kind, members before the component's values).
TEST_F(BoardReadersTest, KeyOrderDoesNotChangeTheBoard) {
  ExpectSameBoard(R"({
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
    "pcb28_board": 1})",
                  "reordered");
}

// Values at the edges of what each width takes, in every form the exact
// reader accepts.
TEST_F(BoardReadersTest, EdgeValuesGiveTheSameBoard) {
  ExpectSameBoard(R"({"pcb28_board": 1,
    "vias": [{"x": -2147483648, "y": 2147483647, "tag": true, "bitfield2": false,
              "flags": 65535, "low_layer": "1", "high_layer": 82, "size": "-0.0000127mm"}],
    "arcs": [{"start_angle": -0, "end_angle": -0.0, "radius": "1.00005mil", "layer": 0}],
    "fills": [{"rotation": 18446744073709551615, "x": "+3mil", "y": ".5mm"}],
    "texts": [{"text": "caf\u00e9 \u00ff", "rotation": 1e300, "text_flag": 1}],
    "board": {"layer_info": {"1": 5, "BottomLayer": -7}, "plot_layers": [true, 0, 255]}})",
                  "edges");
}

// Each file has one fault, or several; the streaming reader refuses it and
// leaves the server empty, and the message is the exact reader's.
TEST_F(BoardReadersTest, RefusedFilesGetTheExactMessageAndAnEmptyServer) {
  const std::vector<std::string> bad = {
      R"({"pcb28_board": 1, "nets": [{"name": "A"}], "tracks": [{"net": "B"}]})",
      R"({"pcb28_board": 1, "tracks": [{"x": 1, "x": 2}]})",
      R"({"pcb28_board": 1, "tracks": [{"widht": 1}], "vias": [{"size": true}]})",
      R"({"pcb28_board": 1, "pads": [{"tag": 256}]})",
      R"({"pcb28_board": 1, "pads": [{"x": 1.0}]})",
      R"({"pcb28_board": 1, "texts": [{"text": "\u0100"}]})",
      R"({"pcb28_board": 1, "rules": [{"kind": "Width", "values": [1, 2, 3]}]})",
      R"({"pcb28_board": 1, "rules": [{"scope": {"component": "U9"}}]})",
      R"({"pcb28_board": 1, "polygons": [{"id": 7}], "board_outlines": [{"id": "7"}]})",
      R"({"pcb28_board": 1, "stack": ["TopLayer", "1"]})",
      R"({"pcb28_board": 1, "layers": {"MidLayer1": {"net": "GND"}}})",
      R"({"pcb28_board": 1, "dimensions": [{"references": [[1, 2, 3]]}]})",
      R"({"pcb28_board": 1, "tracks": [{"x": 99999999999999999999}]})",
      R"({"pcb28_board": 1.0})",
      R"({"pcb28_board": 1} {})",
      "{\"pcb28_board\": 1,\n \"tracks\": [{\"x\": 1,}]}",
      R"({"tracks": []})",
  };
  for (const std::string& text : bad) {
    std::string expected, got;
    EXPECT_FALSE(boardfile::LoadBoardExact(text, "b.json", expected)) << text;
    ASSERT_TRUE(boardfile::LoadBoardText(R"({"pcb28_board": 1})", "good.json", got)) << got;
    EXPECT_FALSE(Fast(text)) << text;
    EXPECT_EQ(TheServer().CurrentBoard(), nullptr) << text;
    EXPECT_FALSE(boardfile::LoadBoardText(text, "b.json", got)) << text;
    EXPECT_EQ(got, expected);
    EXPECT_EQ(TheServer().CurrentBoard(), nullptr) << text;
  }
}

// The few good files the streaming reader leaves to the exact one still load.
TEST_F(BoardReadersTest, OddGoodFilesLoadThroughTheExactReader) {
  for (const std::string text :
       {"\xEF\xBB\xBF{\"pcb28_board\": 1, \"nets\": [{\"name\": \"A\"}]}",
        R"({"pcb28_board": 1, "n\u0065ts": [{"name": "A"}]})",
        R"({"pcb28_board": 1, "nets": [{"name": "A"}], "layers": {"1": {}, "TopLayer": {}}})"}) {
    EXPECT_FALSE(Fast(text)) << text;
    std::string error;
    ASSERT_TRUE(boardfile::LoadBoardText(text, "b.json", error)) << error;
    EXPECT_NE(TheServer().FindNet("A"), 0u) << text;
  }
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

#endif  // PCB28_FAST_BOARDFILE
