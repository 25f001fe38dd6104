#include "board/PcbObject.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>

#include "board/PcbGroups.h"
#include "board/PcbNets.h"
#include "board/PcbPad.h"
#include "board/PcbPrimitives.h"
#include "board/PcbText.h"

namespace board_detail {

Coord RoundToCoord(double value) {
  if (!std::isfinite(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded <= static_cast<double>(std::numeric_limits<Coord>::min()))
    return std::numeric_limits<Coord>::min();
  if (rounded >= static_cast<double>(std::numeric_limits<Coord>::max()))
    return std::numeric_limits<Coord>::max();
  return static_cast<Coord>(rounded);
}

Coord RotatedBoxCorner(Corner which, double x, double y, std::int64_t w, std::int64_t h,
                       double rotation) {
  const double hw = static_cast<double>(w) / 2.0, hh = static_cast<double>(h) / 2.0;
  const double r = std::sqrt(hw * hw + hh * hh);
  const double a = h != 0 ? std::atan(static_cast<double>(w) / static_cast<double>(h))
                          : std::atan2(static_cast<double>(w), 0.0);
  const double theta = PCBProcs::DegreesToRadians(rotation);
  const double phi = PCBProcs::DegreesToRadians(90.0 - rotation);
  switch (which) {
    case Corner::C1X:
      return RoundToCoord(x - r * std::sin(a - theta));
    case Corner::C1Y:
      return RoundToCoord(y - r * std::cos(a - theta));
    case Corner::C2X:
      return RoundToCoord(x + r * std::cos(phi - a));
    case Corner::C2Y:
      return RoundToCoord(y - r * std::sin(phi - a));
    case Corner::C3X:
      return RoundToCoord(x - r * std::cos(phi - a));
    case Corner::C3Y:
      return RoundToCoord(y + r * std::sin(phi - a));
    case Corner::C4X:
      return RoundToCoord(x + r * std::sin(a - theta));
    case Corner::C4Y:
      return RoundToCoord(y + r * std::cos(a - theta));
  }
  return 0;
}

}  // namespace board_detail

using board_detail::Corner;
using board_detail::RoundToCoord;

// ---- slots 0 to 3

Status TPCBObject::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryPrimitive(mode, Handle, &Flags, &Index, &Layer, &NetHandle,
                                         &ComponentHandle, &Tag);
}

void TPCBObject::ExchangeBitFields(QueryMode mode) {
  PCBProcs::PcbApi_GetObjectBitField2(mode, Handle, &BitField2);
  PCBProcs::PcbApi_GetObjectBitField3(mode, Handle, &BitField3);
}

void TPCBObject::RenewCommonFields(ObjectHandle handle) {
  Handle = handle;
  X = 0;
  Y = 0;
  Flags = 0;
  BitField2 = 0;
  BitField3 = 0;
  Index = 0;
  Layer = 0;
  Tag = 0;
  NetHandle = 0;
  ComponentHandle = 0;
}

Status TPCBObject::GetBoundingRect(Coord& x1, Coord& y1, Coord& x2, Coord& y2) const {
  return PCBProcs::PcbApi_QueryObjectBoundingRectangle(Handle, &x1, &y1, &x2, &y2);
}

bool TPCBObject::ImportFromUser() const {
  return PCBProcs::PcbApi_QueryObjectImport_FromUser(Handle) == 0;
}

std::int32_t TPCBObject::GraphicallyInvalidate() const {
  return PCBProcs::PcbApi_QueryObjectGraphicallyInvalidate(Handle);
}

// ---- slots 4 to 31

void TPCBObject::SetFlagBit(std::uint16_t bit, bool on) {
  Flags = static_cast<std::uint16_t>(on ? (Flags | bit) : (Flags & ~bit));
}
void TPCBObject::SetBitField3Bit(std::uint16_t bit, bool on) {
  BitField3 = static_cast<std::uint16_t>(on ? (BitField3 | bit) : (BitField3 & ~bit));
}

bool TPCBObject::GetSelected() const { return (Flags & 0x0010) != 0; }
bool TPCBObject::GetHighlighted() const { return (BitField2 & 0x10) != 0; }
bool TPCBObject::GetUsed() const { return (BitField2 & 0x01) != 0; }
bool TPCBObject::GetDisplayed() const { return (BitField2 & 0x02) != 0; }
bool TPCBObject::GetDrcError() const { return (BitField2 & 0x08) != 0; }
bool TPCBObject::GetMoved() const { return (BitField2 & 0x20) != 0; }
bool TPCBObject::GetUserRouted() const { return (BitField2 & 0x40) != 0; }
void TPCBObject::SetSelected(bool on) { SetFlagBit(0x0010, on); }
bool TPCBObject::GetLocked() const { return (Flags & 0x0008) != 0; }
void TPCBObject::SetLocked(bool on) {
  SetFlagBit(0x0008, on);
  Load(kQuerySet);
}
bool TPCBObject::GetEnabled() const { return (Flags & 0x0100) == 0; }
void TPCBObject::SetEnabled(bool on) {
  SetFlagBit(0x0100, !on);
  Load(kQuerySet);
}
bool TPCBObject::GetTenting() const { return GetTentingTop() || GetTentingBottom(); }
void TPCBObject::SetTenting(bool on) {
  SetTentingTop(on);
  SetTentingBottom(on);
}
bool TPCBObject::GetTentingTop() const { return (BitField3 & 0x0002) != 0; }
void TPCBObject::SetTentingTop(bool on) { SetBitField3Bit(0x0002, on); }
bool TPCBObject::GetTentingBottom() const { return (BitField3 & 0x0004) != 0; }
void TPCBObject::SetTentingBottom(bool on) { SetBitField3Bit(0x0004, on); }
bool TPCBObject::GetKeepout() const { return (Flags & 0x0800) != 0; }
void TPCBObject::SetKeepout(bool on) { SetFlagBit(0x0800, on); }
bool TPCBObject::GetPolygonOutline() const { return (Flags & 0x2000) != 0; }
void TPCBObject::SetPolygonOutline(bool on) { SetFlagBit(0x2000, on); }
bool TPCBObject::GetMarked() const { return (Flags & 0x1000) != 0; }
void TPCBObject::SetMarked(bool on) { SetFlagBit(0x1000, on); }
bool TPCBObject::GetTestPointTop() const { return (Flags & 0x4000) != 0; }
void TPCBObject::SetTestPointTop(bool on) { SetFlagBit(0x4000, on); }
bool TPCBObject::GetTestPointBottom() const { return (Flags & 0x8000) != 0; }
void TPCBObject::SetTestPointBottom(bool on) { SetFlagBit(0x8000, on); }

// ---- slots 32 to 78

ObjectHandle TPCBObject::GetHandle() const { return Handle; }
ObjectKind TPCBObject::GetKind() const { return Kind; }
Coord TPCBObject::GetX() const { return X; }
Coord TPCBObject::GetY() const { return Y; }
Coord TPCBObject::GetX2() const { return X; }
Coord TPCBObject::GetY2() const { return Y; }
std::uint16_t TPCBObject::GetFlags() const { return Flags; }
std::uint16_t TPCBObject::GetIndex() const { return Index; }
HostLayer TPCBObject::GetLayer() const { return Layer; }
std::uint8_t TPCBObject::GetTag() const { return Tag; }
ObjectHandle TPCBObject::GetNetHandle() const { return NetHandle; }
ObjectHandle TPCBObject::GetComponentHandle() const { return ComponentHandle; }
ObjectHandle TPCBObject::GetPolygonHandle() const { return 0; }
std::int32_t TPCBObject::GetExtra1() const { return 0; }
std::int32_t TPCBObject::GetExtra2() const { return 0; }
Coord TPCBObject::GetXSizeTop() const { return 0; }
Coord TPCBObject::GetYSizeTop() const { return 0; }
Coord TPCBObject::GetXSizeMid() const { return 0; }
Coord TPCBObject::GetYSizeMid() const { return 0; }
Coord TPCBObject::GetXSizeBottom() const { return 0; }
Coord TPCBObject::GetYSizeBottom() const { return 0; }
Coord TPCBObject::GetHoleSize() const { return 0; }
std::uint8_t TPCBObject::GetShapeTop() const { return 0; }
std::uint8_t TPCBObject::GetShapeMid() const { return 0; }
std::uint8_t TPCBObject::GetShapeBottom() const { return 0; }
void TPCBObject::GetName(LenString& out) const { out.Clear(); }
double TPCBObject::GetRotation() const { return 0.0; }
Coord TPCBObject::GetWidth() const { return 0; }
std::uint8_t TPCBObject::GetShape() const { return 0; }
Coord TPCBObject::GetSize() const { return 0; }
Coord TPCBObject::GetXSize() const { return GetSize(); }
Coord TPCBObject::GetYSize() const { return GetSize(); }
HostLayer TPCBObject::GetLowLayer() const { return 0; }
HostLayer TPCBObject::GetHighLayer() const { return 0; }
Coord TPCBObject::GetRadius() const { return 0; }
double TPCBObject::GetStartAngle() const { return 0.0; }
double TPCBObject::GetEndAngle() const { return 0.0; }
Coord TPCBObject::GetLineWidth() const { return 0; }

Coord TPCBObject::GetBound1() const {
  Coord v[4] = {};
  PCBProcs::PcbApi_QueryObjectBoundingRectangle(Handle, &v[0], &v[1], &v[2], &v[3]);
  return v[0];
}
Coord TPCBObject::GetBound2() const {
  Coord v[4] = {};
  PCBProcs::PcbApi_QueryObjectBoundingRectangle(Handle, &v[0], &v[1], &v[2], &v[3]);
  return v[1];
}
Coord TPCBObject::GetBound3() const {
  Coord v[4] = {};
  PCBProcs::PcbApi_QueryObjectBoundingRectangle(Handle, &v[0], &v[1], &v[2], &v[3]);
  return v[2];
}
Coord TPCBObject::GetBound4() const {
  Coord v[4] = {};
  PCBProcs::PcbApi_QueryObjectBoundingRectangle(Handle, &v[0], &v[1], &v[2], &v[3]);
  return v[3];
}

std::int32_t TPCBObject::GetStyle() const { return 0; }
bool TPCBObject::GetTextFlag() const { return false; }
void TPCBObject::GetText(LenString& out) const { out.Clear(); }
std::uint8_t TPCBObject::GetFromByte() const { return 0; }
std::uint8_t TPCBObject::GetToByte() const { return 0; }

// ---- slots 79 to 86

Coord TPCBObject::BoxCorner(Corner which, Coord margin) const {
  const std::int64_t x1 = GetX(), x2 = GetX2(), y1 = GetY(), y2 = GetY2();
  // 64-bit so that a wide box with a large margin cannot overflow.
  const std::int64_t w = std::llabs(x2 - x1) + 2 * std::int64_t{margin};
  const std::int64_t h = std::llabs(y2 - y1) + 2 * std::int64_t{margin};
  const std::int64_t cx = x1 / 2 + x2 / 2;
  const std::int64_t cy = y1 / 2 + y2 / 2;

  if (h == 0) {
    // A flat box: the corners lie on its centre line, unturned.
    const bool isX = which == Corner::C1X || which == Corner::C2X || which == Corner::C3X ||
                     which == Corner::C4X;
    if (!isX) return RoundToCoord(static_cast<double>(cy));
    const double half = static_cast<double>(w) / 2.0;
    const bool left = which == Corner::C1X || which == Corner::C3X;
    return RoundToCoord(static_cast<double>(cx) + (left ? -half : half));
  }
  return board_detail::RotatedBoxCorner(which, static_cast<double>(cx), static_cast<double>(cy), w,
                                        h, GetRotation());
}

Coord TPCBObject::GetBoxCorner1X(Coord margin) const { return BoxCorner(Corner::C1X, margin); }
Coord TPCBObject::GetBoxCorner1Y(Coord margin) const { return BoxCorner(Corner::C1Y, margin); }
Coord TPCBObject::GetBoxCorner2X(Coord margin) const { return BoxCorner(Corner::C2X, margin); }
Coord TPCBObject::GetBoxCorner2Y(Coord margin) const { return BoxCorner(Corner::C2Y, margin); }
Coord TPCBObject::GetBoxCorner3X(Coord margin) const { return BoxCorner(Corner::C3X, margin); }
Coord TPCBObject::GetBoxCorner3Y(Coord margin) const { return BoxCorner(Corner::C3Y, margin); }
Coord TPCBObject::GetBoxCorner4X(Coord margin) const { return BoxCorner(Corner::C4X, margin); }
Coord TPCBObject::GetBoxCorner4Y(Coord margin) const { return BoxCorner(Corner::C4Y, margin); }

// ---- slots 87 to 103

Coord TPCBObject::GetLayerSize(HostLayer layer) { return layer == Layer ? GetSize() : 0; }
Coord TPCBObject::GetLayerXSize(HostLayer layer) { return layer == Layer ? GetXSize() : 0; }
Coord TPCBObject::GetLayerYSize(HostLayer layer) { return layer == Layer ? GetYSize() : 0; }
std::uint8_t TPCBObject::GetLayerShape(HostLayer layer) { return layer == Layer ? GetShape() : 0; }
Coord TPCBObject::GetLayerMinSize(HostLayer layer) { return layer == Layer ? GetWidth() : 0; }

Coord TPCBObject::GetCorner1X(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner1X(margin) : 0;
}
Coord TPCBObject::GetCorner1Y(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner1Y(margin) : 0;
}
Coord TPCBObject::GetCorner2X(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner2X(margin) : 0;
}
Coord TPCBObject::GetCorner2Y(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner2Y(margin) : 0;
}
Coord TPCBObject::GetCorner3X(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner3X(margin) : 0;
}
Coord TPCBObject::GetCorner3Y(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner3Y(margin) : 0;
}
Coord TPCBObject::GetCorner4X(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner4X(margin) : 0;
}
Coord TPCBObject::GetCorner4Y(HostLayer layer, Coord margin) {
  return layer == Layer ? GetBoxCorner4Y(margin) : 0;
}

Coord TPCBObject::GetSpineStartX(HostLayer layer) { return layer == Layer ? GetX() : 0; }
Coord TPCBObject::GetSpineStartY(HostLayer layer) { return layer == Layer ? GetY() : 0; }
Coord TPCBObject::GetSpineEndX(HostLayer layer) { return layer == Layer ? GetX2() : 0; }
Coord TPCBObject::GetSpineEndY(HostLayer layer) { return layer == Layer ? GetY2() : 0; }

// ---- slots 104 to 146

void TPCBObject::SetHandle(ObjectHandle value) { Handle = value; }
void TPCBObject::SetKind(ObjectKind value) { Kind = value; }
void TPCBObject::SetX(Coord value) { X = value; }
void TPCBObject::SetY(Coord value) { Y = value; }
void TPCBObject::SetX2(Coord) {}
void TPCBObject::SetY2(Coord) {}
void TPCBObject::SetFlags(std::uint16_t value) { Flags = value; }
void TPCBObject::SetIndex(std::uint16_t value) { Index = value; }
void TPCBObject::SetLayer(HostLayer value) { Layer = value; }
void TPCBObject::SetTag(std::uint8_t value) { Tag = value; }
void TPCBObject::SetNetHandle(ObjectHandle value) { NetHandle = value; }
void TPCBObject::SetComponentHandle(ObjectHandle value) { ComponentHandle = value; }
void TPCBObject::SetPolygonHandle(ObjectHandle) {}
void TPCBObject::SetExtra1(std::int32_t) {}
void TPCBObject::SetExtra2(std::int32_t) {}
void TPCBObject::SetXSizeTop(Coord) {}
void TPCBObject::SetYSizeTop(Coord) {}
void TPCBObject::SetXSizeMid(Coord) {}
void TPCBObject::SetYSizeMid(Coord) {}
void TPCBObject::SetXSizeBottom(Coord) {}
void TPCBObject::SetYSizeBottom(Coord) {}
void TPCBObject::SetHoleSize(Coord) {}
void TPCBObject::SetShapeTop(std::uint8_t) {}
void TPCBObject::SetShapeMid(std::uint8_t) {}
void TPCBObject::SetShapeBottom(std::uint8_t) {}
void TPCBObject::SetName(std::string_view) {}
void TPCBObject::SetRotation(double) {}
void TPCBObject::SetWidth(Coord) {}
void TPCBObject::SetShape(std::uint8_t) {}
void TPCBObject::SetSize(Coord) {}
void TPCBObject::SetXSize(Coord) {}
void TPCBObject::SetYSize(Coord) {}
void TPCBObject::SetLowLayer(HostLayer) {}
void TPCBObject::SetHighLayer(HostLayer) {}
void TPCBObject::SetRadius(Coord) {}
void TPCBObject::SetStartAngle(double) {}
void TPCBObject::SetEndAngle(double) {}
void TPCBObject::SetLineWidth(Coord) {}
void TPCBObject::SetStyle(std::int32_t) {}
void TPCBObject::SetTextFlag(bool) {}
void TPCBObject::SetText(std::string_view) {}
void TPCBObject::SetFromByte(std::uint8_t) {}
void TPCBObject::SetToByte(std::uint8_t) {}

// ---- factory and lookups

namespace {

// Calls use(std::type_identity<T>{}) with the class T of an object kind;
// false when the kind has no class.
template <typename Use>
bool ForClassOfKind(ObjectKindCode kind, Use&& use) {
  switch (kind) {
    case ArcObject:
      return use(std::type_identity<TPcbArc>{}), true;
    case PadObject:
      return use(std::type_identity<TPcbPad>{}), true;
    case ViaObject:
      return use(std::type_identity<TPcbVia>{}), true;
    case TrackObject:
      return use(std::type_identity<TPcbTrack>{}), true;
    case TextObject:
      return use(std::type_identity<TPcbText>{}), true;
    case FillObject:
      return use(std::type_identity<TPcbFill>{}), true;
    case FromToObject:
      return use(std::type_identity<TPcbFromTo>{}), true;
    case NetObject:
      return use(std::type_identity<TPcbNet>{}), true;
    case ComponentObject:
      return use(std::type_identity<TPcbComponent>{}), true;
    case PolygonObject:
      return use(std::type_identity<TPcbPolygon>{}), true;
    case DimensionObject:
      return use(std::type_identity<TPcbDimension>{}), true;
    case CoordinateObject:
      return use(std::type_identity<TPcbCoordinate>{}), true;
    case ClassObject:
      return use(std::type_identity<TPCBObjectClass>{}), true;
    case RuleObject:
      return use(std::type_identity<TPcbRule>{}), true;
    case ManualFromToObject:
      return use(std::type_identity<TPcbManualFromTo>{}), true;
    case BoardOutlineObject:
      return use(std::type_identity<TPcbBoardOutline>{}), true;
    default:
      return false;
  }
}

// Lookups read only an object's number or name. A polygon (its whole outline,
// 18.6 KB), a component (eight strings, 2.1 KB) and a net (its name; nets are
// the most looked up) cost more to make afresh for each lookup than to load:
// one of each is kept and reused. Their loads ask the host the same whatever
// the object holds, and none takes its name from a field of its own, so only
// the handle and the number need setting back.
template <typename T>
constexpr bool kReusedForLookups =
    std::is_same_v<T, TPcbPolygon> || std::is_same_v<T, TPcbBoardOutline> ||
    std::is_same_v<T, TPcbComponent> || std::is_same_v<T, TPcbNet>;

template <typename T>
T& ReusedLookupObject(ObjectHandle handle) {
  static T object(0);
  object.Handle = handle;
  object.Index = 0;
  return object;
}

// Loads the object of a handle in get mode and hands it to read: what
// ObjectFromHandle does, without a heap object per lookup.
template <typename Read>
void ReadObject(ObjectHandle handle, Read&& read) {
  ForClassOfKind(PCBProcs::PcbApi_GetObjectIdFromObjectHandle(handle),
                 [&]<typename T>(std::type_identity<T>) {
                   if constexpr (kReusedForLookups<T>) {
                     T& object = ReusedLookupObject<T>(handle);
                     object.Load(kQueryGet);
                     read(static_cast<TPCBObject&>(object));
                   } else {
                     T object(handle);
                     object.Load(kQueryGet);
                     read(static_cast<TPCBObject&>(object));
                   }
                 });
}

}  // namespace

std::unique_ptr<TPCBObject> ObjectFromHandle(ObjectHandle handle) {
  std::unique_ptr<TPCBObject> object;
  ForClassOfKind(PCBProcs::PcbApi_GetObjectIdFromObjectHandle(handle),
                 [&]<typename T>(std::type_identity<T>) { object = std::make_unique<T>(handle); });
  if (object) object->Load(kQueryGet);
  return object;
}

std::uint16_t ObjectNumber(ObjectHandle handle) {
  std::uint16_t number = 0;
  if (handle != 0) ReadObject(handle, [&](TPCBObject& object) { number = object.GetIndex(); });
  return number;
}

LenString ObjectName(ObjectHandle handle) {
  LenString name;
  if (handle != 0) ReadObject(handle, [&](TPCBObject& object) { object.GetText(name); });
  return name;
}
