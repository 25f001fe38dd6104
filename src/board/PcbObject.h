// The root of the board object classes: a short-lived local copy of one host
// object, named by its handle, exchanged with the host by Load.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <string_view>

#include "board/HostBounds.h"
#include "board/Pcbtypes.h"
#include "hostapi/PCBProcs.h"

// Receives one object handle of an iteration.
using ObjectCallback = void (*)(ObjectHandle object);
// The same with a caller-supplied context, for callers that keep their state
// outside globals.
using ObjectContextCallback = void (*)(void* context, ObjectHandle object);

namespace board_detail {

// The bits of one byte of a layer set that name host layers (0 to 82).
constexpr unsigned HostLayerBits(const LayerSet& layers, int byte) {
  const int first = byte * 8;
  if (first + 7 <= kLastHostLayer) return layers.Bits[byte];
  if (first > kLastHostLayer) return 0;
  return layers.Bits[byte] & ((1u << (kLastHostLayer - first + 1)) - 1);
}

// Walks the objects of owner (a board, component or net): for each kind 0 to
// 20 in kinds and each layer code 0 to 82 in layers, one host iterator, every
// handle it yields handed to visit in the host's order. Each iterator's walk
// is bounded (hostbounds::Walk, at most limit handles); once the export's
// budget is spent no iterator is created.
template <typename Visit>
void WalkOwner(ObjectHandle owner, KindMask kinds, const LayerSet& layers, IterationMethod method,
               std::int32_t limit, Visit&& visit) {
  constexpr KindMask kIterated = (KindMask{1} << (kLastIteratedKind + 1)) - 1;
  for (KindMask kindsLeft = kinds & kIterated; kindsLeft != 0; kindsLeft &= kindsLeft - 1) {
    const int kind = std::countr_zero(kindsLeft);
    // The layers of the set in ascending order, read bit by bit.
    for (int byte = 0; byte < LayerSet::kCodeCount / 8; ++byte) {
      for (unsigned bits = HostLayerBits(layers, byte); bits != 0; bits &= bits - 1) {
        const int layer = byte * 8 + std::countr_zero(bits);
        hostbounds::Walk walk(limit);
        if (!walk.Started()) return;
        const ObjectHandle it = PCBProcs::PcbApi_CreateIterator(
            owner, static_cast<ObjectKindCode>(kind), method, static_cast<HostLayer>(layer));
        for (ObjectHandle h = PCBProcs::PcbApi_GetFirstObject(it); h != 0 && walk.Take(h);
             h = PCBProcs::PcbApi_GetNextObject(it))
          visit(h);
        PCBProcs::PcbApi_DestroyIterator(it);
      }
    }
  }
}

// Rounds to the nearest integer, halves to even; values that are not finite
// give 0 and values beyond the Coord range give its nearest end.
Coord RoundToCoord(double value);

// The corners of a box and their coordinates.
enum class Corner { C1X, C1Y, C2X, C2Y, C3X, C3Y, C4X, C4Y };

// One corner coordinate of a box of width w and height h centred on (x, y)
// and turned by rotation degrees about its centre, rounded to a Coord. A box
// of no height has its half-diagonal along its width.
Coord RotatedBoxCorner(Corner which, double x, double y, std::int64_t w, std::int64_t h,
                       double rotation);

}  // namespace board_detail

class TPCBObject {
 public:
  explicit TPCBObject(ObjectHandle handle) : Handle(handle) {}
  TPCBObject(const TPCBObject&) = delete;
  TPCBObject& operator=(const TPCBObject&) = delete;

  // ---- slots 0 to 3
  // Exchanges the whole object with the host: get mode (1) reads, set mode
  // (0) sends. Returns the status of the class's main query.
  virtual Status Load(QueryMode mode);
  virtual Status GetBoundingRect(Coord& x1, Coord& y1, Coord& x2, Coord& y2) const;
  virtual bool ImportFromUser() const;
  virtual std::int32_t GraphicallyInvalidate() const;

  // ---- slots 4 to 31: flag accessors. The bits are the host's; the object
  // only carries them.
  virtual bool GetSelected() const;          // Flags 0x0010
  virtual bool GetHighlighted() const;       // BitField2 0x10
  virtual bool GetUsed() const;              // BitField2 0x01
  virtual bool GetDisplayed() const;         // BitField2 0x02
  virtual bool GetDrcError() const;          // BitField2 0x08
  virtual bool GetMoved() const;             // BitField2 0x20
  virtual bool GetUserRouted() const;        // BitField2 0x40
  virtual void SetSelected(bool on);         // Flags 0x0010
  virtual bool GetLocked() const;            // Flags 0x0008
  virtual void SetLocked(bool on);           // Flags 0x0008, then sent to the host at once
  virtual bool GetEnabled() const;           // Flags 0x0100 clear
  virtual void SetEnabled(bool on);          // clears 0x0100 for true, then sent at once
  virtual bool GetTenting() const;           // GetTentingTop or GetTentingBottom
  virtual void SetTenting(bool on);          // SetTentingTop, then SetTentingBottom
  virtual bool GetTentingTop() const;        // BitField3 0x0002
  virtual void SetTentingTop(bool on);       // BitField3 0x0002
  virtual bool GetTentingBottom() const;     // BitField3 0x0004
  virtual void SetTentingBottom(bool on);    // BitField3 0x0004
  virtual bool GetKeepout() const;           // Flags 0x0800
  virtual void SetKeepout(bool on);          // Flags 0x0800
  virtual bool GetPolygonOutline() const;    // Flags 0x2000
  virtual void SetPolygonOutline(bool on);   // Flags 0x2000
  virtual bool GetMarked() const;            // Flags 0x1000
  virtual void SetMarked(bool on);           // Flags 0x1000
  virtual bool GetTestPointTop() const;      // Flags 0x4000
  virtual void SetTestPointTop(bool on);     // Flags 0x4000
  virtual bool GetTestPointBottom() const;   // Flags 0x8000
  virtual void SetTestPointBottom(bool on);  // Flags 0x8000

  // ---- slots 32 to 78: getters
  virtual ObjectHandle GetHandle() const;
  virtual ObjectKind GetKind() const;
  virtual Coord GetX() const;
  virtual Coord GetY() const;
  virtual Coord GetX2() const;  // X unless the object has an end point
  virtual Coord GetY2() const;
  virtual std::uint16_t GetFlags() const;
  virtual std::uint16_t GetIndex() const;
  virtual HostLayer GetLayer() const;
  virtual std::uint8_t GetTag() const;
  virtual ObjectHandle GetNetHandle() const;
  virtual ObjectHandle GetComponentHandle() const;
  virtual ObjectHandle GetPolygonHandle() const;
  virtual std::int32_t GetExtra1() const;
  virtual std::int32_t GetExtra2() const;
  virtual Coord GetXSizeTop() const;
  virtual Coord GetYSizeTop() const;
  virtual Coord GetXSizeMid() const;
  virtual Coord GetYSizeMid() const;
  virtual Coord GetXSizeBottom() const;
  virtual Coord GetYSizeBottom() const;
  virtual Coord GetHoleSize() const;
  virtual std::uint8_t GetShapeTop() const;
  virtual std::uint8_t GetShapeMid() const;
  virtual std::uint8_t GetShapeBottom() const;
  virtual void GetName(LenString& out) const;
  virtual double GetRotation() const;
  virtual Coord GetWidth() const;
  virtual std::uint8_t GetShape() const;
  virtual Coord GetSize() const;
  virtual Coord GetXSize() const;  // GetSize
  virtual Coord GetYSize() const;  // GetSize
  virtual HostLayer GetLowLayer() const;
  virtual HostLayer GetHighLayer() const;
  virtual Coord GetRadius() const;
  virtual double GetStartAngle() const;
  virtual double GetEndAngle() const;
  virtual Coord GetLineWidth() const;
  // Each asks the host for the bounding rectangle afresh.
  virtual Coord GetBound1() const;
  virtual Coord GetBound2() const;
  virtual Coord GetBound3() const;
  virtual Coord GetBound4() const;
  virtual std::int32_t GetStyle() const;
  virtual bool GetTextFlag() const;
  virtual void GetText(LenString& out) const;
  virtual std::uint8_t GetFromByte() const;
  virtual std::uint8_t GetToByte() const;

  // ---- slots 79 to 86: corners of the box from (X, Y) to (X2, Y2), grown by
  // margin on every side and turned by GetRotation about its centre.
  virtual Coord GetBoxCorner1X(Coord margin) const;
  virtual Coord GetBoxCorner1Y(Coord margin) const;
  virtual Coord GetBoxCorner2X(Coord margin) const;
  virtual Coord GetBoxCorner2Y(Coord margin) const;
  virtual Coord GetBoxCorner3X(Coord margin) const;
  virtual Coord GetBoxCorner3Y(Coord margin) const;
  virtual Coord GetBoxCorner4X(Coord margin) const;
  virtual Coord GetBoxCorner4Y(Coord margin) const;

  // ---- slots 87 to 103: per-layer geometry; the base answers only for the
  // object's own layer and gives 0 for every other.
  virtual Coord GetLayerSize(HostLayer layer);
  virtual Coord GetLayerXSize(HostLayer layer);
  virtual Coord GetLayerYSize(HostLayer layer);
  virtual std::uint8_t GetLayerShape(HostLayer layer);
  virtual Coord GetLayerMinSize(HostLayer layer);
  virtual Coord GetCorner1X(HostLayer layer, Coord margin);
  virtual Coord GetCorner1Y(HostLayer layer, Coord margin);
  virtual Coord GetCorner2X(HostLayer layer, Coord margin);
  virtual Coord GetCorner2Y(HostLayer layer, Coord margin);
  virtual Coord GetCorner3X(HostLayer layer, Coord margin);
  virtual Coord GetCorner3Y(HostLayer layer, Coord margin);
  virtual Coord GetCorner4X(HostLayer layer, Coord margin);
  virtual Coord GetCorner4Y(HostLayer layer, Coord margin);
  virtual Coord GetSpineStartX(HostLayer layer);
  virtual Coord GetSpineStartY(HostLayer layer);
  virtual Coord GetSpineEndX(HostLayer layer);
  virtual Coord GetSpineEndY(HostLayer layer);

  // ---- slots 104 to 146: setters. They change only the object; the host
  // sees the change at the next Load in set mode. The base stores the common
  // fields and ignores the others.
  virtual void SetHandle(ObjectHandle value);
  virtual void SetKind(ObjectKind value);
  virtual void SetX(Coord value);
  virtual void SetY(Coord value);
  virtual void SetX2(Coord value);
  virtual void SetY2(Coord value);
  virtual void SetFlags(std::uint16_t value);
  virtual void SetIndex(std::uint16_t value);
  virtual void SetLayer(HostLayer value);
  virtual void SetTag(std::uint8_t value);
  virtual void SetNetHandle(ObjectHandle value);
  virtual void SetComponentHandle(ObjectHandle value);
  virtual void SetPolygonHandle(ObjectHandle value);
  virtual void SetExtra1(std::int32_t value);
  virtual void SetExtra2(std::int32_t value);
  virtual void SetXSizeTop(Coord value);
  virtual void SetYSizeTop(Coord value);
  virtual void SetXSizeMid(Coord value);
  virtual void SetYSizeMid(Coord value);
  virtual void SetXSizeBottom(Coord value);
  virtual void SetYSizeBottom(Coord value);
  virtual void SetHoleSize(Coord value);
  virtual void SetShapeTop(std::uint8_t value);
  virtual void SetShapeMid(std::uint8_t value);
  virtual void SetShapeBottom(std::uint8_t value);
  virtual void SetName(std::string_view value);
  virtual void SetRotation(double value);
  virtual void SetWidth(Coord value);
  virtual void SetShape(std::uint8_t value);
  virtual void SetSize(Coord value);
  virtual void SetXSize(Coord value);
  virtual void SetYSize(Coord value);
  virtual void SetLowLayer(HostLayer value);
  virtual void SetHighLayer(HostLayer value);
  virtual void SetRadius(Coord value);
  virtual void SetStartAngle(double value);
  virtual void SetEndAngle(double value);
  virtual void SetLineWidth(Coord value);
  virtual void SetStyle(std::int32_t value);
  virtual void SetTextFlag(bool value);
  virtual void SetText(std::string_view value);
  virtual void SetFromByte(std::uint8_t value);
  virtual void SetToByte(std::uint8_t value);

  virtual ~TPCBObject() = default;

  // ---- common fields
  ObjectHandle Handle = 0;
  ObjectKind Kind = NoObject;
  Coord X = 0;
  Coord Y = 0;
  std::uint16_t Flags = 0;
  std::uint8_t BitField2 = 0;
  std::uint16_t BitField3 = 0;
  std::uint16_t Index = 0;
  HostLayer Layer = 0;
  std::uint8_t Tag = 0;
  ObjectHandle NetHandle = 0;
  ObjectHandle ComponentHandle = 0;

 protected:
  // The first two calls of every Load.
  void ExchangeBitFields(QueryMode mode);
  // The common fields as a new object of the handle has them (Kind stays).
  void RenewCommonFields(ObjectHandle handle);

 private:
  Coord BoxCorner(board_detail::Corner which, Coord margin) const;
  void SetFlagBit(std::uint16_t bit, bool on);
  void SetBitField3Bit(std::uint16_t bit, bool on);
};

// Base of the objects that hold or gather other objects.
class TPcbGroupObject : public TPCBObject {
 public:
  using TPCBObject::TPCBObject;
};

// A new object of the class of the handle's kind, loaded in get mode; none
// for a kind without a class (0, 16 to 20, 22 and above).
std::unique_ptr<TPCBObject> ObjectFromHandle(ObjectHandle handle);
// The Index of the object the handle names; 0 for the handle 0 (no host call)
// and for a handle that gives no object.
std::uint16_t ObjectNumber(ObjectHandle handle);
// The GetText value of the object the handle names; empty for the handle 0
// and for a handle that gives no object.
LenString ObjectName(ObjectHandle handle);
