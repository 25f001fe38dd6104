// The streaming reader of a board file into the server's board: each object
// is added as soon as it is read; any fault throws Refused. Its families are
// read in the Fast*Reader.cpp files, as the exact reader's in *Reader.cpp.
// What every primitive reads (references, common keys) is inline here, and
// each primitive's reading inlines into its list loop.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "boardfile/FastFields.h"
#include "boardfile/FastKeys.h"
#include "boardfile/FieldRules.h"
#include "server/StandInBoard.h"

namespace boardfile::fast {

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

 private:
  void TopLevel(TopKey k, Value& v);

  template <class F>
  static void Each(Value& v, F&& read) {
    EachItem(v, kAny, [&](std::size_t, Value& item) { read(item); });
  }

  void Added(ObjectHandle handle) { Need(handle != 0); }

  // References, inline: every primitive may have them.
  // The net a name refers to, 0 for none (an empty name); `name_` is the name.
  ObjectHandle NetRef(Value& v) {
    name_ = HostView(v, kNameLimit, scratch_);
    if (name_.empty()) return 0;
    const ObjectHandle net = nets_.Find(name_);
    Need(net != 0);
    return net;
  }
  ObjectHandle PolygonRef(Value& v) {
    const ObjectHandle area = areas_.Find(AreaId(v));
    Need(area != 0);
    return area;
  }

  // The keys every object and every primitive may have, inline too.
  // clang-format off
  void Common(int k, Value& v, standin::Object& o) {
    if (k == kBits2) return Int(v, o.bitField2);
    Need(k == kBits3);
    Int(v, o.bitField3);
  }
  void Common(int k, Value& v, standin::Primitive& p, bool withNet = true) {
    switch (k) {
      case kLayer: p.layer = Layer(v, 0); break;
      case kNet:
        Need(withNet);
        p.net = NetRef(v);
        break;
      case kTag: return Int(v, p.tag);
      case kFlags: return Int(v, p.flags);
      case kIndex: return Int(v, p.index);
      default: Common(k, v, static_cast<standin::Object&>(p));
    }
  }
  // clang-format on

  // Primitives (FastPrimitiveReader.cpp).
  // The members of a component (or the free objects with component 0).
  template <class T>
  void Members(Value& v, ObjectHandle component);
  // Inline, and called only there: each inlines into its Members loop.
  inline void Read(Value& v, standin::Track& t);
  inline void Read(Value& v, standin::Arc& a);
  inline void Read(Value& v, standin::Via& via);
  inline void Read(Value& v, standin::Fill& f);
  inline void Read(Value& v, standin::Pad& p);
  static standin::PadLevel Level(Value& v);
  // A component's designator and comment are texts too.
  void Read(Value& v, standin::Text& t);

  // Components and polygons (FastGroupReader.cpp).
  bool ComponentText(Value& v, std::optional<standin::Text>& out);
  void Component(Value& v);
  static PolygonSegment OutlineEntry(Value& v);
  template <class T>
  void Area(Value& v);

  // Nets, classes, rules and the other objects (FastNetReader.cpp).
  void Net(Value& v);
  void Class(Value& v);
  void Rule(Value& v);
  void Scope(Value& v, standin::Rule& rule);
  void FromTo(Value& v);
  void ManualFromTo(Value& v);
  void Coordinate(Value& v);
  static void DimensionExt(std::size_t i, Value& x, standin::Dimension& d);
  void Dimension(Value& v);

  // Board settings (FastSettingsReader.cpp).
  static void Dielectric(Value& v, standin::Dielectric& d);
  void BoardSettings(Value& v);
  void Layers(Value& v);
  void Stack(Value& v);
  void LayerPair(Value& v);

  standin::Server& server_;
  standin::Board* board_ = nullptr;
  NameTable nets_, areas_;
  std::unordered_set<std::string> designators_;
  std::vector<std::string> scopeDesignators_;  // checked once every component is read
  std::string_view name_;                      // the last net name read
  std::string scratch_;                        // name_ when it needed converting
};

}  // namespace boardfile::fast
