// The run-wide state of one export: created and reset by the export run,
// read and updated by the record writers.
#pragma once

#include <cstdint>

#include "PcbApi.h"
#include "ascii28/BufferedTextFile.h"

class TPcbBoard;

namespace ascii28 {

// Positions of the ten object counters, in the order the counts line holds them.
enum CountIndex : int {
  kCountFromTos,
  kCountTracks,
  kCountNetPads,
  kCountNets,
  kCountArcs,
  kCountVias,
  kCountComponents,
  kCountFills,
  kCountPads,
  kCountTexts,
  kCountSlots
};

// Every counter here counts handles that host walks yielded, at most
// hostbounds::kExportYields in one export, so none can overflow.
struct RunState {
  TPcbBoard* CurrentBoard = nullptr;  // owned by the export run while it lasts
  BufferedTextFile OutputFile;        // every writer writes here
  bool InComponent = false;           // records get the prefix C instead of F
  std::int32_t ObjectCounts[kCountSlots] = {};
  std::int32_t ProgressTotal = 0;
  Coord BoardClearance = 0;
  std::int32_t PadCounter = 0;  // pads within a component, members within a net
  ObjectHandle ComponentNameText = 0;
  ObjectHandle ComponentCommentText = 0;
};

// The one export in progress (the run is not re-entrant).
extern RunState Run;

}  // namespace ascii28
