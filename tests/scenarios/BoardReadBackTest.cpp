// A four-layer board file read back through the server's entry points: what
// the file says about layers, planes, pairs, board values and grids is what
// the plug-in's board object holds after loading, and what the DEFAULTS
// block of an export writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/PcbBoard.h"
#include "boardfile/BoardFile.h"
#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace {

const std::string kStackFile = PCB28_TEST_DATA "/scenarios/four-layer-stack.json";

class BoardReadBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::TheServer().Reset();
    testsupport::LoadBoard(testsupport::ReadFile(kStackFile));
  }
  void TearDown() override {
    PCBProcs::UnbindEntryPoints();
    standin::TheServer().Reset();
  }

  static std::string Name(const TPcbBoard& board, int code) {
    return std::string(board.LayerAt(code)->Name.View());
  }
};

TEST_F(BoardReadBackTest, LayersPlanesAndStackChainAreThoseOfTheFile) {
  ASSERT_FALSE(HasFatalFailure());
  testsupport::BindPluginToServer();
  TPcbBoard board(PCBProcs::PcbApi_GetCurrentBoardHandle());
  board.Load(kQueryGet);

  // Names given in the file, and host names for the layers it leaves alone.
  EXPECT_EQ(Name(board, 1), "Component side");
  EXPECT_EQ(Name(board, 39), "GND plane");
  EXPECT_EQ(Name(board, 40), "InternalPlane2");
  EXPECT_EQ(Name(board, 32), "Solder side");
  EXPECT_EQ(Name(board, 2), "MidLayer1");
  EXPECT_EQ(Name(board, 57), "Mechanical1");

  // TopLayer (1) -> InternalPlane1 (39) -> InternalPlane2 (40) -> BottomLayer (32).
  const struct {
    int code, prev, next;
  } chain[] = {{1, 0, 39}, {39, 1, 40}, {40, 39, 32}, {32, 40, 0}, {2, 0, 0}, {41, 0, 0}};
  for (const auto& c : chain) {
    EXPECT_EQ(board.LayerAt(c.code)->PrevLayer, c.prev) << "layer " << c.code;
    EXPECT_EQ(board.LayerAt(c.code)->NextLayer, c.next) << "layer " << c.code;
  }
  ASSERT_NE(board.FirstLayer(), nullptr);
  EXPECT_EQ(board.FirstLayer()->LayerCode, 1);

  // status [Status1, Status2, Status3]
  EXPECT_EQ(board.LayerAt(1)->Status1, 1);
  EXPECT_EQ(board.LayerAt(1)->Status2, 5);
  EXPECT_EQ(board.LayerAt(1)->Status3, 3);
  EXPECT_EQ(board.LayerStatus2(39), 6);
  EXPECT_EQ(board.LayerStatus2(40), 7);
  EXPECT_EQ(board.LayerStatus2(32), 8);
  EXPECT_EQ(board.LayerStatus2(57), 250);
  EXPECT_EQ(board.LayerStatus2(2), 0);

  // "1.4mil" and "0.7mil" at 10000 units to the mil; 14000 when not given.
  EXPECT_EQ(board.LayerAt(1)->CopperThickness, 14000);
  EXPECT_EQ(board.LayerAt(39)->CopperThickness, 7000);
  EXPECT_EQ(board.LayerAt(40)->CopperThickness, 7000);
  EXPECT_EQ(board.LayerAt(32)->CopperThickness, 21000);
  EXPECT_EQ(board.LayerAt(2)->CopperThickness, 14000);

  // Dielectrics: given ones, and FR-4, 1, 4.8, 126000 elsewhere.
  const TLayerObject& top = *board.LayerAt(1);
  EXPECT_EQ(top.DielectricMaterial.View(), "Prepreg 2116");
  EXPECT_EQ(top.DielectricType, 2);
  EXPECT_DOUBLE_EQ(top.DielectricConstant, 4.2);
  EXPECT_EQ(top.DielectricHeight, 50000);
  const TLayerObject& plane1 = *board.LayerAt(39);
  EXPECT_EQ(plane1.DielectricMaterial.View(), "Core");
  EXPECT_EQ(plane1.DielectricType, 0);
  EXPECT_DOUBLE_EQ(plane1.DielectricConstant, 4.5);
  EXPECT_EQ(plane1.DielectricHeight, 400000);
  const TLayerObject& bottom = *board.LayerAt(32);
  EXPECT_EQ(bottom.DielectricMaterial.View(), "FR-4");
  EXPECT_EQ(bottom.DielectricType, 1);
  EXPECT_DOUBLE_EQ(bottom.DielectricConstant, 4.8);
  EXPECT_EQ(bottom.DielectricHeight, 126000);

  EXPECT_EQ(board.ExternalDielectric1.Material.View(), "Solder mask");
  EXPECT_EQ(board.ExternalDielectric1.Type, 3);
  EXPECT_DOUBLE_EQ(board.ExternalDielectric1.Constant, 3.5);
  EXPECT_EQ(board.ExternalDielectric1.Height, 4000);
  EXPECT_EQ(board.ExternalDielectric2.Material.View(), "Coverlay");
  EXPECT_EQ(board.ExternalDielectric2.Type, 4);
  EXPECT_DOUBLE_EQ(board.ExternalDielectric2.Constant, 3.2);
  EXPECT_EQ(board.ExternalDielectric2.Height, 5000);

  // Planes 1 to 3 carry nets; plane 4 has none.
  EXPECT_EQ(board.PlaneNetName(1), "GND");
  EXPECT_EQ(board.PlaneNetName(2), "VCC");
  EXPECT_EQ(board.PlaneNetName(3), "AGND");
  EXPECT_EQ(board.PlaneNetName(4), "(No Net)");
}

TEST_F(BoardReadBackTest, PairsAreNamedHigherLayerFirstFromTheLoadedNames) {
  ASSERT_FALSE(HasFatalFailure());
  testsupport::BindPluginToServer();
  TPcbBoard board(PCBProcs::PcbApi_GetCurrentBoardHandle());
  board.Load(kQueryGet);

  ASSERT_EQ(board.LayerPairs.size(), 2u);
  // TopLayer (position 1) over BottomLayer (position 4): low first.
  EXPECT_EQ(board.LayerPairs[0].Name.View(), "Component side - Solder side");
  EXPECT_EQ(board.LayerPairs[0].LowLayer, 1);
  EXPECT_EQ(board.LayerPairs[0].HighLayer, 32);
  EXPECT_EQ(board.LayerPairs[0].PairValue1, 1);
  EXPECT_EQ(board.LayerPairs[0].PairValue2, 2);
  // Low InternalPlane2 (position 3) lies below high InternalPlane1
  // (position 2): the high layer's name comes first.
  EXPECT_EQ(board.LayerPairs[1].Name.View(), "GND plane - InternalPlane2");
  EXPECT_EQ(board.LayerPairs[1].LowLayer, 40);
  EXPECT_EQ(board.LayerPairs[1].HighLayer, 39);
  EXPECT_EQ(board.LayerPairs[1].PairValue1, 3);
  EXPECT_EQ(board.LayerPairs[1].PairValue2, 4);
}

TEST_F(BoardReadBackTest, BoardValuesAndGridsAreThoseOfTheFile) {
  ASSERT_FALSE(HasFatalFailure());
  testsupport::BindPluginToServer();
  TPcbBoard board(PCBProcs::PcbApi_GetCurrentBoardHandle());
  board.Load(kQueryGet);

  EXPECT_EQ(board.BoardInfo1, 7);
  EXPECT_EQ(board.BoardInfo2.View(), "Main board");
  EXPECT_EQ(board.BoardInfo3, 3);
  EXPECT_EQ(board.BoardInfo4, 100000);
  EXPECT_EQ(board.BoardInfo5, 200000);
  EXPECT_EQ(board.BoardInfo6, 300000);
  EXPECT_EQ(board.BoardInfo7, 400000);
  EXPECT_EQ(board.BoardInfo8, 9);
  EXPECT_EQ(board.BoardInfo10, 11);
  EXPECT_EQ(board.BoardLayer, 32);

  EXPECT_EQ(board.Grids.Value1, 1);
  EXPECT_EQ(board.Grids.Value2, 2);
  EXPECT_EQ(board.Grids.Value3, 3);
  EXPECT_EQ(board.Grids.Value4, 4);
  EXPECT_DOUBLE_EQ(board.Grids.Value5, 50000);
  EXPECT_DOUBLE_EQ(board.Grids.Value6, 60000);
  EXPECT_DOUBLE_EQ(board.Grids.Value7, 70000.5);
  EXPECT_DOUBLE_EQ(board.Grids.Value8, 80000);
  EXPECT_EQ(board.Grids.Value9, 9);
  EXPECT_EQ(board.Grids.Value10, 10);
  EXPECT_DOUBLE_EQ(board.Grids.Value13, 130000.25);
  EXPECT_DOUBLE_EQ(board.Grids.GridCopy7, 70000.5);
  EXPECT_DOUBLE_EQ(board.Grids.GridCopy13, 130000.25);
}

TEST_F(BoardReadBackTest, TheDefaultsBlockOfAnExportCarriesTheBoardValues) {
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> lines = testsupport::ExportLines();
  const std::size_t closing = 50 + 120 + 1;  // DEFAULTS, OPTIONS, ENDPCB
  ASSERT_GE(lines.size(), 2 + closing);
  std::vector<std::string> defaults(lines.end() - static_cast<std::ptrdiff_t>(closing),
                                    lines.end() - 121);

  std::vector<std::string> expected = {
      "DEFAULTS",
      "100000 200000",  // BoardInfo 4 and 5
      "300000 400000",  // BoardInfo 6 and 7
      "1",
      "2 3 4",  // grids 2 to 4
      // grids 5 and 6, then the copies of 13 (130000.25) and 7 (70000.5)
      " 5.00000000000000E+0004  6.00000000000000E+0004  1.30000250000000E+0005  "
      "7.00005000000000E+0004",
      "16 0",  // BoardLayer BottomLayer is file layer 16
  };
  // Status2 by file layer 1 to 42: TopLayer 5 (1), BottomLayer 8 (16),
  // InternalPlane1 6 (23), InternalPlane2 7 (24), Mechanical1 250 (29).
  const char* status2[42] = {"5", "0", "0", "0", "0", "0", "0",   "0", "0", "0", "0",
                             "0", "0", "0", "0", "8", "0", "0",   "0", "0", "0", "0",
                             "6", "7", "0", "0", "0", "0", "250", "0", "0", "0", "0",
                             "0", "0", "0", "0", "0", "0", "0",   "0", "0"};
  expected.insert(expected.end(), std::begin(status2), std::end(status2));
  expected.push_back("0  ");
  ASSERT_EQ(defaults.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(defaults[i], expected[i]) << "DEFAULTS line " << i + 1;
}

TEST_F(BoardReadBackTest, AFailedPairCountGivesNoPairsAndLeavesTheRestLoaded) {
  ASSERT_FALSE(HasFatalFailure());
  standin::TheServer().Hide("PcbApi_QueryBoardLayerPairsCount");
  testsupport::BindPluginToServer();
  TPcbBoard board(PCBProcs::PcbApi_GetCurrentBoardHandle());
  board.Load(kQueryGet);
  EXPECT_TRUE(board.LayerPairs.empty());
  EXPECT_EQ(Name(board, 1), "Component side");
  EXPECT_EQ(board.PlaneNetName(2), "VCC");
}

TEST(BoardReadBackRefusal, AStackThatListsALayerTwiceIsRefusedWhole) {
  standin::TheServer().Reset();
  std::string error;
  EXPECT_FALSE(boardfile::LoadBoardText(
      R"({"pcb28_board": 1, "stack": ["TopLayer", "InternalPlane1", "BottomLayer", "TopLayer"]})",
      "loop.json", error));
  EXPECT_NE(error.find("loop.json"), std::string::npos) << error;
  EXPECT_NE(error.find("stack"), std::string::npos) << error;
  EXPECT_EQ(standin::TheServer().CurrentBoardHandle(), 0u);
}

}  // namespace
