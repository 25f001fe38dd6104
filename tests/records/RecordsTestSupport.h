// Helpers of the record writer tests: a board loaded from board-file text
// into the stand-in server, the plug-in bound to it, and the writers driven
// the way the export run drives them, into a temporary file read back as
// lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ascii28/RunState.h"
#include "board/PcbBoard.h"
#include "board/PcbObject.h"
#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace records_test {

using Lines = std::vector<std::string>;

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRun();
    standin::TheServer().Reset();
  }
  void TearDown() override {
    if (ascii28::Run.OutputFile.IsOpen()) ascii28::Run.OutputFile.Close();
    ascii28::TakeIoError();
    PCBProcs::UnbindEntryPoints();
    ResetRun();
    standin::TheServer().Reset();
  }

  static void ResetRun() {
    ascii28::Run.InComponent = false;
    ascii28::Run.PadCounter = 0;
    ascii28::Run.ComponentNameText = 0;
    ascii28::Run.ComponentCommentText = 0;
  }

  static standin::Server& server() { return standin::TheServer(); }

  // Loads a board file text (the server is reset first) and binds the
  // plug-in's entry-point table to the server.
  static void Load(std::string_view json) {
    testsupport::LoadBoard(json);
    testsupport::BindPluginToServer();
  }

  // Runs body with Run.OutputFile open on a fresh file; returns its lines.
  template <class Body>
  static Lines Capture(Body&& body) {
    const std::string path = testsupport::TempFolder() + "/records.pcb";
    ascii28::Run.OutputFile.Open(path.c_str());
    body();
    ascii28::Run.OutputFile.Close();
    EXPECT_EQ(ascii28::TakeIoError(), 0);
    bool wellFormed = false;
    Lines lines = testsupport::SplitLines(testsupport::ReadFile(path), wellFormed);
    EXPECT_TRUE(wellFormed) << "every line must end with CR LF";
    return lines;
  }

  // One board walk as the export run makes it: the kinds of mask, layer set
  // {0}, the given iteration method.
  static void Walk(ObjectCallback writer, KindMask mask, IterationMethod method = 0) {
    TPcbBoard board(PCBProcs::PcbApi_GetCurrentBoardHandle());
    board.Iterate(writer, mask, LayerSet::NoLayerOnly(), method);
  }
  static Lines WalkLines(ObjectCallback writer, KindMask mask, IterationMethod method = 0) {
    return Capture([&] { Walk(writer, mask, method); });
  }

  static int Updates() { return server().Progress().updates; }

  // Every handle a board walk yields for one kind, in walk order.
  static std::vector<ObjectHandle> Handles(standin::Kind kind) {
    std::vector<ObjectHandle> out;
    server().Collect(server().CurrentBoardHandle(), kind, 0, out);
    return out;
  }
};

// A board file with the given members after the version key, e.g.
// Board(R"("tracks": [ ... ])").
inline std::string Board(std::string_view members) {
  std::string text = R"({ "pcb28_board": 1)";
  if (!members.empty()) {
    text += ", ";
    text += members;
  }
  text += " }";
  return text;
}

}  // namespace records_test
