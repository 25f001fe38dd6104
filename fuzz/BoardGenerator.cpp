#include "BoardGenerator.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "HostLayers.h"
#include "server/StandInBoard.h"

namespace pcb28fuzz {

namespace {

using namespace standin;

// Every handle made so far, of any kind: links may name any of them.
struct Made {
  std::vector<ObjectHandle> all;
  std::vector<ObjectHandle> nets;
  std::vector<ObjectHandle> polygons;
  std::vector<ObjectHandle> components;
};

template <typename T>
T Extreme(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
      return std::numeric_limits<T>::min();
    case 1:
      return std::numeric_limits<T>::max();
    case 2:
      return 0;
    default:
      return in.ConsumeIntegral<T>();
  }
}

double Real(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 6)) {
    case 0:
      return std::numeric_limits<double>::infinity();
    case 1:
      return -std::numeric_limits<double>::infinity();
    case 2:
      return std::numeric_limits<double>::quiet_NaN();
    case 3:
      return std::numeric_limits<double>::max();
    case 4:
      return std::numeric_limits<double>::denorm_min();
    default:
      return in.ConsumeFloatingPoint<double>();
  }
}

// Any bytes; sometimes far longer than any host buffer.
std::string AnyString(FuzzedDataProvider& in) {
  const int mode = in.ConsumeIntegralInRange<int>(0, 7);
  if (mode == 0) return std::string(in.ConsumeIntegralInRange<std::size_t>(250, 700), 'W');
  if (mode == 1) return {};
  return in.ConsumeRandomLengthString(300);
}

HostLayer AnyLayer(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.ConsumeIntegral<HostLayer>();  // codes beyond 82 too
  static constexpr HostLayer kUsual[] = {kTopLayer,   kBottomLayer,    kMultiLayer,
                                         kTopOverlay, kInternalPlane1, 0};
  return in.PickValueInArray(kUsual);
}

// A link: usually an object of the right kind, sometimes any object or any
// number at all.
ObjectHandle Link(FuzzedDataProvider& in, const std::vector<ObjectHandle>& right,
                  const Made& made) {
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return 0;
    case 1:
      return made.all.empty()
                 ? 0
                 : made.all[in.ConsumeIntegralInRange<std::size_t>(0, made.all.size() - 1)];
    case 2:
      return in.ConsumeIntegral<ObjectHandle>();
    default:
      return right.empty() ? 0 : right[in.ConsumeIntegralInRange<std::size_t>(0, right.size() - 1)];
  }
}

void FillPrimitive(FuzzedDataProvider& in, const Made& made, Primitive& p) {
  p.flags = Extreme<std::uint16_t>(in);
  p.index = Extreme<std::uint16_t>(in);
  p.layer = AnyLayer(in);
  p.net = Link(in, made.nets, made);
  p.tag = in.ConsumeIntegral<std::uint8_t>();
  p.x = Extreme<Coord>(in);
  p.y = Extreme<Coord>(in);
  p.bitField2 = in.ConsumeIntegral<std::uint8_t>();
  p.bitField3 = in.ConsumeIntegral<std::uint16_t>();
}

PadLevel Level(FuzzedDataProvider& in) {
  return PadLevel{Extreme<Coord>(in), Extreme<Coord>(in), in.ConsumeIntegral<std::uint8_t>()};
}

Text MakeText(FuzzedDataProvider& in, const Made& made) {
  Text t;
  FillPrimitive(in, made, t);
  t.height = Extreme<Coord>(in);
  t.style = Extreme<std::int32_t>(in);
  t.rotation = Real(in);
  t.textFlag = in.ConsumeIntegral<std::uint8_t>();
  t.text = AnyString(in);
  t.lineWidth = Extreme<Coord>(in);
  return t;
}

Pad MakePad(FuzzedDataProvider& in, const Made& made) {
  Pad p;
  FillPrimitive(in, made, p);
  p.top = Level(in);
  p.mid = Level(in);
  p.bottom = Level(in);
  p.hole = Extreme<Coord>(in);
  p.name = AnyString(in);
  p.padByte1 = in.ConsumeIntegral<std::uint8_t>();
  p.padByte2 = in.ConsumeIntegral<std::uint8_t>();
  p.rotation = Real(in);
  p.pwrGnd = in.ConsumeIntegral<std::uint8_t>();
  p.stackMode = in.ConsumeIntegralInRange<std::uint8_t>(0, 3);
  if (p.stackMode == 2) {
    for (int n = in.ConsumeIntegralInRange<int>(0, 6); n > 0; --n) {
      const auto code = in.ConsumeIntegralInRange<std::size_t>(0, kHostLayerCount - 1);
      p.Give(static_cast<HostLayer>(code), {}) = Level(in);
    }
  }
  return p;
}

// One primitive of a kind picked from the input, free or in a component.
void AddPrimitive(FuzzedDataProvider& in, Made& made, ObjectHandle component) {
  Server& s = TheServer();
  ObjectHandle h = 0;
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0: {
      Track t;
      FillPrimitive(in, made, t);
      t.x2 = Extreme<Coord>(in);
      t.y2 = Extreme<Coord>(in);
      t.width = Extreme<Coord>(in);
      t.polygon = Link(in, made.polygons, made);
      h = s.Add(t, component);
      break;
    }
    case 1: {
      Arc a;
      FillPrimitive(in, made, a);
      a.radius = Extreme<Coord>(in);
      a.startAngle = Real(in);
      a.endAngle = Real(in);
      a.lineWidth = Extreme<Coord>(in);
      a.polygon = Link(in, made.polygons, made);
      h = s.Add(a, component);
      break;
    }
    case 2: {
      Via v;
      FillPrimitive(in, made, v);
      v.size = Extreme<Coord>(in);
      v.hole = Extreme<Coord>(in);
      v.lowLayer = AnyLayer(in);
      v.highLayer = AnyLayer(in);
      h = s.Add(v, component);
      break;
    }
    case 3: {
      Fill f;
      FillPrimitive(in, made, f);
      f.x2 = Extreme<Coord>(in);
      f.y2 = Extreme<Coord>(in);
      f.rotation = Real(in);
      f.polygon = Link(in, made.polygons, made);
      h = s.Add(f, component);
      break;
    }
    case 4:
      h = s.Add(MakeText(in, made), component);
      break;
    default:
      h = s.Add(MakePad(in, made), component);
      break;
  }
  if (h != 0) made.all.push_back(h);
}

void AddPolygon(FuzzedDataProvider& in, Made& made) {
  Polygon p;
  FillPrimitive(in, made, p);
  p.byte0 = in.ConsumeIntegral<std::uint8_t>();
  p.trackWidth = Extreme<Coord>(in);
  p.styleCode = in.ConsumeIntegral<std::uint8_t>();
  // Up to 600 entries: beyond the 501 the host answers.
  const std::size_t entries = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(495, 600)
                                               : in.ConsumeIntegralInRange<std::size_t>(0, 8);
  p.outline.resize(entries);
  for (PolygonSegment& segment : p.outline) {
    segment.SegmentKind = in.ConsumeIntegralInRange<std::uint8_t>(0, 2);
    segment.X = Extreme<Coord>(in);
    segment.Y = Extreme<Coord>(in);
    segment.Radius = Extreme<Coord>(in);
    segment.StartAngle = Real(in);
    segment.EndAngle = Real(in);
  }
  ObjectHandle h = 0;
  if (in.ConsumeBool()) {
    h = TheServer().Add(p);
  } else {
    BoardOutline outline;
    static_cast<Polygon&>(outline) = p;
    outline.kind = Kind::BoardOutline;
    h = TheServer().Add(outline);
  }
  if (h == 0) return;
  made.all.push_back(h);
  made.polygons.push_back(h);
}

void AddDimension(FuzzedDataProvider& in, Made& made) {
  Dimension d;
  FillPrimitive(in, made, d);
  d.value1 = Extreme<std::int32_t>(in);
  d.extText1 = AnyString(in);
  d.extText2 = AnyString(in);
  d.extText3 = AnyString(in);
  d.ext8Bytes = Real(in);
  // Up to 260 references: beyond the 200 the plug-in holds.
  const std::size_t count = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(195, 260)
                                             : in.ConsumeIntegralInRange<std::size_t>(0, 4);
  d.references.resize(count);
  for (auto& reference : d.references)
    for (auto& value : reference) value = Extreme<std::int32_t>(in);
  if (const ObjectHandle h = TheServer().Add(d)) made.all.push_back(h);
}

void AddClass(FuzzedDataProvider& in, Made& made) {
  ObjectClass c;
  c.index = Extreme<std::uint16_t>(in);
  c.name = AnyString(in);
  const bool many = in.ConsumeBool();
  const std::size_t count = many ? in.ConsumeIntegralInRange<std::size_t>(0, 5000)
                                 : in.ConsumeIntegralInRange<std::size_t>(0, 4);
  const std::string member = many ? std::string("M") : AnyString(in);
  c.members.assign(count, member);
  if (const ObjectHandle h = TheServer().Add(c)) made.all.push_back(h);
}

void AddRule(FuzzedDataProvider& in, Made& made) {
  Rule r;
  static constexpr std::uint8_t kKinds[] = {0, 2, 6, 7, 8, 11, 12, 13, 14, 255};
  r.ruleKind = in.ConsumeBool() ? in.PickValueInArray(kKinds) : in.ConsumeIntegral<std::uint8_t>();
  for (auto& value : r.values) value = Extreme<std::int32_t>(in);
  r.priority = Extreme<std::int32_t>(in);
  r.scope = static_cast<RuleScope>(in.ConsumeIntegralInRange<int>(0, 2));
  r.scopeName = AnyString(in);
  for (int n = in.ConsumeIntegralInRange<int>(0, 3); n > 0; --n) r.layers.push_back(AnyLayer(in));
  for (auto& text : r.texts1) text = AnyString(in);
  if (const ObjectHandle h = TheServer().Add(r)) made.all.push_back(h);
}

void AddComponent(FuzzedDataProvider& in, Made& made) {
  Server& s = TheServer();
  Component c;
  FillPrimitive(in, made, c);
  c.layer = in.ConsumeBool() ? (in.ConsumeBool() ? kTopLayer : kBottomLayer) : AnyLayer(in);
  c.pattern = AnyString(in);
  c.rotation = Real(in);
  for (auto& link : c.sourceLinks) link = AnyString(in);
  const ObjectHandle h = s.Add(c);
  if (h == 0) return;
  made.all.push_back(h);
  made.components.push_back(h);
  if (in.ConsumeBool()) s.AddDesignator(h, MakeText(in, made));
  if (in.ConsumeBool()) s.AddComment(h, MakeText(in, made));
  for (int n = in.ConsumeIntegralInRange<int>(0, 6); n > 0; --n) AddPrimitive(in, made, h);
}

void FillBoard(FuzzedDataProvider& in, Board& board) {
  board.info1 = Extreme<std::int32_t>(in);
  board.info2 = AnyString(in);
  board.boardLayer = AnyLayer(in);
  board.info10 = Extreme<std::int32_t>(in);
  board.placerOptions.text1 = AnyString(in);
  board.externalDielectrics[0].material = AnyString(in);
  board.externalDielectrics[1].constant = Real(in);
  for (int n = in.ConsumeIntegralInRange<int>(0, 6); n > 0; --n) {
    Layer& layer = board.layers[in.ConsumeIntegralInRange<std::size_t>(0, kHostLayerCount - 1)];
    layer.name = AnyString(in);
    layer.copperThickness = Extreme<std::int32_t>(in);
    layer.status2 = in.ConsumeIntegral<std::uint8_t>();
    layer.dielectric.material = AnyString(in);
    layer.dielectric.constant = Real(in);
    layer.planeNet = AnyString(in);
  }
  // Stack links of any value: loops, links to codes beyond 82, two layers
  // without a previous one.
  for (int n = in.ConsumeIntegralInRange<int>(0, 8); n > 0; --n) {
    Layer& layer = board.layers[in.ConsumeIntegralInRange<std::size_t>(0, kHostLayerCount - 1)];
    (in.ConsumeBool() ? layer.nextLayer : layer.prevLayer) = in.ConsumeIntegral<HostLayer>();
  }
  if (in.ConsumeBool()) {
    // Every layer of the stack points on to the first: a chain that never ends.
    board.layers[kBottomLayer].nextLayer = kTopLayer;
  }
  for (int n = in.ConsumeIntegralInRange<int>(0, 3); n > 0; --n)
    board.layerPairs.push_back(LayerPair{AnyLayer(in), AnyLayer(in),
                                         in.ConsumeIntegral<std::uint8_t>(),
                                         in.ConsumeIntegral<std::uint8_t>()});
}

}  // namespace

void GenerateBoard(FuzzedDataProvider& in) {
  Server& s = TheServer();
  s.Reset();
  s.CreateBoard();
  FillBoard(in, *s.CurrentBoard());
  Made made;
  for (int n = in.ConsumeIntegralInRange<int>(0, 6); n > 0; --n) {
    Net net;
    net.name = AnyString(in);
    net.index = Extreme<std::uint16_t>(in);
    net.netValue = Extreme<std::uint32_t>(in);
    if (const ObjectHandle h = s.Add(net)) {
      made.all.push_back(h);
      made.nets.push_back(h);
    }
  }
  while (in.remaining_bytes() > 0) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        AddComponent(in, made);
        break;
      case 1:
        AddPolygon(in, made);
        break;
      case 2:
        AddDimension(in, made);
        break;
      case 3:
        AddClass(in, made);
        break;
      case 4:
        AddRule(in, made);
        break;
      default:
        AddPrimitive(in, made, 0);
        break;
    }
  }
}

}  // namespace pcb28fuzz
