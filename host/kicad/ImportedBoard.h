// A KiCad board as read, before it is written as a board-file document:
// the objects in KiCad's frame, already on host layers and in host shapes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kicad/Geometry.h"
#include "kicad/KicadImport.h"

namespace kicad {

// Shape codes of the host's pads.
constexpr int kRound = 1;
constexpr int kRectangle = 2;
constexpr int kOctagonal = 3;

// Everything is first gathered in KiCad's frame (nm, y down) with host layer
// names; the origin is known only once the whole board is read.

struct Track {
  Point a, b;
  double width = 0;
  std::string layer;
  int net = 0;
  int polygon = -1;
};
struct ArcTrack {
  Arc arc;
  double width = 0;
  std::string layer;
  int net = 0;
};
struct Text {
  Point at;
  double height = 0, width = 0, rotation = 0;
  std::string layer;
  bool mirrored = false;
  std::string text;  // UTF-8 of Latin-1 characters only
};
struct Fill {
  Point a, b;
  std::string layer;
  int net = 0;
};
struct Pad {
  Point at;
  std::string name;
  double xSize = 0, ySize = 0, hole = 0, rotation = 0;
  int shape = kRound;
  std::string layer;
  int net = 0;
};
struct Via {
  Point at;
  double size = 0, hole = 0;
  std::string low, high;
  int net = 0;
};
struct Primitives {
  std::vector<Track> tracks;
  std::vector<ArcTrack> arcs;
  std::vector<Text> texts;
  std::vector<Fill> fills;
};
struct Component {
  std::string pattern;
  Point at;
  double rotation = 0;
  bool bottom = false;
  std::optional<Text> designator, comment;
  std::vector<Pad> pads;
  Primitives own;
};
struct OutlineEntry {
  Point at;
  std::optional<Arc> arc;  // the segment from here to the next entry is this arc
};
struct Polygon {
  int id = 0;
  std::string layer;
  int net = 0;
  double width = 0;
  std::vector<OutlineEntry> outline;
};
// A zone's filled area, written as the edges of its outline: tracks of the
// polygon. A large board has hundreds of thousands of them, so an area keeps
// only its points, and is written in its place among the board's tracks:
// after the first `after` of them.
struct FilledArea {
  std::size_t after = 0;
  std::size_t first = 0, count = 0;  // its points in ImportedBoard::areaPoints
  double width = 0;
  std::string layer;
  int net = 0;
  int polygon = 0;
};
struct NetClass {
  std::string name;
  std::optional<double> clearance, trackWidth, viaSize, viaHole;
  std::vector<std::string> nets;
};

struct ImportedBoard {
  std::vector<std::string> midStack;  // the inner layers in copper order
  std::map<int, std::string> netNames;
  std::vector<int> netOrder;  // the nets other than 0, in the board's order
  std::vector<NetClass> classes;
  std::vector<Component> components;
  Primitives free;  // the board's own tracks, arcs, texts and fills
  std::vector<Via> vias;
  std::vector<Polygon> polygons;
  std::vector<FilledArea> areas;  // the filled areas of the polygons
  std::vector<Point> areaPoints;
  std::vector<OutlineEntry> outline;  // the board outline, empty when none
};

// The board-file document (JSON text) of an imported board, with the origin
// at the lower-left corner of the Edge.Cuts drawing's box (of everything
// when there is none). A track whose ends fall on one host unit has no
// record in the exported file, so it is left out here, and counted by host
// layer in `zeroLength`.
std::string WriteDocument(const ImportedBoard& board, std::map<std::string, int>& zeroLength);

}  // namespace kicad
