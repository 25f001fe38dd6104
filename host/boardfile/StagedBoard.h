// The staged board: a whole board file read and checked, not yet in the
// server, and its commit into the server.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/StandInBoard.h"

namespace boardfile {

struct StagedComponent {
  standin::Component component;
  std::optional<standin::Text> designator, comment;
  std::vector<standin::Track> tracks;
  std::vector<standin::Arc> arcs;
  std::vector<standin::Pad> pads;
  std::vector<standin::Fill> fills;
  std::vector<standin::Via> vias;
  std::vector<standin::Text> texts;
};

// Until the commit, `net` fields hold a staged net number (its position in
// `nets` plus one) and `polygon` fields a staged polygon number (its position
// in `areas` plus one); 0 is none in both.
struct StagedBoard {
  standin::Board board;
  std::vector<standin::Net> nets;
  std::vector<standin::ObjectClass> classes;
  std::vector<standin::Rule> rules;
  std::vector<std::unique_ptr<standin::Polygon>> areas;  // polygons and board outlines
  std::vector<StagedComponent> components;
  std::vector<standin::Track> tracks;
  std::vector<standin::Arc> arcs;
  std::vector<standin::Via> vias;
  std::vector<standin::Fill> fills;
  std::vector<standin::Text> texts;
  std::vector<standin::Pad> pads;
  std::vector<standin::FromTo> fromTos;
  std::vector<standin::ManualFromTo> manualFromTos;
  std::vector<standin::Coordinate> coordinates;
  std::vector<standin::Dimension> dimensions;
};
// Puts the staged board into the server, which is reset first; false when
// the server refused an object (the server is then reset again), with the
// limit it met, if any, in `limit`.
bool CommitStagedBoard(StagedBoard& staged, std::string& limit);

}  // namespace boardfile
