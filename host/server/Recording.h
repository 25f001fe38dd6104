// What the stand-in server keeps for tests: the recorded calls and the state
// of the progress display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct RecordedCall {
  std::string name;
  std::vector<std::int64_t> args;  // the by-value arguments, in order
};

struct ProgressState {
  int initCalls = 0;
  int updates = 0;  // since the last init
  int finishCalls = 0;
  std::int32_t total = 0;
  std::string caption;
  bool open = false;
};

}  // namespace standin
