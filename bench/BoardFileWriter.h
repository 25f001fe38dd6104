// Large generated board files: the end-to-end benchmark's, and the large
// board that the Windows builds' exports are compared on.
#pragma once

#include <string>

#include "BenchBoard.h"

namespace pcb28bench {

// The full size of the board files (scale 1): 5,000 components of 10 pads
// (with a designator and a comment each), 380,000 tracks, 50,000 vias and
// 3,000 nets, no polygons; about 50 MB.
inline constexpr BoardSize kFullBoardFile{5000, 10, 380000, 50000, 3000, 0, 0};

// Writes a board file of that size; false when it cannot be written.
bool WriteBoardFile(const std::string& path, const BoardSize& size);

}  // namespace pcb28bench
