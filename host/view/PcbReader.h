// Reading a PCB 2.8 ASCII file into a PcbDrawing. Reading is strict: every
// line of every record is checked against its layout, and the first that
// does not fit ends the reading with its line number and what was expected.
// Lines end with LF or CR LF; strings are taken byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "view/PcbDrawing.h"

namespace view {

struct ReadError {
  std::size_t line = 0;     // 1-based; 0 when the error is about the whole file
  bool notPcbFile = false;  // the text is not a PCB 2.8 ASCII file at all
  std::string message;      // what was expected and what was found
};

// Reads `text` into `drawing`, whose strings then point into `text`. On
// failure returns false with `error` filled and `drawing` in an unspecified
// state.
bool ReadPcb(std::string_view text, PcbDrawing& drawing, ReadError& error);

}  // namespace view
