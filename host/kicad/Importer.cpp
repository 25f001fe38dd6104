#include "kicad/Importer.h"

#include <cstdint>
#include <set>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace kicad::detail {

using nlohmann::json;

std::string Importer::Run(std::vector<std::string>& report) {
  // Every version is read: KiCad 3 and 4 (3, 4), 5 (20171130), 6 (2021xxxx),
  // 7 (2022xxxx), 8 (2023xxxx to 20240108) and 9 (up to 20241229). A newer
  // one is read as far as it is understood, with one line that says so.
  if (const Node* version = root_.Find("version")) {
    version_ = NumberArg(*version, 1);
    if (version_ > kNewestVersion)
      report.push_back("KiCad board format version " + std::string(version->items()[1].text()) +
                       " is newer than the newest read in full (" + std::to_string(kNewestVersion) +
                       ", KiCad 9): read as far as it is understood");
  } else {
    report.push_back("the board has no 'version': read as the newest format");
    version_ = kNewestVersion;
  }
  if (tree_.repaired() > 0)
    Lose("teardrop settings written without their '(' read as KiCad reads them",
         static_cast<int>(tree_.repaired()));
  ReadLayerTable();
  areaPoints_.reserve(FilledPoints());
  for (std::size_t i = 1; i < root_.items().size(); ++i) {
    if (root_.items()[i].IsAtom())
      Unknown(root_.items()[i], "kicad_pcb");
    else
      TopLevel(root_.items()[i]);
  }
  if (!project_.empty()) ReadProjectClasses();
  ClassDrills();
  BuildOutline();
  std::map<std::string, int> zeroLength;
  std::string doc = WriteDocument(Result(), zeroLength);
  for (const auto& [layer, count] : zeroLength)
    Lose((IsCopper(layer) ? "copper " : "") + std::string("tracks of zero length on ") +
             KicadName(layer) + " left out",
         count);
  for (const auto& [what, count] : losses_) report.push_back(std::to_string(count) + " " + what);
  for (const auto& [what, seen] : unknown_)
    report.push_back(std::to_string(seen.count) + " " + what + " ignored (first at " +
                     tree_.PlaceAt(seen.first) + ")");
  return doc;
}

// About how many points the zones' filled areas have, to keep them in one
// vector made once: on a large board they are the largest share of the data.
std::size_t Importer::FilledPoints() const {
  std::size_t n = 0;
  for (const Node& zone : root_.items())
    if (zone.Head() == "zone")
      for (const Node& area : zone.items())
        if (area.Head() == "filled_polygon")
          if (const Node* pts = area.Find("pts")) n += pts->items().size();
  return n;
}

// A KiCad string (UTF-8) for the board file, which holds Latin-1 only:
// characters beyond it become '?', and are reported. The result is UTF-8 of
// at most `limit` characters.
std::string Importer::Latin1(const Node& where, std::string_view utf8, std::size_t limit,
                             const char* field) {
  std::string out;
  std::size_t chars = 0;
  bool cut = false;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80    ? 0
                      : c >= 0xF8 ? -1
                      : c >= 0xF0 ? 3
                      : c >= 0xE0 ? 2
                      : c >= 0xC0 ? 1
                                  : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= utf8.size() + (extra == 0 ? 1 : 0))
      Fail(where, "the text is not valid UTF-8");
    std::uint32_t cp = extra == 0 ? c : c & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char d = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) Fail(where, "the text is not valid UTF-8");
      cp = (cp << 6) | (d & 0x3Fu);
    }
    i += 1 + static_cast<std::size_t>(extra);
    if (cp > 0xFF) {
      Lose("characters beyond Latin-1 written as '?'");
      cp = '?';
    }
    if (cp == '\r' || cp == '\n') cp = ' ';
    if (chars == limit) {
      cut = true;
      break;
    }
    ++chars;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  if (cut) Lose(std::string(field) + " cut to " + std::to_string(limit) + " characters");
  return out;
}

// ------------------------------------------------------------ layers
namespace {
// The layers other than copper that the file keeps.
const std::map<std::string, std::string, std::less<>> kFixedLayers = {
    {"F.SilkS", "TopOverlay"},    {"B.SilkS", "BottomOverlay"}, {"F.Paste", "TopPaste"},
    {"B.Paste", "BottomPaste"},   {"F.Mask", "TopSolder"},      {"B.Mask", "BottomSolder"},
    {"Edge.Cuts", "Mechanical1"}, {"F.Fab", "Mechanical2"},     {"B.Fab", "Mechanical3"},
    {"Dwgs.User", "Mechanical4"}};
}  // namespace

// The layer table names every layer the board uses: (ordinal name type [user
// name]). A copper layer is known by its type, whatever its name (KiCad 4 and
// 5 boards rename them: "GND", "PWR.Cu"), and by its ordinal: up to KiCad 8
// copper layers are 0 to 31 (B.Cu 31), from KiCad 9 the even ones (B.Cu 2),
// and KiCad 9 may give user layers a copper type too. The table lists the
// copper layers from front to back in every version, so their place is their
// position.
void Importer::ReadLayerTable() {
  const Node* table = root_.Find("layers");
  if (table == nullptr) Fail(root_, "the board has no 'layers' table");
  static const std::set<std::string_view> kCopperTypes = {"signal", "power", "mixed", "jumper"};
  std::vector<std::pair<const Node*, double>> typed;  // entries of a copper type, with ordinals
  bool ordinal31 = false;
  for (const Node& entry : table->items()) {
    if (!entry.IsList()) continue;
    const std::string_view name = Arg(entry, 1).text();
    const bool hasType = entry.items().size() > 2 && entry.items()[2].IsAtom();
    if (hasType ? kCopperTypes.count(entry.items()[2].text()) == 0 : !name.ends_with(".Cu"))
      continue;
    const double ordinal = Number(entry.items()[0]);
    ordinal31 = ordinal31 || ordinal == 31;
    typed.emplace_back(&entry, ordinal);
  }
  std::vector<const Node*> copper;
  for (const auto& [entry, ordinal] : typed)
    if (ordinal31 ? ordinal <= 31 : std::fmod(ordinal, 2) == 0) copper.push_back(entry);
  for (std::size_t i = 0; i < copper.size(); ++i) {
    const Node& entry = *copper[i];
    const std::string_view name = Arg(entry, 1).text();
    std::string host;
    if (copper.size() == 1)
      host = name == "B.Cu" ? "BottomLayer" : "TopLayer";
    else if (i == 0)
      host = "TopLayer";
    else if (i + 1 == copper.size())
      host = "BottomLayer";
    else if (i > static_cast<std::size_t>(kMidLayers))
      Fail(entry, "the copper layer " + std::string(name) +
                      " has no counterpart: the file keeps at most " + std::to_string(kMidLayers) +
                      " inner layers");
    else
      host = "MidLayer" + std::to_string(i);
    if (host.starts_with("Mid")) midStack_.push_back(host);
    copperOrder_.emplace_back(name);
    copper_.emplace(name, host);
    // KiCad 6 and later keep a renamed layer's own name after its type; the
    // objects use the canonical name, but a user name costs nothing to know.
    if (entry.items().size() > 3 && entry.items()[3].IsAtom())
      copper_.emplace(entry.items()[3].text(), host);
  }
}
// The host layer of a copper layer of the layer table, or "".
std::string Importer::CopperLayer(std::string_view name) const {
  const auto it = copper_.find(name);
  return it == copper_.end() ? std::string() : it->second;
}
// The KiCad layers a layer word stands for: "*.Cu" every copper layer,
// "F&B.Cu" both outer ones, "*.Mask" both sides' masks; any other word itself.
std::vector<std::string> Importer::ExpandLayer(std::string_view word) const {
  const std::size_t dot = word.find('.');
  if (dot == std::string_view::npos) return {std::string(word)};
  const std::string_view prefix = word.substr(0, dot), suffix = word.substr(dot);
  if (prefix != "*" && prefix != "F&B") return {std::string(word)};
  if (suffix != ".Cu") return {"F" + std::string(suffix), "B" + std::string(suffix)};
  if (prefix == "*" || copperOrder_.size() < 2) return copperOrder_;
  return {copperOrder_.front(), copperOrder_.back()};
}
// The host layer of a KiCad layer, or "" when it is left out (and reported).
std::string Importer::MapLayer(std::string_view name) const {
  if (std::string copper = CopperLayer(name); !copper.empty()) return copper;
  if (auto it = kFixedLayers.find(name); it != kFixedLayers.end()) return it->second;
  return {};
}
// The KiCad name of a host layer the board uses.
std::string Importer::KicadName(std::string_view hostLayer) const {
  for (const std::string& name : copperOrder_)
    if (CopperLayer(name) == hostLayer) return name;
  for (const auto& [name, host] : kFixedLayers)
    if (host == hostLayer) return name;
  return std::string(hostLayer);
}
bool Importer::IsCopper(std::string_view hostLayer) {
  return hostLayer == "TopLayer" || hostLayer == "BottomLayer" || hostLayer.starts_with("MidLayer");
}
// For drawings: the host layer, or "" after counting the object as left out.
std::string Importer::DrawingLayer(std::string_view kicadLayer, const char* what) {
  std::string layer = MapLayer(kicadLayer);
  if (layer.empty())
    Lose((kicadLayer.ends_with(".Cu") ? "copper " : "") + std::string(what) + " on " +
         std::string(kicadLayer) + " left out");
  return layer;
}

// ------------------------------------------------------------ the top level
void Importer::TopLevel(const Node& item) {
  static const std::set<std::string_view> kIgnored = {"version",
                                                      "generator",
                                                      "generator_version",
                                                      "host",
                                                      "general",
                                                      "page",
                                                      "paper",
                                                      "title_block",
                                                      "layers",
                                                      "setup",
                                                      "group",
                                                      "target",
                                                      "embedded_fonts",
                                                      "embedded_files",
                                                      "property",
                                                      "component_classes"};
  const std::string_view head = item.Head();
  if (head == "net") {
    ReadNet(item);
  } else if (head == "net_class") {
    ReadBoardClass(item);
  } else if (head == "footprint" || head == "module") {
    ReadFootprint(item);
  } else if (head == "segment") {
    ReadSegment(item);
  } else if (head == "arc") {
    ReadArcTrack(item);
  } else if (head == "via") {
    ReadVia(item);
  } else if (head == "zone") {
    ReadZone(item);
  } else if (head == "gr_text") {
    ReadText(item, nullptr, board_.texts, "board texts");
  } else if (head == "gr_text_box") {
    ReadTextBox(item, nullptr, board_.texts);
  } else if (head == "dimension") {
    Lose("dimensions left out");
  } else if (head == "table") {
    Lose("tables left out");
  } else if (head == "image") {
    Lose("images left out");
  } else if (head == "generated") {
    // A tuning pattern: its tracks are also written as tracks of their own.
    Lose("tuning pattern settings left out (their tracks are kept)");
  } else if (head.starts_with("gr_")) {
    ReadGraphic(item, nullptr, board_, 0, "");
  } else if (!kIgnored.count(head)) {
    Unknown(item, "kicad_pcb");
  }
}

void Importer::ReadNet(const Node& item) {
  const double v = NumberArg(item, 1);
  if (v != std::floor(v) || v < 0 || v > kMaxNet)
    Fail(item, "a net number must be a whole number from 0 to " + std::to_string(kMaxNet));
  const int number = static_cast<int>(v);
  const std::string_view name = item.items().size() > 2 ? Arg(item, 2).text() : "";
  if (netNames_.count(number)) Fail(item, "net " + std::to_string(number) + " is defined twice");
  netNames_[number] = number == 0 ? "" : Latin1(item, name, kNameChars, "net names");
  if (number != 0) {
    if (name.empty()) Fail(item, "net " + std::to_string(number) + " has no name");
    netOrder_.push_back(number);
    netByName_.emplace(name, number);
  }
}

int Importer::NetNamed(const Node& name) {
  if (name.text().empty()) return 0;
  if (const auto it = netByName_.find(name.text()); it != netByName_.end()) return it->second;
  const int number = netNames_.empty() ? 1 : netNames_.rbegin()->first + 1;
  if (number > kMaxNet) Fail(name, "more than " + std::to_string(kMaxNet) + " nets");
  netNames_[number] = Latin1(name, name.text(), kNameChars, "net names");
  netOrder_.push_back(number);
  netByName_.emplace(name.text(), number);
  return number;
}

void Importer::ReadSegment(const Node& item) {
  CheckKnown(item, {"start", "end", "width", "layer", "net", "tstamp", "uuid", "locked", "status"});
  Track t;
  t.a = PointOf(item, "start");
  t.b = PointOf(item, "end");
  t.width = WidthOf(item);
  t.net = NetOf(item);
  t.layer = DrawingLayer(LayerOf(item), "tracks");
  if (!t.layer.empty()) board_.tracks.push_back(t);
}

void Importer::ReadArcTrack(const Node& item) {
  CheckKnown(item, {"start", "mid", "end", "angle", "width", "layer", "net", "tstamp", "uuid",
                    "locked", "status"});
  ArcTrack a;
  a.width = WidthOf(item);
  a.net = NetOf(item);
  a.layer = DrawingLayer(LayerOf(item), "arc tracks");
  if (a.layer.empty()) return;
  const Point start = PointOf(item, "start"), end = PointOf(item, "end");
  std::optional<Arc> arc;
  if (item.Find("mid") != nullptr) {
    arc = ArcThrough(start, PointOf(item, "mid"), end);
  } else if (const Node* angle = item.Find("angle")) {
    arc = ArcFromCentre(start, end, NumberArg(*angle, 1));
  } else {
    Fail(item, "an arc needs 'mid' or 'angle'");
  }
  if (!arc) {
    Lose("straight arc tracks written as tracks");
    board_.tracks.push_back({start, end, a.width, a.layer, a.net, -1});
    return;
  }
  a.arc = *arc;
  board_.arcs.push_back(a);
}

void Importer::ReadVia(const Node& item) {
  CheckKnown(item, {"at",
                    "size",
                    "drill",
                    "layers",
                    "net",
                    "tstamp",
                    "uuid",
                    "locked",
                    "free",
                    "status",
                    "remove_unused_layers",
                    "keep_end_layers",
                    "zone_layer_connections",
                    "padstack",
                    "teardrops",
                    "tenting",
                    "capping",
                    "covering",
                    "plugging",
                    "filling",
                    "backdrill",
                    "tertiary_drill",
                    "front_post_machining",
                    "back_post_machining"});
  Via v;
  v.at = PointOf(item, "at");
  const Node* size = item.Find("size");
  if (size == nullptr) Fail(item, "a via needs its 'size'");
  v.size = MmArg(*size, 1);
  v.net = NetOf(item);
  // KiCad 4 and 5 leave out a drill that is its net class's: found once the
  // classes are read.
  const Node* drill = item.Find("drill");
  if (drill != nullptr)
    v.hole = MmArg(*drill, 1);
  else
    classDrilled_.push_back({vias_.size(), item.offset()});
  v.low = "TopLayer";
  v.high = "BottomLayer";
  if (const Node* layers = item.Find("layers")) {
    v.low = CopperLayer(Arg(*layers, 1).text());
    v.high = CopperLayer(Arg(*layers, 2).text());
    if (v.low.empty() || v.high.empty()) Fail(*layers, "a via must join two copper layers");
  }
  vias_.push_back(v);
}

// ------------------------------------------------------------ net classes
// The holes of the vias that give none: their net's class's via drill, else
// the default class's, else the board's setup.
void Importer::ClassDrills() {
  if (classDrilled_.empty()) return;
  std::optional<double> fallback;
  if (const Node* setup = root_.Find("setup"))
    if (const Node* d = setup->Find("via_drill")) fallback = MmArg(*d, 1);
  std::map<std::string, double, std::less<>> byNet;
  for (const NetClass& nc : boardClasses_) {
    if (!nc.viaHole) continue;
    if (nc.name == "Default") fallback = nc.viaHole;
    for (const std::string& net : nc.nets) byNet.emplace(net, *nc.viaHole);
  }
  for (const auto& [via, offset] : classDrilled_) {
    Via& v = vias_[via];
    const auto it = byNet.find(v.net == 0 ? std::string() : netNames_.at(v.net));
    if (it != byNet.end())
      v.hole = it->second;
    else if (fallback)
      v.hole = *fallback;
    else
      throw ImportError{
          {}, "a via gives no drill, and neither its net class nor the board's setup does", offset};
  }
  Lose("vias without a drill of their own given their net class's",
       static_cast<int>(classDrilled_.size()));
}

void Importer::ReadBoardClass(const Node& item) {
  NetClass nc;
  nc.name = Latin1(item, Arg(item, 1).text(), kNameChars, "class names");
  for (const Node& child : item.items()) {
    const std::string_view head = child.Head();
    if (head == "clearance")
      nc.clearance = MmArg(child, 1);
    else if (head == "trace_width")
      nc.trackWidth = MmArg(child, 1);
    else if (head == "via_dia")
      nc.viaSize = MmArg(child, 1);
    else if (head == "via_drill")
      nc.viaHole = MmArg(child, 1);
    else if (head == "add_net")
      nc.nets.emplace_back(Arg(child, 1).text());
  }
  boardClasses_.push_back(std::move(nc));
}

void Importer::ReadProjectClasses() {
  json pro = json::parse(project_, nullptr, false);
  if (pro.is_discarded()) throw ImportError{"the project file (.kicad_pro)", "not valid JSON"};
  const json* classes = nullptr;
  if (pro.contains("net_settings") && pro["net_settings"].contains("classes"))
    classes = &pro["net_settings"]["classes"];
  if (classes == nullptr || !classes->is_array()) return;
  boardClasses_.clear();
  auto mm = [](const json& c, const char* key) -> std::optional<double> {
    if (!c.contains(key) || !c[key].is_number()) return std::nullopt;
    return std::round(c[key].get<double>() * 1e6);
  };
  for (const json& c : *classes) {
    if (!c.is_object() || !c.contains("name") || !c["name"].is_string()) continue;
    NetClass nc;
    nc.name = c["name"].get<std::string>();
    nc.clearance = mm(c, "clearance");
    nc.trackWidth = mm(c, "track_width");
    nc.viaSize = mm(c, "via_diameter");
    nc.viaHole = mm(c, "via_drill");
    if (c.contains("nets") && c["nets"].is_array())
      for (const json& n : c["nets"])
        if (n.is_string()) nc.nets.push_back(n.get<std::string>());
    boardClasses_.push_back(std::move(nc));
  }
}

// ------------------------------------------------------------ the board outline
// Joins the Edge.Cuts edges end to end into closed loops; the loop with the
// largest box is the board outline.
void Importer::BuildOutline() {
  if (edges_.empty()) return;
  constexpr double kNear = 1000.0;  // nm
  auto near = [](Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y) <= kNear; };
  // The edge ends by cell of a grid of kNear, so that finding the edge that
  // goes on from a point looks at the nine cells around it only.
  auto cell = [](double v) { return static_cast<std::int64_t>(std::floor(v / kNear)); };
  auto key = [](std::int64_t cx, std::int64_t cy) {
    return static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(cy);
  };
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> ends;
  for (std::size_t i = 0; i < edges_.size(); ++i) {
    ends[key(cell(edges_[i].a.x), cell(edges_[i].a.y))].push_back(i);
    ends[key(cell(edges_[i].b.x), cell(edges_[i].b.y))].push_back(i);
  }
  std::vector<bool> used(edges_.size());
  // The first unused edge with an end near `p`; `reversed` when it is its end b.
  auto following = [&](Point p, bool& reversed) {
    std::size_t best = edges_.size();
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto it = ends.find(key(cell(p.x) + dx, cell(p.y) + dy));
        if (it == ends.end()) continue;
        for (std::size_t i : it->second)
          if (!used[i] && i < best && (near(edges_[i].a, p) || near(edges_[i].b, p))) best = i;
      }
    reversed = best < edges_.size() && !near(edges_[best].a, p);
    return best;
  };
  double bestArea = -1;
  for (std::size_t first = 0; first < edges_.size(); ++first) {
    if (used[first]) continue;
    used[first] = true;
    std::vector<OutlineEntry> loop{{edges_[first].a, edges_[first].arc}};
    Point end = edges_[first].b;
    Box box;
    box.Add(edges_[first].a);
    if (edges_[first].arc) box.Add(*edges_[first].arc);
    bool closed = near(end, edges_[first].a);
    while (!closed) {
      bool reversed = false;
      const std::size_t next = following(end, reversed);
      if (next == edges_.size()) break;
      used[next] = true;
      const Edge& e = edges_[next];
      loop.push_back({reversed ? e.b : e.a, e.arc});
      end = reversed ? e.a : e.b;
      box.Add(loop.back().at);
      if (e.arc) box.Add(*e.arc);
      closed = near(end, loop.front().at);
    }
    if (!closed) continue;
    const double area = (box.right - box.left) * (box.bottom - box.top);
    if (area > bestArea) {
      bestArea = area;
      outline_ = std::move(loop);
    }
  }
  if (bestArea < 0) Lose("board outlines not closed: no outline written");
  if (outline_.size() > kOutlinePoints) {
    outline_ = Simplified(outline_);
    Lose("board outlines over " + std::to_string(kOutlinePoints) +
         " segments simplified to straight segments");
  }
}

// An outline cut down to the most points the file keeps, of straight segments.
std::vector<OutlineEntry> Importer::Simplified(const std::vector<OutlineEntry>& outline) {
  std::vector<Point> points;
  for (const OutlineEntry& e : outline) points.push_back(e.at);
  std::vector<OutlineEntry> out;
  for (const Point& p : Simplify(std::move(points), kOutlinePoints))
    out.push_back({p, std::nullopt});
  return out;
}

ImportedBoard Importer::Result() {
  ImportedBoard b;
  b.midStack = std::move(midStack_);
  b.netNames = std::move(netNames_);
  b.netOrder = std::move(netOrder_);
  b.classes = std::move(boardClasses_);
  b.components = std::move(components_);
  b.free = std::move(board_);
  b.vias = std::move(vias_);
  b.polygons = std::move(polygons_);
  b.areas = std::move(areas_);
  b.areaPoints = std::move(areaPoints_);
  b.outline = std::move(outline_);
  return b;
}

}  // namespace kicad::detail
