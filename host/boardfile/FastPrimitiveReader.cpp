// Streaming: tracks, arcs, vias, fills, texts and pads, the members of
// components and the free objects.
#include "boardfile/FastBoardReader.h"

namespace boardfile::fast {

// One line per key.
// clang-format off

template <class T>
void Reader::Members(Value& v, ObjectHandle component) {
  Each(v, [&](Value& o) {
    T object;
    Read(o, object);
    Added(server_.Add(std::move(object), component));
  });
}

void Reader::Read(Value& v, standin::Track& t) {
  EachField(v, kTrackKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: t.x = Length(x); break;
      case 1: t.y = Length(x); break;
      case 2: t.x2 = Length(x); break;
      case 3: t.y2 = Length(x); break;
      case 4: t.width = Length(x); break;
      case 5: t.polygon = PolygonRef(x); break;
      case 6: Int(x, t.extra1); break;
      case 7: Int(x, t.extra2); break;
      default: Common(k, x, t);
    }
  });
}

void Reader::Read(Value& v, standin::Arc& a) {
  EachField(v, kArcKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: a.x = Length(x); break;
      case 1: a.y = Length(x); break;
      case 2: a.radius = Length(x); break;
      case 3: a.startAngle = Real(x); break;
      case 4: a.endAngle = Real(x); break;
      case 5: a.lineWidth = Length(x); break;
      case 6: a.polygon = PolygonRef(x); break;
      default: Common(k, x, a);
    }
  });
}

void Reader::Read(Value& v, standin::Via& via) {
  EachField(v, kViaKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: via.x = Length(x); break;
      case 1: via.y = Length(x); break;
      case 2: via.size = Length(x); break;
      case 3: via.hole = Length(x); break;
      case 4: via.lowLayer = Layer(x, 0); break;
      case 5: via.highLayer = Layer(x, 0); break;
      default: Common(k, x, via);
    }
  });
}

void Reader::Read(Value& v, standin::Fill& f) {
  EachField(v, kFillKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: f.x = Length(x); break;
      case 1: f.y = Length(x); break;
      case 2: f.x2 = Length(x); break;
      case 3: f.y2 = Length(x); break;
      case 4: f.rotation = Real(x); break;
      case 5: f.polygon = PolygonRef(x); break;
      default: Common(k, x, f);
    }
  });
}

// A text's layer is set by the caller: a component's designator and
// comment default to TopOverlay.
void Reader::Read(Value& v, standin::Text& t) {
  EachField(v, kTextKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: t.x = Length(x); break;
      case 1: t.y = Length(x); break;
      case 2: t.height = Length(x); break;
      case 3: Int(x, t.style); break;
      case 4: t.rotation = Real(x); break;
      case 5: Int(x, t.textFlag); break;
      case 6: HostString(x, kTextLimit, t.text); break;
      case 7: t.lineWidth = Length(x); break;
      case 8: Int(x, t.extra1); break;
      case 9: Int(x, t.extra2); break;
      default: Common(k, x, t);
    }
  });
}

standin::PadLevel Reader::Level(Value& v) {
  standin::PadLevel level;
  EachField(v, kLevelKeys, [&](int k, Value& x) {
    if (k == 0) level.xSize = Length(x);
    if (k == 1) level.ySize = Length(x);
    if (k == 2) Int(x, level.shape);
  });
  return level;
}

void Reader::Read(Value& v, standin::Pad& p) {
  // "size" sets all three levels, whatever the order of the keys; "top",
  // "mid" and "bottom" then override it.
  std::optional<standin::PadLevel> size, top, mid, bottom;
  EachField(v, kPadKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: p.x = Length(x); break;
      case 1: p.y = Length(x); break;
      case 2: HostString(x, kPadNameLimit, p.name); break;
      case 3: p.hole = Length(x); break;
      case 4: p.rotation = Real(x); break;
      case 5: size = Level(x); break;
      case 6: top = Level(x); break;
      case 7: mid = Level(x); break;
      case 8: bottom = Level(x); break;
      case 9: Int(x, p.padByte1); break;
      case 10: Int(x, p.padByte2); break;
      case 11: Int(x, p.pwrGnd); break;
      case 12: Int(x, p.stackMode); break;
      case 13:
        EachLayerField(x, 1, [&](HostLayer layer, Value& l) { p.Give(layer, {}) = Level(l); });
        break;
      default: Common(k, x, p);
    }
  });
  if (size) p.top = p.mid = p.bottom = *size;
  if (top) p.top = *top;
  if (mid) p.mid = *mid;
  if (bottom) p.bottom = *bottom;
}

template void Reader::Members<standin::Track>(Value&, ObjectHandle);
template void Reader::Members<standin::Arc>(Value&, ObjectHandle);
template void Reader::Members<standin::Via>(Value&, ObjectHandle);
template void Reader::Members<standin::Fill>(Value&, ObjectHandle);
template void Reader::Members<standin::Text>(Value&, ObjectHandle);
template void Reader::Members<standin::Pad>(Value&, ObjectHandle);

// clang-format on

}  // namespace boardfile::fast
