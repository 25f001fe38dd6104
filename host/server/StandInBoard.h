// The in-memory board of the stand-in PCB server.
//
// One Server per process (TheServer()) owns every host object: boards, the
// primitives and group objects on them, rules, classes. Objects are named by
// 32-bit handles that index a table directly (0 = none). The structs below
// hold every value the entry points exchange, at the width the entry points
// use; strings are 8-bit byte strings whose length the entry points cut to
// the buffer they write into.
//
// Building a board (what a board-file reader does):
//   auto& s = standin::TheServer();
//   s.Reset();
//   ObjectHandle board = s.CreateBoard();            // becomes the current board
//   ObjectHandle gnd = s.Add(standin::Net{...});
//   standin::Track t; t.net = gnd; t.layer = kTopLayer; ...
//   s.Add(t);                                        // a free track
//   ObjectHandle c = s.Add(standin::Component{...});
//   s.AddDesignator(c, text); s.AddComment(c, text);
//   s.Add(pad, c);                                   // a member of c
// Board walks yield, per kind, the members of each component (components in
// the order they were added, members in the order they were added), then the
// free objects in the order they were added.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "HostLayers.h"
#include "PcbApi.h"

#define STANDIN_API PCBAPI_EXPORT

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

// ------------------------------------------------------------------ objects

struct STANDIN_API Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Object(const Object&) = default;
  Object& operator=(const Object&) = default;

  Kind kind;
  ObjectHandle handle = 0;  // set by the server when the object is added
  ObjectHandle board = 0;   // the board the object lies on
  std::uint8_t bitField2 = 0;
  std::uint16_t bitField3 = 0;
};

// The common block of the primitives (and of the group objects that share
// it): Flags, Index, Layer, NetHandle, Tag, ComponentHandle, X, Y.
struct STANDIN_API Primitive : Object {
  using Object::Object;
  std::uint16_t flags = 0;
  std::uint16_t index = 0;
  HostLayer layer = 0;
  ObjectHandle net = 0;
  std::uint8_t tag = 0;
  ObjectHandle component = 0;  // set by the server for component members
  Coord x = 0;
  Coord y = 0;
};

struct STANDIN_API Track : Primitive {
  static constexpr Kind kKind = Kind::Track;
  Track() : Primitive(kKind) {}
  Coord x2 = 0, y2 = 0, width = 0;
  ObjectHandle polygon = 0;
  std::int32_t extra1 = 0, extra2 = 0;
};

struct STANDIN_API Via : Primitive {
  static constexpr Kind kKind = Kind::Via;
  Via() : Primitive(kKind) { layer = kMultiLayer; }
  Coord size = 0, hole = 0;
  HostLayer lowLayer = kTopLayer, highLayer = kBottomLayer;
};

struct STANDIN_API Arc : Primitive {
  static constexpr Kind kKind = Kind::Arc;
  Arc() : Primitive(kKind) {}
  Coord radius = 0;
  double startAngle = 0.0, endAngle = 0.0;
  Coord lineWidth = 0;
  ObjectHandle polygon = 0;
};

struct STANDIN_API Fill : Primitive {
  static constexpr Kind kKind = Kind::Fill;
  Fill() : Primitive(kKind) {}
  Coord x2 = 0, y2 = 0;
  ObjectHandle polygon = 0;
  double rotation = 0.0;
};

struct STANDIN_API Text : Primitive {
  static constexpr Kind kKind = Kind::Text;
  Text() : Primitive(kKind) {}
  Coord height = 0;
  std::int32_t style = 0;
  double rotation = 0.0;
  std::uint8_t textFlag = 0;
  std::string text;  // at most 254 characters reach the plug-in
  Coord lineWidth = 0;
  std::int32_t extra1 = 0, extra2 = 0;
};

// Size and shape of a pad on one layer.
struct PadLevel {
  Coord xSize = 0, ySize = 0;
  std::uint8_t shape = 0;
};

struct STANDIN_API Pad : Primitive {
  static constexpr Kind kKind = Kind::Pad;
  Pad() : Primitive(kKind) { layer = kMultiLayer; }
  PadLevel top, mid, bottom;
  Coord hole = 0;
  std::string name;  // at most 20 characters reach the plug-in
  std::uint8_t padByte1 = 0, padByte2 = 0;
  double rotation = 0.0;
  std::uint8_t pwrGnd = 0;
  std::uint8_t stackMode = 0;  // 2 = a size and shape per layer (layerStack)
  // Per-layer sizes and shapes, by host layer code. A layer answers with its
  // entry when the entry is given (given[layer]: set by the board file's
  // layer stack or by the per-layer setters), otherwise with the top, mid or
  // bottom level.
  std::array<PadLevel, kHostLayerCount> layerStack{};
  std::array<bool, kHostLayerCount> given{};
};

struct STANDIN_API Component : Primitive {
  static constexpr Kind kKind = Kind::Component;
  Component() : Primitive(kKind) { layer = kTopLayer; }
  ObjectHandle nameText = 0;     // the designator text, 0 = none
  ObjectHandle commentText = 0;  // the comment text, 0 = none
  std::string pattern;           // at most 250 characters reach the plug-in
  std::uint8_t byte1 = 0, byte2 = 0, byte3 = 0;
  std::int32_t value = 0;
  double rotation = 0.0;
  std::int32_t channelOffset = 0;
  std::uint8_t componentKind = 0;
  std::int32_t exValue1 = 0;
  std::uint8_t exByte1 = 0, exByte2 = 0;
  std::int32_t exValue2 = 0;
  std::array<std::string, 7> sourceLinks;
  // Members by kind, in the order they were added (maintained by the server;
  // the designator and comment texts are not in members[Text]).
  std::array<std::vector<ObjectHandle>, kKindCount> members;
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

 protected:
  explicit Polygon(Kind k) : Primitive(k) {}
};

struct STANDIN_API BoardOutline : Polygon {
  static constexpr Kind kKind = Kind::BoardOutline;
  BoardOutline() : Polygon(kKind) {}
};

struct STANDIN_API Coordinate : Primitive {
  static constexpr Kind kKind = Kind::Coordinate;
  Coordinate() : Primitive(kKind) {}
  std::array<Coord, 6> values{};
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
};

struct STANDIN_API Net : Object {
  static constexpr Kind kKind = Kind::Net;
  Net() : Object(kKind) {}
  std::uint16_t index = 0;
  std::string name;
  std::uint8_t netByte = 0;
  std::uint32_t netValue = 0;
};

struct STANDIN_API ObjectClass : Object {
  static constexpr Kind kKind = Kind::Class;
  ObjectClass() : Object(kKind) {}
  std::uint16_t index = 0;
  std::uint8_t byte1 = 0, byte2 = 0;
  std::string name;
  std::vector<std::string> members;
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
};

struct STANDIN_API ManualFromTo : Object {
  static constexpr Kind kKind = Kind::ManualFromTo;
  ManualFromTo() : Object(kKind) {}
  std::uint16_t index = 0;
  std::array<std::string, 3> texts;
  std::int32_t value = 0;
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
};

// ------------------------------------------------------------------ board

struct Dielectric {
  std::string material = "FR-4";
  std::uint8_t type = 1;
  double constant = 4.8;
  std::int32_t height = 126000;
};

struct Layer {
  std::string name;  // default: the host layer name
  std::int32_t copperThickness = 14000;
  std::uint8_t status1 = 0, status2 = 0, status3 = 0;
  HostLayer prevLayer = 0, nextLayer = 0;
  Dielectric dielectric;
  std::string planeNet = "(No Net)";  // internal planes
};

struct LayerInfo {
  std::uint8_t value1 = 0, value2 = 0;
  std::int32_t info = 0;
};

struct Grids {
  std::uint8_t grid1 = 0, grid2 = 0, grid3 = 0, grid4 = 0;
  double grid5 = 0, grid6 = 0, grid7 = 0, grid8 = 0;
  std::int32_t grid9 = 0;
  std::uint8_t grid10 = 0;
  double grid11 = 0, grid12 = 0, grid13 = 0, grid14 = 0;
};

struct OutputOptions {
  std::int32_t value1 = 0, value2 = 0;
  std::array<std::uint8_t, 22> bytes{};
  std::array<std::uint8_t, 110> plotLayers{};  // flags 1 to 109
  std::array<std::uint8_t, 110> flipLayers{};  // flags 1 to 109
};

struct PlotterPen {
  std::int32_t value1 = 0, value2 = 0;
};

struct CompositeLayer {
  std::int32_t value1 = 0, value2 = 0;
  std::uint8_t value3 = 0;
  std::int32_t value4 = 0;
};

struct PrinterOptions {
  std::array<std::int32_t, 26> values{};
  std::array<PlotterPen, 9> pens{};                               // pens 1 to 8
  std::array<CompositeLayer, kHostLayerCount> compositeLayers{};  // layers 1 to 82
};

struct PlacerOptions {
  std::string text1, text2;
  std::array<std::uint8_t, 4> bytes{};
};

struct LayerPair {
  HostLayer lowLayer = 0, highLayer = 0;
  std::uint8_t value1 = 0, value2 = 0;
};

struct STANDIN_API Board : Object {
  Board();
  // PcbApi_QueryBoard, in its order.
  std::int32_t info1 = 0;
  std::string info2;
  std::uint8_t info3 = 0;
  std::int32_t info4 = 0, info5 = 0, info6 = 0, info7 = 0;
  std::uint8_t info8 = 0;
  HostLayer boardLayer = kTopLayer;
  std::int32_t info10 = 0;

  std::array<Layer, kHostLayerCount> layers;  // codes 1 to 82
  std::array<LayerInfo, kHostLayerCount> layerInfo{};
  Grids grids;
  OutputOptions outputOptions;
  std::array<std::int32_t, 18> gerberOptions{};
  PrinterOptions printerOptions;
  PlacerOptions placerOptions;
  std::array<std::uint8_t, 2> ecoOptions{};
  std::array<Dielectric, 2> externalDielectrics;
  std::vector<LayerPair> layerPairs;

  // Sets the previous and next layers from a stack listed top down; layers
  // not listed get neither.
  void SetStack(const std::vector<HostLayer>& topDown);

  // Document order, maintained by the server.
  std::vector<ObjectHandle> components;
  std::array<std::vector<ObjectHandle>, kKindCount> freeObjects;
};

// ------------------------------------------------------------------ test support

struct RecordedCall {
  std::string name;
  std::vector<std::int64_t> args;  // the by-value arguments, in order
};

struct ProgressState {
  int initCalls = 0;
  int updates = 0;  // since the last init
  int finishCalls = 0;
  std::int32_t total = 0;
  std::string caption;
  bool open = false;
};

// ------------------------------------------------------------------ server

class STANDIN_API Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Empties everything: objects, boards, iterators, recorder, hidden names,
  // progress counts.
  void Reset();

  // A new board with default settings; it becomes the current board when
  // there is none or when makeCurrent is set.
  ObjectHandle CreateBoard(bool makeCurrent = true);
  bool SetCurrentBoard(ObjectHandle board);
  ObjectHandle CurrentBoardHandle() const { return currentBoard_; }
  Board* CurrentBoard() { return Get<Board>(currentBoard_); }

  // Adds an object to the current board: free when component is 0, else a
  // member of that component (its component link is set). Returns its
  // handle, or 0 when there is no current board or the component is not one.
  template <class T>
  ObjectHandle Add(T object, ObjectHandle component = 0) {
    return Insert(std::make_unique<T>(std::move(object)), component);
  }
  // The designator and comment texts of a component: members of it that its
  // text walk yields first (designator, comment, then its other texts).
  ObjectHandle AddDesignator(ObjectHandle component, Text text);
  ObjectHandle AddComment(ObjectHandle component, Text text);

  // The object of a handle, or nullptr when the handle names nothing or an
  // object of another kind. Get<Polygon> also accepts a board outline,
  // Get<Primitive> every kind with the common block, Get<Object> anything.
  template <class T>
  T* Get(ObjectHandle handle) {
    Object* object = Find(handle);
    return object != nullptr && Accepts<T>(object->kind) ? static_cast<T*>(object) : nullptr;
  }
  Object* Find(ObjectHandle handle) {
    return handle < objects_.size() ? objects_[handle].get() : nullptr;
  }

  ObjectHandle FindNet(std::string_view name) const;
  ObjectHandle FindComponent(std::string_view designator);

  // Every object of a kind that a walk over owner (board, component or net)
  // yields on a layer (0 = any), in walk order.
  void Collect(ObjectHandle owner, Kind kind, HostLayer layer, std::vector<ObjectHandle>& out);
  // The dominant rule of a kind for an object, 0 when none applies.
  ObjectHandle DominantRule(ObjectHandle object, std::uint8_t ruleKind);

  // Moves an object to another component (or to the free objects with 0):
  // appended last in the new owner's document order.
  bool Reparent(ObjectHandle object, ObjectHandle component);

  // Iterators. Their handles have bit 31 set (object handles never do), a
  // generation in bits 16 to 30 and a slot in bits 0 to 15; slots are reused.
  ObjectHandle CreateIterator(ObjectHandle owner, std::uint8_t kind, std::uint8_t method,
                              HostLayer layer);
  ObjectHandle FirstObject(ObjectHandle iterator);
  ObjectHandle NextObject(ObjectHandle iterator);
  bool DestroyIterator(ObjectHandle iterator);
  std::size_t OpenIterators() const { return openIterators_; }
  // Forgets the net member index (see netMembers_); called on every change
  // that can move an object to another net or reorder a walk.
  void InvalidateNetMembers();
  // Bytes the iterators' snapshots hold (kept for reuse after a walk).
  std::size_t IteratorSnapshotBytes() const;
  // The most bytes the net member index has held since the last Reset.
  std::size_t NetMembersPeakBytes() const { return netMembersPeakBytes_; }

  // Progress display.
  ProgressState& Progress() { return progress_; }

  // Call recorder.
  void SetRecording(bool on) { recording_ = on; }
  bool Recording() const { return recording_; }
  const std::vector<RecordedCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void Record(const char* name, std::initializer_list<std::int64_t> args);
  // Every entry point call since the server was loaded, recorder on or off.
  void CountCall() { ++callsReceived_; }
  std::uint64_t CallsReceived() const { return callsReceived_; }

  // Hidden entry points: StandIn_EntryPoint answers nullptr for them.
  void Hide(std::string_view name);
  void Unhide(std::string_view name);
  void UnhideAll() { hidden_.clear(); }
  bool IsHidden(std::string_view name) const;

 private:
  template <class T>
  static bool Accepts(Kind kind) {
    if constexpr (std::is_same_v<T, Object>) {
      return true;
    } else if constexpr (std::is_same_v<T, Primitive>) {
      return IsPrimitiveKind(kind);
    } else if constexpr (std::is_same_v<T, Board>) {
      return kind == Kind::None;
    } else if constexpr (std::is_same_v<T, Polygon>) {
      return kind == Kind::Polygon || kind == Kind::BoardOutline;
    } else {
      return kind == T::kKind;
    }
  }
  static bool IsPrimitiveKind(Kind kind);

  ObjectHandle Insert(std::unique_ptr<Object> object, ObjectHandle component);
  ObjectHandle AddComponentText(ObjectHandle component, Text text, bool designator);
  bool OnLayer(const Object& object, HostLayer layer) const;
  bool InScope(const Rule& rule, ObjectHandle object);
  void CollectWalk(const Board& board, Kind kind, std::vector<ObjectHandle>& out) const;
  void CollectMembers(const Component& component, Kind kind, std::vector<ObjectHandle>& out) const;

  struct Iterator {
    std::uint16_t generation = 0;
    bool open = false;
    std::uint8_t method = 0;
    std::size_t next = 0;
    std::vector<ObjectHandle> items;
  };
  Iterator* FindIterator(ObjectHandle iterator);

  std::vector<std::unique_ptr<Object>> objects_;  // indexed by handle; [0] = none
  ObjectHandle currentBoard_ = 0;
  std::vector<Iterator> iterators_;
  std::vector<std::size_t> freeIterators_;
  std::size_t openIterators_ = 0;
  // Net member walks nested in another walk (a walk over the nets with a
  // member walk per net) are answered from an index of the board's objects
  // by net, built once per kind by one board walk, so that walking every
  // net's members costs one board walk, not one per net. The index lives
  // only while some iterator is open and is dropped by any change through
  // the server, so a walk outside another walk always sees the model as it
  // is.
  struct NetMembers {
    bool built = false;
    std::unordered_map<ObjectHandle, std::vector<ObjectHandle>> byNet;
  };
  ObjectHandle netMembersBoard_ = 0;
  std::size_t netMembersBytes_ = 0;
  std::size_t netMembersPeakBytes_ = 0;
  std::array<NetMembers, kKindCount> netMembers_;
  const std::vector<ObjectHandle>& NetMembersOf(const Board& board, ObjectHandle net, Kind kind);
  ObjectHandle NetOf(ObjectHandle member) const;
  ProgressState progress_;
  bool recording_ = false;
  std::vector<RecordedCall> calls_;
  std::uint64_t callsReceived_ = 0;
  std::vector<std::string> hidden_;
};

STANDIN_API Server& TheServer();

}  // namespace standin

// The address of the server's own entry point of that name; nullptr when it
// does not implement it or the name is hidden.
extern "C" PCBAPI_EXPORT void* StandIn_EntryPoint(const char* name);

// The number of entry point calls the server has received since it was loaded.
extern "C" PCBAPI_EXPORT std::uint64_t StandIn_CallsReceived();
