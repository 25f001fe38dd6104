// What a PCB 2.8 ASCII file holds that can be drawn: its primitive records,
// one entry per record, in the file's units (1 mil is 1000) with the board's
// y axis up. Strings refer into the text the file was read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace view {

using FileLayer = std::uint8_t;  // 0 to 42

struct Point {
  std::int32_t x = 0, y = 0;
};

struct Track {
  Point from, to;
  std::int32_t width = 0;
  FileLayer layer = 0;
};

// Counterclockwise from `startAngle` to `endAngle`, in degrees.
struct Arc {
  Point centre;
  std::int32_t radius = 0, width = 0;
  double startAngle = 0, endAngle = 0;
  FileLayer layer = 0;
};

struct Via {
  Point centre;
  std::int32_t size = 0, hole = 0;
  FileLayer low = 0, high = 0;
};

// A rectangle between two corners, turned by `rotation` degrees about its
// centre.
struct Fill {
  Point corner1, corner2;
  double rotation = 0;
  FileLayer layer = 0;
};

struct PadLevel {
  std::int32_t xSize = 0, ySize = 0;
  std::uint8_t shape = 0;  // 1 round, 2 rectangle, 3 octagonal
};

struct Pad {
  Point centre;
  PadLevel top, mid, bottom;
  std::int32_t hole = 0;
  double rotation = 0;
  FileLayer layer = 0;
  std::string_view name;
};

struct Text {
  Point at;
  std::int32_t height = 0;
  double rotation = 0;
  std::uint8_t flag = 0;  // 1: mirrored
  FileLayer layer = 0;
  std::string_view text;  // Latin-1
};

// An outline of vertices [first, first + count) of PcbDrawing::vertices.
struct Polygon {
  std::size_t first = 0, count = 0;
  std::int32_t trackWidth = 0;
  FileLayer layer = 0;
};

struct PcbDrawing {
  std::vector<Track> tracks;
  std::vector<Arc> arcs;
  std::vector<Via> vias;
  std::vector<Fill> fills;
  std::vector<Pad> pads;
  std::vector<Text> texts;
  std::vector<Polygon> polygons;
  std::vector<Point> vertices;
  std::size_t components = 0;
  std::size_t nets = 0;
};

}  // namespace view
