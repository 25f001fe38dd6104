// Streaming: components (with their members) and polygons.
#include "boardfile/FastBoardReader.h"

namespace boardfile::fast {

// One line per key.
// clang-format off

// A designator or comment: a text object or a string (then placed at the
// component's origin, which the caller sets); true for a string.
bool Reader::ComponentText(Value& v, std::optional<standin::Text>& out) {
  standin::Text t;
  t.layer = kTopOverlay;
  const bool atOrigin = v.type() == Type::string;
  if (atOrigin) {
    HostString(v, kTextLimit, t.text);
  } else {
    Read(v, t);
  }
  out = std::move(t);
  return atOrigin;
}

void Reader::Component(Value& v) {
  od::object object = ObjectOf(v);
  standin::Component c;
  std::optional<standin::Text> designator, comment;
  bool designatorAtOrigin = false, commentAtOrigin = false;
  // The component's own values first; its members once it has a handle.
  const std::uint64_t present = EachField(object, kComponentKeys, [&](int k, Value& x) {
    switch (k) {
      case kCX: c.x = Length(x); break;
      case kCY: c.y = Length(x); break;
      case kPattern: HostString(x, kPatternLimit, c.pattern); break;
      case kCRotation: c.rotation = Real(x); break;
      case kCBytes:
        EachItem(x, 3, [&](std::size_t i, Value& b) {
          std::uint8_t* bytes[] = {&c.byte1, &c.byte2, &c.byte3};
          Int(b, *bytes[i]);
        });
        break;
      case kValue: Int(x, c.value); break;
      case kChannelOffset: Int(x, c.channelOffset); break;
      case kComponentKind: Int(x, c.componentKind); break;
      case kEx:
        EachItem(x, 4, [&](std::size_t i, Value& e) {
          if (i == 0) Int(e, c.exValue1);
          if (i == 1) Int(e, c.exByte1);
          if (i == 2) Int(e, c.exByte2);
          if (i == 3) Int(e, c.exValue2);
        });
        break;
      case kSourceLinks:
        EachItem(x, 7,
                 [&](std::size_t i, Value& s) { HostString(s, kNameLimit, c.sourceLinks[i]); });
        break;
      case kDesignator: designatorAtOrigin = ComponentText(x, designator); break;
      case kComment: commentAtOrigin = ComponentText(x, comment); break;
      case kCTracks:
      case kCArcs:
      case kCPads:
      case kCFills:
      case kCVias:
      case kCTexts:
        break;
      default: Common(k, x, c, /*withNet=*/false);
    }
  });
  if (designatorAtOrigin) designator->x = c.x, designator->y = c.y;
  if (commentAtOrigin) comment->x = c.x, comment->y = c.y;
  if (designator) designators_.insert(designator->text);
  const ObjectHandle handle = server_.Add(std::move(c));
  Added(handle);
  if (designator) Added(server_.AddDesignator(handle, std::move(*designator)));
  if (comment) Added(server_.AddComment(handle, std::move(*comment)));
  if ((present & (Bit(kCTracks) | Bit(kCArcs) | Bit(kCPads) | Bit(kCFills) | Bit(kCVias) |
                  Bit(kCTexts))) == 0) {
    return;
  }
  (void)object.reset();
  for (const ComponentKey k : {kCTracks, kCArcs, kCPads, kCFills, kCVias, kCTexts}) {
    if ((present & Bit(k)) == 0) continue;
    Value list = object.find_field_unordered(kComponentKeys.Name(k));
    switch (k) {
      case kCTracks: Members<standin::Track>(list, handle); break;
      case kCArcs: Members<standin::Arc>(list, handle); break;
      case kCPads: Members<standin::Pad>(list, handle); break;
      case kCFills: Members<standin::Fill>(list, handle); break;
      case kCVias: Members<standin::Via>(list, handle); break;
      default:
        Members<standin::Text>(list, handle);
        break;
    }
  }
}

PolygonSegment Reader::OutlineEntry(Value& v) {
  std::uint8_t kind = 0;
  bool kindGiven = false, arc = false;
  Coord x = 0, y = 0, cx = 0, cy = 0, radius = 0;
  double startAngle = 0, endAngle = 0;
  EachField(v, kOutlineEntryKeys, [&](int k, Value& e) {
    switch (k) {
      case 0: x = Length(e); break;
      case 1: y = Length(e); break;
      case 2:
        arc = true;
        EachField(e, kOutlineArcKeys, [&](int a, Value& value) {
          switch (a) {
            case 0: cx = Length(value); break;
            case 1: cy = Length(value); break;
            case 2: radius = Length(value); break;
            case 3: startAngle = Real(value); break;
            default:
              endAngle = Real(value);
              break;
          }
        });
        break;
      default:
        kindGiven = true;
        Int(e, kind);
    }
  });
  if (arc && !kindGiven) kind = 1;
  return PolygonSegment{kind, x, y, cx, cy, radius, startAngle, endAngle};
}

template <class T>
void Reader::Area(Value& v) {
  T p;
  std::optional<std::string> id;
  EachField(v, kAreaKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: id = AreaId(x); break;
      case 1:
        EachItem(x, 5, [&](std::size_t i, Value& b) {
          std::uint8_t* bytes[] = {&p.byte0, &p.byte1, &p.byte2, &p.byte3, &p.byte4};
          Int(b, *bytes[i]);
        });
        break;
      case 2: p.value1 = Length(x); break;
      case 3: p.trackWidth = Length(x); break;
      case 4: p.value3 = Length(x); break;
      case 5: Int(x, p.styleCode); break;
      case 6:
        EachItem(x, kMaxOutlineEntries,
                 [&](std::size_t, Value& e) { p.outline.push_back(OutlineEntry(e)); });
        break;
      default: Common(k, x, p);
    }
  });
  if (id) Need(!areas_.Contains(*id));
  const ObjectHandle handle = server_.Add(std::move(p));
  Added(handle);
  if (id) areas_.Insert(*id, handle);
}

template void Reader::Area<standin::Polygon>(Value&);
template void Reader::Area<standin::BoardOutline>(Value&);

// clang-format on

}  // namespace boardfile::fast
