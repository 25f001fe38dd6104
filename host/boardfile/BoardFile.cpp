// The board-file reader. The whole document is read and checked into a staged
// board first; only a document without any fault reaches the server, which is
// then reset and given the staged board in one go.
#include "boardfile/BoardFile.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "boardfile/BoardValues.h"
#include "boardfile/JsonInput.h"
#include "HostLayers.h"
#include "server/StandInBoard.h"

namespace boardfile {

namespace {

using json = nlohmann::json;
using standin::Kind;

constexpr std::int64_t kFormatVersion = 1;

// Host field widths.
constexpr std::size_t kNameLimit = 255;  // net, class, layer names and most other strings
constexpr std::size_t kTextLimit = 254;
constexpr std::size_t kPadNameLimit = 20;
constexpr std::size_t kPatternLimit = 250;
constexpr std::size_t kMaxOutlineEntries = kPolygonSegmentCapacity;  // 500 segments
constexpr std::size_t kMaxDimensionReferences = 200;

struct LoadError {
  std::string place;
  std::string what;
};

[[noreturn]] void Fail(const std::string& place, std::string what) {
  throw LoadError{place.empty() ? "top level" : place, std::move(what)};
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  if (text.size() <= kShown) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kShown)) + "...'";
}

std::string TypeName(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::boolean:
      return "a boolean";
    case json::value_t::number_float:
      return "the number " + value.dump();
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
      return "the integer " + value.dump();
    case json::value_t::string:
      return "a string";
    case json::value_t::array:
      return "a list";
    case json::value_t::object:
      return "an object";
    default:
      return "a value of another kind";
  }
}

// A value and the path it was found at; no value when the key was left out.
struct Ref {
  const json* value = nullptr;
  std::string path;
  explicit operator bool() const { return value != nullptr; }
};

// ------------------------------------------------------------------ scalar values

template <class T>
T IntegerValue(const Ref& ref) {
  constexpr auto lo = static_cast<std::int64_t>(std::numeric_limits<T>::min());
  constexpr auto hi = static_cast<std::int64_t>(std::numeric_limits<T>::max());
  const std::string range = std::to_string(lo) + " to " + std::to_string(hi);
  const json& v = *ref.value;
  if (sizeof(T) == 1 && std::is_unsigned_v<T> && v.is_boolean()) return v.get<bool>() ? 1 : 0;
  if (v.is_number_unsigned()) {
    const auto u = v.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(hi)) {
      Fail(ref.path, "value " + v.dump() + " out of range: expected an integer " + range);
    }
    return static_cast<T>(u);
  }
  if (v.is_number_integer()) {
    const auto i = v.get<std::int64_t>();
    if (i < lo || i > hi) {
      Fail(ref.path, "value " + v.dump() + " out of range: expected an integer " + range);
    }
    return static_cast<T>(i);
  }
  if (v.is_number_float() && std::abs(v.get<double>()) >= 9.2e18) {
    Fail(ref.path, "value " + v.dump() + " out of range: expected an integer " + range);
  }
  Fail(ref.path, "expected an integer " + range + ", found " + TypeName(v));
}

Coord CoordValue(const Ref& ref) {
  const json& v = *ref.value;
  if (v.is_string()) {
    Coord out = 0;
    std::string what;
    if (!LengthToHost(v.get_ref<const std::string&>(), out, what)) {
      Fail(ref.path, what + ", found " + Quoted(v.get_ref<const std::string&>()));
    }
    return out;
  }
  if (!v.is_number_integer()) {
    Fail(ref.path,
         "expected host units (an integer) or a length such as \"12.5mil\" or \"0.25mm\", found " +
             TypeName(v));
  }
  return IntegerValue<Coord>(ref);
}

double RealValue(const Ref& ref) {
  if (!ref.value->is_number()) Fail(ref.path, "expected a number, found " + TypeName(*ref.value));
  return ref.value->get<double>();
}

std::string HostText(const Ref& ref, std::size_t limit, const char* field) {
  const json& v = *ref.value;
  if (!v.is_string()) Fail(ref.path, std::string("expected a string, found ") + TypeName(v));
  std::string out, what;
  if (!ToHostString(v.get_ref<const std::string&>(), out, what)) Fail(ref.path, what);
  if (out.size() > limit) {
    Fail(ref.path, std::string("a ") + field + " holds at most " + std::to_string(limit) +
                       " characters; this one has " + std::to_string(out.size()));
  }
  return out;
}

HostLayer LayerValue(const Ref& ref, int lowest) {
  const json& v = *ref.value;
  const std::string expected = "expected a host layer name (TopLayer, MidLayer1, ...) or a code " +
                               std::to_string(lowest) + " to 82";
  int code = -1;
  if (v.is_string()) {
    code = LayerCodeOf(v.get_ref<const std::string&>());
    if (code < 0) Fail(ref.path, "unknown layer " + Quoted(v.get<std::string>()) + "; " + expected);
  } else if (v.is_number_integer()) {
    const auto i = v.get<std::int64_t>();
    if (i < 0 || i > kLastHostLayer)
      Fail(ref.path, "layer code " + v.dump() + " out of range; " + expected);
    code = static_cast<int>(i);
  } else {
    Fail(ref.path, expected + ", found " + TypeName(v));
  }
  if (code < lowest) Fail(ref.path, "layer " + v.dump() + " is not allowed here; " + expected);
  return static_cast<HostLayer>(code);
}

// ------------------------------------------------------------------ objects and lists

// The keys of one JSON object. Every key the reader asks for is known; Done()
// refuses the others.
class Fields {
 public:
  Fields(const Ref& ref, const char* what) : object_(*ref.value), path_(ref.path) {
    if (!object_.is_object())
      Fail(path_, std::string("expected ") + what + ", found " + TypeName(object_));
  }
  Fields(const json& object, std::string path, const char* what)
      : Fields(Ref{&object, std::move(path)}, what) {}

  Ref operator[](const char* key) {
    known_.emplace_back(key);
    const auto it = object_.find(key);
    return Ref{it == object_.end() ? nullptr : &*it, Child(key)};
  }
  bool Has(const char* key) const { return object_.contains(key); }
  std::string Child(std::string_view key) const {
    return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
  }
  const std::string& path() const { return path_; }
  const json& object() const { return object_; }

  void Done() const {
    for (const auto& [key, value] : object_.items()) {
      if (std::find(known_.begin(), known_.end(), key) != known_.end()) continue;
      const std::string at = path_.empty() ? "top level" : path_;
      std::string what = "unknown key " + Quoted(key) + " at " + at;
      const std::string near = ClosestWord(key, known_);
      if (!near.empty()) what += " (did you mean '" + near + "'?)";
      Fail(path_, what);
    }
  }

  template <class T>
  void Int(const char* key, T& out) {
    if (Ref r = (*this)[key]) out = IntegerValue<T>(r);
  }
  void Length(const char* key, Coord& out) {
    if (Ref r = (*this)[key]) out = CoordValue(r);
  }
  void Real(const char* key, double& out) {
    if (Ref r = (*this)[key]) out = RealValue(r);
  }
  void Text(const char* key, std::string& out, std::size_t limit, const char* field) {
    if (Ref r = (*this)[key]) out = HostText(r, limit, field);
  }
  void Layer(const char* key, HostLayer& out, int lowest = 0) {
    if (Ref r = (*this)[key]) out = LayerValue(r, lowest);
  }

 private:
  const json& object_;
  std::string path_;
  std::vector<std::string> known_;
};

// A list of at most `limit` entries; entries past its end read as left out.
class List {
 public:
  List(const Ref& ref, std::size_t limit, const std::string& what)
      : list_(*ref.value), path_(ref.path) {
    if (!list_.is_array()) Fail(path_, "expected a list of " + what + ", found " + TypeName(list_));
    if (list_.size() > limit) {
      Fail(path_, "expected at most " + std::to_string(limit) + " " + what + ", found " +
                      std::to_string(list_.size()));
    }
  }
  std::size_t size() const { return list_.size(); }
  Ref operator[](std::size_t i) const {
    return Ref{i < list_.size() ? &list_[i] : nullptr, path_ + "[" + std::to_string(i) + "]"};
  }
  template <class T>
  void Int(std::size_t i, T& out) const {
    if (Ref r = (*this)[i]) out = IntegerValue<T>(r);
  }
  void Length(std::size_t i, Coord& out) const {
    if (Ref r = (*this)[i]) out = CoordValue(r);
  }
  void Real(std::size_t i, double& out) const {
    if (Ref r = (*this)[i]) out = RealValue(r);
  }
  void Text(std::size_t i, std::string& out, std::size_t limit, const char* field) const {
    if (Ref r = (*this)[i]) out = HostText(r, limit, field);
  }

 private:
  const json& list_;
  std::string path_;
};

constexpr std::size_t kAnyLength = std::numeric_limits<std::size_t>::max();

// The layer of a key of a layer map ("TopLayer": ..., or "1": ...).
HostLayer LayerKey(const std::string& key, const std::string& path, int lowest) {
  const int code = LayerCodeOf(key);
  if (code < lowest) {
    Fail(path, "unknown layer " + Quoted(key) +
                   " as a key; expected a host layer name (TopLayer, MidLayer1, ...) or a code " +
                   std::to_string(lowest) + " to 82");
  }
  return static_cast<HostLayer>(code);
}

// ------------------------------------------------------------------ staged board

struct StagedComponent {
  standin::Component component;
  std::optional<standin::Text> designator, comment;
  std::vector<standin::Track> tracks;
  std::vector<standin::Arc> arcs;
  std::vector<standin::Pad> pads;
  std::vector<standin::Fill> fills;
  std::vector<standin::Via> vias;
  std::vector<standin::Text> texts;
};

// Until the commit, `net` fields hold a staged net number (its position in
// `nets` plus one) and `polygon` fields a staged polygon number (its position
// in `areas` plus one); 0 is none in both.
struct StagedBoard {
  standin::Board board;
  std::vector<standin::Net> nets;
  std::vector<standin::ObjectClass> classes;
  std::vector<standin::Rule> rules;
  std::vector<std::unique_ptr<standin::Polygon>> areas;  // polygons and board outlines
  std::vector<StagedComponent> components;
  std::vector<standin::Track> tracks;
  std::vector<standin::Arc> arcs;
  std::vector<standin::Via> vias;
  std::vector<standin::Fill> fills;
  std::vector<standin::Text> texts;
  std::vector<standin::Pad> pads;
  std::vector<standin::FromTo> fromTos;
  std::vector<standin::ManualFromTo> manualFromTos;
  std::vector<standin::Coordinate> coordinates;
  std::vector<standin::Dimension> dimensions;
};

// ------------------------------------------------------------------ the reader

class Reader {
 public:
  explicit Reader(StagedBoard& staged) : s_(staged) {}

  void Document(const json& root) {
    Fields doc(root, "", "a board file (a JSON object)");
    Ref version = doc["pcb28_board"];
    // The list of top-level keys, so that a misspelt one is named first.
    for (const char* key :
         {"board",       "layers",     "stack",    "layer_pairs",    "nets",     "classes",
          "rules",       "components", "polygons", "board_outlines", "tracks",   "arcs",
          "vias",        "fills",      "texts",    "pads",           "from_tos", "manual_from_tos",
          "coordinates", "dimensions"}) {
      (void)doc[key];
    }
    doc.Done();
    if (!version) Fail("", "missing key 'pcb28_board' (the format version, 1)");
    if (!version.value->is_number_integer() ||
        version.value->get<std::int64_t>() != kFormatVersion) {
      Fail(version.path, "unsupported format version " +
                             (version.value->is_number_integer() ? version.value->dump()
                                                                 : TypeName(*version.value)) +
                             "; expected 1");
    }

    Each(doc["nets"], [&](Fields& f) { Net(f); });
    Each(doc["polygons"], [&](Fields& f) { Area(f, std::make_unique<standin::Polygon>()); });
    Each(doc["board_outlines"],
         [&](Fields& f) { Area(f, std::make_unique<standin::BoardOutline>()); });
    Each(doc["components"], [&](Fields& f) { Component(f); });
    Each(doc["classes"], [&](Fields& f) { Class(f); });
    Each(doc["rules"], [&](Fields& f) { Rule(f); });
    if (Ref r = doc["board"]) BoardSettings(r);
    if (Ref r = doc["layers"]) Layers(r);
    if (Ref r = doc["stack"]) Stack(r);
    Each(doc["layer_pairs"], [&](Fields& f) { LayerPair(f); });
    Each(doc["tracks"], [&](Fields& f) { s_.tracks.push_back(Track(f)); });
    Each(doc["arcs"], [&](Fields& f) { s_.arcs.push_back(Arc(f)); });
    Each(doc["vias"], [&](Fields& f) { s_.vias.push_back(Via(f)); });
    Each(doc["fills"], [&](Fields& f) { s_.fills.push_back(Fill(f)); });
    Each(doc["texts"], [&](Fields& f) { s_.texts.push_back(Text(f)); });
    Each(doc["pads"], [&](Fields& f) { s_.pads.push_back(Pad(f)); });
    Each(doc["from_tos"], [&](Fields& f) { FromTo(f); });
    Each(doc["manual_from_tos"], [&](Fields& f) { ManualFromTo(f); });
    Each(doc["coordinates"], [&](Fields& f) { Coordinate(f); });
    Each(doc["dimensions"], [&](Fields& f) { Dimension(f); });
  }

 private:
  // Calls `read` with the fields of each object of a list, then checks that
  // it asked for every key there was.
  template <class F>
  void Each(const Ref& ref, F read) {
    if (!ref) return;
    List list(ref, kAnyLength, "objects");
    for (std::size_t i = 0; i < list.size(); ++i) {
      Fields f(list[i], "an object");
      read(f);
      f.Done();
    }
  }

  // ---------------------------------------------------------------- references

  ObjectHandle NetRef(const Ref& ref) {
    const std::string name = HostText(ref, kNameLimit, "net name");
    if (name.empty()) return 0;
    const auto it = netNumbers_.find(name);
    if (it == netNumbers_.end()) Fail(ref.path, "no net named " + Quoted(name) + " in 'nets'");
    return it->second;
  }
  void NetKey(Fields& f, ObjectHandle& out) {
    if (Ref r = f["net"]) out = NetRef(r);
  }

  // Polygon ids are strings or integers; 7 and "7" are the same id.
  static std::string AreaId(const Ref& ref) {
    const json& v = *ref.value;
    if (v.is_string() && !v.get_ref<const std::string&>().empty()) return v.get<std::string>();
    if (v.is_number_integer()) return v.dump();
    Fail(ref.path,
         "expected a polygon id (a non-empty string or an integer), found " + TypeName(v));
  }
  void PolygonKey(Fields& f, ObjectHandle& out) {
    Ref r = f["polygon"];
    if (!r) return;
    const std::string id = AreaId(r);
    const auto it = areaNumbers_.find(id);
    if (it == areaNumbers_.end()) {
      Fail(r.path, "no polygon or board outline with id " + Quoted(id));
    }
    out = it->second;
  }

  // ---------------------------------------------------------------- primitives

  void Common(Fields& f, standin::Primitive& p, bool withNet = true) {
    f.Layer("layer", p.layer);
    if (withNet) NetKey(f, p.net);
    f.Int("tag", p.tag);
    f.Int("flags", p.flags);
    f.Int("index", p.index);
    Bits(f, p);
  }
  static void Bits(Fields& f, standin::Object& o) {
    f.Int("bitfield2", o.bitField2);
    f.Int("bitfield3", o.bitField3);
  }

  standin::Track Track(Fields& f) {
    standin::Track t;
    Common(f, t);
    f.Length("x", t.x);
    f.Length("y", t.y);
    f.Length("x2", t.x2);
    f.Length("y2", t.y2);
    f.Length("width", t.width);
    PolygonKey(f, t.polygon);
    f.Int("extra1", t.extra1);
    f.Int("extra2", t.extra2);
    return t;
  }

  standin::Arc Arc(Fields& f) {
    standin::Arc a;
    Common(f, a);
    f.Length("x", a.x);
    f.Length("y", a.y);
    f.Length("radius", a.radius);
    f.Real("start_angle", a.startAngle);
    f.Real("end_angle", a.endAngle);
    f.Length("width", a.lineWidth);
    PolygonKey(f, a.polygon);
    return a;
  }

  standin::Via Via(Fields& f) {
    standin::Via v;
    Common(f, v);
    f.Length("x", v.x);
    f.Length("y", v.y);
    f.Length("size", v.size);
    f.Length("hole", v.hole);
    f.Layer("low_layer", v.lowLayer);
    f.Layer("high_layer", v.highLayer);
    return v;
  }

  standin::Fill Fill(Fields& f) {
    standin::Fill fill;
    Common(f, fill);
    f.Length("x", fill.x);
    f.Length("y", fill.y);
    f.Length("x2", fill.x2);
    f.Length("y2", fill.y2);
    f.Real("rotation", fill.rotation);
    PolygonKey(f, fill.polygon);
    return fill;
  }

  standin::Text Text(Fields& f, HostLayer defaultLayer = 0) {
    standin::Text t;
    t.layer = defaultLayer;
    Common(f, t);
    f.Length("x", t.x);
    f.Length("y", t.y);
    f.Length("height", t.height);
    f.Int("style", t.style);
    f.Real("rotation", t.rotation);
    f.Int("text_flag", t.textFlag);
    f.Text("text", t.text, kTextLimit, "text");
    f.Length("width", t.lineWidth);
    f.Int("extra1", t.extra1);
    f.Int("extra2", t.extra2);
    return t;
  }

  static standin::PadLevel Level(const Ref& ref) {
    Fields f(ref, "a pad level (x_size, y_size, shape)");
    standin::PadLevel level;
    f.Length("x_size", level.xSize);
    f.Length("y_size", level.ySize);
    f.Int("shape", level.shape);
    f.Done();
    return level;
  }

  standin::Pad Pad(Fields& f) {
    standin::Pad p;
    Common(f, p);
    f.Length("x", p.x);
    f.Length("y", p.y);
    f.Text("name", p.name, kPadNameLimit, "pad name");
    f.Length("hole", p.hole);
    f.Real("rotation", p.rotation);
    if (Ref r = f["size"]) p.top = p.mid = p.bottom = Level(r);
    if (Ref r = f["top"]) p.top = Level(r);
    if (Ref r = f["mid"]) p.mid = Level(r);
    if (Ref r = f["bottom"]) p.bottom = Level(r);
    f.Int("pad_byte1", p.padByte1);
    f.Int("pad_byte2", p.padByte2);
    f.Int("pwr_gnd", p.pwrGnd);
    f.Int("stack_mode", p.stackMode);
    if (Ref r = f["layer_stack"]) {
      Fields stack(r, "an object of layer -> pad level");
      for (const auto& [key, value] : stack.object().items()) {
        const std::string path = stack.Child(key);
        const HostLayer layer = LayerKey(key, path, 1);
        p.layerStack[layer] = Level(Ref{&value, path});
        p.given[layer] = true;
      }
    }
    return p;
  }

  // ---------------------------------------------------------------- components

  // A designator or comment: a text object (on TopOverlay unless it says
  // otherwise) or a string placed at the component's origin on TopOverlay.
  std::optional<standin::Text> ComponentText(const Ref& ref, const standin::Component& c) {
    if (!ref) return std::nullopt;
    if (ref.value->is_string()) {
      standin::Text t;
      t.x = c.x;
      t.y = c.y;
      t.layer = kTopOverlay;
      t.text = HostText(ref, kTextLimit, "text");
      return t;
    }
    Fields f(ref, "a text object or a string");
    standin::Text t = Text(f, kTopOverlay);
    f.Done();
    return t;
  }

  void Component(Fields& f) {
    StagedComponent sc;
    standin::Component& c = sc.component;
    Common(f, c, /*withNet=*/false);
    f.Length("x", c.x);
    f.Length("y", c.y);
    f.Text("pattern", c.pattern, kPatternLimit, "component pattern");
    f.Real("rotation", c.rotation);
    if (Ref r = f["bytes"]) {
      List l(r, 3, "component bytes");
      l.Int(0, c.byte1);
      l.Int(1, c.byte2);
      l.Int(2, c.byte3);
    }
    f.Int("value", c.value);
    f.Int("channel_offset", c.channelOffset);
    f.Int("component_kind", c.componentKind);
    if (Ref r = f["ex"]) {
      List l(r, 4, "extended component values");
      l.Int(0, c.exValue1);
      l.Int(1, c.exByte1);
      l.Int(2, c.exByte2);
      l.Int(3, c.exValue2);
    }
    if (Ref r = f["source_links"]) {
      List l(r, 7, "source links");
      for (std::size_t i = 0; i < 7; ++i) l.Text(i, c.sourceLinks[i], kNameLimit, "source link");
    }
    // After x and y: a designator given as a string sits at the origin.
    sc.designator = ComponentText(f["designator"], c);
    sc.comment = ComponentText(f["comment"], c);
    if (sc.designator) designators_.insert(sc.designator->text);
    Each(f["tracks"], [&](Fields& m) { sc.tracks.push_back(Track(m)); });
    Each(f["arcs"], [&](Fields& m) { sc.arcs.push_back(Arc(m)); });
    Each(f["pads"], [&](Fields& m) { sc.pads.push_back(Pad(m)); });
    Each(f["fills"], [&](Fields& m) { sc.fills.push_back(Fill(m)); });
    Each(f["vias"], [&](Fields& m) { sc.vias.push_back(Via(m)); });
    Each(f["texts"], [&](Fields& m) { sc.texts.push_back(Text(m)); });
    s_.components.push_back(std::move(sc));
  }

  // ---------------------------------------------------------------- polygons

  void Area(Fields& f, std::unique_ptr<standin::Polygon> p) {
    if (Ref r = f["id"]) {
      const std::string id = AreaId(r);
      if (!areaNumbers_.emplace(id, static_cast<ObjectHandle>(s_.areas.size() + 1)).second) {
        Fail(r.path, "polygon id " + Quoted(id) +
                         " is used twice (polygons and board outlines share one set of ids)");
      }
    }
    Common(f, *p);
    if (Ref r = f["bytes"]) {
      List l(r, 5, "polygon bytes");
      l.Int(0, p->byte0);
      l.Int(1, p->byte1);
      l.Int(2, p->byte2);
      l.Int(3, p->byte3);
      l.Int(4, p->byte4);
    }
    f.Length("value1", p->value1);
    f.Length("track_width", p->trackWidth);
    f.Length("value3", p->value3);
    f.Int("style_code", p->styleCode);
    if (Ref r = f["outline"]) {
      List outline(r, kMaxOutlineEntries, "outline entries");
      for (std::size_t i = 0; i < outline.size(); ++i) {
        Fields e(outline[i], "an outline entry (x, y, arc, kind)");
        // Read into aligned fields: the host's entry layout is packed, and a
        // reference to one of its fields would be misaligned.
        struct {
          std::uint8_t kind = 0;
          Coord x = 0, y = 0, cx = 0, cy = 0, radius = 0;
          double startAngle = 0, endAngle = 0;
        } v;
        e.Length("x", v.x);
        e.Length("y", v.y);
        if (Ref a = e["arc"]) {
          Fields arc(a, "an arc (cx, cy, radius, start_angle, end_angle)");
          v.kind = 1;
          arc.Length("cx", v.cx);
          arc.Length("cy", v.cy);
          arc.Length("radius", v.radius);
          arc.Real("start_angle", v.startAngle);
          arc.Real("end_angle", v.endAngle);
          arc.Done();
        }
        e.Int("kind", v.kind);
        e.Done();
        p->outline.push_back(
            PolygonSegment{v.kind, v.x, v.y, v.cx, v.cy, v.radius, v.startAngle, v.endAngle});
      }
    }
    s_.areas.push_back(std::move(p));
  }

  // ---------------------------------------------------------------- nets, classes, rules

  void Net(Fields& f) {
    standin::Net n;
    Ref name = f["name"];
    if (!name) Fail(f.path(), "a net needs a 'name'");
    n.name = HostText(name, kNameLimit, "net name");
    if (n.name.empty())
      Fail(name.path, "a net's name cannot be empty (an empty name means no net)");
    if (!netNumbers_.emplace(n.name, static_cast<ObjectHandle>(s_.nets.size() + 1)).second) {
      Fail(name.path, "net name " + Quoted(n.name) + " is used twice");
    }
    f.Int("value", n.netValue);
    f.Int("byte", n.netByte);
    f.Int("index", n.index);
    Bits(f, n);
    s_.nets.push_back(std::move(n));
  }

  void Class(Fields& f) {
    standin::ObjectClass c;
    f.Text("name", c.name, kNameLimit, "class name");
    if (Ref r = f["bytes"]) {
      List l(r, 2, "class bytes");
      l.Int(0, c.byte1);
      l.Int(1, c.byte2);
    }
    if (Ref r = f["members"]) {
      List l(r, kAnyLength, "member names");
      for (std::size_t i = 0; i < l.size(); ++i) {
        c.members.push_back(HostText(l[i], kNameLimit, "class member name"));
      }
    }
    f.Int("index", c.index);
    Bits(f, c);
    s_.classes.push_back(std::move(c));
  }

  struct RuleKindName {
    const char* name;
    standin::RuleKind kind;
    const char* values;  // one letter per value: L a length or 32-bit integer, B a byte
  };
  static constexpr RuleKindName kRuleKinds[] = {
      {"Clearance", standin::RuleKind::Clearance, "L"},
      {"Width", standin::RuleKind::Width, "LL"},
      {"PlaneConnect", standin::RuleKind::PlaneConnect, "BLLLL"},
      {"RoutingTopology", standin::RuleKind::RoutingTopology, "B"},
      {"RoutingPriority", standin::RuleKind::RoutingPriority, "L"},
      {"RoutingVias", standin::RuleKind::RoutingVias, "LLB"},
      {"PowerPlaneExpansion", standin::RuleKind::PowerPlaneExpansion, "L"},
      {"SolderMaskExpansion", standin::RuleKind::SolderMaskExpansion, "L"},
      {"PasteMaskExpansion", standin::RuleKind::PasteMaskExpansion, "L"},
  };

  void Rule(Fields& f) {
    standin::Rule rule;
    const char* valueKinds = "L";  // the Clearance kind, code 0
    if (Ref r = f["kind"]) {
      if (r.value->is_string()) {
        const auto& name = r.value->get_ref<const std::string&>();
        const RuleKindName* found = nullptr;
        for (const auto& k : kRuleKinds) {
          if (name == k.name) found = &k;
        }
        if (found == nullptr) {
          std::string names;
          for (const auto& k : kRuleKinds) names += std::string(names.empty() ? "" : ", ") + k.name;
          Fail(r.path, "unknown rule kind " + Quoted(name) +
                           "; expected a code 0 to 255 or one of " + names);
        }
        rule.ruleKind = static_cast<std::uint8_t>(found->kind);
      } else {
        rule.ruleKind = IntegerValue<std::uint8_t>(r);
      }
      valueKinds = "";
      for (const auto& k : kRuleKinds) {
        if (static_cast<std::uint8_t>(k.kind) == rule.ruleKind) valueKinds = k.values;
      }
    }
    f.Int("priority", rule.priority);
    if (Ref r = f["scope"]) Scope(r, rule);
    if (Ref r = f["values"]) {
      const std::size_t count = std::char_traits<char>::length(valueKinds);
      List l(r, count, "values for rule kind " + std::to_string(rule.ruleKind));
      for (std::size_t i = 0; i < l.size(); ++i) {
        if (valueKinds[i] == 'B') {
          rule.values[i] = IntegerValue<std::uint8_t>(l[i]);
        } else {
          rule.values[i] = CoordValue(l[i]);
        }
      }
    }
    if (Ref r = f["layers"]) {
      List l(r, kAnyLength, "layers");
      for (std::size_t i = 0; i < l.size(); ++i) rule.layers.push_back(LayerValue(l[i], 1));
    }
    if (Ref r = f["bytes"]) {
      List l(r, 8, "rule bytes");
      for (std::size_t i = 0; i < 8; ++i) l.Int(i, rule.bytes[i]);
    }
    if (Ref r = f["texts1"]) {
      List l(r, 4, "rule texts");
      for (std::size_t i = 0; i < 4; ++i) l.Text(i, rule.texts1[i], kNameLimit, "rule text");
    }
    if (Ref r = f["numbers"]) {
      List l(r, 4, "rule numbers");
      for (std::size_t i = 0; i < 4; ++i) l.Int(i, rule.numbers[i]);
    }
    if (Ref r = f["texts2"]) {
      List l(r, 6, "rule texts");
      for (std::size_t i = 0; i < 6; ++i) l.Text(i, rule.texts2[i], kNameLimit, "rule text");
    }
    Bits(f, rule);
    s_.rules.push_back(std::move(rule));
  }

  void Scope(const Ref& ref, standin::Rule& rule) {
    const char* expected = "expected \"all\", {\"net\": NAME} or {\"component\": DESIGNATOR}";
    if (ref.value->is_string()) {
      if (ref.value->get_ref<const std::string&>() != "all") Fail(ref.path, expected);
      return;
    }
    if (!ref.value->is_object() || ref.value->size() != 1) {
      Fail(ref.path, std::string(expected) + ", found " + TypeName(*ref.value));
    }
    Fields f(ref, "a scope");
    if (Ref net = f["net"]) {
      if (NetRef(net) == 0) Fail(net.path, "expected the name of a net, found an empty name");
      rule.scope = standin::RuleScope::Net;
      rule.scopeName = HostText(net, kNameLimit, "net name");
    } else if (Ref component = f["component"]) {
      rule.scope = standin::RuleScope::Component;
      rule.scopeName = HostText(component, kTextLimit, "designator");
      if (!designators_.contains(rule.scopeName)) {
        Fail(component.path, "no component with the designator " + Quoted(rule.scopeName));
      }
    }
    f.Done();
  }

  // ---------------------------------------------------------------- board settings

  static void DielectricValues(const Ref& ref, standin::Dielectric& d) {
    Fields f(ref, "a dielectric (material, type, constant, height)");
    f.Text("material", d.material, kNameLimit, "dielectric material");
    f.Int("type", d.type);
    f.Real("constant", d.constant);
    f.Length("height", d.height);
    f.Done();
  }

  void BoardSettings(const Ref& ref) {
    standin::Board& b = s_.board;
    Fields f(ref, "the board settings (an object)");
    if (Ref r = f["info"]) {
      List l(r, 8, "board values");
      l.Int(0, b.info1);
      l.Text(1, b.info2, kNameLimit, "board info string");
      l.Int(2, b.info3);
      l.Int(3, b.info4);
      l.Int(4, b.info5);
      l.Int(5, b.info6);
      l.Int(6, b.info7);
      l.Int(7, b.info8);
    }
    f.Int("info10", b.info10);
    f.Layer("layer", b.boardLayer);
    if (Ref r = f["grids"]) {
      standin::Grids& g = b.grids;
      List l(r, 14, "grid values");
      l.Int(0, g.grid1);
      l.Int(1, g.grid2);
      l.Int(2, g.grid3);
      l.Int(3, g.grid4);
      l.Real(4, g.grid5);
      l.Real(5, g.grid6);
      l.Real(6, g.grid7);
      l.Real(7, g.grid8);
      l.Int(8, g.grid9);
      l.Int(9, g.grid10);
      l.Real(10, g.grid11);
      l.Real(11, g.grid12);
      l.Real(12, g.grid13);
      l.Real(13, g.grid14);
    }
    standin::OutputOptions& out = b.outputOptions;
    if (Ref r = f["output_options"]) {
      List l(r, 24, "output option values");
      l.Int(0, out.value1);
      l.Int(1, out.value2);
      for (std::size_t i = 0; i < out.bytes.size(); ++i) l.Int(i + 2, out.bytes[i]);
    }
    Flags(f["plot_layers"], out.plotLayers);
    Flags(f["flip_layers"], out.flipLayers);
    if (Ref r = f["gerber_options"]) {
      List l(r, b.gerberOptions.size(), "Gerber option values");
      for (std::size_t i = 0; i < b.gerberOptions.size(); ++i) l.Int(i, b.gerberOptions[i]);
    }
    standin::PrinterOptions& printer = b.printerOptions;
    if (Ref r = f["printer_options"]) {
      List l(r, printer.values.size(), "printer option values");
      for (std::size_t i = 0; i < printer.values.size(); ++i) l.Int(i, printer.values[i]);
    }
    if (Ref r = f["plotter_pens"]) {
      List pens(r, 8, "plotter pens");
      for (std::size_t i = 0; i < pens.size(); ++i) {
        List pen(pens[i], 2, "pen values");
        pen.Int(0, printer.pens[i + 1].value1);
        pen.Int(1, printer.pens[i + 1].value2);
      }
    }
    if (Ref r = f["composite_layers"]) {
      Fields layers(r, "an object of layer -> four values");
      for (const auto& [key, value] : layers.object().items()) {
        const std::string path = layers.Child(key);
        standin::CompositeLayer& c = printer.compositeLayers[LayerKey(key, path, 1)];
        List l(Ref{&value, path}, 4, "composite layer values");
        l.Int(0, c.value1);
        l.Int(1, c.value2);
        l.Int(2, c.value3);
        l.Int(3, c.value4);
      }
    }
    if (Ref r = f["placer_options"]) {
      List l(r, 6, "placer option values (two strings, four bytes)");
      l.Text(0, b.placerOptions.text1, kNameLimit, "placer option string");
      l.Text(1, b.placerOptions.text2, kNameLimit, "placer option string");
      for (std::size_t i = 0; i < 4; ++i) l.Int(i + 2, b.placerOptions.bytes[i]);
    }
    if (Ref r = f["eco_options"]) {
      List l(r, 2, "ECO option bytes");
      l.Int(0, b.ecoOptions[0]);
      l.Int(1, b.ecoOptions[1]);
    }
    if (Ref r = f["external_dielectrics"]) {
      List l(r, 2, "external dielectrics");
      for (std::size_t i = 0; i < l.size(); ++i) DielectricValues(l[i], b.externalDielectrics[i]);
    }
    if (Ref r = f["layer_info"]) {
      Fields layers(r, "an object of layer -> value");
      for (const auto& [key, value] : layers.object().items()) {
        const std::string path = layers.Child(key);
        b.layerInfo[LayerKey(key, path, 1)].info = IntegerValue<std::int32_t>(Ref{&value, path});
      }
    }
    f.Done();
  }

  // Flags 1 to 109, the list's first entry being flag 1.
  static void Flags(const Ref& ref, std::array<std::uint8_t, 110>& flags) {
    if (!ref) return;
    List l(ref, flags.size() - 1, "layer flags");
    for (std::size_t i = 0; i < l.size(); ++i) l.Int(i, flags[i + 1]);
  }

  void Layers(const Ref& ref) {
    Fields layers(ref, "an object of layer -> layer settings");
    for (const auto& [key, value] : layers.object().items()) {
      const std::string path = layers.Child(key);
      const HostLayer code = LayerKey(key, path, 1);
      standin::Layer& layer = s_.board.layers[code];
      Fields f(value, path, "layer settings (an object)");
      f.Text("name", layer.name, kNameLimit, "layer name");
      f.Length("copper_thickness", layer.copperThickness);
      if (Ref r = f["status"]) {
        List l(r, 3, "status bytes");
        l.Int(0, layer.status1);
        l.Int(1, layer.status2);
        l.Int(2, layer.status3);
      }
      if (Ref r = f["dielectric"]) DielectricValues(r, layer.dielectric);
      if (Ref r = f["net"]) {
        if (!IsInternalPlane(code)) {
          Fail(r.path, "only the layers InternalPlane1 to InternalPlane16 have a net");
        }
        const std::string name = HostText(r, kNameLimit, "net name");
        if (name.empty() || name == "(No Net)") {
          layer.planeNet = "(No Net)";
        } else {
          (void)NetRef(r);
          layer.planeNet = name;
        }
      }
      f.Done();
    }
  }

  void Stack(const Ref& ref) {
    List l(ref, kAnyLength, "layers");
    std::vector<HostLayer> topDown;
    for (std::size_t i = 0; i < l.size(); ++i) {
      const HostLayer layer = LayerValue(l[i], 1);
      if (std::find(topDown.begin(), topDown.end(), layer) != topDown.end()) {
        Fail(l[i].path,
             "layer " + std::string(kHostLayerNames[layer]) + " is listed twice in the stack");
      }
      topDown.push_back(layer);
    }
    s_.board.SetStack(topDown);
  }

  void LayerPair(Fields& f) {
    standin::LayerPair pair;
    if (!f.Has("low") || !f.Has("high")) Fail(f.path(), "a layer pair needs 'low' and 'high'");
    f.Layer("low", pair.lowLayer, 1);
    f.Layer("high", pair.highLayer, 1);
    if (Ref r = f["values"]) {
      List l(r, 2, "pair values");
      l.Int(0, pair.value1);
      l.Int(1, pair.value2);
    }
    s_.board.layerPairs.push_back(pair);
  }

  // ---------------------------------------------------------------- other objects

  void FromTo(Fields& f) {
    standin::FromTo t;
    f.Length("x", t.x);
    f.Length("y", t.y);
    f.Length("x2", t.x2);
    f.Length("y2", t.y2);
    f.Int("from_byte", t.fromByte);
    f.Int("to_byte", t.toByte);
    NetKey(f, t.net);
    f.Int("index", t.index);
    Bits(f, t);
    s_.fromTos.push_back(t);
  }

  void ManualFromTo(Fields& f) {
    standin::ManualFromTo t;
    if (Ref r = f["texts"]) {
      List l(r, 3, "texts");
      for (std::size_t i = 0; i < 3; ++i) l.Text(i, t.texts[i], kNameLimit, "manual from-to text");
    }
    f.Int("value", t.value);
    f.Int("index", t.index);
    Bits(f, t);
    s_.manualFromTos.push_back(std::move(t));
  }

  void Coordinate(Fields& f) {
    standin::Coordinate c;
    Common(f, c, /*withNet=*/false);
    f.Length("x", c.x);
    f.Length("y", c.y);
    if (Ref r = f["values"]) {
      List l(r, 6, "coordinate values");
      for (std::size_t i = 0; i < 6; ++i) l.Length(i, c.values[i]);
    }
    s_.coordinates.push_back(c);
  }

  void Dimension(Fields& f) {
    standin::Dimension d;
    Common(f, d, /*withNet=*/false);
    f.Length("x", d.x);
    f.Length("y", d.y);
    if (Ref r = f["values"]) {
      List l(r, 8, "dimension values");
      l.Int(0, d.value1);
      l.Int(1, d.value2);
      l.Int(2, d.value3);
      l.Int(3, d.value4);
      l.Int(4, d.value5);
      l.Int(5, d.value6);
      l.Int(6, d.value7);
      l.Int(7, d.byte1);
    }
    if (Ref r = f["ext"]) {
      List l(r, 19, "extended dimension values");
      l.Int(0, d.dimensionCode);
      l.Int(1, d.extValue1);
      l.Int(2, d.extValue2);
      l.Int(3, d.ext1);
      l.Int(4, d.extByte1);
      l.Int(5, d.ext2);
      l.Text(6, d.extText1, kNameLimit, "dimension text");
      l.Int(7, d.extByte2);
      l.Int(8, d.ext3);
      l.Text(9, d.extText2, kNameLimit, "dimension text");
      l.Text(10, d.extText3, kNameLimit, "dimension text");
      l.Real(11, d.ext8Bytes);
      l.Int(12, d.ext4);
      l.Int(13, d.ext5);
      l.Int(14, d.ext6);
      l.Int(15, d.extByte3);
      l.Int(16, d.ext7);
      l.Int(17, d.ext8);
      l.Int(18, d.ext9);
    }
    if (Ref r = f["references"]) {
      List l(r, kMaxDimensionReferences, "references");
      for (std::size_t i = 0; i < l.size(); ++i) {
        List values(l[i], 4, "reference values");
        if (values.size() != 4) Fail(l[i].path, "a reference is a list of four integers");
        std::array<std::int32_t, 4> reference{};
        for (std::size_t k = 0; k < 4; ++k) values.Int(k, reference[k]);
        d.references.push_back(reference);
      }
    }
    s_.dimensions.push_back(std::move(d));
  }

  StagedBoard& s_;
  std::map<std::string, ObjectHandle> netNumbers_;
  std::map<std::string, ObjectHandle> areaNumbers_;
  std::set<std::string> designators_;
};

// ------------------------------------------------------------------ commit

class Committer {
 public:
  explicit Committer(StagedBoard& staged) : s_(staged), server_(standin::TheServer()) {}

  // Puts the staged board into the reset server; false when the server
  // refused an object (the server is then reset again).
  bool Run() {
    server_.Reset();
    const ObjectHandle board = server_.CreateBoard();
    standin::Board* target = server_.CurrentBoard();
    if (board == 0 || target == nullptr) return Failed();
    standin::Board settings = s_.board;
    settings.handle = target->handle;
    settings.board = target->board;
    *target = std::move(settings);

    for (auto& net : s_.nets) nets_.push_back(Add(std::move(net)));
    for (auto& area : s_.areas) {
      area->net = NetHandle(area->net);
      if (area->kind == Kind::BoardOutline) {
        areas_.push_back(Add(static_cast<standin::BoardOutline&>(*area)));
      } else {
        areas_.push_back(Add(*area));
      }
    }
    for (auto& c : s_.classes) Add(std::move(c));
    for (auto& r : s_.rules) Add(std::move(r));
    for (auto& sc : s_.components) {
      const ObjectHandle c = Add(std::move(sc.component));
      if (sc.designator && server_.AddDesignator(c, Linked(*sc.designator)) == 0) failed_ = true;
      if (sc.comment && server_.AddComment(c, Linked(*sc.comment)) == 0) failed_ = true;
      AddAll(sc.tracks, c);
      AddAll(sc.arcs, c);
      AddAll(sc.pads, c);
      AddAll(sc.fills, c);
      AddAll(sc.vias, c);
      AddAll(sc.texts, c);
    }
    AddAll(s_.tracks);
    AddAll(s_.arcs);
    AddAll(s_.vias);
    AddAll(s_.fills);
    AddAll(s_.texts);
    AddAll(s_.pads);
    AddAll(s_.fromTos);
    AddAll(s_.manualFromTos);
    AddAll(s_.coordinates);
    AddAll(s_.dimensions);
    return failed_ ? Failed() : true;
  }

 private:
  bool Failed() {
    server_.Reset();
    return false;
  }

  ObjectHandle NetHandle(ObjectHandle staged) const { return staged == 0 ? 0 : nets_[staged - 1]; }
  ObjectHandle AreaHandle(ObjectHandle staged) const {
    return staged == 0 ? 0 : areas_[staged - 1];
  }

  // Turns staged numbers into server handles.
  template <class T>
  T& Linked(T& object) {
    if constexpr (std::is_base_of_v<standin::Primitive, T> || std::is_same_v<T, standin::FromTo>) {
      object.net = NetHandle(object.net);
    }
    if constexpr (requires { object.polygon; }) object.polygon = AreaHandle(object.polygon);
    return object;
  }

  template <class T>
  ObjectHandle Add(T object, ObjectHandle component = 0) {
    const ObjectHandle handle = server_.Add(std::move(object), component);
    if (handle == 0) failed_ = true;
    return handle;
  }
  template <class T>
  void AddAll(std::vector<T>& objects, ObjectHandle component = 0) {
    for (auto& object : objects) Add(std::move(Linked(object)), component);
  }

  StagedBoard& s_;
  standin::Server& server_;
  std::vector<ObjectHandle> nets_, areas_;
  bool failed_ = false;
};

}  // namespace

bool LoadBoardText(std::string_view text, const std::string& name, std::string& error) {
  error.clear();
  json root;
  std::string place, what;
  if (!ParseJson(text, root, place, what)) {
    standin::TheServer().Reset();
    error = name + ": " + place + ": " + what;
    return false;
  }
  auto staged = std::make_unique<StagedBoard>();
  try {
    Reader(*staged).Document(root);
  } catch (const LoadError& e) {
    // No board at all rather than the one before: a caller that misses the
    // error must not go on with a stale board.
    standin::TheServer().Reset();
    error = name + ": " + e.place + ": " + e.what;
    return false;
  }
  if (!Committer(*staged).Run()) {
    error = name + ": the server refused the board";
    return false;
  }
  return true;
}

bool LoadBoardFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    standin::TheServer().Reset();
    error = path + ": cannot open the board file";
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    standin::TheServer().Reset();
    error = path + ": cannot read the board file";
    return false;
  }
  return LoadBoardText(content.str(), path, error);
}

}  // namespace boardfile
