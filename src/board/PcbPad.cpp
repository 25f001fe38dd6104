#include "board/PcbPad.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using board_detail::Corner;
using board_detail::RoundToCoord;

namespace {

// Rule kinds asked of the host's dominant-rule lookup.
constexpr RuleKindCode kPlaneConnectStyleRule = 6;
constexpr RuleKindCode kPowerPlaneExpansionRule = 12;
constexpr RuleKindCode kSolderMaskExpansionRule = 13;
constexpr RuleKindCode kPasteMaskExpansionRule = 14;

// Signal layers that a full pad stack holds.
constexpr HostLayer kFirstStackLayer = kTopLayer;
constexpr HostLayer kLastStackLayer = kBottomLayer;

}  // namespace

Status TPcbPad::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  const Status status = PCBProcs::PcbApi_QueryPad(
      mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag, &ComponentHandle, &X, &Y, &XSizeTop,
      &YSizeTop, &XSizeMid, &YSizeMid, &XSizeBottom, &YSizeBottom, &HoleSize, &ShapeTop, &ShapeMid,
      &ShapeBottom, Name.Buffer(), &PadByte1, &PadByte2, &Rotation);
  if (status != 0) return status;

  PCBProcs::PcbApi_QueryPadStackMode(mode, Handle, &StackMode);
  if (StackMode != kFullStack) return 0;

  layerArraysUsed_ = true;
  for (int code = kFirstStackLayer; code <= kLastStackLayer; ++code) {
    const auto layer = static_cast<HostLayer>(code);
    if (mode == kQueryGet) {
      PCBProcs::PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &LayerShape[code]);
      PCBProcs::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &LayerXSize[code],
                                                &LayerYSize[code]);
    } else {
      PCBProcs::PcbApi_SetPadShapeOnLayer(Handle, layer, LayerShape[code]);
      PCBProcs::PcbApi_SetPadSizeOnLayer(Handle, layer, LayerXSize[code], LayerYSize[code]);
    }
  }
  return 0;
}

void TPcbPad::Renew(ObjectHandle handle) {
  RenewCommonFields(handle);
  XSizeTop = YSizeTop = XSizeMid = YSizeMid = XSizeBottom = YSizeBottom = HoleSize = 0;
  ShapeTop = ShapeMid = ShapeBottom = 0;
  Name = {};
  PadByte1 = PadByte2 = 0;
  Rotation = 0.0;
  StackMode = 0;
  if (layerArraysUsed_) {
    std::fill(std::begin(LayerXSize), std::end(LayerXSize), 0);
    std::fill(std::begin(LayerYSize), std::end(LayerYSize), 0);
    std::fill(std::begin(LayerShape), std::end(LayerShape), 0);
    layerArraysUsed_ = false;
  }
}

// ---- per-layer sizes and shape

Coord TPcbPad::GetLayerXSize(HostLayer layer) {
  if (layer > kLastHostLayer) return 0;
  layerArraysUsed_ = true;
  if (PCBProcs::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &LayerXSize[layer],
                                                &LayerYSize[layer]) != 0)
    return 0;
  return LayerXSize[layer];
}

Coord TPcbPad::GetLayerYSize(HostLayer layer) {
  if (layer > kLastHostLayer) return 0;
  layerArraysUsed_ = true;
  if (PCBProcs::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &LayerXSize[layer],
                                                &LayerYSize[layer]) != 0)
    return 0;
  return LayerYSize[layer];
}

std::uint8_t TPcbPad::GetLayerShape(HostLayer layer) {
  if (layer > kLastHostLayer) return 0;
  layerArraysUsed_ = true;
  if (PCBProcs::PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &LayerShape[layer]) != 0) return 0;
  return LayerShape[layer];
}

Coord TPcbPad::GetLayerMinSize(HostLayer layer) {
  const Coord x = GetLayerXSize(layer);
  const Coord y = GetLayerYSize(layer);
  return x < y ? x : y;
}

// ---- outline geometry

Coord TPcbPad::CornerOf(Corner which, HostLayer layer, Coord margin) {
  // 64-bit so that a large size with a large margin cannot overflow.
  const std::int64_t w = std::int64_t{GetLayerXSize(layer)} + 2 * std::int64_t{margin};
  const std::int64_t h = std::int64_t{GetLayerYSize(layer)} + 2 * std::int64_t{margin};
  return board_detail::RotatedBoxCorner(which, X, Y, w, h, Rotation);
}

Coord TPcbPad::SpineOf(Spine which, HostLayer layer) {
  const Coord hx = GetLayerXSize(layer) / 2;
  const Coord hy = GetLayerYSize(layer) / 2;
  if (hx == hy) return which == Spine::StartX || which == Spine::EndX ? X : Y;

  const double d = static_cast<double>(std::llabs(std::int64_t{hx} - std::int64_t{hy}));
  const double x = X, y = Y;
  if (hx > hy) {
    const double theta = PCBProcs::DegreesToRadians(Rotation);
    switch (which) {
      case Spine::StartX:
        return RoundToCoord(x - d * std::cos(theta));
      case Spine::StartY:
        return RoundToCoord(y - d * std::sin(theta));
      case Spine::EndX:
        return RoundToCoord(x + d * std::cos(theta));
      case Spine::EndY:
        return RoundToCoord(y + d * std::sin(theta));
    }
  } else {
    const double phi = PCBProcs::DegreesToRadians(90.0 - Rotation);
    switch (which) {
      case Spine::StartX:
        return RoundToCoord(x - d * std::cos(phi));
      case Spine::StartY:
        return RoundToCoord(y + d * std::sin(phi));
      case Spine::EndX:
        return RoundToCoord(x + d * std::cos(phi));
      case Spine::EndY:
        return RoundToCoord(y - d * std::sin(phi));
    }
  }
  return 0;
}

Coord TPcbPad::GetCorner1X(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C1X, layer, margin);
}
Coord TPcbPad::GetCorner1Y(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C1Y, layer, margin);
}
Coord TPcbPad::GetCorner2X(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C2X, layer, margin);
}
Coord TPcbPad::GetCorner2Y(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C2Y, layer, margin);
}
Coord TPcbPad::GetCorner3X(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C3X, layer, margin);
}
Coord TPcbPad::GetCorner3Y(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C3Y, layer, margin);
}
Coord TPcbPad::GetCorner4X(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C4X, layer, margin);
}
Coord TPcbPad::GetCorner4Y(HostLayer layer, Coord margin) {
  return CornerOf(Corner::C4Y, layer, margin);
}
Coord TPcbPad::GetSpineStartX(HostLayer layer) { return SpineOf(Spine::StartX, layer); }
Coord TPcbPad::GetSpineStartY(HostLayer layer) { return SpineOf(Spine::StartY, layer); }
Coord TPcbPad::GetSpineEndX(HostLayer layer) { return SpineOf(Spine::EndX, layer); }
Coord TPcbPad::GetSpineEndY(HostLayer layer) { return SpineOf(Spine::EndY, layer); }

// ---- rule values

std::int32_t TPcbPad::PlaneConnectValue(int which) const {
  const ObjectHandle rule =
      PCBProcs::PcbApi_FindDominantRuleForObject(Handle, kPlaneConnectStyleRule);
  if (rule == 0) return 0;
  std::uint8_t style = 0;
  std::int32_t values[4] = {};
  PCBProcs::PcbApi_QueryRulePowerPlaneConnectStyleRule(kQueryGet, rule, &style, &values[0],
                                                       &values[1], &values[2], &values[3]);
  return values[which];
}

std::int32_t TPcbPad::PlaneConnectB() const { return PlaneConnectValue(1); }
std::int32_t TPcbPad::PlaneConnectD() const { return PlaneConnectValue(3); }
std::int32_t TPcbPad::PlaneConnectC() const { return PlaneConnectValue(2); }

namespace {

template <auto Query>
Coord ExpansionRuleValue(ObjectHandle object, RuleKindCode kind) {
  const ObjectHandle rule = PCBProcs::PcbApi_FindDominantRuleForObject(object, kind);
  if (rule == 0) return 0;
  Coord expansion = 0;
  Query(kQueryGet, rule, &expansion);
  return expansion;
}

}  // namespace

Coord TPcbPad::PowerPlaneExpansion() const {
  return ExpansionRuleValue<&PCBProcs::PcbApi_QueryRulePowerPlaneExpansionRule>(
      Handle, kPowerPlaneExpansionRule);
}
Coord TPcbPad::SolderMaskExpansion() const {
  return ExpansionRuleValue<&PCBProcs::PcbApi_QueryRuleSolderMaskExpansionRule>(
      Handle, kSolderMaskExpansionRule);
}
Coord TPcbPad::PasteMaskExpansion() const {
  return ExpansionRuleValue<&PCBProcs::PcbApi_QueryRulePasteMaskExpansionRule>(
      Handle, kPasteMaskExpansionRule);
}

std::uint8_t TPcbPad::PwrGnd() const {
  std::uint8_t value = 0;
  PCBProcs::PcbApi_QueryPad_PwrGnd(Handle, &value);
  return value;
}
