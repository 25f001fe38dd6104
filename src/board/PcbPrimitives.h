// Tracks, vias, arcs and fills.
#pragma once

#include "board/PcbObject.h"

// A straight segment from (X, Y) to (X2, Y2).
class TPcbTrack : public TPCBObject {
 public:
  explicit TPcbTrack(ObjectHandle handle) : TPCBObject(handle) { Kind = TrackObject; }

  Status Load(QueryMode mode) override;
  Coord GetX2() const override { return X2; }
  Coord GetY2() const override { return Y2; }
  ObjectHandle GetPolygonHandle() const override { return PolygonHandle; }
  std::int32_t GetExtra1() const override { return Extra1; }
  std::int32_t GetExtra2() const override { return Extra2; }
  Coord GetWidth() const override { return Width; }
  void SetX2(Coord value) override { X2 = value; }
  void SetY2(Coord value) override { Y2 = value; }
  void SetPolygonHandle(ObjectHandle value) override { PolygonHandle = value; }
  void SetExtra1(std::int32_t value) override { Extra1 = value; }
  void SetExtra2(std::int32_t value) override { Extra2 = value; }
  void SetWidth(Coord value) override { Width = value; }

  Coord X2 = 0;
  Coord Y2 = 0;
  Coord Width = 0;
  ObjectHandle PolygonHandle = 0;
  std::int32_t Extra1 = 0;
  std::int32_t Extra2 = 0;
};

// A plated hole centred at (X, Y) joining LowLayer and HighLayer.
class TPcbVia : public TPCBObject {
 public:
  explicit TPcbVia(ObjectHandle handle) : TPCBObject(handle) { Kind = ViaObject; }

  Status Load(QueryMode mode) override;
  Coord GetHoleSize() const override { return HoleSize; }
  Coord GetSize() const override { return Size; }
  HostLayer GetLowLayer() const override { return LowLayer; }
  HostLayer GetHighLayer() const override { return HighLayer; }
  // The host's size and shape on any layer; 0 when the host reports failure.
  Coord GetLayerSize(HostLayer layer) override;
  std::uint8_t GetLayerShape(HostLayer layer) override;
  void SetHoleSize(Coord value) override { HoleSize = value; }
  void SetSize(Coord value) override { Size = value; }
  void SetLowLayer(HostLayer value) override { LowLayer = value; }
  void SetHighLayer(HostLayer value) override { HighLayer = value; }

  Coord Size = 0;
  Coord HoleSize = 0;
  HostLayer LowLayer = 0;
  HostLayer HighLayer = 0;
};

// A circular arc about (X, Y); angles in degrees.
class TPcbArc : public TPCBObject {
 public:
  explicit TPcbArc(ObjectHandle handle) : TPCBObject(handle) { Kind = ArcObject; }

  Status Load(QueryMode mode) override;
  ObjectHandle GetPolygonHandle() const override { return PolygonHandle; }
  Coord GetRadius() const override { return Radius; }
  double GetStartAngle() const override { return StartAngle; }
  double GetEndAngle() const override { return EndAngle; }
  Coord GetLineWidth() const override { return LineWidth; }
  void SetPolygonHandle(ObjectHandle value) override { PolygonHandle = value; }
  void SetRadius(Coord value) override { Radius = value; }
  void SetStartAngle(double value) override { StartAngle = value; }
  void SetEndAngle(double value) override { EndAngle = value; }
  void SetLineWidth(Coord value) override { LineWidth = value; }

  Coord Radius = 0;
  double StartAngle = 0.0;
  double EndAngle = 0.0;
  Coord LineWidth = 0;
  ObjectHandle PolygonHandle = 0;
};

// A filled rectangle with corners (X, Y) and (X2, Y2), turned by Rotation.
class TPcbFill : public TPCBObject {
 public:
  explicit TPcbFill(ObjectHandle handle) : TPCBObject(handle) { Kind = FillObject; }

  Status Load(QueryMode mode) override;
  Coord GetX2() const override { return X2; }
  Coord GetY2() const override { return Y2; }
  ObjectHandle GetPolygonHandle() const override { return PolygonHandle; }
  double GetRotation() const override { return Rotation; }
  void SetX2(Coord value) override { X2 = value; }
  void SetY2(Coord value) override { Y2 = value; }
  void SetPolygonHandle(ObjectHandle value) override { PolygonHandle = value; }
  void SetRotation(double value) override { Rotation = value; }

  Coord X2 = 0;
  Coord Y2 = 0;
  ObjectHandle PolygonHandle = 0;
  double Rotation = 0.0;
};
