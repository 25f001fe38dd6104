// The stand-in server: one per process (TheServer()), owning every host
// object. Objects are named by 32-bit handles that index a table directly
// (0 = none).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "server/BoardModel.h"
#include "server/Objects.h"
#include "server/Recording.h"
#include "server/Storage.h"

namespace standin {

// What the server holds at most. Every board it holds can then be exported:
// the plug-in bounds each walk over the host's objects and all walks of one
// export together (docs/host-data-bounds.md), and a board within these
// limits stays below every one of those bounds. An object past a limit is
// refused, and LimitReached() says which.
struct ServerLimits {
  // Objects of all kinds together: each is yielded at most six times in one
  // export (a pad: progress, counts, its component, the free pass and its
  // net twice), so the walks of one export stay below 8,388,608 handles, and
  // no one kind or net comes near its walk's bound.
  static constexpr std::size_t kObjects = std::size_t{1} << 20;
  // Rules: a rule is yielded once per layer it lists (up to 82).
  static constexpr std::size_t kRules = std::size_t{1} << 14;
  // A component's objects, its designator and comment included: the bound
  // of a walk over one component's objects of one kind.
  static constexpr std::size_t kComponentObjects = std::size_t{1} << 16;
};

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
    if (!CanInsert(T::kKind, component)) return 0;
    return Insert(Store(std::move(object)), component);
  }
  // Which limit refused an object since the last Reset (a sentence for a
  // message); empty when none did.
  const std::string& LimitReached() const { return limitReached_; }

  // Which walks were left before their end: a walk whose caller destroyed
  // the iterator before it had answered 0. A plug-in does so only when a
  // bound of its own cut the walk short.
  struct UnfinishedWalks {
    std::size_t count = 0;
    Kind owner = Kind::None;  // of the first one: None is the board
    Kind kind = Kind::None;
    std::size_t handles = 0;  // the handles it holds
  };
  const UnfinishedWalks& Unfinished() const { return unfinished_; }

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
    return handle < objects_.size() ? objects_[handle] : nullptr;
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
  // Bytes the board walk order holds (see ComponentMembers).
  std::size_t WalkOrderBytes() const;

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

  // Objects live in one store per type, in the order they were added; the
  // store keeps every object where it is while it grows.
  template <class T>
  T* Store(T&& object) {
    return std::get<ChunkedStore<T>>(stores_).push_back(std::move(object));
  }
  bool CanInsert(Kind kind, ObjectHandle component);
  ObjectHandle Insert(Object* object, ObjectHandle component);
  ObjectHandle AddComponentText(ObjectHandle component, Text text, bool designator);
  bool OnLayer(const Object& object, HostLayer layer) const;
  bool InScope(const Rule& rule, ObjectHandle object);
  void CollectWalk(const Board& board, Kind kind, std::vector<ObjectHandle>& out);
  // The component members of a board by kind, in walk order (components in
  // document order, each one's members in order), built by one pass over
  // the components after any change, so that a board walk does not visit
  // every component for each kind.
  const std::vector<ObjectHandle>& ComponentMembers(const Board& board, Kind kind);
  // Forgets the walk order and the net member index after a change of which
  // objects a walk yields.
  void MembersChanged();
  ObjectHandle walkOrderBoard_ = 0;
  std::array<std::vector<ObjectHandle>, kKindCount> walkOrder_;
  void CollectMembers(const Component& component, Kind kind, std::vector<ObjectHandle>& out) const;

  struct Iterator {
    std::uint16_t generation = 0;
    bool open = false;
    bool ended = false;  // it has answered 0
    std::uint8_t method = 0;
    Kind owner = Kind::None, kind = Kind::None;
    std::size_t next = 0;
    std::vector<ObjectHandle> items;
  };
  Iterator* FindIterator(ObjectHandle iterator);

  // Every object by handle ([0] = none), pointing into the stores. One flat
  // array: every query looks a handle up, and a table in pages made each
  // lookup one dependent load longer (the export 4 % slower); growing it
  // copies a few MB once in a large load.
  std::vector<Object*> objects_;
  std::tuple<ChunkedStore<Board>, ChunkedStore<Track>, ChunkedStore<Via>, ChunkedStore<Arc>,
             ChunkedStore<Fill>, ChunkedStore<Text>, ChunkedStore<Pad>, ChunkedStore<Component>,
             ChunkedStore<Polygon>, ChunkedStore<BoardOutline>, ChunkedStore<Coordinate>,
             ChunkedStore<Dimension>, ChunkedStore<Net>, ChunkedStore<ObjectClass>,
             ChunkedStore<FromTo>, ChunkedStore<ManualFromTo>, ChunkedStore<Rule>>
      stores_;
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
  // Flat, by net handle: the members of net n are members[first[n]] up to
  // members[first[n + 1]], in walk order; first ends after the highest net
  // that has members.
  struct NetMembers {
    bool built = false;
    std::vector<std::uint32_t> first;
    std::vector<ObjectHandle> members;
  };
  ObjectHandle netMembersBoard_ = 0;
  std::size_t netMembersBytes_ = 0;
  std::size_t netMembersPeakBytes_ = 0;
  std::size_t objectCount_ = 0, ruleCount_ = 0;
  std::string limitReached_;
  bool WithinLimits(Kind kind, const Component* owner);
  UnfinishedWalks unfinished_;
  std::array<NetMembers, kKindCount> netMembers_;
  std::span<const ObjectHandle> NetMembersOf(const Board& board, ObjectHandle net, Kind kind);
  ObjectHandle NetOf(ObjectHandle member) const;
  ProgressState progress_;
  bool recording_ = false;
  std::vector<RecordedCall> calls_;
  std::uint64_t callsReceived_ = 0;
  std::vector<std::string> hidden_;
};

STANDIN_API Server& TheServer();

// Makes `handler` the server library's handler of a failed allocation (its
// own, where the library carries its own C++ runtime, as on Windows).
STANDIN_API void SetOutOfMemoryHandler(void (*handler)());

}  // namespace standin

// The address of the server's own entry point of that name; nullptr when it
// does not implement it or the name is hidden.
extern "C" PCBAPI_EXPORT void* StandIn_EntryPoint(const char* name);

// The number of entry point calls the server has received since it was loaded.
extern "C" PCBAPI_EXPORT std::uint64_t StandIn_CallsReceived();
