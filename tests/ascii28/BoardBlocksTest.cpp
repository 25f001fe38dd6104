// The counts line, the DEFAULTS block and the OPTIONS block with the
// clearance found by the rule pass.
#include <string>
#include <vector>

#include "ascii28/BoardBlocks.h"
#include "support/WriterFixture.h"

namespace writer_test {
namespace {

class BoardBlocksTest : public WriterTest {
 protected:
  std::vector<std::string> CountsLine() {
    for (auto& count : ascii28::Run.ObjectCounts) count = 0;
    return Capture(&ascii28::WriteCountsLine);
  }
  std::string ClearanceLine() {
    const std::vector<std::string> lines = Capture(&ascii28::WriteOptionsBlock);
    return lines.size() == 120 ? lines[108] : "(" + std::to_string(lines.size()) + " lines)";
  }
  std::string BoardWithRules(const std::string& rules) {
    return R"({"pcb28_board": 1, "rules": [)" + rules + "]}";
  }
};

TEST_F(BoardBlocksTest, CountsLineOfOneNetWithThreePads) {
  Load(R"({"pcb28_board": 1, "nets": [{"name": "N"}],
           "pads": [{"name": "1", "net": "N"}, {"name": "2", "net": "N"}, {"name": "3", "net": "N"}]})");
  ExpectLines(CountsLine(), {"0 0 3 1 0 0 0 0 3 0"});
}

TEST_F(BoardBlocksTest, CountsLineCountsFreeObjectsAndComponentMembers) {
  Load(R"({"pcb28_board": 1,
    "nets": [{"name": "A"}, {"name": "B"}, {"name": "C"}],
    "components": [
      {"designator": "U1", "pads": [{"name": "1", "net": "A"}, {"name": "2", "net": "A"}],
       "tracks": [{"x2": 100}]},
      {"pads": [{"name": "1"}], "vias": [{}]}],
    "tracks": [{}, {}], "arcs": [{}], "vias": [{}], "fills": [{}, {}, {}],
    "texts": [{"text": "T"}], "pads": [{"name": "P", "net": "B"}],
    "from_tos": [{}, {}]})");
  // from-tos, tracks, net pads, nets, arcs, vias, components, fills, pads,
  // texts (the designator of U1 is a text)
  ExpectLines(CountsLine(), {"2 3 3 3 1 2 2 3 4 2"});
  EXPECT_EQ(ascii28::Run.ObjectCounts[ascii28::kCountNetPads], 3);
}

TEST_F(BoardBlocksTest, CountsLineWithoutIteratorsIsTenZeros) {
  Hide("PcbApi_GetFirstObject");
  Load(R"({"pcb28_board": 1, "nets": [{"name": "N"}], "tracks": [{}],
           "pads": [{"name": "1", "net": "N"}]})");
  ExpectLines(CountsLine(), {"0 0 0 0 0 0 0 0 0 0"});
}

TEST_F(BoardBlocksTest, DefaultsBlock) {
  Load(R"({"pcb28_board": 1,
    "board": {"info": [0, "", 0, 11, -22, 33, 44, 0], "layer": "MidLayer20",
              "grids": [0, 250, 6, 7, 200000, -0.5, 12.5, 0, 0, 0, 0, 0, 1234.5, 0]},
    "layers": {"TopLayer": {"status": [9, 1, 8]}, "MidLayer14": {"status": [0, 255, 0]},
               "MidLayer20": {"status": [0, 7, 0]}, "BottomLayer": {"status": [0, 2, 0]},
               "TopOverlay": {"status": [0, 3, 0]}, "InternalPlane4": {"status": [0, 4, 0]},
               "InternalPlane5": {"status": [0, 5, 0]}, "Mechanical4": {"status": [0, 6, 0]},
               "Mechanical5": {"status": [0, 9, 0]}, "ViaHoleLayer": {"status": [0, 8, 0]}}})");
  ExpectLines(Capture(&ascii28::WriteDefaultsBlock),
              {
                  "DEFAULTS",
                  "11 -22",
                  "33 44",
                  "1",
                  "250 6 7",
                  " 2.00000000000000E+0005 -5.00000000000000E-0001  1.23450000000000E+0003 "
                  " 1.25000000000000E+0001",
                  "1 0",
                  "1",  // file layer 1, TopLayer
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "255",  // 15, MidLayer14
                  "2",    // 16, BottomLayer
                  "3",    // 17, TopOverlay
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "4",  // 26, InternalPlane4
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "6",  // 32, Mechanical4
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "0",
                  "8",  // 42, ViaHoleLayer
                  "0  ",
              });
}

TEST_F(BoardBlocksTest, OptionsBlockWithoutRules) {
  Load(R"({"pcb28_board": 1})");
  ascii28::Run.BoardClearance = 7;
  const std::string reals16 =
      "200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 "
      "200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 200000.000";
  ExpectLines(
      Capture(&ascii28::WriteOptionsBlock),
      {
          "OPTIONS",
          "300000 500000 0 1 0 0 0 1 0",
          "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
          "0 0 0 0 0 0 0 ",
          "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
          "0 0 0 0 0 0 0 ",
          "",
          "",
          "",
          "0 1 0 0 0 0 0 1.000 1.000 1.000",
          "1 1 0 1 1 1 1 1",
          "32 32 32",
          "6 6 6",
          "12 12 12",
          "18 18 18",
          "24 24 24",
          "30 30 30",
          "36 36 36",
          "42 42 42",
          "48 48 48",
          "54 54 54",
          "60 60 60",
          "66 66 66",
          "72 72 72",
          "78 78 78",
          "84 84 84",
          "64 64 64",
          "192 192 192",
          "102 102 102",
          "108 108 108",
          "114 114 114",
          "120 120 120",
          "126 126 126",
          "132 132 132",
          "138 138 138",
          "144 144 144",
          "150 150 150",
          "156 156 156",
          "162 162 162",
          "168 168 168",
          "174 174 174",
          "180 180 180",
          "186 186 186",
          "192 192 192",
          "0 0 0",
          "255 255 255",
          "210 210 210",
          "216 216 216",
          "222 222 222",
          "228 228 228",
          "234 234 234",
          "240 240 240",
          "246 246 246",
          "255 0 0",  // 52
          "128 0 0",
          "0 128 0",
          "0 255 0",
          "0 0 128",
          "0 255 255",
          "128 0 128",
          "255 0 255",
          "128 128 0",
          "255 255 0",
          "128 128 128",
          "255 255 255",
          "128 0 128",
          "0 128 128",
          "192 192 192",  // 66
          "0 0 255",
          "255 255 0",
          "128 128 0",
          "128 128 128",
          "128 0 0",
          "128 0 128",
          "255 0 255",
          "0 128 0",
          "128 0 0",
          "128 0 128",
          "0 128 128",
          "128 0 0",
          "255 0 255",
          "255 0 255",  // 80
          "128 0 128",
          "0 128 0",
          "128 128 0",
          "255 0 42",
          "192 192 192",
          "0 0 0",
          "0 128 128",
          "0 255 0",
          "255 255 255",
          "128 128 0",
          "0 128 128",
          "0 0 128",
          "128 0 0",  // 93
          "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 0 1 1 1 1 1 1 ",
          "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 1 1 1 1 1 1 ",
          "4.000 1.000 1.000 0 0 0 0 0 1 0",
          "60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 ",
          "0 0 0 0 1 0 50 50 200000000 160000000 10000000 3 1 2500000 1",
          "",
          "100000 500000 220000 1000000 0 1 5 5 200000.000",
          "0 0 1 0 1 1 0 0 0 ",
          "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2 ",
          "0 0 0 0 0",
          "KDX.LOG",
          "KDX.PCB",
          "200000 500000 200000 1 0 1 0",
          "",
          "",
          "50000 50000 50000 50000 50000 50000",  // 109
          "1 1 1 1 1 1 1 1 1 1 1 1 1 1",
          "50000 10000 1 0 1 1 1 0 0 0 1",
          "0 0 0 0 ",
          "0 0 0 0 ",
          "0 0 0  2.00000000000000E+0005  2.00000000000000E+0005 0 0 0 0 0 0 25 4 0",
          "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ",
          "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ",
          "0 0 0 0 0 0 0",
          reals16,
          reals16,
          "200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 200000.000 "
          "0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 4 0",
      });
  EXPECT_EQ(ascii28::Run.BoardClearance, 100000);
}

TEST_F(BoardBlocksTest, ClearanceIsHalvedTowardZero) {
  Load(BoardWithRules(R"({"kind": "Clearance", "values": [12345]})"));
  EXPECT_EQ(ClearanceLine(), "6172 6172 6172 6172 6172 6172");
  Load(BoardWithRules(R"({"kind": "Clearance", "values": [-12345]})"));
  EXPECT_EQ(ClearanceLine(), "-6172 -6172 -6172 -6172 -6172 -6172");
}

TEST_F(BoardBlocksTest, LastClearanceRuleMetLayerByLayerDecides) {
  // Layer 1 meets the second rule, layer 32 the first.
  Load(BoardWithRules(R"({"kind": "Clearance", "values": [30000], "layers": ["BottomLayer"]},
                         {"kind": "Clearance", "values": [40000], "layers": ["TopLayer"]})"));
  EXPECT_EQ(ClearanceLine(), "15000 15000 15000 15000 15000 15000");
  // A rule on two layers is met twice: layers 1, 2, 32 meet X, Y, X.
  Load(BoardWithRules(
      R"({"kind": "Clearance", "values": [10000], "layers": ["TopLayer", "BottomLayer"]},
         {"kind": "Clearance", "values": [20000], "layers": ["MidLayer1"]})"));
  EXPECT_EQ(ascii28::FindBoardClearance(), 10000);
  EXPECT_EQ(ascii28::Run.BoardClearance, 10000);
}

TEST_F(BoardBlocksTest, OnlyClearanceRulesWithRuleBytes3And4ClearAreAsked) {
  Load(BoardWithRules(R"(
    {"kind": "Clearance", "values": [20000], "layers": ["TopLayer"], "bytes": [5, 6, 0, 0, 7, 8, 9, 10]},
    {"kind": "Clearance", "values": [90000], "layers": ["MidLayer1"], "bytes": [0, 0, 1, 0, 0, 0, 0, 0]},
    {"kind": "Clearance", "values": [70000], "layers": ["MidLayer2"], "bytes": [0, 0, 0, 1, 0, 0, 0, 0]},
    {"kind": "Width", "values": [50000, 10000], "layers": ["MidLayer3"]})"));
  standin::TheServer().SetRecording(true);
  EXPECT_EQ(ClearanceLine(), "10000 10000 10000 10000 10000 10000");
  standin::TheServer().SetRecording(false);
  int queries = 0;
  for (const standin::RecordedCall& call : standin::TheServer().Calls())
    if (call.name == "PcbApi_QueryRuleClearanceConstraint") ++queries;
  EXPECT_EQ(queries, 1);
}

TEST_F(BoardBlocksTest, AbsentClearanceQueryKeepsTheDefault) {
  Hide("PcbApi_QueryRuleClearanceConstraint");
  Load(BoardWithRules(R"({"kind": "Clearance", "values": [12345]})"));
  EXPECT_EQ(ClearanceLine(), "50000 50000 50000 50000 50000 50000");
}

}  // namespace
}  // namespace writer_test
