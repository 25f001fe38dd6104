// The reader of the whole document: its top level, in the order that makes
// every reference resolvable, and where a fault is.
#include "boardfile/BoardReader.h"

namespace boardfile {

// One line per key.
// clang-format off

void Reader::Document(od::document& doc) {
  board_ = server_.CurrentBoard();
  if (const Type type = doc.type(); type != Type::object) {
    Fail("expected a board file (a JSON object), found " +
         FoundToken(type, type == Type::number ? std::string_view(doc.raw_json_token())
                                               : std::string_view()));
  }
  // First the keys alone: unknown or repeated ones, the version, nothing
  // after the document.
  std::uint64_t present = 0;
  {
    od::object top = doc.get_object();
    present = EachField(top, kTopKeys, [&](int k, Value& v) {
      if (static_cast<TopKey>(k) != TopKey::pcb28_board) return;
      std::string found = Found(v);
      if (v.type() == Type::number) {
        const simdjson::simdjson_result<od::number> number = v.get_number();
        if (number.error() == simdjson::SUCCESS &&
            number.value_unsafe().get_number_type() == od::number_type::signed_integer &&
            number.value_unsafe().get_int64() == 1) {
          return;
        }
      }
      if (found.starts_with("the integer ")) found.erase(0, 12);
      Fail("unsupported format version " + found + "; expected 1");
    });
  }
  if ((present & Bit(TopKey::pcb28_board)) == 0) {
    Fail(std::string("missing key '") + Name(TopKey::pcb28_board) + "' (the format version, 1)");
  }
  if (doc.current_location().error() != simdjson::OUT_OF_BOUNDS) Fail("text after the document");
  // Then the values, in the order that resolves references.
  doc.rewind();
  od::object top = doc.get_object();
  for (const TopKey k :
       {TopKey::nets, TopKey::polygons, TopKey::board_outlines, TopKey::classes, TopKey::rules,
        TopKey::components, TopKey::board, TopKey::layers, TopKey::stack, TopKey::layer_pairs,
        TopKey::tracks, TopKey::arcs, TopKey::vias, TopKey::fills, TopKey::texts, TopKey::pads,
        TopKey::from_tos, TopKey::manual_from_tos, TopKey::coordinates, TopKey::dimensions}) {
    if ((present & Bit(k)) == 0) continue;
    Value v = Field(top, Name(k));
    path_[0] = {Name(k)};
    depth_ = 1;
    TopLevel(k, v);
    depth_ = 0;
  }
  for (const auto& [designator, place] : scopeDesignators_) {
    if (!designators_.contains(designator)) {
      throw Fault{"no component with the designator " + Quoted(designator), nullptr, place};
    }
  }
}

void Reader::TopLevel(TopKey k, Value& v) {
  switch (k) {
    case TopKey::nets: return Each(v, [&](Value& o) { Net(o); });
    case TopKey::polygons: return Each(v, [&](Value& o) { Area<standin::Polygon>(o); });
    case TopKey::board_outlines: return Each(v, [&](Value& o) { Area<standin::BoardOutline>(o); });
    case TopKey::classes: return Each(v, [&](Value& o) { Class(o); });
    case TopKey::rules: return Each(v, [&](Value& o) { Rule(o); });
    case TopKey::components: return Each(v, [&](Value& o) { Component(o); });
    case TopKey::board: return BoardSettings(v);
    case TopKey::layers: return Layers(v);
    case TopKey::stack: return Stack(v);
    case TopKey::layer_pairs: return Each(v, [&](Value& o) { LayerPair(o); });
    case TopKey::tracks: return Members<standin::Track>(v, 0);
    case TopKey::arcs: return Members<standin::Arc>(v, 0);
    case TopKey::vias: return Members<standin::Via>(v, 0);
    case TopKey::fills: return Members<standin::Fill>(v, 0);
    case TopKey::texts: return Members<standin::Text>(v, 0);
    case TopKey::pads: return Members<standin::Pad>(v, 0);
    case TopKey::from_tos: return Each(v, [&](Value& o) { FromTo(o); });
    case TopKey::manual_from_tos: return Each(v, [&](Value& o) { ManualFromTo(o); });
    case TopKey::coordinates: return Each(v, [&](Value& o) { Coordinate(o); });
    case TopKey::dimensions: return Each(v, [&](Value& o) { Dimension(o); });
    case TopKey::pcb28_board:
      return;
  }
}

// clang-format on

Value Reader::Field(od::object& object, std::string_view name) {
  if (!escapedKeys_) return object.find_field_unordered(name);
  // A key written with escapes is found by its text, not as written.
  (void)object.reset();
  for (auto result : object) {
    od::field field = std::move(result);
    if (KeyOf(field) == name) return field.value();
  }
  Fail("key '" + std::string(name) + "' not found on the second reading");
}

std::string Reader::Place(const char* key) const {
  std::string out;
  for (int i = 0; i < depth_; ++i) {
    const Step& step = path_[i];
    if (step.isIndex) {
      out += "[" + std::to_string(step.index) + "]";
    } else if (!step.key.empty()) {
      if (!out.empty()) out += '.';
      out += step.key;
    }
  }
  if (key != nullptr) {
    if (!out.empty()) out += '.';
    out += key;
  }
  return out.empty() ? "top level" : out;
}

void Reader::FailKey(std::string_view key, const KeySet& keys, bool repeated) const {
  if (repeated) Fail("key '" + std::string(key) + "' given twice");
  std::string what = "unknown key " + Quoted(key) + " at " + Place();
  const std::string near =
      ClosestWord(key, std::vector<std::string>(keys.names().begin(), keys.names().end()));
  if (!near.empty()) what += " (did you mean '" + near + "'?)";
  Fail(what);
}

void Reader::FailList(Value& v, std::string_view what) {
  Fail("expected a list of " + std::string(what) + ", found " + Found(v));
}

void Reader::FailLength(std::size_t limit, std::string_view what, std::size_t found) {
  Fail("expected at most " + std::to_string(limit) + " " + std::string(what) + ", found " +
       std::to_string(found));
}

void Reader::FailNoNet(std::string_view name) {
  Fail("no net named " + Quoted(name) + " in '" + Name(TopKey::nets) + "'");
}

void Reader::FailServer() { Fail("the server refused the object"); }

}  // namespace boardfile
