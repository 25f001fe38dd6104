// Pads: a three-level stack, a hole, a name and, when the host keeps one, a
// size and shape per signal layer.
#pragma once

#include "board/PcbObject.h"

class TPcbPad : public TPCBObject {
 public:
  // The stack mode in which the host keeps a size and shape per signal layer.
  static constexpr std::uint8_t kFullStack = 2;

  explicit TPcbPad(ObjectHandle handle) : TPCBObject(handle) { Kind = PadObject; }

  // Makes the pad what a new TPcbPad(handle) is, for one object reused from
  // pad to pad. The per-layer arrays are cleared only when the pad's own
  // exchanges have filled them since: a pad without a layer stack never
  // does, and clearing them each time would cost more than the pad's load.
  void Renew(ObjectHandle handle);

  Status Load(QueryMode mode) override;
  Coord GetXSizeTop() const override { return XSizeTop; }
  Coord GetYSizeTop() const override { return YSizeTop; }
  Coord GetXSizeMid() const override { return XSizeMid; }
  Coord GetYSizeMid() const override { return YSizeMid; }
  Coord GetXSizeBottom() const override { return XSizeBottom; }
  Coord GetYSizeBottom() const override { return YSizeBottom; }
  Coord GetHoleSize() const override { return HoleSize; }
  std::uint8_t GetShapeTop() const override { return ShapeTop; }
  std::uint8_t GetShapeMid() const override { return ShapeMid; }
  std::uint8_t GetShapeBottom() const override { return ShapeBottom; }
  void GetName(LenString& out) const override { out.Assign(Name.View()); }
  double GetRotation() const override { return Rotation; }

  // Ask the host for the layer's size or shape and keep it in the layer
  // arrays; 0 when the host reports failure or the code is beyond 82.
  Coord GetLayerXSize(HostLayer layer) override;
  Coord GetLayerYSize(HostLayer layer) override;
  std::uint8_t GetLayerShape(HostLayer layer) override;
  // The smaller of the layer's two sizes.
  Coord GetLayerMinSize(HostLayer layer) override;

  // Corners of the pad outline on a layer, grown by margin on every side.
  Coord GetCorner1X(HostLayer layer, Coord margin) override;
  Coord GetCorner1Y(HostLayer layer, Coord margin) override;
  Coord GetCorner2X(HostLayer layer, Coord margin) override;
  Coord GetCorner2Y(HostLayer layer, Coord margin) override;
  Coord GetCorner3X(HostLayer layer, Coord margin) override;
  Coord GetCorner3Y(HostLayer layer, Coord margin) override;
  Coord GetCorner4X(HostLayer layer, Coord margin) override;
  Coord GetCorner4Y(HostLayer layer, Coord margin) override;
  // End points of the pad's centre line on a layer (the centre for a pad as
  // wide as it is high).
  Coord GetSpineStartX(HostLayer layer) override;
  Coord GetSpineStartY(HostLayer layer) override;
  Coord GetSpineEndX(HostLayer layer) override;
  Coord GetSpineEndY(HostLayer layer) override;

  void SetXSizeTop(Coord value) override { XSizeTop = value; }
  void SetYSizeTop(Coord value) override { YSizeTop = value; }
  void SetXSizeMid(Coord value) override { XSizeMid = value; }
  void SetYSizeMid(Coord value) override { YSizeMid = value; }
  void SetXSizeBottom(Coord value) override { XSizeBottom = value; }
  void SetYSizeBottom(Coord value) override { YSizeBottom = value; }
  void SetHoleSize(Coord value) override { HoleSize = value; }
  void SetShapeTop(std::uint8_t value) override { ShapeTop = value; }
  void SetShapeMid(std::uint8_t value) override { ShapeMid = value; }
  void SetShapeBottom(std::uint8_t value) override { ShapeBottom = value; }
  void SetName(std::string_view value) override { Name.Assign(value); }
  void SetRotation(double value) override { Rotation = value; }

  // Values of the rules that govern this pad; 0 when no rule applies.
  std::int32_t PlaneConnectB() const;
  std::int32_t PlaneConnectD() const;
  std::int32_t PlaneConnectC() const;
  Coord PowerPlaneExpansion() const;
  Coord SolderMaskExpansion() const;
  Coord PasteMaskExpansion() const;
  std::uint8_t PwrGnd() const;

  Coord XSizeTop = 0;
  Coord YSizeTop = 0;
  Coord XSizeMid = 0;
  Coord YSizeMid = 0;
  Coord XSizeBottom = 0;
  Coord YSizeBottom = 0;
  Coord HoleSize = 0;
  std::uint8_t ShapeTop = 0;
  std::uint8_t ShapeMid = 0;
  std::uint8_t ShapeBottom = 0;
  ShortString<kPadNameBufferSize - 1> Name;
  std::uint8_t PadByte1 = 0;
  double Rotation = 0.0;
  std::uint8_t PadByte2 = 0;
  Coord LayerXSize[kHostLayerCount] = {};
  Coord LayerYSize[kHostLayerCount] = {};
  std::uint8_t LayerShape[kHostLayerCount] = {};
  std::uint8_t StackMode = 0;

 private:
  using Corner = board_detail::Corner;
  enum class Spine { StartX, StartY, EndX, EndY };
  Coord CornerOf(Corner which, HostLayer layer, Coord margin);
  Coord SpineOf(Spine which, HostLayer layer);
  std::int32_t PlaneConnectValue(int which) const;

  bool layerArraysUsed_ = false;
};
