#include "kicad/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kicad {

std::int64_t NmToUnits(double nm) {
  // 1 unit = 2.54 nm; std::llround rounds halves away from zero.
  return std::llround(nm * 50.0 / 127.0);
}

void CosSin(double degrees, double& c, double& s) {
  const double turns = std::fmod(degrees, 360.0);
  const double quarter = turns / 90.0;
  if (quarter == std::floor(quarter)) {
    static constexpr double kCos[4] = {1, 0, -1, 0};
    static constexpr double kSin[4] = {0, 1, 0, -1};
    const int q = (static_cast<int>(quarter) % 4 + 4) % 4;
    c = kCos[q];
    s = kSin[q];
    return;
  }
  const double r = degrees * std::numbers::pi / 180.0;
  c = std::cos(r);
  s = std::sin(r);
}

Point Place(Point local, Point origin, double degrees) {
  double c, s;
  CosSin(degrees, c, s);
  // y is down, so a counter-clockwise turn as seen is x' = x c + y s, y' = -x s + y c.
  return {origin.x + local.x * c + local.y * s, origin.y - local.x * s + local.y * c};
}

double NormaliseAngle(double degrees) {
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  return a;
}

double AngleOf(Point centre, Point p) {
  const double dx = p.x - centre.x, dy = centre.y - p.y;
  if (dy == 0) return dx >= 0 ? 0.0 : 180.0;
  if (dx == 0) return dy > 0 ? 90.0 : 270.0;
  return NormaliseAngle(std::atan2(dy, dx) * 180.0 / std::numbers::pi);
}

std::optional<Arc> ArcThrough(Point start, Point mid, Point end) {
  // With y up: a = start, b = mid, c = end.
  const double ax = start.x, ay = -start.y, bx = mid.x, by = -mid.y, cx = end.x, cy = -end.y;
  const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
  const double span =
      std::max({std::abs(bx - ax), std::abs(by - ay), std::abs(cx - ax), std::abs(cy - ay), 1.0});
  if (std::abs(d) <= 1e-9 * span * span) return std::nullopt;
  const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
  const double ux = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / d;
  const double uy = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / d;
  Arc arc;
  arc.centre = {ux, -uy};
  arc.radius = std::hypot(ax - ux, ay - uy);
  const double from = AngleOf(arc.centre, start), to = AngleOf(arc.centre, end);
  // Counter-clockwise (y up) from start over mid to end when the turn is positive.
  const bool ccw = (bx - ax) * (cy - by) - (by - ay) * (cx - bx) > 0;
  arc.start = ccw ? from : to;
  arc.end = ccw ? to : from;
  return arc;
}

Arc ArcFromCentre(Point centre, Point first, double sweep) {
  Arc arc;
  arc.centre = centre;
  arc.radius = std::hypot(first.x - centre.x, first.y - centre.y);
  const double from = AngleOf(centre, first);
  // A positive sweep runs clockwise as seen: the arc ends `sweep` degrees before.
  if (sweep >= 0) {
    arc.start = NormaliseAngle(from - sweep);
    arc.end = from;
  } else {
    arc.start = from;
    arc.end = NormaliseAngle(from - sweep);
  }
  if (std::abs(sweep) >= 360.0) {
    arc.start = 0;
    arc.end = 360;
  }
  return arc;
}

Point PointAt(const Arc& arc, double degrees) {
  double c, s;
  CosSin(degrees, c, s);
  return {arc.centre.x + arc.radius * c, arc.centre.y - arc.radius * s};
}

std::vector<Point> Simplify(std::vector<Point> outline, std::size_t limit) {
  auto area = [&](std::size_t i) {
    const std::size_t n = outline.size();
    const Point& a = outline[(i + n - 1) % n];
    const Point& b = outline[i];
    const Point& c = outline[(i + 1) % n];
    return std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
  };
  while (outline.size() > limit && outline.size() > 3) {
    std::size_t best = 0;
    double bestArea = area(0);
    for (std::size_t i = 1; i < outline.size(); ++i) {
      const double a = area(i);
      if (a < bestArea) {
        bestArea = a;
        best = i;
      }
    }
    outline.erase(outline.begin() + static_cast<std::ptrdiff_t>(best));
  }
  return outline;
}

void Box::Add(Point p) {
  if (empty) {
    left = right = p.x;
    top = bottom = p.y;
    empty = false;
    return;
  }
  left = std::min(left, p.x);
  right = std::max(right, p.x);
  top = std::min(top, p.y);
  bottom = std::max(bottom, p.y);
}

void Box::Add(const Arc& arc) {
  const double end = arc.end > arc.start ? arc.end : arc.end + 360.0;
  Add(PointAt(arc, arc.start));
  Add(PointAt(arc, arc.end));
  for (double q = std::ceil(arc.start / 90.0) * 90.0; q <= end; q += 90.0) Add(PointAt(arc, q));
}

}  // namespace kicad
