#include "board/PcbPrimitives.h"

Status TPcbTrack::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryTrack(mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag,
                                     &ComponentHandle, &X, &Y, &X2, &Y2, &Width, &PolygonHandle,
                                     &Extra1, &Extra2);
}

Status TPcbVia::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryVia(mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag,
                                   &ComponentHandle, &X, &Y, &Size, &HoleSize, &LowLayer,
                                   &HighLayer);
}

Coord TPcbVia::GetLayerSize(HostLayer layer) {
  Coord xSize = 0, ySize = 0;
  if (PCBProcs::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &xSize, &ySize) != 0) return 0;
  return xSize;
}

std::uint8_t TPcbVia::GetLayerShape(HostLayer layer) {
  std::uint8_t shape = 0;
  if (PCBProcs::PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &shape) != 0) return 0;
  return shape;
}

Status TPcbArc::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryArc(mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag,
                                   &ComponentHandle, &X, &Y, &Radius, &StartAngle, &EndAngle,
                                   &LineWidth, &PolygonHandle);
}

Status TPcbFill::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryFill(mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag,
                                    &ComponentHandle, &X, &Y, &X2, &Y2, &PolygonHandle, &Rotation);
}
