// Drawing a PCB 2.8 ASCII file into an SVG file: the file read whole, the
// picture written under a temporary name beside its destination and moved
// into place only when it is whole.
#pragma once

#include <string>

namespace view {

enum class Drawn {
  Written,      // the picture is in place
  BadInput,     // the PCB file cannot be read or is refused by the reader
  SameAsInput,  // the picture would overwrite the PCB file
  NotWritten,   // the picture cannot be written
};

// Draws the PCB file `input` into `output` ("-": standard output). On
// failure `error` names the file and says why: for a refused file its line
// and what was expected there.
Drawn DrawFile(const std::string& input, const std::string& output, std::string& error);

}  // namespace view
