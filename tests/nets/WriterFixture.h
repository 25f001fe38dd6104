// A board loaded from a board-file text into the stand-in server, bound to
// the plug-in and set as the run's board, and a way to catch what a writer
// puts into the output file.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ascii28/RunState.h"
#include "board/PcbBoard.h"
#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace nets_test {

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override { ascii28::TakeIoError(); }
  void TearDown() override {
    ascii28::Run.CurrentBoard = nullptr;
    board_.reset();
    standin::TheServer().Reset();
  }

  // Loads the board text and makes it the run's board. Entry points hidden
  // with Hide before stay absent.
  void Load(std::string_view json) {
    board_.reset();
    ascii28::Run.CurrentBoard = nullptr;
    testsupport::LoadBoard(json);
    for (const std::string& name : hidden_) standin::TheServer().Hide(name);
    testsupport::BindPluginToServer();
    board_ = std::make_unique<TPcbBoard>(PCBProcs::PcbApi_GetCurrentBoardHandle());
    board_->Load(kQueryGet);
    ascii28::Run.CurrentBoard = board_.get();
  }
  void Hide(std::string name) { hidden_.push_back(std::move(name)); }

  // The lines the writer puts into a fresh output file.
  std::vector<std::string> Lines(const std::function<void()>& writer) {
    const std::string path = testsupport::TempFolder() + "/out.pcb";
    ascii28::Run.OutputFile.Open(path.c_str());
    writer();
    ascii28::Run.OutputFile.Close();
    EXPECT_EQ(ascii28::TakeIoError(), 0);
    bool wellFormed = false;
    std::vector<std::string> lines =
        testsupport::SplitLines(testsupport::ReadFile(path), wellFormed);
    EXPECT_TRUE(wellFormed) << "every line must end with CR LF";
    return lines;
  }

  static void ExpectLines(const std::vector<std::string>& actual,
                          const std::vector<std::string>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }

 private:
  std::unique_ptr<TPcbBoard> board_;
  std::vector<std::string> hidden_;
};

}  // namespace nets_test
