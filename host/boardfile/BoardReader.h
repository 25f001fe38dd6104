// The board-file reader: it walks the text once with simdjson's On-Demand
// parser and adds each object to the server's board as soon as it is read,
// in an order that resolves every reference (nets, polygons and board
// outlines, classes, rules, components with their members, then the free
// objects). Every rule of the format is checked here; the first fault
// throws a Fault, and Place() says where the reader was. Each family of
// objects is read in its own file (PrimitiveReader.cpp, GroupReader.cpp,
// NetReader.cpp, SettingsReader.cpp); the keys and what they set come from
// Schema.h.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "boardfile/JsonFields.h"
#include "boardfile/Schema.h"
#include "server/StandInBoard.h"

namespace boardfile {

// The key set of every kind of object: kTrackKeys, ...
#define PCB28_KEY_SET(Kind, FIELDS) inline const KeySet k##Kind##Keys{k##Kind##KeyNames};
PCB28_OBJECT_KINDS(PCB28_KEY_SET)
#undef PCB28_KEY_SET

// How each reading of the schema reads a value `x` into its destination
// `m`; Own keys go to the reader's `own(key, x)`.
#define PCB28_READ_Length(key, x, m, ...) m = Length(x)
#define PCB28_READ_Int(key, x, m, ...) Int(x, m)
#define PCB28_READ_Real(key, x, m, ...) m = Real(x)
#define PCB28_READ_Layer(key, x, m, lowest) m = Layer(x, lowest)
#define PCB28_READ_Text(key, x, m, limit, field) HostString(x, limit, field, m)
#define PCB28_READ_Net(key, x, m, ...) m = NetRef(x)
#define PCB28_READ_Polygon(key, x, m, ...) m = PolygonRef(x)
#define PCB28_READ_Own(key, x, m, ...) own(key, x)
#define PCB28_FIELD_CASE(key, reading, member, ...)           \
  case Key::key:                                              \
    PCB28_READ_##reading(Key::key, x, o.member, __VA_ARGS__); \
    break;
// The reading of one field of an object `o` of the kind: a lambda for
// EachField.
#define PCB28_FIELDS_OF(Kind, FIELDS)                          \
  [&](int k_, Value& x) {                                      \
    using Key = Kind##Key;                                     \
    switch (static_cast<Key>(k_)) { FIELDS(PCB28_FIELD_CASE) } \
  }

// Names to handles, looked up by the name's bytes (open addressing).
class NameTable {
 public:
  // False when the name is there already.
  bool Insert(std::string_view name, ObjectHandle handle) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Slot& slot = SlotOf(name);
    if (slot.handle != 0) return false;
    slot = {std::string(name), handle};
    ++count_;
    return true;
  }
  bool Contains(std::string_view name) const { return Find(name) != 0; }
  ObjectHandle Find(std::string_view name) const {
    return slots_.empty() ? 0 : const_cast<NameTable*>(this)->SlotOf(name).handle;
  }

 private:
  struct Slot {
    std::string name;
    ObjectHandle handle = 0;  // 0: empty
  };
  static std::size_t Hash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
  Slot& SlotOf(std::string_view name) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
      if (slots_[i].handle == 0 || slots_[i].name == name) return slots_[i];
    }
  }
  void Grow() {
    std::vector<Slot> old(std::max<std::size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    for (Slot& slot : old) {
      if (slot.handle != 0) SlotOf(slot.name) = std::move(slot);
    }
  }
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

class Reader {
 public:
  explicit Reader(standin::Server& server) : server_(server) {}

  void Document(od::document& doc);

  // Where the reader was at the last fault ("tracks[3].x", "top level"),
  // with `key` added when the fault names one.
  std::string Place(const char* key = nullptr) const;

 private:
  // ---- walking the document, keeping the place.
  struct Step {
    std::string_view key;  // empty: a list position, or no key yet
    std::size_t index = 0;
    bool isIndex = false;
  };
  // Deep enough for the deepest object of the format (a component's pad's
  // layer stack's level); no reading recurses.
  static constexpr int kMaxDepth = 16;
  std::array<Step, kMaxDepth> path_{};
  int depth_ = 0;

  // Calls read(key number, value) for each field of an object, refusing
  // unknown and repeated keys; returns the keys it had.
  template <class F>
  std::uint64_t EachField(od::object& object, const KeySet& keys, F&& read) {
    Step& step = path_[depth_++];
    step = {};
    std::uint64_t seen = 0;
    for (auto result : object) {
      od::field field = std::move(result);
      const std::string_view key = KeyOf(field);
      const int k = keys.Find(key);
      if (k < 0 || (seen & Bit(k)) != 0) [[unlikely]] {
        step = {};
        FailKey(key, keys, k >= 0);
      }
      seen |= Bit(k);
      step.key = keys.Name(k);
      read(k, field.value());
    }
    --depth_;
    return seen;
  }
  template <class F>
  std::uint64_t EachField(Value& v, const char* what, const KeySet& keys, F&& read) {
    od::object object = ObjectOf(v, what);
    return EachField(object, keys, read);
  }
  // The key of a field, unescaped when it holds an escape.
  std::string_view KeyOf(od::field& field) {
    const char* start = field.key().raw();
    const char* end = start;
    while (*end != '"') {
      if (*end == '\\') [[unlikely]] {
        escapedKeys_ = true;
        return field.unescaped_key();
      }
      ++end;
    }
    return {start, static_cast<std::size_t>(end - start)};
  }
  // The value of a key met before, found again (objects read in two passes).
  Value Field(od::object& object, std::string_view name);
  [[noreturn]] void FailKey(std::string_view key, const KeySet& keys, bool repeated) const;

  // Calls read(position, value) for each entry of a list of at most `limit`
  // (`what`: "outline entries").
  template <class F>
  void EachItem(Value& v, std::size_t limit, std::string_view what, F&& read) {
    if (v.type() != Type::array) [[unlikely]]
      FailList(v, what);
    Step& step = path_[depth_++];
    step = {{}, 0, true};
    std::size_t i = 0;
    for (auto result : v.get_array()) {
      if (i < limit) [[likely]] {
        step.index = i;
        Value item = std::move(result);
        read(i, item);
      }
      ++i;
    }
    if (i > limit) [[unlikely]] {
      step = {};
      FailLength(limit, what, i);
    }
    --depth_;
  }
  template <class F>
  void Each(Value& v, F&& read) {
    EachItem(v, kAny, "objects", [&](std::size_t, Value& item) { read(item); });
  }
  static constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();
  // A list of at most as many integers as `out` names, each read at its
  // own width.
  template <class... T>
  void Integers(Value& v, std::string_view what, T&... out) {
    EachItem(v, sizeof...(T), what, [&](std::size_t i, Value& e) {
      std::size_t k = 0;
      ((k++ == i ? Int(e, out) : void()), ...);
    });
  }
  // A list of at most `out.size()` integers, or texts (`field` in messages).
  template <class A>
  void Integers(Value& v, std::string_view what, A& out) {
    EachItem(v, out.size(), what, [&](std::size_t i, Value& e) { Int(e, out[i]); });
  }
  template <class A>
  void Texts(Value& v, std::string_view what, const char* field, A& out) {
    EachItem(v, out.size(), what,
             [&](std::size_t i, Value& e) { HostString(e, kNameLimit, field, out[i]); });
  }
  [[noreturn]] static void FailList(Value& v, std::string_view what);
  [[noreturn]] static void FailLength(std::size_t limit, std::string_view what, std::size_t found);

  // Calls read(layer, value) for each field of an object keyed by layer. A
  // layer keyed twice under different spellings ("TopLayer" and "1") takes
  // the later value.
  template <class F>
  void EachLayerField(Value& v, int lowest, const char* what, F&& read) {
    od::object object = ObjectOf(v, what);
    Step& step = path_[depth_++];
    step = {};
    std::array<std::string_view, kHostLayerCount> seen{};
    for (auto result : object) {
      od::field field = std::move(result);
      const std::string_view key = KeyOf(field);
      step.key = key;
      const HostLayer layer = LayerOfKey(key, lowest);
      if (seen[layer].data() != nullptr && seen[layer] == key) [[unlikely]] {
        step = {};
        Fail("key '" + std::string(key) + "' given twice");
      }
      seen[layer] = key;
      read(layer, field.value());
    }
    --depth_;
  }

  void Added(ObjectHandle handle) {
    if (handle == 0) [[unlikely]]
      FailServer();
  }
  [[noreturn]] static void FailServer();
  [[noreturn]] static void FailNoNet(std::string_view name);

  // ---- references, inline: every primitive may have them.
  // The net a name refers to, 0 for none (an empty name); `name_` is the name.
  ObjectHandle NetRef(Value& v) {
    name_ = HostView(v, kNameLimit, "net name", scratch_);
    if (name_.empty()) return 0;
    const ObjectHandle net = nets_.Find(name_);
    if (net == 0) [[unlikely]]
      FailNoNet(name_);
    return net;
  }
  ObjectHandle PolygonRef(Value& v) {
    const std::string id = AreaId(v);
    const ObjectHandle area = areas_.Find(id);
    if (area == 0) [[unlikely]]
      Fail("no polygon or board outline with id " + Quoted(id));
    return area;
  }

  void TopLevel(TopKey k, Value& v);

  // Primitives (PrimitiveReader.cpp).
  // The members of a component (or the free objects with component 0).
  template <class T>
  void Members(Value& v, ObjectHandle component);
  // Inline, and called only there: each inlines into its Members loop.
  inline void Read(Value& v, standin::Track& o);
  // The tracks of a ring read into ring_, each with the values of `edge`.
  void AddRing(const standin::Track& edge, ObjectHandle component);
  inline void Read(Value& v, standin::Arc& o);
  inline void Read(Value& v, standin::Via& o);
  inline void Read(Value& v, standin::Fill& o);
  inline void Read(Value& v, standin::Pad& o);
  standin::PadLevel Level(Value& v);
  // A component's designator and comment are texts too (`what` names the
  // forms a value may take).
  void Read(Value& v, standin::Text& o, const char* what = "an object");

  // Components and polygons (GroupReader.cpp).
  bool ComponentText(Value& v, std::optional<standin::Text>& out);
  void Component(Value& v);
  PolygonSegment OutlineEntry(Value& v);
  template <class T>
  void Area(Value& v);

  // Nets, classes, rules and the other objects (NetReader.cpp).
  void Net(Value& v);
  void Class(Value& v);
  void Rule(Value& v);
  void Scope(Value& v, standin::Rule& rule);
  void FromTo(Value& v);
  void ManualFromTo(Value& v);
  void Coordinate(Value& v);
  static void DimensionExt(std::size_t i, Value& x, standin::Dimension& d);
  void Dimension(Value& v);

  // Board settings (SettingsReader.cpp).
  void Dielectric(Value& v, standin::Dielectric& o);
  void BoardSettings(Value& v);
  void Layers(Value& v);
  void Stack(Value& v);
  void LayerPair(Value& v);

  standin::Server& server_;
  standin::Board* board_ = nullptr;
  NameTable nets_, areas_;
  std::unordered_set<std::string> designators_;
  // Rule scopes naming a component, checked once every component is read:
  // the designator and the place of the scope.
  std::vector<std::pair<std::string, std::string>> scopeDesignators_;
  bool escapedKeys_ = false;  // a key with an escape was met: Field() unescapes
  std::string_view name_;     // the last net name read
  std::string scratch_;       // name_ when it needed converting
  std::vector<Coord> ring_;   // the last track's ring: x and y of each point
};

}  // namespace boardfile
