// Entry points of the object queries: primitives, group objects, nets,
// classes, rules and the other object calls.
#include <algorithm>
#include <limits>

#include "server/EntryPointSupport.h"

using namespace standin;

namespace {

// In set mode: a link that names nothing of the right kind refuses the
// whole query before anything is stored.
bool BadNet(const Object& self, const ObjectHandle* net) {
  if (net == nullptr || *net == 0) return false;
  const Net* found = S().Get<Net>(*net);
  return found == nullptr || found->board != self.board;
}

bool BadComponent(const Object& self, const ObjectHandle* component) {
  if (component == nullptr || *component == 0) return false;
  const Component* found = S().Get<Component>(*component);
  return found == nullptr || found->board != self.board;
}

bool BadPolygon(const Object& self, const ObjectHandle* polygon) {
  if (polygon == nullptr || *polygon == 0) return false;
  const Polygon* found = S().Get<Polygon>(*polygon);
  return found == nullptr || found->board != self.board;
}

// The common block of the primitives. In set mode a changed component link
// moves the object to that component (last in its document order).
void Common(const Exchange& x, Primitive& p, std::uint16_t* flags, std::uint16_t* index,
            HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component,
            Coord* px, Coord* py) {
  x(flags, p.flags);
  x(index, p.index);
  x(layer, p.layer);
  if (!x.get() && net != nullptr && *net != p.net) S().InvalidateNetMembers();
  x(net, p.net);
  x(tag, p.tag);
  if (component != nullptr) {
    if (x.get()) {
      *component = p.component;
    } else {
      S().Reparent(p.handle, *component);
    }
  }
  x(px, p.x);
  x(py, p.y);
}

template <class T>
Status Prepare(QueryMode mode, ObjectHandle object, T*& out) {
  if (mode != kQueryGet && mode != kQuerySet) return kBadMode;
  out = S().Get<T>(object);
  return out == nullptr ? kBadHandle : kOk;
}

// The level of a pad that answers for a layer without an entry of its own.
const PadLevel& LevelOn(const Pad& pad, HostLayer layer) {
  if (pad.given[layer]) return pad.layerStack[layer];
  switch (layer) {
    case kTopLayer:
      return pad.top;
    case kBottomLayer:
    case 34:  // BottomOverlay
    case 36:  // BottomPaste
    case 38:  // BottomSolder
      return pad.bottom;
    default:
      return (layer > kTopLayer && layer < kBottomLayer) || IsInternalPlane(layer) ? pad.mid
                                                                                   : pad.top;
  }
}

constexpr std::uint8_t kRoundShape = 1;

bool ValidLayer(HostLayer layer) { return layer >= 1 && layer <= kLastHostLayer; }

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
      for (const auto& members : c.members) {
        for (ObjectHandle h : members) Bounds(*S().Find(h), r);
      }
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
  Object* o = nullptr;
  if (Status s = Prepare(mode, object, o)) return s;
  Exchange(mode == kQueryGet)(bitField2, o->bitField2);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_GetObjectBitField3(QueryMode mode, ObjectHandle object,
                                                           std::uint16_t* bitField3) {
  RECORD(mode, object);
  Object* o = nullptr;
  if (Status s = Prepare(mode, object, o)) return s;
  Exchange(mode == kQueryGet)(bitField3, o->bitField3);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPrimitive(QueryMode mode, ObjectHandle object,
                                                       std::uint16_t* flags, std::uint16_t* index,
                                                       HostLayer* layer, ObjectHandle* net,
                                                       ObjectHandle* component, std::uint8_t* tag) {
  RECORD(mode, object);
  Primitive* p = nullptr;
  if (Status s = Prepare(mode, object, p)) return s;
  const Exchange x(mode == kQueryGet);
  if (!x.get() && (BadNet(*p, net) || (p->kind != Kind::Component && BadComponent(*p, component))))
    return kBadLink;
  if (p->kind == Kind::Component) component = nullptr;  // a component has no owner
  Common(x, *p, flags, index, layer, net, tag, component, nullptr, nullptr);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryTrack(QueryMode mode, ObjectHandle object,
                                                   std::uint16_t* flags, std::uint16_t* index,
                                                   HostLayer* layer, ObjectHandle* net,
                                                   std::uint8_t* tag, ObjectHandle* component,
                                                   Coord* x, Coord* y, Coord* x2, Coord* y2,
                                                   Coord* width, ObjectHandle* polygon,
                                                   std::int32_t* extra1, std::int32_t* extra2) {
  RECORD(mode, object);
  Track* t = nullptr;
  if (Status s = Prepare(mode, object, t)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*t, net) || BadComponent(*t, component) || BadPolygon(*t, polygon)))
    return kBadLink;
  Common(xc, *t, flags, index, layer, net, tag, component, x, y);
  xc(x2, t->x2);
  xc(y2, t->y2);
  xc(width, t->width);
  xc(polygon, t->polygon);
  xc(extra1, t->extra1);
  xc(extra2, t->extra2);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryVia(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* flags, std::uint16_t* index,
                                                 HostLayer* layer, ObjectHandle* net,
                                                 std::uint8_t* tag, ObjectHandle* component,
                                                 Coord* x, Coord* y, Coord* size, Coord* holeSize,
                                                 HostLayer* lowLayer, HostLayer* highLayer) {
  RECORD(mode, object);
  Via* v = nullptr;
  if (Status s = Prepare(mode, object, v)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*v, net) || BadComponent(*v, component))) return kBadLink;
  Common(xc, *v, flags, index, layer, net, tag, component, x, y);
  xc(size, v->size);
  xc(holeSize, v->hole);
  xc(lowLayer, v->lowLayer);
  xc(highLayer, v->highLayer);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryArc(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* flags, std::uint16_t* index,
                                                 HostLayer* layer, ObjectHandle* net,
                                                 std::uint8_t* tag, ObjectHandle* component,
                                                 Coord* x, Coord* y, Coord* radius,
                                                 double* startAngle, double* endAngle,
                                                 Coord* lineWidth, ObjectHandle* polygon) {
  RECORD(mode, object);
  Arc* a = nullptr;
  if (Status s = Prepare(mode, object, a)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*a, net) || BadComponent(*a, component) || BadPolygon(*a, polygon)))
    return kBadLink;
  Common(xc, *a, flags, index, layer, net, tag, component, x, y);
  xc(radius, a->radius);
  xc(startAngle, a->startAngle);
  xc(endAngle, a->endAngle);
  xc(lineWidth, a->lineWidth);
  xc(polygon, a->polygon);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryFill(QueryMode mode, ObjectHandle object,
                                                  std::uint16_t* flags, std::uint16_t* index,
                                                  HostLayer* layer, ObjectHandle* net,
                                                  std::uint8_t* tag, ObjectHandle* component,
                                                  Coord* x, Coord* y, Coord* x2, Coord* y2,
                                                  ObjectHandle* polygon, double* rotation) {
  RECORD(mode, object);
  Fill* f = nullptr;
  if (Status s = Prepare(mode, object, f)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*f, net) || BadComponent(*f, component) || BadPolygon(*f, polygon)))
    return kBadLink;
  Common(xc, *f, flags, index, layer, net, tag, component, x, y);
  xc(x2, f->x2);
  xc(y2, f->y2);
  xc(polygon, f->polygon);
  xc(rotation, f->rotation);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryText(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component, Coord* x,
    Coord* y, Coord* height, std::int32_t* style, double* rotation, std::uint8_t* textFlag,
    std::uint8_t* text, Coord* lineWidth, std::int32_t* extra1, std::int32_t* extra2) {
  RECORD(mode, object);
  Text* t = nullptr;
  if (Status s = Prepare(mode, object, t)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*t, net) || BadComponent(*t, component))) return kBadLink;
  Common(xc, *t, flags, index, layer, net, tag, component, x, y);
  xc(height, t->height);
  xc(style, t->style);
  xc(rotation, t->rotation);
  xc(textFlag, t->textFlag);
  xc.Text(text, kTextBufferSize, t->text);
  xc(lineWidth, t->lineWidth);
  xc(extra1, t->extra1);
  xc(extra2, t->extra2);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPad(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component, Coord* x,
    Coord* y, Coord* xSizeTop, Coord* ySizeTop, Coord* xSizeMid, Coord* ySizeMid,
    Coord* xSizeBottom, Coord* ySizeBottom, Coord* holeSize, std::uint8_t* shapeTop,
    std::uint8_t* shapeMid, std::uint8_t* shapeBottom, std::uint8_t* name, std::uint8_t* padByte1,
    std::uint8_t* padByte2, double* rotation) {
  RECORD(mode, object);
  Pad* p = nullptr;
  if (Status s = Prepare(mode, object, p)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && (BadNet(*p, net) || BadComponent(*p, component))) return kBadLink;
  Common(xc, *p, flags, index, layer, net, tag, component, x, y);
  xc(xSizeTop, p->top.xSize);
  xc(ySizeTop, p->top.ySize);
  xc(xSizeMid, p->mid.xSize);
  xc(ySizeMid, p->mid.ySize);
  xc(xSizeBottom, p->bottom.xSize);
  xc(ySizeBottom, p->bottom.ySize);
  xc(holeSize, p->hole);
  xc(shapeTop, p->top.shape);
  xc(shapeMid, p->mid.shape);
  xc(shapeBottom, p->bottom.shape);
  xc.Text(name, kPadNameBufferSize, p->name);
  xc(padByte1, p->padByte1);
  xc(padByte2, p->padByte2);
  xc(rotation, p->rotation);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadStackMode(QueryMode mode, ObjectHandle object,
                                                          std::uint8_t* stackMode) {
  RECORD(mode, object);
  Pad* p = nullptr;
  if (Status s = Prepare(mode, object, p)) return s;
  Exchange(mode == kQueryGet)(stackMode, p->stackMode);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadOrViaShapeOnLayer(ObjectHandle object,
                                                                  HostLayer layer,
                                                                  std::uint8_t* shape) {
  RECORD(object, layer);
  Object* o = S().Find(object);
  if (o == nullptr || (o->kind != Kind::Pad && o->kind != Kind::Via)) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  if (shape == nullptr) return kOk;
  *shape = o->kind == Kind::Via ? kRoundShape : LevelOn(static_cast<Pad&>(*o), layer).shape;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadOrViaSizeOnLayer(ObjectHandle object,
                                                                 HostLayer layer, Coord* xSize,
                                                                 Coord* ySize) {
  RECORD(object, layer);
  Object* o = S().Find(object);
  if (o == nullptr || (o->kind != Kind::Pad && o->kind != Kind::Via)) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  PadLevel level;
  if (o->kind == Kind::Via) {
    level.xSize = level.ySize = static_cast<Via&>(*o).size;
  } else {
    level = LevelOn(static_cast<Pad&>(*o), layer);
  }
  if (xSize != nullptr) *xSize = level.xSize;
  if (ySize != nullptr) *ySize = level.ySize;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SetPadShapeOnLayer(ObjectHandle object, HostLayer layer,
                                                           std::uint8_t shape) {
  RECORD(object, layer, shape);
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  if (!p->given[layer]) p->layerStack[layer] = LevelOn(*p, layer);
  p->given[layer] = true;
  p->layerStack[layer].shape = shape;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SetPadSizeOnLayer(ObjectHandle object, HostLayer layer,
                                                          Coord xSize, Coord ySize) {
  RECORD(object, layer, xSize, ySize);
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  if (!p->given[layer]) p->layerStack[layer] = LevelOn(*p, layer);
  p->given[layer] = true;
  p->layerStack[layer].xSize = xSize;
  p->layerStack[layer].ySize = ySize;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPad_PwrGnd(ObjectHandle object, std::uint8_t* pwrGnd) {
  RECORD(object);
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (pwrGnd != nullptr) *pwrGnd = p->pwrGnd;
  return kOk;
}

// ---- components and polygons

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponent(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, std::uint8_t* tag, ObjectHandle* nameText, ObjectHandle* commentText,
    std::uint8_t* pattern, std::uint8_t* byte1, std::uint8_t* byte2, Coord* x, Coord* y,
    std::int32_t* value, double* rotation, std::uint8_t* byte3) {
  RECORD(mode, object);
  Component* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  const Exchange xc(mode == kQueryGet);
  // The designator and comment texts belong to the component: set mode takes
  // them back unchanged only.
  if (!xc.get() && ((nameText != nullptr && *nameText != c->nameText) ||
                    (commentText != nullptr && *commentText != c->commentText)))
    return kBadLink;
  xc(flags, c->flags);
  xc(index, c->index);
  xc(layer, c->layer);
  xc(tag, c->tag);
  xc(nameText, c->nameText);
  xc(commentText, c->commentText);
  xc.Text(pattern, kPatternBufferSize, c->pattern);
  xc(byte1, c->byte1);
  xc(byte2, c->byte2);
  xc(x, c->x);
  xc(y, c->y);
  xc(value, c->value);
  xc(rotation, c->rotation);
  xc(byte3, c->byte3);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentEx(QueryMode mode, ObjectHandle object,
                                                         std::int32_t* value1, std::uint8_t* byte1,
                                                         std::uint8_t* byte2,
                                                         std::int32_t* value2) {
  RECORD(mode, object);
  Component* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(value1, c->exValue1);
  xc(byte1, c->exByte1);
  xc(byte2, c->exByte2);
  xc(value2, c->exValue2);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL
PcbApi_QueryComponentSourceLinks(QueryMode mode, ObjectHandle object, std::uint8_t* link1,
                                 std::uint8_t* link2, std::uint8_t* link3, std::uint8_t* link4,
                                 std::uint8_t* link5, std::uint8_t* link6, std::uint8_t* link7) {
  RECORD(mode, object);
  Component* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  const Exchange xc(mode == kQueryGet);
  std::uint8_t* links[7] = {link1, link2, link3, link4, link5, link6, link7};
  for (int i = 0; i < 7; ++i) xc.Text(links[i], kNameBufferSize, c->sourceLinks[i]);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentChannelOffset(QueryMode mode,
                                                                    ObjectHandle object,
                                                                    std::int32_t* channelOffset) {
  RECORD(mode, object);
  Component* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  Exchange(mode == kQueryGet)(channelOffset, c->channelOffset);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentKind(QueryMode mode, ObjectHandle object,
                                                           std::uint8_t* componentKind) {
  RECORD(mode, object);
  Component* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  Exchange(mode == kQueryGet)(componentKind, c->componentKind);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL
PcbApi_QueryPolygon(QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
                    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, std::uint8_t* byte1,
                    std::uint8_t* byte2, std::uint8_t* byte3, Coord* value1, Coord* trackWidth,
                    std::uint8_t* byte4, std::uint8_t* styleCode, Coord* value3,
                    std::uint8_t* byte0, std::int32_t* segmentCount, PolygonSegments* segments) {
  RECORD(mode, object);
  Polygon* p = nullptr;
  if (Status s = Prepare(mode, object, p)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get()) {
    if (BadNet(*p, net)) return kBadLink;
    // Entries 0 to count are read from the caller's array of 501.
    if (segmentCount != nullptr && (*segmentCount < 0 || *segmentCount >= kPolygonSegmentCapacity))
      return kBadArgument;
  }
  Common(xc, *p, flags, index, layer, net, tag, nullptr, nullptr, nullptr);
  xc(byte1, p->byte1);
  xc(byte2, p->byte2);
  xc(byte3, p->byte3);
  xc(value1, p->value1);
  xc(trackWidth, p->trackWidth);
  xc(byte4, p->byte4);
  xc(styleCode, p->styleCode);
  xc(value3, p->value3);
  xc(byte0, p->byte0);
  if (xc.get()) {
    // An outline longer than the caller's array is cut to its 501 entries.
    const std::size_t entries = std::min<std::size_t>(p->outline.size(), kPolygonSegmentCapacity);
    if (segmentCount != nullptr) {
      *segmentCount = entries == 0 ? 0 : static_cast<std::int32_t>(entries - 1);
    }
    if (segments != nullptr) std::copy_n(p->outline.begin(), entries, *segments);
  } else if (segmentCount != nullptr && segments != nullptr) {
    p->outline.assign(*segments, *segments + *segmentCount + 1);
  }
  return kOk;
}

// ---- nets, classes, rules, from-tos, coordinates, dimensions

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryNet(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* index, std::uint8_t* name,
                                                 std::uint8_t* netByte, std::uint32_t* netValue) {
  RECORD(mode, object);
  Net* n = nullptr;
  if (Status s = Prepare(mode, object, n)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(index, n->index);
  xc.Text(name, kNameBufferSize, n->name);
  xc(netByte, n->netByte);
  xc(netValue, n->netValue);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryClass(QueryMode mode, ObjectHandle object,
                                                   std::uint16_t* index, std::uint8_t* byte1,
                                                   std::uint8_t* byte2, std::uint8_t* name) {
  RECORD(mode, object);
  ObjectClass* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(index, c->index);
  xc(byte1, c->byte1);
  xc(byte2, c->byte2);
  xc.Text(name, kNameBufferSize, c->name);
  return kOk;
}

PCBAPI_EXPORT std::int32_t PCBAPI_CALL PcbApi_GetMemberFromClassAt(ObjectHandle classObject,
                                                                   std::int32_t index,
                                                                   std::uint8_t* name) {
  RECORD(classObject, index);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->members.size()) return 1;
  PutString(name, kNameBufferSize, c->members[static_cast<std::size_t>(index)]);
  return 0;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_AddMemberToClass(ObjectHandle classObject,
                                                         std::uint8_t* memberName) {
  RECORD(classObject);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  if (c == nullptr) return kBadHandle;
  c->members.push_back(TakeString(memberName, kNameBufferSize));
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_RemoveAllMembersFromClass(ObjectHandle classObject) {
  RECORD(classObject);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  if (c == nullptr) return kBadHandle;
  c->members.clear();
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRule(
    QueryMode mode, ObjectHandle object, std::uint8_t* ruleKind, std::uint8_t* byte1,
    std::uint8_t* byte2, std::uint8_t* byte3, std::uint8_t* byte4, std::uint8_t* byte5,
    std::uint8_t* byte6, std::uint8_t* text1a, std::uint8_t* text1b, std::uint8_t* text1c,
    std::uint8_t* text1d, std::uint8_t* byte7, std::uint8_t* byte8, std::int32_t* value1,
    std::int32_t* value2, std::int32_t* value3, std::int32_t* value4, std::uint8_t* text2a,
    std::uint8_t* text2b, std::uint8_t* text2c, std::uint8_t* text2d, std::uint8_t* text2e,
    std::uint8_t* text2f) {
  RECORD(mode, object);
  Rule* r = nullptr;
  if (Status s = Prepare(mode, object, r)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(ruleKind, r->ruleKind);
  std::uint8_t* bytes[8] = {byte1, byte2, byte3, byte4, byte5, byte6, byte7, byte8};
  for (int i = 0; i < 6; ++i) xc(bytes[i], r->bytes[i]);
  std::uint8_t* texts1[4] = {text1a, text1b, text1c, text1d};
  for (int i = 0; i < 4; ++i) xc.Text(texts1[i], kNameBufferSize, r->texts1[i]);
  xc(bytes[6], r->bytes[6]);
  xc(bytes[7], r->bytes[7]);
  std::int32_t* values[4] = {value1, value2, value3, value4};
  for (int i = 0; i < 4; ++i) xc(values[i], r->numbers[i]);
  std::uint8_t* texts2[6] = {text2a, text2b, text2c, text2d, text2e, text2f};
  for (int i = 0; i < 6; ++i) xc.Text(texts2[i], kNameBufferSize, r->texts2[i]);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryFromTo(QueryMode mode, ObjectHandle object,
                                                    std::uint16_t* index, Coord* x, Coord* y,
                                                    std::uint8_t* fromByte, Coord* x2, Coord* y2,
                                                    std::uint8_t* toByte, ObjectHandle* net) {
  RECORD(mode, object);
  FromTo* f = nullptr;
  if (Status s = Prepare(mode, object, f)) return s;
  const Exchange xc(mode == kQueryGet);
  if (!xc.get() && BadNet(*f, net)) return kBadLink;
  xc(index, f->index);
  xc(x, f->x);
  xc(y, f->y);
  xc(fromByte, f->fromByte);
  xc(x2, f->x2);
  xc(y2, f->y2);
  xc(toByte, f->toByte);
  if (!xc.get() && net != nullptr && *net != f->net) S().InvalidateNetMembers();
  xc(net, f->net);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryManualFromTo(QueryMode mode, ObjectHandle object,
                                                          std::uint16_t* index, std::uint8_t* text1,
                                                          std::uint8_t* text2, std::uint8_t* text3,
                                                          std::int32_t* value) {
  RECORD(mode, object);
  ManualFromTo* m = nullptr;
  if (Status s = Prepare(mode, object, m)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(index, m->index);
  xc.Text(text1, kNameBufferSize, m->texts[0]);
  xc.Text(text2, kNameBufferSize, m->texts[1]);
  xc.Text(text3, kNameBufferSize, m->texts[2]);
  xc(value, m->value);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryCoordinate(QueryMode mode, ObjectHandle object,
                                                        std::uint16_t* flags, std::uint16_t* index,
                                                        std::uint8_t* tag, Coord* x, Coord* y,
                                                        HostLayer* layer, Coord* value1,
                                                        Coord* value2, Coord* value3, Coord* value4,
                                                        Coord* value5, Coord* value6) {
  RECORD(mode, object);
  Coordinate* c = nullptr;
  if (Status s = Prepare(mode, object, c)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(flags, c->flags);
  xc(index, c->index);
  xc(tag, c->tag);
  xc(x, c->x);
  xc(y, c->y);
  xc(layer, c->layer);
  Coord* values[6] = {value1, value2, value3, value4, value5, value6};
  for (int i = 0; i < 6; ++i) xc(values[i], c->values[i]);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryDimension(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    std::uint8_t* tag, Coord* x, Coord* y, std::int32_t* value1, std::int32_t* value2,
    HostLayer* layer, std::int32_t* value3, std::int32_t* value4, std::int32_t* value5,
    std::int32_t* value6, std::int32_t* value7, std::uint8_t* byte1) {
  RECORD(mode, object);
  Dimension* d = nullptr;
  if (Status s = Prepare(mode, object, d)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(flags, d->flags);
  xc(index, d->index);
  xc(tag, d->tag);
  xc(x, d->x);
  xc(y, d->y);
  xc(value1, d->value1);
  xc(value2, d->value2);
  xc(layer, d->layer);
  xc(value3, d->value3);
  xc(value4, d->value4);
  xc(value5, d->value5);
  xc(value6, d->value6);
  xc(value7, d->value7);
  xc(byte1, d->byte1);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryExtDimension(
    QueryMode mode, ObjectHandle object, std::uint8_t* dimensionCode, std::int32_t* value1,
    std::int32_t* value2, std::int32_t* ext1, std::uint8_t* extByte1, std::int32_t* ext2,
    std::uint8_t* extText1, std::uint8_t* extByte2, std::int32_t* ext3, std::uint8_t* extText2,
    std::uint8_t* extText3, double* ext8Bytes, std::int32_t* ext4, std::int32_t* ext5,
    std::int32_t* ext6, std::uint8_t* extByte3, std::int32_t* ext7, std::int32_t* ext8,
    std::int32_t* ext9) {
  RECORD(mode, object);
  Dimension* d = nullptr;
  if (Status s = Prepare(mode, object, d)) return s;
  const Exchange xc(mode == kQueryGet);
  xc(dimensionCode, d->dimensionCode);
  xc(value1, d->extValue1);
  xc(value2, d->extValue2);
  xc(ext1, d->ext1);
  xc(extByte1, d->extByte1);
  xc(ext2, d->ext2);
  xc.Text(extText1, kNameBufferSize, d->extText1);
  xc(extByte2, d->extByte2);
  xc(ext3, d->ext3);
  xc.Text(extText2, kNameBufferSize, d->extText2);
  xc.Text(extText3, kNameBufferSize, d->extText3);
  xc(ext8Bytes, d->ext8Bytes);
  xc(ext4, d->ext4);
  xc(ext5, d->ext5);
  xc(ext6, d->ext6);
  xc(extByte3, d->extByte3);
  xc(ext7, d->ext7);
  xc(ext8, d->ext8);
  xc(ext9, d->ext9);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_References_Count(ObjectHandle object, std::int32_t* count) {
  RECORD(object);
  Dimension* d = S().Get<Dimension>(object);
  if (d == nullptr) return kBadHandle;
  if (count != nullptr) *count = static_cast<std::int32_t>(d->references.size());
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_References_At(QueryMode mode, ObjectHandle object,
                                                      std::int32_t index, std::int32_t* value1,
                                                      std::int32_t* value2, std::int32_t* value3,
                                                      std::int32_t* value4) {
  RECORD(mode, object, index);
  Dimension* d = nullptr;
  if (Status s = Prepare(mode, object, d)) return s;
  if (index < 0 || static_cast<std::size_t>(index) >= d->references.size()) return kBadArgument;
  const Exchange xc(mode == kQueryGet);
  auto& reference = d->references[static_cast<std::size_t>(index)];
  std::int32_t* values[4] = {value1, value2, value3, value4};
  for (int i = 0; i < 4; ++i) xc(values[i], reference[i]);
  return kOk;
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
