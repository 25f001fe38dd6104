// The streaming board-file reader. It walks the text once with simdjson's
// On-Demand parser and adds each object to the server as soon as it is read,
// in the order the exact reader adds them (nets, polygons and board outlines,
// classes, rules, components with their members, then the free objects), so
// both readers give the same board with the same handles. It holds to the
// exact reader's rules value for value, but builds no message: any fault
// throws Refused, the server is reset, and the exact reader then reads the
// file again to say what and where.
#include "boardfile/FastReader.h"

#include <simdjson.h>

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "HostLayers.h"
#include "boardfile/BoardFile.h"
#include "boardfile/BoardValues.h"
#include "boardfile/FieldRules.h"
#include "server/StandInBoard.h"

namespace boardfile {

namespace {

static_assert(kBoardTextPadding >= simdjson::SIMDJSON_PADDING);

namespace od = simdjson::ondemand;
using Value = od::value;
using Type = od::json_type;

struct Refused {};

[[noreturn]] void Refuse() { throw Refused{}; }
inline void Need(bool ok) {
  if (!ok) [[unlikely]]
    Refuse();
}

// ------------------------------------------------------------------ keys

// The key of a field as written. Keys with escapes are refused here (the
// exact reader takes them): every other key is its own text.
std::string_view KeyText(od::field& field) {
  const char* start = field.key().raw();
  const char* end = start;
  while (*end != '"') {
    Need(*end != '\\');
    ++end;
  }
  return {start, static_cast<std::size_t>(end - start)};
}

// The known keys of one kind of object, found by a small open-addressed
// table; a key's number is its position in the list.
class KeySet {
 public:
  KeySet(std::initializer_list<std::initializer_list<const char*>> groups) {
    slots_.fill(-1);
    for (const auto& group : groups) {
      for (const char* name : group) {
        std::size_t slot = Hash(name);
        while (slots_[slot] >= 0) slot = (slot + 1) % kSlots;
        slots_[slot] = static_cast<std::int8_t>(names_.size());
        names_.emplace_back(name);
      }
    }
  }
  int Find(std::string_view key) const {
    if (key.empty()) return -1;
    for (std::size_t slot = Hash(key);; slot = (slot + 1) % kSlots) {
      const int k = slots_[slot];
      if (k < 0 || names_[k] == key) return k;
    }
  }
  std::string_view Name(int k) const { return names_[k]; }

 private:
  static constexpr std::size_t kSlots = 128;  // at most 64 keys: a seen-mask is 64 bits
  static std::size_t Hash(std::string_view key) {
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(key[i]); };
    return (key.size() * 31 + at(0) * 7 + at(key.size() / 2) * 3 + at(key.size() - 1)) % kSlots;
  }
  std::array<std::int8_t, kSlots> slots_{};
  std::vector<std::string_view> names_;
};

// The common block of the primitives, the first keys of their sets.
enum CommonKey { kLayer, kNet, kTag, kFlags, kIndex, kBits2, kBits3, kCommonCount };
#define PCB28_COMMON_KEYS \
  { "layer", "net", "tag", "flags", "index", "bitfield2", "bitfield3" }

constexpr std::uint64_t Bit(int k) { return std::uint64_t{1} << k; }

// ------------------------------------------------------------------ values

od::object ObjectOf(Value& v) {
  Need(v.type() == Type::object);
  return v.get_object();
}

// Calls read(key number, value) for each field of an object, refusing
// unknown and repeated keys; returns the keys it had.
template <class F>
std::uint64_t EachField(od::object& object, const KeySet& keys, F&& read) {
  std::uint64_t seen = 0;
  for (auto result : object) {
    od::field field = std::move(result);
    const int k = keys.Find(KeyText(field));
    Need(k >= 0 && (seen & Bit(k)) == 0);
    seen |= Bit(k);
    read(k, field.value());
  }
  return seen;
}
template <class F>
std::uint64_t EachField(Value& v, const KeySet& keys, F&& read) {
  od::object object = ObjectOf(v);
  return EachField(object, keys, read);
}

// Calls read(position, value) for each entry of a list of at most `limit`.
template <class F>
void EachItem(Value& v, std::size_t limit, F&& read) {
  Need(v.type() == Type::array);
  std::size_t i = 0;
  for (auto result : v.get_array()) {
    Need(i < limit);
    Value item = std::move(result);
    read(i++, item);
  }
}
constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// Calls read(layer, value) for each field of an object keyed by layer; a
// layer named twice (as "TopLayer" and "1") is left to the exact reader.
template <class F>
void EachLayerField(Value& v, int lowest, F&& read) {
  od::object object = ObjectOf(v);
  std::bitset<kHostLayerCount> seen;
  for (auto result : object) {
    od::field field = std::move(result);
    const int code = LayerCodeOf(KeyText(field));
    Need(code >= lowest && code >= 0 && !seen[code]);
    seen.set(code);
    read(static_cast<HostLayer>(code), field.value());
  }
}

// Numbers as the exact reader's parser sees them: integers that fit 64 bits
// (signed, or unsigned above the signed range), or floating point.
od::number NumberOf(Value& v) {
  Need(v.type() == Type::number);
  return v.get_number();  // an integer beyond 64 bits is an error here
}

// A string: its text in the file when it has no escapes (no copy), else
// the parser's unescaped copy.
std::string_view StringOf(Value& v) {
  Need(v.type() == Type::string);
  const std::string_view token = v.raw_json_token();
  const char* start = token.data() + 1;
  const char* end = start;
  while (*end != '"' && *end != '\\') ++end;
  if (*end == '\\') return v.get_string();
  od::raw_json_string consumed = v.get_raw_json_string();
  (void)consumed;
  return {start, static_cast<std::size_t>(end - start)};
}

// An integer at the width of T; a byte also takes true and false.
template <class T>
T Integer(Value& v) {
  if (v.type() == Type::boolean) {
    Need(sizeof(T) == 1 && std::is_unsigned_v<T>);
    return static_cast<T>(bool(v.get_bool()) ? 1 : 0);
  }
  od::number n = NumberOf(v);
  if (n.get_number_type() == od::number_type::signed_integer) {
    const std::int64_t i = n.get_int64();
    Need(i >= static_cast<std::int64_t>(std::numeric_limits<T>::min()) &&
         i <= static_cast<std::int64_t>(std::numeric_limits<T>::max()));
    return static_cast<T>(i);
  }
  Need(n.get_number_type() == od::number_type::unsigned_integer &&
       n.get_uint64() <= static_cast<std::uint64_t>(std::numeric_limits<T>::max()));
  return static_cast<T>(n.get_uint64());
}
template <class T>
void Int(Value& v, T& out) {
  out = Integer<T>(v);
}

Coord Length(Value& v) {
  if (v.type() == Type::string) {
    Coord out = 0;
    std::string what;
    Need(LengthToHost(StringOf(v), out, what));
    return out;
  }
  return Integer<Coord>(v);
}

double Real(Value& v) {
  od::number n = NumberOf(v);
  switch (n.get_number_type()) {
    case od::number_type::signed_integer:
      return static_cast<double>(n.get_int64());
    case od::number_type::unsigned_integer:
      return static_cast<double>(n.get_uint64());
    default:
      return n.get_double();
  }
}

// A string as the host holds it (at most `limit` bytes): the text itself
// when it is plain ASCII, else its conversion in `scratch`.
std::string_view HostView(Value& v, std::size_t limit, std::string& scratch) {
  const std::string_view text = StringOf(v);
  bool plain = true;
  for (const char c : text) plain &= static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
  if (plain) {
    Need(text.size() <= limit);
    return text;
  }
  std::string what;
  Need(ToHostString(text, scratch, what) && scratch.size() <= limit);
  return scratch;
}

void HostString(Value& v, std::size_t limit, std::string& out) {
  const std::string_view text = HostView(v, limit, out);
  if (text.data() != out.data()) out.assign(text);
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

HostLayer Layer(Value& v, int lowest) {
  int code = -1;
  if (v.type() == Type::string) {
    code = LayerCodeOf(StringOf(v));
  } else {
    od::number n = NumberOf(v);
    Need(n.get_number_type() == od::number_type::signed_integer);
    const std::int64_t i = n.get_int64();
    Need(i >= 0 && i <= kLastHostLayer);
    code = static_cast<int>(i);
  }
  Need(code >= lowest && code >= 0);
  return static_cast<HostLayer>(code);
}

// Polygon ids are strings or integers; 7 and "7" are the same id.
std::string AreaId(Value& v) {
  if (v.type() == Type::string) {
    const std::string_view id = StringOf(v);
    Need(!id.empty());
    return std::string(id);
  }
  od::number n = NumberOf(v);
  if (n.get_number_type() == od::number_type::signed_integer) return std::to_string(n.get_int64());
  Need(n.get_number_type() == od::number_type::unsigned_integer);
  return std::to_string(n.get_uint64());
}

// ------------------------------------------------------------------ key sets

enum TopKey {
  kVersion,
  kBoard,
  kLayers,
  kStack,
  kLayerPairs,
  kNets,
  kClasses,
  kRules,
  kComponents,
  kPolygons,
  kOutlines,
  kTracks,
  kArcs,
  kVias,
  kFills,
  kTexts,
  kPads,
  kFromTos,
  kManualFromTos,
  kCoordinates,
  kDimensions
};
const KeySet kTopKeys{{"pcb28_board", "board",    "layers",          "stack",
                       "layer_pairs", "nets",     "classes",         "rules",
                       "components",  "polygons", "board_outlines",  "tracks",
                       "arcs",        "vias",     "fills",           "texts",
                       "pads",        "from_tos", "manual_from_tos", "coordinates",
                       "dimensions"}};

const KeySet kTrackKeys{PCB28_COMMON_KEYS,
                        {"x", "y", "x2", "y2", "width", "polygon", "extra1", "extra2"}};
const KeySet kArcKeys{PCB28_COMMON_KEYS,
                      {"x", "y", "radius", "start_angle", "end_angle", "width", "polygon"}};
const KeySet kViaKeys{PCB28_COMMON_KEYS, {"x", "y", "size", "hole", "low_layer", "high_layer"}};
const KeySet kFillKeys{PCB28_COMMON_KEYS, {"x", "y", "x2", "y2", "rotation", "polygon"}};
const KeySet kTextKeys{
    PCB28_COMMON_KEYS,
    {"x", "y", "height", "style", "rotation", "text_flag", "text", "width", "extra1", "extra2"}};
const KeySet kPadKeys{PCB28_COMMON_KEYS,
                      {"x", "y", "name", "hole", "rotation", "size", "top", "mid", "bottom",
                       "pad_byte1", "pad_byte2", "pwr_gnd", "stack_mode", "layer_stack"}};
const KeySet kLevelKeys{{"x_size", "y_size", "shape"}};
enum ComponentKey {
  kCX = kCommonCount,
  kCY,
  kPattern,
  kCRotation,
  kCBytes,
  kValue,
  kChannelOffset,
  kComponentKind,
  kEx,
  kSourceLinks,
  kDesignator,
  kComment,
  kCTracks,
  kCArcs,
  kCPads,
  kCFills,
  kCVias,
  kCTexts
};
const KeySet kComponentKeys{
    PCB28_COMMON_KEYS,
    {"x", "y", "pattern", "rotation", "bytes", "value", "channel_offset", "component_kind", "ex",
     "source_links", "designator", "comment", "tracks", "arcs", "pads", "fills", "vias", "texts"}};
const KeySet kAreaKeys{PCB28_COMMON_KEYS,
                       {"id", "bytes", "value1", "track_width", "value3", "style_code", "outline"}};
const KeySet kOutlineEntryKeys{{"x", "y", "arc", "kind"}};
const KeySet kOutlineArcKeys{{"cx", "cy", "radius", "start_angle", "end_angle"}};
const KeySet kNetKeys{{"name", "value", "byte", "index", "bitfield2", "bitfield3"}};
const KeySet kClassKeys{{"name", "bytes", "members", "index", "bitfield2", "bitfield3"}};
enum RuleKey {
  kKind,
  kPriority,
  kScope,
  kValues,
  kRLayers,
  kRBytes,
  kTexts1,
  kNumbers,
  kTexts2,
  kRBits2,
  kRBits3
};
const KeySet kRuleKeys{{"kind", "priority", "scope", "values", "layers", "bytes", "texts1",
                        "numbers", "texts2", "bitfield2", "bitfield3"}};
const KeySet kScopeKeys{{"net", "component"}};
const KeySet kFromToKeys{
    {"x", "y", "x2", "y2", "from_byte", "to_byte", "net", "index", "bitfield2", "bitfield3"}};
const KeySet kManualFromToKeys{{"texts", "value", "index", "bitfield2", "bitfield3"}};
const KeySet kCoordinateKeys{PCB28_COMMON_KEYS, {"x", "y", "values"}};
const KeySet kDimensionKeys{PCB28_COMMON_KEYS, {"x", "y", "values", "ext", "references"}};
const KeySet kBoardKeys{{"info", "info10", "layer", "grids", "output_options", "plot_layers",
                         "flip_layers", "gerber_options", "printer_options", "plotter_pens",
                         "composite_layers", "placer_options", "eco_options",
                         "external_dielectrics", "layer_info"}};
const KeySet kDielectricKeys{{"material", "type", "constant", "height"}};
const KeySet kLayerKeys{{"name", "copper_thickness", "status", "dielectric", "net"}};
const KeySet kLayerPairKeys{{"low", "high", "values"}};

// ------------------------------------------------------------------ the reader

// One line per key.
// clang-format off
class Reader {
 public:
  explicit Reader(standin::Server& server) : server_(server) {}

  void Document(od::document& doc) {
    board_ = server_.CurrentBoard();
    Need(board_ != nullptr);
    // First the keys alone: unknown or repeated ones, the version, nothing
    // after the document.
    Need(doc.type() == Type::object);
    std::uint64_t present = 0;
    {
      od::object top = doc.get_object();
      present = EachField(top, kTopKeys, [&](int k, Value& v) {
        if (k != kVersion) return;
        od::number n = NumberOf(v);
        Need(n.get_number_type() == od::number_type::signed_integer && n.get_int64() == 1);
      });
    }
    Need((present & Bit(kVersion)) != 0 &&
         doc.current_location().error() == simdjson::OUT_OF_BOUNDS);
    // Then the values, in the order that resolves references and gives the
    // exact reader's handles.
    doc.rewind();
    od::object top = doc.get_object();
    for (const TopKey k :
         {kNets,   kPolygons, kOutlines,   kClasses,       kRules,       kComponents, kBoard,
          kLayers, kStack,    kLayerPairs, kTracks,        kArcs,        kVias,       kFills,
          kTexts,  kPads,     kFromTos,    kManualFromTos, kCoordinates, kDimensions}) {
      if ((present & Bit(k)) == 0) continue;
      Value v = top.find_field_unordered(kTopKeys.Name(k));
      TopLevel(k, v);
    }
    for (const std::string& designator : scopeDesignators_) {
      Need(designators_.contains(designator));
    }
  }

 private:
  void TopLevel(TopKey k, Value& v) {
    switch (k) {
      case kNets: return Each(v, [&](Value& o) { Net(o); });
      case kPolygons: return Each(v, [&](Value& o) { Area<standin::Polygon>(o); });
      case kOutlines: return Each(v, [&](Value& o) { Area<standin::BoardOutline>(o); });
      case kClasses: return Each(v, [&](Value& o) { Class(o); });
      case kRules: return Each(v, [&](Value& o) { Rule(o); });
      case kComponents: return Each(v, [&](Value& o) { Component(o); });
      case kBoard: return BoardSettings(v);
      case kLayers: return Layers(v);
      case kStack: return Stack(v);
      case kLayerPairs: return Each(v, [&](Value& o) { LayerPair(o); });
      case kTracks: return Members<standin::Track>(v, 0);
      case kArcs: return Members<standin::Arc>(v, 0);
      case kVias: return Members<standin::Via>(v, 0);
      case kFills: return Members<standin::Fill>(v, 0);
      case kTexts: return Members<standin::Text>(v, 0);
      case kPads: return Members<standin::Pad>(v, 0);
      case kFromTos: return Each(v, [&](Value& o) { FromTo(o); });
      case kManualFromTos: return Each(v, [&](Value& o) { ManualFromTo(o); });
      case kCoordinates: return Each(v, [&](Value& o) { Coordinate(o); });
      case kDimensions: return Each(v, [&](Value& o) { Dimension(o); });
      case kVersion:
        return;
    }
  }

  template <class F>
  static void Each(Value& v, F&& read) {
    EachItem(v, kAny, [&](std::size_t, Value& item) { read(item); });
  }

  void Added(ObjectHandle handle) { Need(handle != 0); }

  // ---------------------------------------------------------------- references

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

  // ---------------------------------------------------------------- primitives

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

  // The members of a component (or the free objects with component 0).
  template <class T>
  void Members(Value& v, ObjectHandle component) {
    Each(v, [&](Value& o) {
      T object;
      Read(o, object);
      Added(server_.Add(std::move(object), component));
    });
  }

  void Read(Value& v, standin::Track& t) {
    EachField(v, kTrackKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: t.x = Length(x); break;
        case 1: t.y = Length(x); break;
        case 2: t.x2 = Length(x); break;
        case 3: t.y2 = Length(x); break;
        case 4: t.width = Length(x); break;
        case 5: t.polygon = PolygonRef(x); break;
        case 6: Int(x, t.extra1); break;
        case 7: Int(x, t.extra2); break;
        default: Common(k, x, t);
      }
    });
  }

  void Read(Value& v, standin::Arc& a) {
    EachField(v, kArcKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: a.x = Length(x); break;
        case 1: a.y = Length(x); break;
        case 2: a.radius = Length(x); break;
        case 3: a.startAngle = Real(x); break;
        case 4: a.endAngle = Real(x); break;
        case 5: a.lineWidth = Length(x); break;
        case 6: a.polygon = PolygonRef(x); break;
        default: Common(k, x, a);
      }
    });
  }

  void Read(Value& v, standin::Via& via) {
    EachField(v, kViaKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: via.x = Length(x); break;
        case 1: via.y = Length(x); break;
        case 2: via.size = Length(x); break;
        case 3: via.hole = Length(x); break;
        case 4: via.lowLayer = Layer(x, 0); break;
        case 5: via.highLayer = Layer(x, 0); break;
        default: Common(k, x, via);
      }
    });
  }

  void Read(Value& v, standin::Fill& f) {
    EachField(v, kFillKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: f.x = Length(x); break;
        case 1: f.y = Length(x); break;
        case 2: f.x2 = Length(x); break;
        case 3: f.y2 = Length(x); break;
        case 4: f.rotation = Real(x); break;
        case 5: f.polygon = PolygonRef(x); break;
        default: Common(k, x, f);
      }
    });
  }

  // A text's layer is set by the caller: a component's designator and
  // comment default to TopOverlay.
  void Read(Value& v, standin::Text& t) {
    EachField(v, kTextKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: t.x = Length(x); break;
        case 1: t.y = Length(x); break;
        case 2: t.height = Length(x); break;
        case 3: Int(x, t.style); break;
        case 4: t.rotation = Real(x); break;
        case 5: Int(x, t.textFlag); break;
        case 6: HostString(x, kTextLimit, t.text); break;
        case 7: t.lineWidth = Length(x); break;
        case 8: Int(x, t.extra1); break;
        case 9: Int(x, t.extra2); break;
        default: Common(k, x, t);
      }
    });
  }

  static standin::PadLevel Level(Value& v) {
    standin::PadLevel level;
    EachField(v, kLevelKeys, [&](int k, Value& x) {
      if (k == 0) level.xSize = Length(x);
      if (k == 1) level.ySize = Length(x);
      if (k == 2) Int(x, level.shape);
    });
    return level;
  }

  void Read(Value& v, standin::Pad& p) {
    // "size" sets all three levels, whatever the order of the keys; "top",
    // "mid" and "bottom" then override it.
    std::optional<standin::PadLevel> size, top, mid, bottom;
    EachField(v, kPadKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: p.x = Length(x); break;
        case 1: p.y = Length(x); break;
        case 2: HostString(x, kPadNameLimit, p.name); break;
        case 3: p.hole = Length(x); break;
        case 4: p.rotation = Real(x); break;
        case 5: size = Level(x); break;
        case 6: top = Level(x); break;
        case 7: mid = Level(x); break;
        case 8: bottom = Level(x); break;
        case 9: Int(x, p.padByte1); break;
        case 10: Int(x, p.padByte2); break;
        case 11: Int(x, p.pwrGnd); break;
        case 12: Int(x, p.stackMode); break;
        case 13:
          EachLayerField(x, 1, [&](HostLayer layer, Value& l) { p.Give(layer, {}) = Level(l); });
          break;
        default: Common(k, x, p);
      }
    });
    if (size) p.top = p.mid = p.bottom = *size;
    if (top) p.top = *top;
    if (mid) p.mid = *mid;
    if (bottom) p.bottom = *bottom;
  }

  // ---------------------------------------------------------------- groups

  // A designator or comment: a text object or a string (then placed at the
  // component's origin, which the caller sets); true for a string.
  bool ComponentText(Value& v, std::optional<standin::Text>& out) {
    standin::Text t;
    t.layer = kTopOverlay;
    const bool atOrigin = v.type() == Type::string;
    if (atOrigin) {
      HostString(v, kTextLimit, t.text);
    } else {
      Read(v, t);
    }
    out = std::move(t);
    return atOrigin;
  }

  void Component(Value& v) {
    od::object object = ObjectOf(v);
    standin::Component c;
    std::optional<standin::Text> designator, comment;
    bool designatorAtOrigin = false, commentAtOrigin = false;
    // The component's own values first; its members once it has a handle.
    const std::uint64_t present = EachField(object, kComponentKeys, [&](int k, Value& x) {
      switch (k) {
        case kCX: c.x = Length(x); break;
        case kCY: c.y = Length(x); break;
        case kPattern: HostString(x, kPatternLimit, c.pattern); break;
        case kCRotation: c.rotation = Real(x); break;
        case kCBytes:
          EachItem(x, 3, [&](std::size_t i, Value& b) {
            std::uint8_t* bytes[] = {&c.byte1, &c.byte2, &c.byte3};
            Int(b, *bytes[i]);
          });
          break;
        case kValue: Int(x, c.value); break;
        case kChannelOffset: Int(x, c.channelOffset); break;
        case kComponentKind: Int(x, c.componentKind); break;
        case kEx:
          EachItem(x, 4, [&](std::size_t i, Value& e) {
            if (i == 0) Int(e, c.exValue1);
            if (i == 1) Int(e, c.exByte1);
            if (i == 2) Int(e, c.exByte2);
            if (i == 3) Int(e, c.exValue2);
          });
          break;
        case kSourceLinks:
          EachItem(x, 7,
                   [&](std::size_t i, Value& s) { HostString(s, kNameLimit, c.sourceLinks[i]); });
          break;
        case kDesignator: designatorAtOrigin = ComponentText(x, designator); break;
        case kComment: commentAtOrigin = ComponentText(x, comment); break;
        case kCTracks:
        case kCArcs:
        case kCPads:
        case kCFills:
        case kCVias:
        case kCTexts:
          break;
        default: Common(k, x, c, /*withNet=*/false);
      }
    });
    if (designatorAtOrigin) designator->x = c.x, designator->y = c.y;
    if (commentAtOrigin) comment->x = c.x, comment->y = c.y;
    if (designator) designators_.insert(designator->text);
    const ObjectHandle handle = server_.Add(std::move(c));
    Added(handle);
    if (designator) Added(server_.AddDesignator(handle, std::move(*designator)));
    if (comment) Added(server_.AddComment(handle, std::move(*comment)));
    if ((present & (Bit(kCTracks) | Bit(kCArcs) | Bit(kCPads) | Bit(kCFills) | Bit(kCVias) |
                    Bit(kCTexts))) == 0) {
      return;
    }
    (void)object.reset();
    for (const ComponentKey k : {kCTracks, kCArcs, kCPads, kCFills, kCVias, kCTexts}) {
      if ((present & Bit(k)) == 0) continue;
      Value list = object.find_field_unordered(kComponentKeys.Name(k));
      switch (k) {
        case kCTracks: Members<standin::Track>(list, handle); break;
        case kCArcs: Members<standin::Arc>(list, handle); break;
        case kCPads: Members<standin::Pad>(list, handle); break;
        case kCFills: Members<standin::Fill>(list, handle); break;
        case kCVias: Members<standin::Via>(list, handle); break;
        default:
          Members<standin::Text>(list, handle);
          break;
      }
    }
  }

  static PolygonSegment OutlineEntry(Value& v) {
    std::uint8_t kind = 0;
    bool kindGiven = false, arc = false;
    Coord x = 0, y = 0, cx = 0, cy = 0, radius = 0;
    double startAngle = 0, endAngle = 0;
    EachField(v, kOutlineEntryKeys, [&](int k, Value& e) {
      switch (k) {
        case 0: x = Length(e); break;
        case 1: y = Length(e); break;
        case 2:
          arc = true;
          EachField(e, kOutlineArcKeys, [&](int a, Value& value) {
            switch (a) {
              case 0: cx = Length(value); break;
              case 1: cy = Length(value); break;
              case 2: radius = Length(value); break;
              case 3: startAngle = Real(value); break;
              default:
                endAngle = Real(value);
                break;
            }
          });
          break;
        default:
          kindGiven = true;
          Int(e, kind);
      }
    });
    if (arc && !kindGiven) kind = 1;
    return PolygonSegment{kind, x, y, cx, cy, radius, startAngle, endAngle};
  }

  template <class T>
  void Area(Value& v) {
    T p;
    std::optional<std::string> id;
    EachField(v, kAreaKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: id = AreaId(x); break;
        case 1:
          EachItem(x, 5, [&](std::size_t i, Value& b) {
            std::uint8_t* bytes[] = {&p.byte0, &p.byte1, &p.byte2, &p.byte3, &p.byte4};
            Int(b, *bytes[i]);
          });
          break;
        case 2: p.value1 = Length(x); break;
        case 3: p.trackWidth = Length(x); break;
        case 4: p.value3 = Length(x); break;
        case 5: Int(x, p.styleCode); break;
        case 6:
          EachItem(x, kMaxOutlineEntries,
                   [&](std::size_t, Value& e) { p.outline.push_back(OutlineEntry(e)); });
          break;
        default: Common(k, x, p);
      }
    });
    if (id) Need(!areas_.Contains(*id));
    const ObjectHandle handle = server_.Add(std::move(p));
    Added(handle);
    if (id) areas_.Insert(*id, handle);
  }

  // ---------------------------------------------------------------- nets and the rest

  void Net(Value& v) {
    standin::Net n;
    const std::uint64_t present = EachField(v, kNetKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: HostString(x, kNameLimit, n.name); break;
        case 1: Int(x, n.netValue); break;
        case 2: Int(x, n.netByte); break;
        case 3: Int(x, n.index); break;
        default: Common(k - 4 + kBits2, x, n);
      }
    });
    Need((present & Bit(0)) != 0 && !n.name.empty() && !nets_.Contains(n.name));
    const std::string name = n.name;
    const ObjectHandle handle = server_.Add(std::move(n));
    Added(handle);
    nets_.Insert(name, handle);
  }

  void Class(Value& v) {
    standin::ObjectClass c;
    EachField(v, kClassKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: HostString(x, kNameLimit, c.name); break;
        case 1:
          EachItem(x, 2, [&](std::size_t i, Value& b) { Int(b, i == 0 ? c.byte1 : c.byte2); });
          break;
        case 2:
          EachItem(x, kAny, [&](std::size_t, Value& m) {
            HostString(m, kNameLimit, c.members.emplace_back());
          });
          break;
        case 3: Int(x, c.index); break;
        default: Common(k - 4 + kBits2, x, c);
      }
    });
    Added(server_.Add(std::move(c)));
  }

  void Rule(Value& v) {
    od::object object = ObjectOf(v);
    standin::Rule rule;
    const char* valueKinds = "L";  // the Clearance kind, code 0
    const std::uint64_t present = EachField(object, kRuleKeys, [&](int k, Value& x) {
      switch (k) {
        case kKind:
          if (x.type() == Type::string) {
            const std::string_view name = StringOf(x);
            const RuleKindName* found = nullptr;
            for (const auto& kind : kRuleKinds) {
              if (name == kind.name) found = &kind;
            }
            Need(found != nullptr);
            rule.ruleKind = static_cast<std::uint8_t>(found->kind);
          } else {
            Int(x, rule.ruleKind);
          }
          valueKinds = "";
          for (const auto& kind : kRuleKinds) {
            if (static_cast<std::uint8_t>(kind.kind) == rule.ruleKind) valueKinds = kind.values;
          }
          break;
        case kPriority: Int(x, rule.priority); break;
        case kScope: Scope(x, rule); break;
        case kValues:
          break;  // once the kind is known, below
        case kRLayers:
          EachItem(x, kAny, [&](std::size_t, Value& l) { rule.layers.push_back(Layer(l, 1)); });
          break;
        case kRBytes:
          EachItem(x, 8, [&](std::size_t i, Value& b) { Int(b, rule.bytes[i]); });
          break;
        case kTexts1:
          EachItem(x, 4,
                   [&](std::size_t i, Value& t) { HostString(t, kNameLimit, rule.texts1[i]); });
          break;
        case kNumbers:
          EachItem(x, 4, [&](std::size_t i, Value& n) { Int(n, rule.numbers[i]); });
          break;
        case kTexts2:
          EachItem(x, 6,
                   [&](std::size_t i, Value& t) { HostString(t, kNameLimit, rule.texts2[i]); });
          break;
        default: Common(k - kRBits2 + kBits2, x, rule);
      }
    });
    if ((present & Bit(kValues)) != 0) {
      (void)object.reset();
      Value values = object.find_field_unordered("values");
      EachItem(values, std::char_traits<char>::length(valueKinds), [&](std::size_t i, Value& x) {
        rule.values[i] = valueKinds[i] == 'B' ? Integer<std::uint8_t>(x) : Length(x);
      });
    }
    Added(server_.Add(std::move(rule)));
  }

  void Scope(Value& v, standin::Rule& rule) {
    if (v.type() == Type::string) {
      Need(StringOf(v) == "all");
      return;
    }
    int keys = 0;
    EachField(v, kScopeKeys, [&](int k, Value& x) {
      ++keys;
      if (k == 0) {
        Need(NetRef(x) != 0);
        rule.scope = standin::RuleScope::Net;
        rule.scopeName = name_;
      } else {
        rule.scope = standin::RuleScope::Component;
        HostString(x, kTextLimit, rule.scopeName);
        scopeDesignators_.push_back(rule.scopeName);
      }
    });
    Need(keys == 1);
  }

  void FromTo(Value& v) {
    standin::FromTo t;
    EachField(v, kFromToKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: t.x = Length(x); break;
        case 1: t.y = Length(x); break;
        case 2: t.x2 = Length(x); break;
        case 3: t.y2 = Length(x); break;
        case 4: Int(x, t.fromByte); break;
        case 5: Int(x, t.toByte); break;
        case 6: t.net = NetRef(x); break;
        case 7: Int(x, t.index); break;
        default: Common(k - 8 + kBits2, x, t);
      }
    });
    Added(server_.Add(std::move(t)));
  }

  void ManualFromTo(Value& v) {
    standin::ManualFromTo t;
    EachField(v, kManualFromToKeys, [&](int k, Value& x) {
      switch (k) {
        case 0:
          EachItem(x, 3, [&](std::size_t i, Value& s) { HostString(s, kNameLimit, t.texts[i]); });
          break;
        case 1: Int(x, t.value); break;
        case 2: Int(x, t.index); break;
        default: Common(k - 3 + kBits2, x, t);
      }
    });
    Added(server_.Add(std::move(t)));
  }

  void Coordinate(Value& v) {
    standin::Coordinate c;
    EachField(v, kCoordinateKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: c.x = Length(x); break;
        case 1: c.y = Length(x); break;
        case 2: EachItem(x, 6, [&](std::size_t i, Value& l) { c.values[i] = Length(l); }); break;
        default: Common(k, x, c, /*withNet=*/false);
      }
    });
    Added(server_.Add(std::move(c)));
  }

  static void DimensionExt(std::size_t i, Value& x, standin::Dimension& d) {
    switch (i) {
      case 0: return Int(x, d.dimensionCode);
      case 1: return Int(x, d.extValue1);
      case 2: return Int(x, d.extValue2);
      case 3: return Int(x, d.ext1);
      case 4: return Int(x, d.extByte1);
      case 5: return Int(x, d.ext2);
      case 6: return HostString(x, kNameLimit, d.extText1);
      case 7: return Int(x, d.extByte2);
      case 8: return Int(x, d.ext3);
      case 9: return HostString(x, kNameLimit, d.extText2);
      case 10: return HostString(x, kNameLimit, d.extText3);
      case 11:
        d.ext8Bytes = Real(x);
        return;
      case 12: return Int(x, d.ext4);
      case 13: return Int(x, d.ext5);
      case 14: return Int(x, d.ext6);
      case 15: return Int(x, d.extByte3);
      case 16: return Int(x, d.ext7);
      case 17: return Int(x, d.ext8);
      default: return Int(x, d.ext9);
    }
  }

  void Dimension(Value& v) {
    standin::Dimension d;
    EachField(v, kDimensionKeys, [&](int k, Value& x) {
      switch (k - kCommonCount) {
        case 0: d.x = Length(x); break;
        case 1: d.y = Length(x); break;
        case 2:
          EachItem(x, 8, [&](std::size_t i, Value& n) {
            std::int32_t* values[] = {&d.value1, &d.value2, &d.value3, &d.value4,
                                      &d.value5, &d.value6, &d.value7};
            if (i < 7) return Int(n, *values[i]);
            Int(n, d.byte1);
          });
          break;
        case 3: EachItem(x, 19, [&](std::size_t i, Value& e) { DimensionExt(i, e, d); }); break;
        case 4:
          EachItem(x, kMaxDimensionReferences, [&](std::size_t, Value& r) {
            std::array<std::int32_t, 4> reference{};
            std::size_t count = 0;
            EachItem(r, 4, [&](std::size_t i, Value& n) {
              Int(n, reference[i]);
              ++count;
            });
            Need(count == 4);
            d.references.push_back(reference);
          });
          break;
        default: Common(k, x, d, /*withNet=*/false);
      }
    });
    Added(server_.Add(std::move(d)));
  }

  // ---------------------------------------------------------------- board settings

  static void Dielectric(Value& v, standin::Dielectric& d) {
    EachField(v, kDielectricKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: HostString(x, kNameLimit, d.material); break;
        case 1: Int(x, d.type); break;
        case 2: d.constant = Real(x); break;
        default:
          d.height = Length(x);
          break;
      }
    });
  }

  void BoardSettings(Value& v) {
    standin::Board& b = *board_;
    standin::OutputOptions& out = b.outputOptions;
    standin::PrinterOptions& printer = b.printerOptions;
    EachField(v, kBoardKeys, [&](int k, Value& x) {
      switch (k) {
        case 0:
          EachItem(x, 8, [&](std::size_t i, Value& e) {
            switch (i) {
              case 0: return Int(e, b.info1);
              case 1: return HostString(e, kNameLimit, b.info2);
              case 2: return Int(e, b.info3);
              case 3: return Int(e, b.info4);
              case 4: return Int(e, b.info5);
              case 5: return Int(e, b.info6);
              case 6: return Int(e, b.info7);
              default: return Int(e, b.info8);
            }
          });
          break;
        case 1: Int(x, b.info10); break;
        case 2: b.boardLayer = Layer(x, 0); break;
        case 3:
          EachItem(x, 14, [&](std::size_t i, Value& e) {
            standin::Grids& g = b.grids;
            std::uint8_t* bytes[] = {&g.grid1, &g.grid2, &g.grid3, &g.grid4};
            double* reals[] = {&g.grid5,  &g.grid6,  &g.grid7,  &g.grid8,
                               &g.grid11, &g.grid12, &g.grid13, &g.grid14};
            if (i < 4) return Int(e, *bytes[i]);
            if (i == 8) return Int(e, g.grid9);
            if (i == 9) return Int(e, g.grid10);
            *reals[i < 8 ? i - 4 : i - 6] = Real(e);
          });
          break;
        case 4:
          EachItem(x, 24, [&](std::size_t i, Value& e) {
            if (i == 0) return Int(e, out.value1);
            if (i == 1) return Int(e, out.value2);
            Int(e, out.bytes[i - 2]);
          });
          break;
        case 5:
        case 6: {
          auto& flags = k == 5 ? out.plotLayers : out.flipLayers;
          EachItem(x, flags.size() - 1, [&](std::size_t i, Value& e) { Int(e, flags[i + 1]); });
          break;
        }
        case 7:
          EachItem(x, b.gerberOptions.size(),
                   [&](std::size_t i, Value& e) { Int(e, b.gerberOptions[i]); });
          break;
        case 8:
          EachItem(x, printer.values.size(),
                   [&](std::size_t i, Value& e) { Int(e, printer.values[i]); });
          break;
        case 9:
          EachItem(x, 8, [&](std::size_t i, Value& pen) {
            EachItem(pen, 2, [&](std::size_t j, Value& e) {
              Int(e, j == 0 ? printer.pens[i + 1].value1 : printer.pens[i + 1].value2);
            });
          });
          break;
        case 10:
          EachLayerField(x, 1, [&](HostLayer layer, Value& l) {
            standin::CompositeLayer& c = printer.compositeLayers[layer];
            EachItem(l, 4, [&](std::size_t i, Value& e) {
              if (i == 0) return Int(e, c.value1);
              if (i == 1) return Int(e, c.value2);
              if (i == 2) return Int(e, c.value3);
              Int(e, c.value4);
            });
          });
          break;
        case 11:
          EachItem(x, 6, [&](std::size_t i, Value& e) {
            if (i == 0) return HostString(e, kNameLimit, b.placerOptions.text1);
            if (i == 1) return HostString(e, kNameLimit, b.placerOptions.text2);
            Int(e, b.placerOptions.bytes[i - 2]);
          });
          break;
        case 12: EachItem(x, 2, [&](std::size_t i, Value& e) { Int(e, b.ecoOptions[i]); }); break;
        case 13:
          EachItem(x, 2, [&](std::size_t i, Value& e) { Dielectric(e, b.externalDielectrics[i]); });
          break;
        default:
          EachLayerField(x, 1, [&](HostLayer layer, Value& e) { Int(e, b.layerInfo[layer].info); });
      }
    });
  }

  void Layers(Value& v) {
    EachLayerField(v, 1, [&](HostLayer code, Value& settings) {
      standin::Layer& layer = board_->layers[code];
      EachField(settings, kLayerKeys, [&](int k, Value& x) {
        switch (k) {
          case 0: HostString(x, kNameLimit, layer.name); break;
          case 1: layer.copperThickness = Length(x); break;
          case 2:
            EachItem(x, 3, [&](std::size_t i, Value& e) {
              std::uint8_t* status[] = {&layer.status1, &layer.status2, &layer.status3};
              Int(e, *status[i]);
            });
            break;
          case 3: Dielectric(x, layer.dielectric); break;
          default:
            Need(IsInternalPlane(code));
            name_ = HostView(x, kNameLimit, scratch_);
            if (name_.empty() || name_ == "(No Net)") {
              layer.planeNet = "(No Net)";
            } else {
              Need(nets_.Contains(name_));
              layer.planeNet = name_;
            }
        }
      });
    });
  }

  void Stack(Value& v) {
    std::vector<HostLayer> topDown;
    std::bitset<kHostLayerCount> seen;
    EachItem(v, kAny, [&](std::size_t, Value& l) {
      const HostLayer layer = Layer(l, 1);
      Need(!seen[layer]);
      seen.set(layer);
      topDown.push_back(layer);
    });
    board_->SetStack(topDown);
  }

  void LayerPair(Value& v) {
    standin::LayerPair pair;
    const std::uint64_t present = EachField(v, kLayerPairKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: pair.lowLayer = Layer(x, 1); break;
        case 1: pair.highLayer = Layer(x, 1); break;
        default:
          EachItem(x, 2,
                   [&](std::size_t i, Value& e) { Int(e, i == 0 ? pair.value1 : pair.value2); });
      }
    });
    Need((present & (Bit(0) | Bit(1))) == (Bit(0) | Bit(1)));
    board_->layerPairs.push_back(pair);
  }

  standin::Server& server_;
  standin::Board* board_ = nullptr;
  NameTable nets_, areas_;
  std::unordered_set<std::string> designators_;
  std::vector<std::string> scopeDesignators_;  // checked once every component is read
  std::string_view name_;                      // the last net name read
  std::string scratch_;                        // name_ when it needed converting
};

// clang-format on
}  // namespace

bool LoadFast(std::string_view text, std::size_t capacity) {
  standin::Server& server = standin::TheServer();
  server.Reset();
  try {
    Need(capacity >= text.size() + kBoardTextPadding && server.CreateBoard() != 0);
    od::parser parser;
    od::document doc = parser.iterate(text.data(), text.size(), capacity);
    Reader(server).Document(doc);
    return true;
  } catch (const Refused&) {
  } catch (const simdjson::simdjson_error&) {
  } catch (...) {
    server.Reset();  // out of memory: nothing half-loaded either
    throw;
  }
  server.Reset();
  return false;
}

}  // namespace boardfile
