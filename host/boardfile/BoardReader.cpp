// The reader of the whole document: its top level, in the order that makes
// every reference resolvable, and the net and polygon references.
#include "boardfile/BoardReader.h"

namespace boardfile {

namespace {

constexpr std::int64_t kFormatVersion = 1;

}  // namespace

void Reader::Document(const json& root) {
  Fields doc(root, "", "a board file (a JSON object)");
  // Every top-level key asked for before any value is read, so that a
  // misspelt one is named first.
  for (const char* key : kTopLevelKeys) (void)doc[key];
  doc.Done();
  Ref version = doc["pcb28_board"];
  if (!version) Fail("", "missing key 'pcb28_board' (the format version, 1)");
  if (!version.value->is_number_integer() || version.value->get<std::int64_t>() != kFormatVersion) {
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

ObjectHandle Reader::NetRef(const Ref& ref) {
  const std::string name = HostText(ref, kNameLimit, "net name");
  if (name.empty()) return 0;
  const auto it = netNumbers_.find(name);
  if (it == netNumbers_.end()) Fail(ref.path, "no net named " + Quoted(name) + " in 'nets'");
  return it->second;
}

void Reader::NetKey(Fields& f, ObjectHandle& out) {
  if (Ref r = f["net"]) out = NetRef(r);
}

// Polygon ids are strings or integers; 7 and "7" are the same id.
std::string Reader::AreaId(const Ref& ref) {
  const json& v = *ref.value;
  if (v.is_string() && !v.get_ref<const std::string&>().empty()) return v.get<std::string>();
  if (v.is_number_integer()) return v.dump();
  Fail(ref.path, "expected a polygon id (a non-empty string or an integer), found " + TypeName(v));
}

void Reader::PolygonKey(Fields& f, ObjectHandle& out) {
  Ref r = f["polygon"];
  if (!r) return;
  const std::string id = AreaId(r);
  const auto it = areaNumbers_.find(id);
  if (it == areaNumbers_.end()) {
    Fail(r.path, "no polygon or board outline with id " + Quoted(id));
  }
  out = it->second;
}

}  // namespace boardfile
