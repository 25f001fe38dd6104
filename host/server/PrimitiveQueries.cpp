// Entry points of the object calls shared by every kind (kind, bit fields,
// common block, bounding rectangle) and of tracks, vias, arcs, fills and
// texts.
#include <algorithm>
#include <limits>

#include "server/QuerySupport.h"

using namespace standin;

namespace {

struct Rect {
  Coord x1 = std::numeric_limits<Coord>::max(), y1 = std::numeric_limits<Coord>::max();
  Coord x2 = std::numeric_limits<Coord>::min(), y2 = std::numeric_limits<Coord>::min();
  bool empty() const { return x1 > x2; }
  void Add(std::int64_t x, std::int64_t y, std::int64_t margin = 0) {
    auto clamp = [](std::int64_t v) {
      return static_cast<Coord>(std::clamp<std::int64_t>(v, std::numeric_limits<Coord>::min(),
                                                         std::numeric_limits<Coord>::max()));
    };
    x1 = std::min(x1, clamp(x - margin));
    y1 = std::min(y1, clamp(y - margin));
    x2 = std::max(x2, clamp(x + margin));
    y2 = std::max(y2, clamp(y + margin));
  }
};

void Bounds(Object& object, Rect& r) {
  switch (object.kind) {
    case Kind::Track: {
      auto& t = static_cast<Track&>(object);
      r.Add(t.x, t.y, t.width / 2);
      r.Add(t.x2, t.y2, t.width / 2);
      break;
    }
    case Kind::Arc: {
      auto& a = static_cast<Arc&>(object);
      r.Add(a.x, a.y, std::int64_t{a.radius} + a.lineWidth / 2);
      break;
    }
    case Kind::Via: {
      auto& v = static_cast<Via&>(object);
      r.Add(v.x, v.y, v.size / 2);
      break;
    }
    case Kind::Pad: {
      auto& p = static_cast<Pad&>(object);
      Coord half = 0;
      for (const PadLevel* l : {&p.top, &p.mid, &p.bottom}) {
        half = std::max({half, l->xSize / 2, l->ySize / 2});
      }
      r.Add(p.x, p.y, half);
      break;
    }
    case Kind::Fill: {
      auto& f = static_cast<Fill&>(object);
      r.Add(f.x, f.y);
      r.Add(f.x2, f.y2);
      break;
    }
    case Kind::Text: {
      auto& t = static_cast<Text&>(object);
      r.Add(t.x, t.y);
      r.Add(std::int64_t{t.x} + std::int64_t{t.height} * static_cast<std::int64_t>(t.text.size()),
            std::int64_t{t.y} + t.height);
      break;
    }
    case Kind::Polygon:
    case Kind::BoardOutline:
      for (const auto& s : static_cast<Polygon&>(object).outline) r.Add(s.X, s.Y);
      break;
    case Kind::Component: {
      auto& c = static_cast<Component&>(object);
      r.Add(c.x, c.y);
      for (ObjectHandle h : {c.nameText, c.commentText}) {
        if (Object* t = S().Find(h)) Bounds(*t, r);
      }
      for (const Component::Member& member : c.members) Bounds(*S().Find(member.handle), r);
      break;
    }
    default:
      if (auto* p = S().Get<Primitive>(object.handle)) r.Add(p->x, p->y);
      break;
  }
}

}  // namespace

extern "C" {

PCBAPI_EXPORT ObjectKindCode PCBAPI_CALL PcbApi_GetObjectIdFromObjectHandle(ObjectHandle object) {
  RECORD(object);
  const Object* found = S().Find(object);
  return found == nullptr ? 0 : static_cast<ObjectKindCode>(found->kind);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_GetObjectBitField2(QueryMode mode, ObjectHandle object,
                                                           std::uint8_t* bitField2) {
  RECORD(mode, object);
  return QueryField(mode, object, bitField2, &Object::bitField2);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_GetObjectBitField3(QueryMode mode, ObjectHandle object,
                                                           std::uint16_t* bitField3) {
  RECORD(mode, object);
  return QueryField(mode, object, bitField3, &Object::bitField3);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPrimitive(QueryMode mode, ObjectHandle object,
                                                       std::uint16_t* flags, std::uint16_t* index,
                                                       HostLayer* layer, ObjectHandle* net,
                                                       ObjectHandle* component, std::uint8_t* tag) {
  RECORD(mode, object);
  return Query<Primitive>(mode, object, [&](const Exchange& x, Primitive& p) {
    if (!x.get() && (BadNet(p, net) || (p.kind != Kind::Component && BadComponent(p, component))))
      return kBadLink;
    if (p.kind == Kind::Component) {
      // A component has no owner: get mode answers none, set mode keeps none.
      if (x.get() && component != nullptr) *component = 0;
      component = nullptr;
    }
    Common(x, p, {flags, index, layer, net, tag, component});
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryTrack(QueryMode mode, ObjectHandle object,
                                                   std::uint16_t* flags, std::uint16_t* index,
                                                   HostLayer* layer, ObjectHandle* net,
                                                   std::uint8_t* tag, ObjectHandle* component,
                                                   Coord* x, Coord* y, Coord* x2, Coord* y2,
                                                   Coord* width, ObjectHandle* polygon,
                                                   std::int32_t* extra1, std::int32_t* extra2) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Track>(mode, object, common, polygon, [&](const Exchange& xc, Track& t) {
    xc(x2, t.x2);
    xc(y2, t.y2);
    xc(width, t.width);
    xc(polygon, t.polygon);
    xc(extra1, t.extra1);
    xc(extra2, t.extra2);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryVia(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* flags, std::uint16_t* index,
                                                 HostLayer* layer, ObjectHandle* net,
                                                 std::uint8_t* tag, ObjectHandle* component,
                                                 Coord* x, Coord* y, Coord* size, Coord* holeSize,
                                                 HostLayer* lowLayer, HostLayer* highLayer) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Via>(mode, object, common, nullptr, [&](const Exchange& xc, Via& v) {
    xc(size, v.size);
    xc(holeSize, v.hole);
    xc(lowLayer, v.lowLayer);
    xc(highLayer, v.highLayer);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryArc(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* flags, std::uint16_t* index,
                                                 HostLayer* layer, ObjectHandle* net,
                                                 std::uint8_t* tag, ObjectHandle* component,
                                                 Coord* x, Coord* y, Coord* radius,
                                                 double* startAngle, double* endAngle,
                                                 Coord* lineWidth, ObjectHandle* polygon) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Arc>(mode, object, common, polygon, [&](const Exchange& xc, Arc& a) {
    xc(radius, a.radius);
    xc(startAngle, a.startAngle);
    xc(endAngle, a.endAngle);
    xc(lineWidth, a.lineWidth);
    xc(polygon, a.polygon);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryFill(QueryMode mode, ObjectHandle object,
                                                  std::uint16_t* flags, std::uint16_t* index,
                                                  HostLayer* layer, ObjectHandle* net,
                                                  std::uint8_t* tag, ObjectHandle* component,
                                                  Coord* x, Coord* y, Coord* x2, Coord* y2,
                                                  ObjectHandle* polygon, double* rotation) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Fill>(mode, object, common, polygon, [&](const Exchange& xc, Fill& f) {
    xc(x2, f.x2);
    xc(y2, f.y2);
    xc(polygon, f.polygon);
    xc(rotation, f.rotation);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryText(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component, Coord* x,
    Coord* y, Coord* height, std::int32_t* style, double* rotation, std::uint8_t* textFlag,
    std::uint8_t* text, Coord* lineWidth, std::int32_t* extra1, std::int32_t* extra2) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Text>(mode, object, common, nullptr, [&](const Exchange& xc, Text& t) {
    xc(height, t.height);
    xc(style, t.style);
    xc(rotation, t.rotation);
    xc(textFlag, t.textFlag);
    xc.Text(text, kTextBufferSize, t.text);
    xc(lineWidth, t.lineWidth);
    xc(extra1, t.extra1);
    xc(extra2, t.extra2);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryObjectBoundingRectangle(ObjectHandle object, Coord* x1,
                                                                     Coord* y1, Coord* x2,
                                                                     Coord* y2) {
  RECORD(object);
  Object* o = S().Find(object);
  if (o == nullptr || o->kind == Kind::None) return kBadHandle;
  Rect r;
  Bounds(*o, r);
  if (r.empty()) r = Rect{0, 0, 0, 0};
  if (x1 != nullptr) *x1 = r.x1;
  if (y1 != nullptr) *y1 = r.y1;
  if (x2 != nullptr) *x2 = r.x2;
  if (y2 != nullptr) *y2 = r.y2;
  return kOk;
}

PCBAPI_EXPORT std::int32_t PCBAPI_CALL PcbApi_QueryObjectImport_FromUser(ObjectHandle object) {
  RECORD(object);
  return S().Find(object) != nullptr ? 0 : kBadHandle;
}

PCBAPI_EXPORT std::int32_t PCBAPI_CALL
PcbApi_QueryObjectGraphicallyInvalidate(ObjectHandle object) {
  RECORD(object);
  return S().Find(object) != nullptr ? 0 : kBadHandle;
}

}  // extern "C"
