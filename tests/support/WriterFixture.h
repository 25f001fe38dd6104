// The fixture of the record writer tests: a board loaded from board-file text
// into the stand-in server, the plug-in bound to it and the board made the
// run's board; the writers driven the way the export run drives them, into a
// temporary file read back as lines.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ascii28/RunState.h"
#include "board/PcbBoard.h"
#include "board/PcbObject.h"
#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace writer_test {

using Lines = std::vector<std::string>;

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ascii28::TakeIoError();
    ResetRun();
    standin::TheServer().Reset();
  }
  void TearDown() override {
    if (ascii28::Run.OutputFile.IsOpen()) ascii28::Run.OutputFile.Close();
    ascii28::TakeIoError();
    ascii28::Run.CurrentBoard = nullptr;
    board_.reset();
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

  // Loads a board file text (the server is reset first), binds the plug-in's
  // entry-point table to the server and makes the board the run's board.
  // Entry points hidden with Hide before stay absent.
  void Load(std::string_view json) {
    ascii28::Run.CurrentBoard = nullptr;
    board_.reset();
    testsupport::LoadBoard(json);
    for (const std::string& name : hidden_) server().Hide(name);
    testsupport::BindPluginToServer();
    board_ = std::make_unique<TPcbBoard>(TPcbBoard::CurrentHandle());
    board_->Load(kQueryGet);
    ascii28::Run.CurrentBoard = board_.get();
  }
  void Hide(std::string name) { hidden_.push_back(std::move(name)); }

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

  static void ExpectLines(const Lines& actual, const Lines& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }

  // One board walk as the export run makes it: the kinds of mask, layer set
  // {0}, the given iteration method.
  static void Walk(ObjectCallback writer, KindMask mask, IterationMethod method = 0) {
    TPcbBoard board(TPcbBoard::CurrentHandle());
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

 private:
  std::unique_ptr<TPcbBoard> board_;
  std::vector<std::string> hidden_;
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

}  // namespace writer_test
