// Plane geometry of the KiCad import. Points are in KiCad's frame: nanometres,
// x to the right, y down. Angles handed out are degrees, counter-clockwise
// with y up, in [0, 360).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kicad {

struct Point {
  double x = 0;
  double y = 0;
};

// Host units (1 mm = 10000/0.0254) of a length in nanometres, rounded to the
// nearest unit, halves away from zero.
std::int64_t NmToUnits(double nm);

// Cosine and sine of an angle in degrees; exact at multiples of 90.
void CosSin(double degrees, double& c, double& s);

// A point given in a footprint's own frame, placed on the board: rotated by
// the footprint's angle (counter-clockwise as seen), then moved to `origin`.
Point Place(Point local, Point origin, double degrees);

// The direction from `centre` to `p`, with y up.
double AngleOf(Point centre, Point p);
double NormaliseAngle(double degrees);

// A circular arc as the host keeps it: counter-clockwise from `start` to `end`.
struct Arc {
  Point centre;
  double radius = 0;
  double start = 0;
  double end = 0;
};

// The arc through start, mid and end (KiCad 6); none when they are collinear.
std::optional<Arc> ArcThrough(Point start, Point mid, Point end);
// The arc of KiCad 5: its centre, its first point and its sweep in degrees
// (positive is clockwise as seen, the way KiCad 5 stores it).
Arc ArcFromCentre(Point centre, Point first, double sweep);
// A point of an arc's circle at `degrees`.
Point PointAt(const Arc& arc, double degrees);

// A closed outline cut down to at most `limit` points by dropping, one at a
// time, the point whose triangle with its neighbours is smallest. Never
// splits the outline.
std::vector<Point> Simplify(std::vector<Point> outline, std::size_t limit);

// Grows a box to take in a point, or the whole of an arc.
struct Box {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool empty = true;
  void Add(Point p);
  void Add(const Arc& arc);
};

}  // namespace kicad
