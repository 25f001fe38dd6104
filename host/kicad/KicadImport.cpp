#include "kicad/KicadImport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "kicad/Geometry.h"
#include "kicad/ImportedBoard.h"
#include "kicad/SExpr.h"

namespace kicad {

namespace {

using nlohmann::json;

// A fault in the board, thrown to the top with the place it was found.
struct ImportError {
  std::string place;
  std::string what;
};

[[noreturn]] void Fail(const Node& at, std::string what) { throw ImportError{at.Place(), what}; }

// Field widths of the board file.
constexpr std::size_t kTextChars = 254;
constexpr std::size_t kPatternChars = 250;
constexpr std::size_t kNameChars = 255;
constexpr std::size_t kPadNameChars = 20;
constexpr std::size_t kOutlinePoints = 500;
constexpr int kMidLayers = 14;
constexpr int kMaxNet = 1000000;

// A graphic edge of the board outline: a line or an arc.
struct Edge {
  Point a, b;
  std::optional<Arc> arc;
};

class Importer {
 public:
  Importer(const Node& root, std::string_view project) : root_(root), project_(project) {}

  std::string Run(std::vector<std::string>& report) {
    const Node* version = root_.Find("version");
    if (version == nullptr) Fail(root_, "the board has no 'version'");
    const double v = NumberArg(*version, 1);
    if (v < 20171130 || v >= 20220000)
      Fail(*version, "KiCad board format version " + version->items[1].text +
                         " is not read; versions 20171130 (KiCad 5) to 2021xxxx (KiCad 6) are");
    ReadLayerTable();
    for (std::size_t i = 1; i < root_.items.size(); ++i) {
      if (root_.items[i].IsAtom())
        Unknown(root_.items[i], "kicad_pcb");
      else
        TopLevel(root_.items[i]);
    }
    if (!project_.empty()) ReadProjectClasses();
    BuildOutline();
    std::string doc = WriteDocument(Result());
    for (const auto& [what, count] : losses_) report.push_back(std::to_string(count) + " " + what);
    for (const auto& [what, first] : unknown_)
      report.push_back(std::to_string(unknownCount_[what]) + " " + what + " ignored (first at " +
                       first + ")");
    return doc;
  }

 private:
  // ------------------------------------------------------------ small readers
  void Lose(const std::string& what, int count = 1) {
    if (count > 0) losses_[what] += count;
  }
  void Unknown(const Node& item, std::string_view context) {
    const std::string what =
        item.IsList()
            ? "unknown token '" + std::string(item.Head()) + "' in '" + std::string(context) + "'"
            : "unknown word '" + item.text + "' in '" + std::string(context) + "'";
    if (unknown_.emplace(what, item.Place()).second) unknownCount_[what] = 0;
    ++unknownCount_[what];
  }

  // Reports the sub-lists of `item` whose heads are not in `known`.
  void CheckKnown(const Node& item, std::initializer_list<std::string_view> known) {
    for (const Node& child : item.items) {
      if (!child.IsList()) continue;
      const std::string_view head = child.Head();
      if (std::find(known.begin(), known.end(), head) == known.end()) Unknown(child, item.Head());
    }
  }

  static const Node& Arg(const Node& list, std::size_t i) {
    if (i >= list.items.size() || !list.items[i].IsAtom())
      Fail(list, "'" + std::string(list.Head()) + "' needs " + std::to_string(i) + " value" +
                     (i == 1 ? "" : "s"));
    return list.items[i];
  }
  static double Number(const Node& atom) {
    double v = 0;
    const char* first = atom.text.data();
    const char* last = first + atom.text.size();
    if (!atom.text.empty() && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
      Fail(atom, "expected a number, found '" + atom.text + "'");
    return v;
  }
  static double NumberArg(const Node& list, std::size_t i) { return Number(Arg(list, i)); }
  // A length in mm, as nanometres; KiCad keeps whole nanometres.
  static double Mm(const Node& atom) {
    const double v = Number(atom);
    if (std::abs(v) > 1e7) Fail(atom, "a length of " + atom.text + " mm is out of range");
    return std::round(v * 1e6);
  }
  static double MmArg(const Node& list, std::size_t i) { return Mm(Arg(list, i)); }
  static Point PointArg(const Node& list) { return {MmArg(list, 1), MmArg(list, 2)}; }
  static Point PointOf(const Node& parent, std::string_view head) {
    const Node* n = parent.Find(head);
    if (n == nullptr)
      Fail(parent, "'" + std::string(parent.Head()) + "' has no '" + std::string(head) + "'");
    return PointArg(*n);
  }
  static double WidthOf(const Node& parent) {
    if (const Node* w = parent.Find("width")) return MmArg(*w, 1);
    if (const Node* stroke = parent.Find("stroke"))
      if (const Node* w = stroke->Find("width")) return MmArg(*w, 1);
    return 0;
  }
  std::string LayerOf(const Node& parent) {
    const Node* l = parent.Find("layer");
    if (l == nullptr) Fail(parent, "'" + std::string(parent.Head()) + "' has no layer");
    return Arg(*l, 1).text;
  }
  int NetOf(const Node& parent) {
    const Node* n = parent.Find("net");
    if (n == nullptr) return 0;
    const double v = NumberArg(*n, 1);
    if (v != std::floor(v) || v < 0 || v > kMaxNet || !netNames_.count(static_cast<int>(v)))
      Fail(*n, "no net " + Arg(*n, 1).text + " in the board's net list");
    return static_cast<int>(v);
  }

  // A KiCad string (UTF-8) for the board file, which holds Latin-1 only:
  // characters beyond it become '?', and are reported. The result is UTF-8 of
  // at most `limit` characters.
  std::string Latin1(const Node& where, std::string_view utf8, std::size_t limit,
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
  void ReadLayerTable() {
    const Node* table = root_.Find("layers");
    if (table == nullptr) Fail(root_, "the board has no 'layers' table");
    for (const Node& entry : table->items) {
      if (!entry.IsList()) continue;
      const std::string& name = Arg(entry, 1).text;
      if (name.size() > 3 && name.ends_with(".Cu")) {
        const std::string host = CopperLayer(entry, name);
        if (name == "F.Cu" || name == "B.Cu") continue;
        midStack_.push_back(host);
      }
    }
  }
  static std::string CopperLayer(const Node& where, std::string_view name) {
    if (name == "F.Cu") return "TopLayer";
    if (name == "B.Cu") return "BottomLayer";
    if (name.starts_with("In") && name.ends_with(".Cu")) {
      int n = 0;
      auto [ptr, ec] = std::from_chars(name.data() + 2, name.data() + name.size() - 3, n);
      if (ec == std::errc() && ptr == name.data() + name.size() - 3 && n >= 1) {
        if (n > kMidLayers)
          Fail(where, "the copper layer " + std::string(name) +
                          " has no counterpart: the file keeps at most " +
                          std::to_string(kMidLayers) + " inner layers");
        return "MidLayer" + std::to_string(n);
      }
    }
    return {};
  }
  // The host layer of a KiCad layer, or "" when it is left out (and reported).
  std::string MapLayer(const Node& where, const std::string& name) {
    static const std::map<std::string, std::string, std::less<>> kFixed = {
        {"F.SilkS", "TopOverlay"},    {"B.SilkS", "BottomOverlay"}, {"F.Paste", "TopPaste"},
        {"B.Paste", "BottomPaste"},   {"F.Mask", "TopSolder"},      {"B.Mask", "BottomSolder"},
        {"Edge.Cuts", "Mechanical1"}, {"F.Fab", "Mechanical2"},     {"B.Fab", "Mechanical3"},
        {"Dwgs.User", "Mechanical4"}};
    if (auto it = kFixed.find(name); it != kFixed.end()) return it->second;
    if (std::string copper = CopperLayer(where, name); !copper.empty()) return copper;
    return {};
  }
  // For drawings: the host layer, or "" after counting the object as left out.
  std::string DrawingLayer(const Node& item, const std::string& kicadLayer, const char* what) {
    std::string layer = MapLayer(item, kicadLayer);
    if (layer.empty()) Lose(std::string(what) + " on " + kicadLayer + " left out");
    return layer;
  }

  // ------------------------------------------------------------ the top level
  void TopLevel(const Node& item) {
    static const std::set<std::string_view> kIgnored = {
        "version",     "generator", "host",  "general", "page",  "paper",
        "title_block", "layers",    "setup", "group",   "target"};
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
    } else if (head == "dimension") {
      Lose("dimensions left out");
    } else if (head.starts_with("gr_")) {
      ReadGraphic(item, nullptr, board_, 0, "");
    } else if (!kIgnored.count(head)) {
      Unknown(item, "kicad_pcb");
    }
  }

  void ReadNet(const Node& item) {
    const double v = NumberArg(item, 1);
    if (v != std::floor(v) || v < 0 || v > kMaxNet)
      Fail(item, "a net number must be a whole number from 0 to " + std::to_string(kMaxNet));
    const int number = static_cast<int>(v);
    const std::string name = item.items.size() > 2 ? Arg(item, 2).text : "";
    if (netNames_.count(number)) Fail(item, "net " + std::to_string(number) + " is defined twice");
    netNames_[number] = number == 0 ? "" : Latin1(item, name, kNameChars, "net names");
    if (number != 0) {
      if (name.empty()) Fail(item, "net " + std::to_string(number) + " has no name");
      netOrder_.push_back(number);
    }
  }

  void ReadSegment(const Node& item) {
    CheckKnown(item,
               {"start", "end", "width", "layer", "net", "tstamp", "uuid", "locked", "status"});
    Track t;
    t.a = PointOf(item, "start");
    t.b = PointOf(item, "end");
    t.width = WidthOf(item);
    t.net = NetOf(item);
    t.layer = DrawingLayer(item, LayerOf(item), "tracks");
    if (!t.layer.empty()) board_.tracks.push_back(t);
  }

  void ReadArcTrack(const Node& item) {
    CheckKnown(item, {"start", "mid", "end", "angle", "width", "layer", "net", "tstamp", "uuid",
                      "locked", "status"});
    ArcTrack a;
    a.width = WidthOf(item);
    a.net = NetOf(item);
    a.layer = DrawingLayer(item, LayerOf(item), "arc tracks");
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

  void ReadVia(const Node& item) {
    CheckKnown(
        item, {"at", "size", "drill", "layers", "net", "tstamp", "uuid", "locked", "free", "status",
               "remove_unused_layers", "keep_end_layers", "zone_layer_connections"});
    Via v;
    v.at = PointOf(item, "at");
    const Node* size = item.Find("size");
    const Node* drill = item.Find("drill");
    if (size == nullptr || drill == nullptr) Fail(item, "a via needs 'size' and 'drill'");
    v.size = MmArg(*size, 1);
    v.hole = MmArg(*drill, 1);
    v.net = NetOf(item);
    v.low = "TopLayer";
    v.high = "BottomLayer";
    if (const Node* layers = item.Find("layers")) {
      v.low = CopperLayer(*layers, Arg(*layers, 1).text);
      v.high = CopperLayer(*layers, Arg(*layers, 2).text);
      if (v.low.empty() || v.high.empty()) Fail(*layers, "a via must join two copper layers");
    }
    vias_.push_back(v);
  }

  // ------------------------------------------------------------ graphics and texts
  // A graphic (gr_* or fp_*) of a footprint placed at `origin`/`angle`, or of
  // the board when `fp` is null. `padLayer` set: a custom pad's primitive,
  // drawn on that layer with the pad's net.
  struct Frame {
    Point origin;
    double angle = 0;
    Point At(Point p) const { return Place(p, origin, angle); }
  };

  void ReadGraphic(const Node& item, const Frame* fp, Primitives& into, int net,
                   const std::string& padLayer) {
    std::string_view kind = item.Head();
    kind.remove_prefix(3);  // gr_ or fp_
    static const std::set<std::string_view> kKinds = {"line", "arc",  "circle",
                                                      "rect", "poly", "curve"};
    if (!kKinds.count(kind)) {
      Unknown(item, fp ? "footprint" : "kicad_pcb");
      return;
    }
    CheckKnown(item, {"start", "mid", "end", "center", "angle", "layer", "width", "stroke", "fill",
                      "pts", "tstamp", "uuid", "locked", "status"});
    std::string kicadLayer = padLayer.empty() ? LayerOf(item) : std::string();
    std::string layer = padLayer.empty() ? DrawingLayer(item, kicadLayer, "drawings") : padLayer;
    if (layer.empty()) return;
    const bool edge = kicadLayer == "Edge.Cuts";
    auto at = [&](Point p) { return fp ? fp->At(p) : p; };
    const double width = WidthOf(item);
    const Node* fill = item.Find("fill");
    const bool filled = fill != nullptr && fill->items.size() > 1 &&
                        (fill->items[1].text == "solid" || fill->items[1].text == "yes");
    auto line = [&](Point a, Point b) {
      into.tracks.push_back({a, b, width, layer, net, -1});
      if (edge) edges_.push_back({a, b, std::nullopt});
    };
    auto arcOut = [&](const Arc& arc) {
      into.arcs.push_back({arc, width, layer, net});
      if (edge) edges_.push_back({PointAt(arc, arc.start), PointAt(arc, arc.end), arc});
    };
    if (kind == "line") {
      line(at(PointOf(item, "start")), at(PointOf(item, "end")));
    } else if (kind == "arc") {
      std::optional<Arc> arc;
      if (item.Find("mid") != nullptr) {
        arc = ArcThrough(at(PointOf(item, "start")), at(PointOf(item, "mid")),
                         at(PointOf(item, "end")));
      } else {
        const Node* angle = item.Find("angle");
        if (angle == nullptr) Fail(item, "an arc needs 'mid' or 'angle'");
        arc = ArcFromCentre(at(PointOf(item, "start")), at(PointOf(item, "end")),
                            NumberArg(*angle, 1));
      }
      if (!arc) {
        Lose("straight arcs written as tracks");
        line(at(PointOf(item, "start")), at(PointOf(item, "end")));
      } else {
        arcOut(*arc);
      }
    } else if (kind == "circle") {
      const Point c = at(PointOf(item, "center")), e = at(PointOf(item, "end"));
      Arc arc{c, std::hypot(e.x - c.x, e.y - c.y), 0, 360};
      arcOut(arc);
      if (filled) Lose("filled circles written as circles");
    } else if (kind == "rect") {
      const Point s = PointOf(item, "start"), e = PointOf(item, "end");
      const Point corners[4] = {at(s), at({e.x, s.y}), at(e), at({s.x, e.y})};
      if (filled && (!fp || fp->angle == std::round(fp->angle / 90) * 90) && !edge) {
        into.fills.push_back({corners[0], corners[2], layer, net});
      } else {
        for (int i = 0; i < 4; ++i) line(corners[i], corners[(i + 1) % 4]);
        if (filled) Lose("filled rectangles written as their outlines");
      }
    } else if (kind == "poly") {
      const Node* pts = item.Find("pts");
      if (pts == nullptr) Fail(item, "a polygon has no 'pts'");
      std::vector<Point> points = Points(*pts, fp);
      for (std::size_t i = 0; i < points.size(); ++i)
        line(points[i], points[(i + 1) % points.size()]);
      if (filled) Lose("filled polygons written as their outlines");
    } else {
      Lose("curves left out");
    }
  }

  std::vector<Point> Points(const Node& pts, const Frame* fp) {
    std::vector<Point> points;
    for (const Node& xy : pts.items) {
      if (xy.Head() == "xy") {
        const Point p = PointArg(xy);
        points.push_back(fp ? fp->At(p) : p);
      } else if (xy.IsList()) {
        Fail(xy, "'" + std::string(xy.Head()) + "' in a point list is not read");
      }
    }
    return points;
  }

  // Reads a text (gr_text or fp_text); a text of several lines becomes one
  // text a line. Returns how many it added.
  void ReadText(const Node& item, const Frame* fp, std::vector<Text>& into, const char* what,
                std::optional<Text>* single = nullptr, bool forceLayer = false,
                bool bottom = false) {
    CheckKnown(item, {"at", "layer", "effects", "tstamp", "uuid", "render_cache"});
    const std::size_t textAt = item.Head() == "fp_text" ? 2 : 1;
    const std::string utf8 = Arg(item, textAt).text;
    Text t;
    const Node* at = item.Find("at");
    if (at == nullptr) Fail(item, "a text has no 'at'");
    const Point local = PointArg(*at);
    t.rotation = at->items.size() > 3 && at->items[3].text != "unlocked" ? NumberArg(*at, 3) : 0;
    t.at = fp ? fp->At(local) : local;
    t.layer = MapLayer(item, LayerOf(item));
    if (t.layer.empty()) {
      if (!forceLayer) {
        Lose(std::string(what) + " on " + LayerOf(item) + " left out");
        return;
      }
      t.layer = bottom ? "BottomOverlay" : "TopOverlay";
      Lose("reference and value texts on " + LayerOf(item) + " moved to the overlay");
    }
    if (const Node* effects = item.Find("effects")) {
      if (const Node* font = effects->Find("font")) {
        if (const Node* size = font->Find("size")) t.height = MmArg(*size, 1);
        if (const Node* thick = font->Find("thickness")) t.width = MmArg(*thick, 1);
      }
      if (const Node* justify = effects->Find("justify"))
        for (const Node& word : justify->items)
          if (word.text == "mirror") t.mirrored = true;
    }
    for (const Node& word : item.items)
      if (word.IsAtom() && word.text == "hide") Lose("hidden texts written as visible");
    std::string text = utf8;
    if (fp != nullptr) {
      text = Substitute(text, "${REFERENCE}", reference_);
      text = Substitute(text, "${VALUE}", value_);
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      lines.push_back(text.substr(start, nl - start));
    lines.push_back(text.substr(start));
    if (single != nullptr && lines.size() > 1) {
      Lose("reference or value texts of several lines joined into one line");
      std::string joined;
      for (const std::string& l : lines) joined += (joined.empty() ? "" : " ") + l;
      lines = {joined};
    }
    if (lines.size() > 1) Lose("texts of several lines written as one text a line");
    double c, s;
    CosSin(t.rotation, c, s);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      Text line = t;
      // Each further line sits one line pitch below, in the text's own direction.
      const double down = static_cast<double>(i) * t.height * 1.6;
      line.at = {t.at.x + down * s, t.at.y + down * c};
      line.text = Latin1(item, lines[i], kTextChars, "texts");
      if (single != nullptr)
        *single = line;
      else
        into.push_back(line);
    }
  }

  static std::string Substitute(std::string text, std::string_view var, const std::string& by) {
    for (std::size_t p; (p = text.find(var)) != std::string::npos;) text.replace(p, var.size(), by);
    return text;
  }

  // ------------------------------------------------------------ footprints
  void ReadFootprint(const Node& item) {
    Component comp;
    const std::string lib = Arg(item, 1).text;
    const std::size_t colon = lib.find(':');
    comp.pattern = Latin1(item, colon == std::string::npos ? lib : lib.substr(colon + 1),
                          kPatternChars, "footprint names");
    const std::string side = LayerOf(item);
    if (side != "F.Cu" && side != "B.Cu") Fail(item, "a footprint must be on F.Cu or B.Cu");
    comp.bottom = side == "B.Cu";
    const Node* at = item.Find("at");
    if (at == nullptr) Fail(item, "a footprint has no 'at'");
    comp.at = PointArg(*at);
    comp.rotation = at->items.size() > 3 ? NumberArg(*at, 3) : 0;
    const Frame frame{comp.at, comp.rotation};

    reference_.clear();
    value_.clear();
    for (const Node& child : item.items)
      if (child.Head() == "fp_text" && child.items.size() > 2) {
        if (child.items[1].text == "reference") reference_ = child.items[2].text;
        if (child.items[1].text == "value") value_ = child.items[2].text;
      }

    static const std::set<std::string_view> kIgnored = {"layer",
                                                        "at",
                                                        "tedit",
                                                        "tstamp",
                                                        "descr",
                                                        "tags",
                                                        "path",
                                                        "attr",
                                                        "model",
                                                        "property",
                                                        "solder_mask_margin",
                                                        "solder_paste_margin",
                                                        "solder_paste_ratio",
                                                        "clearance",
                                                        "zone_connect",
                                                        "thermal_width",
                                                        "thermal_gap",
                                                        "autoplace_cost90",
                                                        "autoplace_cost180",
                                                        "sheetname",
                                                        "sheetfile",
                                                        "fp_text_box",
                                                        "zone"};
    for (std::size_t i = 2; i < item.items.size(); ++i) {
      const Node& child = item.items[i];
      if (child.IsAtom()) {
        if (child.text != "locked" && child.text != "placed") Unknown(child, "footprint");
        continue;
      }
      const std::string_view head = child.Head();
      if (head == "fp_text") {
        const std::string kind = Arg(child, 1).text;
        if (kind == "reference")
          ReadText(child, &frame, comp.own.texts, "footprint texts", &comp.designator, true,
                   comp.bottom);
        else if (kind == "value")
          ReadText(child, &frame, comp.own.texts, "footprint texts", &comp.comment, true,
                   comp.bottom);
        else
          ReadText(child, &frame, comp.own.texts, "footprint texts");
      } else if (head == "pad") {
        ReadPad(child, frame, comp);
      } else if (head.starts_with("fp_")) {
        ReadGraphic(child, &frame, comp.own, 0, "");
      } else if (!kIgnored.count(head)) {
        Unknown(child, "footprint");
      }
    }
    components_.push_back(std::move(comp));
  }

  void ReadPad(const Node& item, const Frame& frame, Component& comp) {
    CheckKnown(item, {"at",
                      "size",
                      "drill",
                      "layers",
                      "net",
                      "pinfunction",
                      "pintype",
                      "tstamp",
                      "uuid",
                      "roundrect_rratio",
                      "chamfer_ratio",
                      "chamfer",
                      "rect_delta",
                      "options",
                      "primitives",
                      "die_length",
                      "solder_mask_margin",
                      "solder_paste_margin",
                      "solder_paste_margin_ratio",
                      "clearance",
                      "zone_connect",
                      "thermal_width",
                      "thermal_gap",
                      "thermal_bridge_width",
                      "thermal_bridge_angle",
                      "remove_unused_layers",
                      "keep_end_layers",
                      "locked",
                      "property"});
    Pad pad;
    pad.name = Latin1(item, Arg(item, 1).text, kPadNameChars, "pad names");
    const std::string type = Arg(item, 2).text;
    const std::string shape = Arg(item, 3).text;
    const Node* at = item.Find("at");
    const Node* size = item.Find("size");
    if (at == nullptr || size == nullptr) Fail(item, "a pad needs 'at' and 'size'");
    pad.at = frame.At(PointArg(*at));
    pad.rotation = at->items.size() > 3 && at->items[3].text != "unlocked" ? NumberArg(*at, 3) : 0;
    pad.xSize = MmArg(*size, 1);
    pad.ySize = MmArg(*size, 2);
    pad.net = NetOf(item);

    if (shape == "circle") {
      pad.shape = kRound;
      pad.ySize = pad.xSize;
    } else if (shape == "oval") {
      pad.shape = kRound;
    } else if (shape == "rect") {
      pad.shape = kRectangle;
    } else if (shape == "roundrect") {
      const Node* chamfer = item.Find("chamfer");
      if (chamfer != nullptr && chamfer->items.size() > 1) {
        pad.shape = kOctagonal;
        Lose("chamfered pads written as octagons");
      } else {
        pad.shape = kRectangle;
        Lose("rounded-rectangle pads written as rectangles");
      }
    } else if (shape == "trapezoid") {
      pad.shape = kRectangle;
      Lose("trapezoid pads written as rectangles");
    } else if (shape == "custom") {
      const Node* options = item.Find("options");
      const Node* anchor = options ? options->Find("anchor") : nullptr;
      pad.shape = anchor && anchor->items.size() > 1 && anchor->items[1].text == "rect" ? kRectangle
                                                                                        : kRound;
    } else {
      Fail(item, "unknown pad shape '" + shape + "'");
    }

    std::string copper;
    const Node* layers = item.Find("layers");
    if (layers != nullptr)
      for (std::size_t i = 1; i < layers->items.size() && copper.empty(); ++i) {
        const std::string& l = layers->items[i].text;
        copper = l == "*.Cu" ? "TopLayer" : CopperLayer(*layers, l);
      }
    if (type == "thru_hole" || type == "np_thru_hole") {
      pad.layer = "MultiLayer";
      const Node* drill = item.Find("drill");
      if (drill == nullptr) Fail(item, "a through-hole pad has no 'drill'");
      std::vector<double> sizes;
      bool oval = false;
      for (std::size_t i = 1; i < drill->items.size(); ++i) {
        const Node& d = drill->items[i];
        if (d.IsAtom() && d.text == "oval")
          oval = true;
        else if (d.IsAtom())
          sizes.push_back(Mm(d));
        else if (d.Head() == "offset") {
          if (NumberArg(d, 1) != 0 || NumberArg(d, 2) != 0) Lose("hole offsets left out");
        }
      }
      if (sizes.empty()) Fail(*drill, "a drill needs its size");
      pad.hole = sizes[0];
      if (oval && sizes.size() > 1 && sizes[1] != sizes[0]) {
        pad.hole = std::min(sizes[0], sizes[1]);
        Lose("slotted holes written as round holes");
      }
    } else if (type == "smd" || type == "connect") {
      if (copper.empty()) {
        const bool back =
            layers && layers->items.size() > 1 && layers->items[1].text.starts_with("B.");
        copper = back ? "BottomLayer" : "TopLayer";
        Lose("pads without copper placed on their side's copper layer");
      }
      pad.layer = copper;
    } else {
      Fail(item, "unknown pad type '" + type + "'");
    }

    if (const Node* prims = item.Find("primitives")) {
      const std::string primLayer = pad.layer == "MultiLayer" ? "TopLayer" : pad.layer;
      const Frame padFrame{pad.at, pad.rotation};
      for (const Node& prim : prims->items) {
        if (!prim.IsList()) continue;
        if (prim.Head().starts_with("gr_"))
          ReadGraphic(prim, &padFrame, comp.own, pad.net, primLayer);
        else
          Unknown(prim, "primitives");
      }
      Lose("custom pads written as their anchor pad and their shapes as tracks");
    }
    comp.pads.push_back(pad);
  }

  // ------------------------------------------------------------ zones
  void ReadZone(const Node& item) {
    CheckKnown(item, {"net", "net_name", "layer", "layers", "tstamp", "uuid", "hatch", "priority",
                      "connect_pads", "min_thickness", "filled_areas_thickness", "fill", "polygon",
                      "filled_polygon", "fill_segments", "keepout", "name", "locked", "attr"});
    if (item.Find("keepout") != nullptr) {
      Lose("keep-out areas left out");
      return;
    }
    std::vector<std::string> layers;
    if (const Node* l = item.Find("layer")) layers.push_back(Arg(*l, 1).text);
    if (const Node* l = item.Find("layers"))
      for (std::size_t i = 1; i < l->items.size(); ++i) layers.push_back(l->items[i].text);
    const int net = NetOf(item);
    double width = 0;
    if (const Node* m = item.Find("min_thickness")) width = MmArg(*m, 1);
    std::map<std::string, int> polygonOfLayer;
    for (const std::string& kicadLayer : layers) {
      const std::string layer = DrawingLayer(item, kicadLayer, "zones");
      if (layer.empty()) continue;
      for (const Node& child : item.items) {
        if (child.Head() != "polygon") continue;
        const Node* pts = child.Find("pts");
        if (pts == nullptr) Fail(child, "a zone outline has no 'pts'");
        std::vector<Point> points = Points(*pts, nullptr);
        if (points.size() > kOutlinePoints) {
          Lose("zone outlines over " + std::to_string(kOutlinePoints) + " segments simplified");
          points = Simplify(std::move(points), kOutlinePoints);
        }
        Polygon poly;
        poly.id = static_cast<int>(polygons_.size()) + 1;
        poly.layer = layer;
        poly.net = net;
        poly.width = width;
        for (const Point& p : points) poly.outline.push_back({p, std::nullopt});
        polygonOfLayer.emplace(kicadLayer, poly.id);
        polygons_.push_back(std::move(poly));
      }
    }
    // The filled copper: its outlines as tracks of the polygon.
    for (const Node& child : item.items) {
      if (child.Head() != "filled_polygon") continue;
      std::string kicadLayer = layers.empty() ? std::string() : layers[0];
      if (const Node* l = child.Find("layer")) kicadLayer = Arg(*l, 1).text;
      const auto it = polygonOfLayer.find(kicadLayer);
      if (it == polygonOfLayer.end()) continue;
      const Node* pts = child.Find("pts");
      if (pts == nullptr) Fail(child, "a filled area has no 'pts'");
      const std::vector<Point> points = Points(*pts, nullptr);
      const std::string layer = polygons_[static_cast<std::size_t>(it->second) - 1].layer;
      for (std::size_t i = 0; i < points.size(); ++i)
        board_.tracks.push_back(
            {points[i], points[(i + 1) % points.size()], width, layer, net, it->second});
      Lose("filled zone areas written as their outlines");
    }
  }

  // ------------------------------------------------------------ net classes
  void ReadBoardClass(const Node& item) {
    NetClass nc;
    nc.name = Latin1(item, Arg(item, 1).text, kNameChars, "class names");
    for (const Node& child : item.items) {
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
        nc.nets.push_back(Arg(child, 1).text);
    }
    boardClasses_.push_back(std::move(nc));
  }

  void ReadProjectClasses() {
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
  void BuildOutline() {
    if (edges_.empty()) return;
    constexpr double kNear = 1000.0;  // nm
    auto near = [](Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y) <= kNear; };
    // The edge ends by cell of a grid of kNear, so that finding the edge that
    // goes on from a point looks at the nine cells around it only.
    auto cell = [](double v) { return static_cast<std::int64_t>(std::floor(v / kNear)); };
    auto key = [](std::int64_t cx, std::int64_t cy) {
      return static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^
             static_cast<std::uint64_t>(cy);
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
      std::vector<Point> points;
      for (const OutlineEntry& e : outline_) points.push_back(e.at);
      outline_.clear();
      for (const Point& p : Simplify(std::move(points), kOutlinePoints))
        outline_.push_back({p, std::nullopt});
      Lose("board outlines over " + std::to_string(kOutlinePoints) +
           " segments simplified to straight segments");
    }
  }

  ImportedBoard Result() {
    ImportedBoard b;
    b.midStack = std::move(midStack_);
    b.netNames = std::move(netNames_);
    b.netOrder = std::move(netOrder_);
    b.classes = std::move(boardClasses_);
    b.components = std::move(components_);
    b.free = std::move(board_);
    b.vias = std::move(vias_);
    b.polygons = std::move(polygons_);
    b.outline = std::move(outline_);
    return b;
  }

  const Node& root_;
  std::string_view project_;
  std::vector<std::string> midStack_;
  std::map<int, std::string> netNames_;
  std::vector<int> netOrder_;
  std::vector<NetClass> boardClasses_;
  std::vector<Component> components_;
  Primitives board_;
  std::vector<Via> vias_;
  std::vector<Polygon> polygons_;
  std::vector<Edge> edges_;
  std::vector<OutlineEntry> outline_;
  std::string reference_, value_;
  std::map<std::string, int> losses_;
  std::map<std::string, std::string> unknown_;
  std::map<std::string, int> unknownCount_;
};

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

}  // namespace

bool IsKicadBoard(std::string_view text) {
  std::size_t i = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // a byte-order mark
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
    ++i;
  if (i >= text.size() || text[i] != '(') return false;
  ++i;
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
    ++i;
  const std::string_view head = "kicad_pcb";
  return text.substr(i, head.size()) == head &&
         (i + head.size() == text.size() ||
          !std::isalnum(static_cast<unsigned char>(text[i + head.size()])));
}

bool ConvertBoard(std::string_view text, std::string_view project, Conversion& out,
                  std::string& error) {
  out = Conversion{};
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Node root;
  if (!ParseSExpr(text, root, error)) return false;
  if (root.Head() != "kicad_pcb") {
    error = root.Place() + ": not a KiCad board: the file starts with '(" +
            std::string(root.Head()) + "', not '(kicad_pcb'";
    return false;
  }
  try {
    Importer importer(root, project);
    out.document = importer.Run(out.report);
  } catch (const ImportError& e) {
    error = e.place + ": " + e.what;
    return false;
  }
  return true;
}

bool ReadProjectBeside(const std::string& path, std::string& project, std::string& error) {
  project.clear();
  const std::filesystem::path pro = std::filesystem::path(path).replace_extension(".kicad_pro");
  std::error_code ec;
  if (std::filesystem::is_regular_file(pro, ec) && !ReadWholeFile(pro.string(), project)) {
    error = pro.string() + ": cannot read the file";
    return false;
  }
  return true;
}

bool ConvertBoardFile(const std::string& path, Conversion& out, std::string& error) {
  std::string text, project;
  if (!ReadWholeFile(path, text)) {
    error = path + ": cannot read the file";
    return false;
  }
  if (!ReadProjectBeside(path, project, error)) return false;
  if (!ConvertBoard(text, project, out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace kicad
