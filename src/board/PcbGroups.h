// Components, polygons and the board outline.
#pragma once

#include "board/PcbObject.h"

// A placed footprint that owns its own pads, tracks, arcs, fills, vias and texts.
class TPcbComponent : public TPcbGroupObject {
 public:
  explicit TPcbComponent(ObjectHandle handle) : TPcbGroupObject(handle) { Kind = ComponentObject; }

  Status Load(QueryMode mode) override;
  // The string of the designator text.
  void GetName(LenString& out) const override;
  double GetRotation() const override { return Rotation; }

  // Hands every owned object of the kinds in kinds, on every layer of layers,
  // to the callback, kind by kind in ascending order.
  void IterateMembers(ObjectCallback callback, KindMask kinds, const LayerSet& layers) const;
  void IterateMembers(ObjectContextCallback callback, void* context, KindMask kinds,
                      const LayerSet& layers) const;

  std::int32_t ChannelOffset = 0;
  std::uint8_t ComponentKind = 0;
  ObjectHandle NameTextHandle = 0;
  ObjectHandle CommentTextHandle = 0;
  ShortString<kPatternBufferSize - 1> Pattern;
  std::uint8_t ComponentByte1 = 0;
  std::uint8_t ComponentByte2 = 0;
  std::int32_t ComponentValue = 0;
  double Rotation = 0.0;
  std::uint8_t ComponentByte3 = 0;
  std::int32_t ExValue1 = 0;
  std::uint8_t ExByte1 = 0;
  std::uint8_t ExByte2 = 0;
  std::int32_t ExValue2 = 0;
  LenString SourceLinks[7];
};

// A poured copper area with an outline of straight and arc segments.
class TPcbPolygon : public TPcbGroupObject {
 public:
  // Segments holds entries 0 to kMaxSegmentCount.
  static constexpr std::int32_t kMaxSegmentCount = kPolygonSegmentCapacity - 1;

  explicit TPcbPolygon(ObjectHandle handle) : TPcbGroupObject(handle) { Kind = PolygonObject; }

  // In get mode a segment count beyond the array is cut to kMaxSegmentCount
  // and a negative one read as 0, so that entries 0 to SegmentCount always
  // lie inside Segments.
  Status Load(QueryMode mode) override;

  std::uint8_t PolygonByte0 = 0;
  std::uint8_t PolygonByte1 = 0;
  std::uint8_t PolygonByte2 = 0;
  std::uint8_t PolygonByte3 = 0;
  Coord PolygonValue1 = 0;
  Coord TrackWidth = 0;
  Coord PolygonValue3 = 0;
  std::int32_t SegmentCount = 0;
  PolygonSegments Segments = {};
  std::uint8_t PolygonByte4 = 0;
  std::uint8_t StyleCode = 0;
};

// The board outline, kept by the host as a polygon.
class TPcbBoardOutline : public TPcbPolygon {
 public:
  explicit TPcbBoardOutline(ObjectHandle handle) : TPcbPolygon(handle) {
    Kind = BoardOutlineObject;
  }
};
