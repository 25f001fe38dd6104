// The three exports and the export run as the host drives them: format
// recognition, the frame of the file, file errors and the error box, the
// progress bar, numbering, and a host without a server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostapi/PCBProcs.h"
#include "plugin/Exports.h"
#include "server/StandInBoard.h"
#include "support/Platform.h"
#include "support/TestSupport.h"

using testsupport::HostString;

namespace {

std::string g_Caption;
std::string g_Text;
int g_Shown = 0;

void CaptureErrorBox(const char* caption, const char* text) {
  g_Caption = caption;
  g_Text = text;
  ++g_Shown;
}

class ExportRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::TheServer().Reset();
    testsupport::BindPluginToServer();
    previous_ = plugin::SetErrorBoxHandler(&CaptureErrorBox);
    g_Shown = 0;
    g_Caption.clear();
    g_Text.clear();
  }
  void TearDown() override {
    plugin::SetErrorBoxHandler(previous_);
    PCBProcs::UnbindEntryPoints();
    standin::TheServer().Reset();
  }

  ErrorBoxHandler previous_ = nullptr;
};

constexpr const char* kEmptyBoard = R"({"pcb28_board": 1})";

}  // namespace

TEST(Description, IsTheFixedTextAndOnlyAnExactCopyIsRecognised) {
  EXPECT_STREQ(GetPcbExporterDescription(), "Export Velmar PCB 2.8 ASCII(*.pcb)");
  EXPECT_TRUE(RecognisedPcbFormat(HostString("Export Velmar PCB 2.8 ASCII(*.pcb)").data()));
  EXPECT_FALSE(RecognisedPcbFormat(HostString("Export Velmar PCB 2.8 Ascii(*.pcb)").data()));
  EXPECT_FALSE(RecognisedPcbFormat(HostString("Export Velmar PCB 2.8 ASCII(*.pcb) ").data()));
  EXPECT_FALSE(RecognisedPcbFormat(HostString("Export Velmar PCB 2.8 ASCII(*.pcb").data()));
  EXPECT_FALSE(RecognisedPcbFormat(HostString("").data()));
  EXPECT_FALSE(RecognisedPcbFormat(nullptr));
  // The right length byte in front of other characters.
  HostString other("Export Velmar PCB 2.8 ASCII(*.pcx)");
  EXPECT_FALSE(RecognisedPcbFormat(other.data()));
}

TEST_F(ExportRunTest, AnUnrecognisedDescriptionReadsNothingAndWritesNothing) {
  testsupport::LoadBoard(kEmptyBoard);
  testsupport::BindPluginToServer();
  standin::TheServer().SetRecording(true);
  const std::string path = testsupport::TempFolder() + "/never.pcb";
  for (const char* description : {"export velmar PCB 2.8 ASCII(*.pcb)",
                                  "Export Velmar PCB 2.8 ASCII(*.pcb) ", "Export Velmar PCB"}) {
    EXPECT_FALSE(ExportFileFromPcb(HostString(path).data(), HostString(description).data()));
  }
  EXPECT_TRUE(standin::TheServer().Calls().empty());
  EXPECT_TRUE(testsupport::ReadFile(path).empty());
  EXPECT_EQ(g_Shown, 0);
}

TEST_F(ExportRunTest, AnEmptyBoardGivesTheFrameWithCrLfOnEveryLine) {
  testsupport::LoadBoard(kEmptyBoard);
  const auto lines = testsupport::ExportLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.front(), "PCB FILE 6 VERSION 2.80");
  EXPECT_EQ(lines.back(), "ENDPCB");
  EXPECT_EQ(g_Shown, 0);
  const auto& progress = standin::TheServer().Progress();
  EXPECT_EQ(progress.initCalls, 1);
  EXPECT_EQ(progress.finishCalls, 1);
  EXPECT_EQ(progress.total, 0);
}

TEST_F(ExportRunTest, AFileThatCannotBeWrittenShowsTheErrorBoxAndStillReturnsTrue) {
  testsupport::LoadBoard(kEmptyBoard);
  const std::string missing = testsupport::TempFolder() + "/no such folder/board.pcb";
  const std::string folder = testsupport::TempFolder();  // a folder is no file to write
  std::vector<std::string> paths = {missing, folder};
  if (!testsupport::FullDevice().empty()) paths.push_back(testsupport::FullDevice());
  for (const std::string& path : paths) {
    g_Shown = 0;
    EXPECT_TRUE(ExportFileFromPcb(HostString(path).data(), testsupport::Description().data()));
    EXPECT_EQ(g_Shown, 1) << path;
    EXPECT_EQ(g_Caption, "Orvane Error");
    EXPECT_EQ(g_Text, "File Error - Failed to Export " + path);
  }
  // Every step still ran: the progress bar was opened and closed each time.
  EXPECT_EQ(standin::TheServer().Progress().initCalls, static_cast<int>(paths.size()));
  EXPECT_EQ(standin::TheServer().Progress().finishCalls, static_cast<int>(paths.size()));
}

TEST_F(ExportRunTest, AFileNameHoldingANulByteIsRefusedNotShortened) {
  testsupport::LoadBoard(kEmptyBoard);
  const std::string folder = testsupport::TempFolder();
  std::string name = folder + "/a.pcb";
  name.push_back('\0');
  name += "b";
  EXPECT_TRUE(ExportFileFromPcb(HostString(name).data(), testsupport::Description().data()));
  EXPECT_EQ(g_Shown, 1);
  EXPECT_TRUE(testsupport::ReadFile(folder + "/a.pcb").empty());
}

TEST_F(ExportRunTest, ALongFileNameIsUsedWholeAndTheCaptionIsCutTo255) {
  testsupport::LoadBoard(kEmptyBoard);
  std::string path = testsupport::TempFolder() + "/";
  path += std::string(255 - path.size() - 4, 'n') + ".pcb";
  ASSERT_EQ(path.size(), 255u);
  EXPECT_TRUE(ExportFileFromPcb(HostString(path).data(), testsupport::Description().data()));
  EXPECT_EQ(g_Shown, 0);
  bool wellFormed = false;
  const auto lines = testsupport::SplitLines(testsupport::ReadFile(path), wellFormed);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "ENDPCB");
  const std::string caption = standin::TheServer().Progress().caption;
  EXPECT_EQ(caption.size(), 255u);
  EXPECT_EQ(caption, ("Saving " + path).substr(0, 255));
}

TEST_F(ExportRunTest, WithoutAServerTheRunStillWritesTheFrameAndOpensNoProgress) {
  testsupport::LoadBoard(kEmptyBoard);
  PCBProcs::UnbindEntryPoints();
  const std::string path = testsupport::TempFolder() + "/bare.pcb";
  EXPECT_TRUE(ExportFileFromPcb(HostString(path).data(), testsupport::Description().data()));
  bool wellFormed = false;
  const auto lines = testsupport::SplitLines(testsupport::ReadFile(path), wellFormed);
  EXPECT_TRUE(wellFormed);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "PCB FILE 6 VERSION 2.80");
  EXPECT_EQ(lines.back(), "ENDPCB");
  EXPECT_EQ(standin::TheServer().Progress().initCalls, 0);
  EXPECT_EQ(g_Shown, 0);
}

TEST_F(ExportRunTest, ComponentsAreNumberedPerSideNetsAndPolygonsPerLayer) {
  testsupport::LoadBoard(R"({"pcb28_board": 1,
    "nets": [{"name": "A"}, {"name": "B"}],
    "components": [{"designator": "U1", "layer": "TopLayer"},
                   {"designator": "U2", "layer": "BottomLayer"},
                   {"designator": "U3", "layer": "TopLayer"}],
    "polygons": [{"id": 1, "layer": "TopLayer"}, {"id": 2, "layer": "BottomLayer"},
                 {"id": 3, "layer": "TopLayer"}]})");
  testsupport::ExportLines();
  auto& server = standin::TheServer();
  auto indexOf = [&](standin::Kind kind, int nth) {
    std::vector<ObjectHandle> handles;
    server.Collect(server.CurrentBoardHandle(), kind, 0, handles);
    if (kind == standin::Kind::Net) return int{server.Get<standin::Net>(handles.at(nth))->index};
    return int{server.Get<standin::Primitive>(handles.at(nth))->index};
  };
  EXPECT_EQ(indexOf(standin::Kind::Component, 0), 1);
  EXPECT_EQ(indexOf(standin::Kind::Component, 1), 1);
  EXPECT_EQ(indexOf(standin::Kind::Component, 2), 2);
  EXPECT_EQ(indexOf(standin::Kind::Net, 0), 1);
  EXPECT_EQ(indexOf(standin::Kind::Net, 1), 2);
  EXPECT_EQ(indexOf(standin::Kind::Polygon, 0), 1);
  EXPECT_EQ(indexOf(standin::Kind::Polygon, 1), 1);
  EXPECT_EQ(indexOf(standin::Kind::Polygon, 2), 2);
}

TEST_F(ExportRunTest, TheProgressTotalCountsEveryKindButPolygons) {
  testsupport::LoadBoard(R"({"pcb28_board": 1,
    "nets": [{"name": "A"}],
    "components": [{"designator": "U1", "pads": [{"name": "1"}]}],
    "polygons": [{"id": 1, "layer": "TopLayer"}],
    "tracks": [{"x2": 10}], "arcs": [{}], "vias": [{}], "fills": [{}], "texts": [{}],
    "pads": [{"name": "2"}]})");
  testsupport::ExportLines();
  // net 1, component 1, its designator text 1, pads 2, track, arc, via, fill, text.
  EXPECT_EQ(standin::TheServer().Progress().total, 10);
}
