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

bool ValidLayer(HostLayer layer) { return layer >= 1 && layer <= kLastHostLayer; }

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
  p->Give(layer, LevelOn(*p, layer)).shape = shape;
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SetPadSizeOnLayer(ObjectHandle object, HostLayer layer,
                                                          Coord xSize, Coord ySize) {
  RECORD(object, layer, xSize, ySize);
  Pad* p = S().Get<Pad>(object);
  if (p == nullptr) return kBadHandle;
  if (!ValidLayer(layer)) return kBadArgument;
  PadLevel& level = p->Give(layer, LevelOn(*p, layer));
  level.xSize = xSize;
  level.ySize = ySize;
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
