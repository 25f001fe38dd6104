// The blocks of the file that describe the board as a whole: the counts line
// after the header, and the DEFAULTS and OPTIONS blocks before the end.
#pragma once

#include "PcbApi.h"

namespace ascii28 {

// Counts the board's objects into Run.ObjectCounts (added to what they hold;
// the export run sets them to 0 first) and writes the ten counts on one line.
void WriteCountsLine();
// The 50 lines of board settings: sizes, grids, current layer, layer states.
void WriteDefaultsBlock();
// The 120 lines of options; all but the clearance line are constant.
void WriteOptionsBlock();
// Sets Run.BoardClearance to 100000, lets the host overwrite it with the gap
// of every clearance rule the board's layers yield, and returns it: the last
// such rule decides.
Coord FindBoardClearance();

}  // namespace ascii28
