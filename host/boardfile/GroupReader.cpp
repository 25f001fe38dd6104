// Components (with their members) and polygons.
#include "boardfile/BoardReader.h"

namespace boardfile {

// A designator or comment: a text object (on TopOverlay unless it says
// otherwise) or a string (then placed at the component's origin, which the
// caller sets); true for a string.
bool Reader::ComponentText(Value& v, std::optional<standin::Text>& out) {
  standin::Text t;
  t.layer = kTopOverlay;
  const bool atOrigin = v.type() == Type::string;
  if (atOrigin) {
    HostString(v, kTextLimit, "text", t.text);
  } else {
    Read(v, t, "a text object or a string");
  }
  out = std::move(t);
  return atOrigin;
}

void Reader::Component(Value& v) {
  od::object object = ObjectOf(v, "an object");
  standin::Component o;
  std::optional<standin::Text> designator, comment;
  bool designatorAtOrigin = false, commentAtOrigin = false;
  // The component's own values first; its members once it has a handle. One
  // line per key.
  // clang-format off
  const auto own = [&](ComponentKey k, Value& x) {
    switch (k) {
      case ComponentKey::bytes: Integers(x, "component bytes", o.byte1, o.byte2, o.byte3); break;
      case ComponentKey::ex:
        Integers(x, "extended component values", o.exValue1, o.exByte1, o.exByte2, o.exValue2);
        break;
      case ComponentKey::source_links: Texts(x, "source links", "source link", o.sourceLinks); break;
      case ComponentKey::designator: designatorAtOrigin = ComponentText(x, designator); break;
      case ComponentKey::comment: commentAtOrigin = ComponentText(x, comment); break;
      default: break;  // the members, below
    }
  };
  // clang-format on
  const std::uint64_t present =
      EachField(object, kComponentKeys, PCB28_FIELDS_OF(Component, PCB28_COMPONENT_FIELDS));
  if (designatorAtOrigin) designator->x = o.x, designator->y = o.y;
  if (commentAtOrigin) comment->x = o.x, comment->y = o.y;
  if (designator) designators_.insert(designator->text);
  const ObjectHandle handle = server_.Add(std::move(o));
  Added(handle);
  if (designator) Added(server_.AddDesignator(handle, std::move(*designator)));
  if (comment) Added(server_.AddComment(handle, std::move(*comment)));
  constexpr ComponentKey kMembers[] = {ComponentKey::tracks, ComponentKey::arcs,
                                       ComponentKey::pads,   ComponentKey::fills,
                                       ComponentKey::vias,   ComponentKey::texts};
  std::uint64_t members = 0;
  for (const ComponentKey k : kMembers) members |= Bit(k);
  if ((present & members) == 0) return;
  (void)object.reset();
  Step& step = path_[depth_++];
  for (const ComponentKey k : kMembers) {
    if ((present & Bit(k)) == 0) continue;
    Value list = Field(object, Name(k));
    step = {Name(k)};
    // clang-format off
    switch (k) {
      case ComponentKey::tracks: Members<standin::Track>(list, handle); break;
      case ComponentKey::arcs: Members<standin::Arc>(list, handle); break;
      case ComponentKey::pads: Members<standin::Pad>(list, handle); break;
      case ComponentKey::fills: Members<standin::Fill>(list, handle); break;
      case ComponentKey::vias: Members<standin::Via>(list, handle); break;
      default: Members<standin::Text>(list, handle); break;
    }
    // clang-format on
  }
  --depth_;
}

PolygonSegment Reader::OutlineEntry(Value& v) {
  // Read into aligned fields: the host's entry layout is packed, and a
  // reference to one of its fields would be misaligned.
  struct {
    std::uint8_t kind = 0;
    Coord x = 0, y = 0, cx = 0, cy = 0, radius = 0;
    double startAngle = 0, endAngle = 0;
  } o;
  bool kindGiven = false, arc = false;
  const auto own = [&](OutlineEntryKey k, Value& x) {
    if (k == OutlineEntryKey::kind) {
      kindGiven = true;
      Int(x, o.kind);
      return;
    }
    arc = true;
    EachField(x, "an arc (cx, cy, radius, start_angle, end_angle)", kOutlineArcKeys,
              PCB28_FIELDS_OF(OutlineArc, PCB28_OUTLINE_ARC_FIELDS));
  };
  EachField(v, "an outline entry (x, y, arc, kind)", kOutlineEntryKeys,
            PCB28_FIELDS_OF(OutlineEntry, PCB28_OUTLINE_ENTRY_FIELDS));
  if (arc && !kindGiven) o.kind = 1;
  return PolygonSegment{o.kind, o.x, o.y, o.cx, o.cy, o.radius, o.startAngle, o.endAngle};
}

template <class T>
void Reader::Area(Value& v) {
  T o;
  std::optional<std::string> id;
  const auto own = [&](AreaKey k, Value& x) {
    switch (k) {
      case AreaKey::id:
        id = AreaId(x);
        break;
      case AreaKey::bytes:
        Integers(x, "polygon bytes", o.byte0, o.byte1, o.byte2, o.byte3, o.byte4);
        break;
      default:
        EachItem(x, kMaxOutlineEntries, "outline entries",
                 [&](std::size_t, Value& e) { o.outline.push_back(OutlineEntry(e)); });
    }
  };
  EachField(v, "an object", kAreaKeys, PCB28_FIELDS_OF(Area, PCB28_AREA_FIELDS));
  if (id && areas_.Contains(*id)) {
    Fail("polygon id " + Quoted(*id) +
             " is used twice (polygons and board outlines share one set of ids)",
         "id");
  }
  const ObjectHandle handle = server_.Add(std::move(o));
  Added(handle);
  if (id) areas_.Insert(*id, handle);
}

template void Reader::Area<standin::Polygon>(Value&);
template void Reader::Area<standin::BoardOutline>(Value&);

}  // namespace boardfile
