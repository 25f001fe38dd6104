#include "BenchBoard.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "HostLayers.h"
#include "server/StandInBoard.h"

namespace pcb28bench {

namespace {

std::size_t Scale(std::size_t full, double factor) {
  return std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(full * factor)));
}

}  // namespace

BoardSize BoardSize::Scaled(double factor) { return Scaled(factor, BoardSize{}); }

BoardSize BoardSize::Scaled(double factor, const BoardSize& full) {
  BoardSize s = full;
  s.components = Scale(full.components, factor);
  s.tracks = Scale(full.tracks, factor);
  s.vias = Scale(full.vias, factor);
  s.nets = Scale(full.nets, factor);
  s.polygons = Scale(full.polygons, factor);
  return s;
}

std::size_t BoardSize::Records() const {
  return components * (3 + padsPerComponent) + tracks + vias + polygons + nets;
}

void BuildBoard(const BoardSize& size) {
  using namespace standin;
  Server& s = TheServer();
  s.Reset();
  s.CreateBoard();
  Board& board = *s.CurrentBoard();
  board.SetStack({kTopLayer, MidLayer(1), MidLayer(2), kBottomLayer});

  std::vector<ObjectHandle> nets(size.nets);
  for (std::size_t i = 0; i < size.nets; ++i) {
    Net net;
    net.name = "NET" + std::to_string(i);
    nets[i] = s.Add(net);
  }
  Rule clearance;
  clearance.ruleKind = static_cast<std::uint8_t>(RuleKind::Clearance);
  clearance.values[0] = 100000;
  s.Add(clearance);
  Rule width;
  width.ruleKind = static_cast<std::uint8_t>(RuleKind::Width);
  width.values = {120000, 80000, 0, 0, 0};
  s.Add(width);

  std::size_t padNumber = 0;
  for (std::size_t c = 0; c < size.components; ++c) {
    Component component;
    component.layer = c % 2 == 0 ? kTopLayer : kBottomLayer;
    component.x = static_cast<Coord>(c * 25000 % 80000000);
    component.y = static_cast<Coord>(c * 37000 % 60000000);
    component.pattern = c % 3 == 0 ? "SOIC-8" : "0603";
    const ObjectHandle h = s.Add(component);
    Text designator;
    designator.layer = kTopOverlay;
    designator.height = 600000;
    designator.text = "U" + std::to_string(c + 1);
    s.AddDesignator(h, designator);
    Text comment = designator;
    comment.text = "10k";
    s.AddComment(h, comment);
    for (std::size_t p = 0; p < size.padsPerComponent; ++p, ++padNumber) {
      Pad pad;
      pad.x = component.x + static_cast<Coord>(p * 500000);
      pad.y = component.y;
      pad.top = pad.mid = pad.bottom = PadLevel{600000, 800000, 2};
      pad.hole = p % 2 == 0 ? 0 : 300000;
      pad.name = std::to_string(p + 1);
      pad.net = nets[padNumber % size.nets];
      s.Add(pad, h);
    }
  }
  for (std::size_t i = 0; i < size.tracks; ++i) {
    Track t;
    t.layer = i % 2 == 0 ? kTopLayer : kBottomLayer;
    t.x = static_cast<Coord>(i * 13 % 90000000);
    t.y = static_cast<Coord>(i * 29 % 70000000);
    t.x2 = t.x + 1000000;
    t.y2 = t.y + static_cast<Coord>(i % 7) * 10000;
    t.width = 100000;
    t.net = nets[i % size.nets];
    s.Add(t);
  }
  for (std::size_t i = 0; i < size.vias; ++i) {
    Via v;
    v.x = static_cast<Coord>(i * 17 % 90000000);
    v.y = static_cast<Coord>(i * 31 % 70000000);
    v.size = 500000;
    v.hole = 280000;
    v.net = nets[i % size.nets];
    s.Add(v);
  }
  for (std::size_t i = 0; i < size.polygons; ++i) {
    Polygon p;
    p.layer = i % 2 == 0 ? kTopLayer : kBottomLayer;
    p.net = nets[i % size.nets];
    p.trackWidth = 100000;
    p.outline.resize(size.polygonSegments + 1);
    for (std::size_t k = 0; k < p.outline.size(); ++k) {
      PolygonSegment& segment = p.outline[k];
      segment.SegmentKind = k % 10 == 9 ? 1 : 0;
      segment.X = static_cast<Coord>(k * 100000);
      segment.Y = static_cast<Coord>((k * k) % 5000000);
      segment.CenterX = segment.X;
      segment.CenterY = segment.Y + 50000;
      segment.Radius = 50000;
      segment.StartAngle = 0.0;
      segment.EndAngle = 90.0;
    }
    s.Add(p);
  }
}

}  // namespace pcb28bench
