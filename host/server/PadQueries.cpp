// Entry points of pads: the pad query and the per-layer sizes and shapes.
#include "server/QuerySupport.h"

using namespace standin;

namespace {

// The level of a pad that answers for a layer without an entry of its own.
const PadLevel& LevelOn(const Pad& pad, HostLayer layer) {
  if (const PadLevel* given = pad.Given(layer)) return *given;
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

// The size and shape of a pad or via on a layer: a via is round, of its
// size, on every layer.
PadLevel LevelOf(const Object& object, HostLayer layer) {
  if (object.kind != Kind::Via) return LevelOn(static_cast<const Pad&>(object), layer);
  const Coord size = static_cast<const Via&>(object).size;
  return PadLevel{size, size, kRoundShape};
}

// The pad or via that a per-layer query names, once its layer is good.
Status PadOrViaOn(ObjectHandle object, HostLayer layer, const Object*& found) {
  found = S().Find(object);
  if (found == nullptr || (found->kind != Kind::Pad && found->kind != Kind::Via)) return kBadHandle;
  return ValidLayer(layer) ? kOk : kBadArgument;
}

// The level that a per-layer setter changes: the pad's own entry for the
// layer, made from the level that answered for it until then.
Status LevelToSet(ObjectHandle object, HostLayer layer, PadLevel*& level) {
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  level = &p->Give(layer, LevelOn(*p, layer));
  return kOk;
}

}  // namespace

extern "C" {

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPad(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component, Coord* x,
    Coord* y, Coord* xSizeTop, Coord* ySizeTop, Coord* xSizeMid, Coord* ySizeMid,
    Coord* xSizeBottom, Coord* ySizeBottom, Coord* holeSize, std::uint8_t* shapeTop,
    std::uint8_t* shapeMid, std::uint8_t* shapeBottom, std::uint8_t* name, std::uint8_t* padByte1,
    std::uint8_t* padByte2, double* rotation) {
  RECORD(mode, object);
  const CommonRefs common{flags, index, layer, net, tag, component, x, y};
  return PrimitiveQuery<Pad>(mode, object, common, nullptr, [&](const Exchange& xc, Pad& p) {
    xc(xSizeTop, p.top.xSize);
    xc(ySizeTop, p.top.ySize);
    xc(xSizeMid, p.mid.xSize);
    xc(ySizeMid, p.mid.ySize);
    xc(xSizeBottom, p.bottom.xSize);
    xc(ySizeBottom, p.bottom.ySize);
    xc(holeSize, p.hole);
    xc(shapeTop, p.top.shape);
    xc(shapeMid, p.mid.shape);
    xc(shapeBottom, p.bottom.shape);
    xc.Text(name, kPadNameBufferSize, p.name);
    xc(padByte1, p.padByte1);
    xc(padByte2, p.padByte2);
    xc(rotation, p.rotation);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadStackMode(QueryMode mode, ObjectHandle object,
                                                          std::uint8_t* stackMode) {
  RECORD(mode, object);
  return QueryField(mode, object, stackMode, &Pad::stackMode);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadOrViaShapeOnLayer(ObjectHandle object,
                                                                  HostLayer layer,
                                                                  std::uint8_t* shape) {
  RECORD(object, layer);
  const Object* o = nullptr;
  if (Status s = PadOrViaOn(object, layer, o)) return s;
  if (shape != nullptr) *shape = LevelOf(*o, layer).shape;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPadOrViaSizeOnLayer(ObjectHandle object,
                                                                 HostLayer layer, Coord* xSize,
                                                                 Coord* ySize) {
  RECORD(object, layer);
  const Object* o = nullptr;
  if (Status s = PadOrViaOn(object, layer, o)) return s;
  const PadLevel level = LevelOf(*o, layer);
  if (xSize != nullptr) *xSize = level.xSize;
  if (ySize != nullptr) *ySize = level.ySize;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SetPadShapeOnLayer(ObjectHandle object, HostLayer layer,
                                                           std::uint8_t shape) {
  RECORD(object, layer, shape);
  PadLevel* level = nullptr;
  if (Status s = LevelToSet(object, layer, level)) return s;
  level->shape = shape;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SetPadSizeOnLayer(ObjectHandle object, HostLayer layer,
                                                          Coord xSize, Coord ySize) {
  RECORD(object, layer, xSize, ySize);
  PadLevel* level = nullptr;
  if (Status s = LevelToSet(object, layer, level)) return s;
  level->xSize = xSize;
  level->ySize = ySize;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryPad_PwrGnd(ObjectHandle object, std::uint8_t* pwrGnd) {
  RECORD(object);
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (pwrGnd != nullptr) *pwrGnd = p->pwrGnd;
  return kOk;
}

}  // extern "C"
