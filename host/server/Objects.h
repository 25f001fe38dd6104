// The host objects of the stand-in server: their kinds and every value the
// entry points exchange, at the width the entry points use. Strings are
// 8-bit byte strings whose length the entry points cut to the buffer they
// write into.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "HostLayers.h"
#include "PcbApi.h"

#define STANDIN_API PCBAPI_EXPORT

// Outline entries are equal when their bytes are (the layout is packed).
inline bool operator==(const PolygonSegment& a, const PolygonSegment& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

namespace standin {

// Object kinds, the host's codes.
enum class Kind : std::uint8_t {
  None = 0,  // boards and anything without a kind of its own
  Arc = 1,
  Pad = 2,
  Via = 3,
  Track = 4,
  Text = 5,
  Fill = 6,
  FromTo = 7,
  Net = 8,
  Component = 9,
  Polygon = 10,
  Dimension = 11,
  Coordinate = 12,
  Class = 13,
  Rule = 14,
  ManualFromTo = 15,
  BoardOutline = 21,
};
inline constexpr int kKindCount = 22;  // codes 0 to 21

// Rule kinds with a value query of their own.
enum class RuleKind : std::uint8_t {
  Clearance = 0,
  Width = 2,
  PlaneConnect = 6,
  RoutingTopology = 7,
  RoutingPriority = 8,
  RoutingVias = 11,
  PowerPlaneExpansion = 12,
  SolderMaskExpansion = 13,
  PasteMaskExpansion = 14,
};

// A value most objects leave empty, held out of line: one null pointer
// until it is first written. Reads of one never written see T{}; any
// non-const access makes it. Copies are deep; equal when the values are.
template <class T>
class OutOfLine {
 public:
  OutOfLine() = default;
  OutOfLine(const OutOfLine& other) : value_(Copy(other)) {}
  OutOfLine(OutOfLine&&) noexcept = default;
  OutOfLine& operator=(const OutOfLine& other) {
    if (this != &other) value_ = Copy(other);
    return *this;
  }
  OutOfLine& operator=(OutOfLine&&) noexcept = default;
  ~OutOfLine() = default;

  const T& Get() const { return value_ != nullptr ? *value_ : Empty(); }
  T& Set() {
    if (value_ == nullptr) value_ = std::make_unique<T>();
    return *value_;
  }
  bool Held() const { return value_ != nullptr; }

  // As the container it holds: indexing and walks.
  decltype(auto) operator[](std::size_t i) { return Set()[i]; }
  decltype(auto) operator[](std::size_t i) const { return Get()[i]; }
  auto begin() { return Set().begin(); }
  auto end() { return Set().end(); }
  auto begin() const { return Get().begin(); }
  auto end() const { return Get().end(); }
  std::size_t size() const { return Get().size(); }

  bool operator==(const OutOfLine& other) const { return Get() == other.Get(); }

 private:
  static std::unique_ptr<T> Copy(const OutOfLine& other) {
    return other.value_ != nullptr ? std::make_unique<T>(*other.value_) : nullptr;
  }
  static const T& Empty() {
    static const T empty{};
    return empty;
  }
  std::unique_ptr<T> value_;
};

// ------------------------------------------------------------------ objects

// Objects are stored by their own type and never deleted through an Object
// pointer, so they carry no virtual table. Fields are ordered to leave no
// padding holes.
struct STANDIN_API Object {
  explicit Object(Kind k) : kind(k) {}
  Object(const Object&) = default;
  Object& operator=(const Object&) = default;

  Kind kind;
  std::uint8_t bitField2 = 0;
  std::uint16_t bitField3 = 0;
  ObjectHandle handle = 0;  // set by the server when the object is added
  ObjectHandle board = 0;   // the board the object lies on
  bool operator==(const Object&) const = default;

 protected:
  ~Object() = default;
};

// The common block of the primitives (and of the group objects that share
// it): Flags, Index, Layer, NetHandle, Tag, ComponentHandle, X, Y.
struct STANDIN_API Primitive : Object {
  using Object::Object;
  std::uint16_t flags = 0;
  std::uint16_t index = 0;
  HostLayer layer = 0;
  std::uint8_t tag = 0;
  ObjectHandle net = 0;
  ObjectHandle component = 0;  // set by the server for component members
  Coord x = 0;
  Coord y = 0;
  bool operator==(const Primitive&) const = default;
};

struct STANDIN_API Track : Primitive {
  static constexpr Kind kKind = Kind::Track;
  Track() : Primitive(kKind) {}
  Coord x2 = 0, y2 = 0, width = 0;
  ObjectHandle polygon = 0;
  std::int32_t extra1 = 0, extra2 = 0;
  bool operator==(const Track&) const = default;
};

struct STANDIN_API Via : Primitive {
  static constexpr Kind kKind = Kind::Via;
  Via() : Primitive(kKind) { layer = kMultiLayer; }
  Coord size = 0, hole = 0;
  HostLayer lowLayer = kTopLayer, highLayer = kBottomLayer;
  bool operator==(const Via&) const = default;
};

struct STANDIN_API Arc : Primitive {
  static constexpr Kind kKind = Kind::Arc;
  Arc() : Primitive(kKind) {}
  Coord radius = 0;
  double startAngle = 0.0, endAngle = 0.0;
  Coord lineWidth = 0;
  ObjectHandle polygon = 0;
  bool operator==(const Arc&) const = default;
};

struct STANDIN_API Fill : Primitive {
  static constexpr Kind kKind = Kind::Fill;
  Fill() : Primitive(kKind) {}
  Coord x2 = 0, y2 = 0;
  ObjectHandle polygon = 0;
  double rotation = 0.0;
  bool operator==(const Fill&) const = default;
};

struct STANDIN_API Text : Primitive {
  static constexpr Kind kKind = Kind::Text;
  Text() : Primitive(kKind) {}
  Coord height = 0;
  std::int32_t style = 0;
  Coord lineWidth = 0;
  double rotation = 0.0;
  std::int32_t extra1 = 0, extra2 = 0;
  std::uint8_t textFlag = 0;
  std::string text;  // at most 254 characters reach the plug-in
  bool operator==(const Text&) const = default;
};

// Size and shape of a pad on one layer.
struct PadLevel {
  Coord xSize = 0, ySize = 0;
  std::uint8_t shape = 0;
  bool operator==(const PadLevel&) const = default;
};

struct STANDIN_API Pad : Primitive {
  static constexpr Kind kKind = Kind::Pad;
  Pad() : Primitive(kKind) { layer = kMultiLayer; }
  PadLevel top, mid, bottom;
  Coord hole = 0;
  std::uint8_t padByte1 = 0, padByte2 = 0;
  std::uint8_t pwrGnd = 0;
  std::uint8_t stackMode = 0;  // 2 = a size and shape per layer (layerStack)
  std::string name;            // at most 20 characters reach the plug-in
  double rotation = 0.0;
  // Per-layer sizes and shapes given by the board file's layer stack or by
  // the per-layer setters, in layer order; only the layers given are held,
  // and out of line, so a pad without a stack of its own stays small. A
  // layer without an entry answers with the top, mid or bottom level.
  struct LayerLevel {
    HostLayer layer;
    PadLevel level;
    bool operator==(const LayerLevel&) const = default;
  };
  OutOfLine<std::vector<LayerLevel>> layerStack;

  // The level given for a layer, nullptr when none is.
  const PadLevel* Given(HostLayer code) const {
    for (const LayerLevel& entry : layerStack.Get()) {
      if (entry.layer == code) return &entry.level;
    }
    return nullptr;
  }
  // The entry of a layer, made from `initial` when it has none yet.
  PadLevel& Give(HostLayer code, const PadLevel& initial) {
    std::vector<LayerLevel>& stack = layerStack.Set();
    auto at = stack.begin();
    while (at != stack.end() && at->layer < code) ++at;
    if (at == stack.end() || at->layer != code) at = stack.insert(at, {code, initial});
    return at->level;
  }
  bool operator==(const Pad&) const = default;
};

struct STANDIN_API Component : Primitive {
  static constexpr Kind kKind = Kind::Component;
  Component() : Primitive(kKind) { layer = kTopLayer; }
  ObjectHandle nameText = 0;     // the designator text, 0 = none
  ObjectHandle commentText = 0;  // the comment text, 0 = none
  std::int32_t value = 0;
  std::int32_t channelOffset = 0;
  std::int32_t exValue1 = 0;
  std::int32_t exValue2 = 0;
  std::uint8_t byte1 = 0, byte2 = 0, byte3 = 0;
  std::uint8_t componentKind = 0;
  std::uint8_t exByte1 = 0, exByte2 = 0;
  double rotation = 0.0;
  std::string pattern;  // at most 250 characters reach the plug-in
  OutOfLine<std::array<std::string, 7>> sourceLinks;
  // A member and its kind: a walk of one kind over a component needs no
  // look at the objects themselves.
  struct Member {
    ObjectHandle handle;
    Kind kind;
    bool operator==(const Member&) const = default;
  };
  // Every member in the order they were added (maintained by the server;
  // the designator and comment texts are not among them).
  std::vector<Member> members;
  bool operator==(const Component&) const = default;
};

struct STANDIN_API Polygon : Primitive {
  static constexpr Kind kKind = Kind::Polygon;
  Polygon() : Primitive(kKind) {}
  std::uint8_t byte0 = 0, byte1 = 0, byte2 = 0, byte3 = 0, byte4 = 0;
  Coord value1 = 0, trackWidth = 0, value3 = 0;
  std::uint8_t styleCode = 0;
  // The outline entries; the segment count is their number less one (0 when
  // empty). The host answers at most kPolygonSegmentCapacity entries.
  std::vector<PolygonSegment> outline;

  bool operator==(const Polygon&) const = default;

 protected:
  explicit Polygon(Kind k) : Primitive(k) {}
};

struct STANDIN_API BoardOutline : Polygon {
  static constexpr Kind kKind = Kind::BoardOutline;
  BoardOutline() : Polygon(kKind) {}
  bool operator==(const BoardOutline&) const = default;
};

struct STANDIN_API Coordinate : Primitive {
  static constexpr Kind kKind = Kind::Coordinate;
  Coordinate() : Primitive(kKind) {}
  std::array<Coord, 6> values{};
  bool operator==(const Coordinate&) const = default;
};

struct STANDIN_API Dimension : Primitive {
  static constexpr Kind kKind = Kind::Dimension;
  Dimension() : Primitive(kKind) {}
  // PcbApi_QueryDimension after Flags, Index, Tag, X, Y: value1, value2,
  // (Layer), value3 to value7, byte1.
  std::int32_t value1 = 0, value2 = 0, value3 = 0, value4 = 0, value5 = 0, value6 = 0, value7 = 0;
  std::uint8_t byte1 = 0;
  // PcbApi_QueryExtDimension, in its order.
  std::uint8_t dimensionCode = 0;
  std::int32_t extValue1 = 0, extValue2 = 0;
  std::int32_t ext1 = 0;
  std::uint8_t extByte1 = 0;
  std::int32_t ext2 = 0;
  std::string extText1;
  std::uint8_t extByte2 = 0;
  std::int32_t ext3 = 0;
  std::string extText2, extText3;
  double ext8Bytes = 0.0;
  std::int32_t ext4 = 0, ext5 = 0, ext6 = 0;
  std::uint8_t extByte3 = 0;
  std::int32_t ext7 = 0, ext8 = 0, ext9 = 0;
  std::vector<std::array<std::int32_t, 4>> references;
  bool operator==(const Dimension&) const = default;
};

struct STANDIN_API Net : Object {
  static constexpr Kind kKind = Kind::Net;
  Net() : Object(kKind) {}
  std::uint16_t index = 0;
  std::uint8_t netByte = 0;
  std::uint32_t netValue = 0;
  std::string name;
  bool operator==(const Net&) const = default;
};

struct STANDIN_API ObjectClass : Object {
  static constexpr Kind kKind = Kind::Class;
  ObjectClass() : Object(kKind) {}
  std::uint16_t index = 0;
  std::uint8_t byte1 = 0, byte2 = 0;
  std::string name;
  std::vector<std::string> members;
  bool operator==(const ObjectClass&) const = default;
};

struct STANDIN_API FromTo : Object {
  static constexpr Kind kKind = Kind::FromTo;
  FromTo() : Object(kKind) {}
  std::uint16_t index = 0;
  Coord x = 0, y = 0;
  std::uint8_t fromByte = 0;
  Coord x2 = 0, y2 = 0;
  std::uint8_t toByte = 0;
  ObjectHandle net = 0;
  bool operator==(const FromTo&) const = default;
};

struct STANDIN_API ManualFromTo : Object {
  static constexpr Kind kKind = Kind::ManualFromTo;
  ManualFromTo() : Object(kKind) {}
  std::uint16_t index = 0;
  std::array<std::string, 3> texts;
  std::int32_t value = 0;
  bool operator==(const ManualFromTo&) const = default;
};

// Which objects a rule governs.
enum class RuleScope : std::uint8_t {
  All,        // every object
  Net,        // the net named scopeName and every object on it
  Component,  // the component whose designator text is scopeName, and its members
};

struct STANDIN_API Rule : Object {
  static constexpr Kind kKind = Kind::Rule;
  Rule() : Object(kKind) {}
  std::uint8_t ruleKind = 0;
  std::array<std::uint8_t, 8> bytes{};  // rule bytes 1 to 8
  std::array<std::string, 4> texts1;
  std::array<std::int32_t, 4> numbers{};
  std::array<std::string, 6> texts2;
  // The values of the rule kind's value query, in its order (narrowed to
  // the query's widths): Clearance [gap]; Width [first, second];
  // RoutingVias [a, b, c]; RoutingTopology [t]; RoutingPriority [p];
  // PlaneConnect [style, a, b, c, d]; the expansions [expansion].
  std::array<std::int32_t, 5> values{};
  std::int32_t priority = 1;  // lower wins; the earlier rule on a tie
  RuleScope scope = RuleScope::All;
  std::string scopeName;
  std::vector<HostLayer> layers;  // empty = MultiLayer
  bool operator==(const Rule&) const = default;
};

}  // namespace standin
