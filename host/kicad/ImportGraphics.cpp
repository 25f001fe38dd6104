#include "kicad/Importer.h"

#include <set>

namespace kicad::detail {

// ------------------------------------------------------------ graphics and texts
// A graphic (gr_* or fp_*) of a footprint placed at `origin`/`angle`, or of
// the board when `fp` is null. `padLayer` set: a custom pad's primitive,
// drawn on that layer with the pad's net.
void Importer::ReadGraphic(const Node& item, const Frame* fp, Primitives& into, int net,
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
                    "pts", "tstamp", "uuid", "locked", "status", "net", "solder_mask_margin"});
  if (net == 0) net = NetOf(item);  // KiCad 8 and later give copper drawings a net
  const std::string_view kicadLayer = padLayer.empty() ? LayerOf(item) : std::string_view();
  std::string layer = padLayer.empty() ? DrawingLayer(kicadLayer, "drawings") : padLayer;
  if (layer.empty()) return;
  const bool edge = kicadLayer == "Edge.Cuts";
  // What is approximated names its layer, and says so when it is copper.
  auto approximated = [&](const char* what, const char* how) {
    Lose((IsCopper(layer) ? "copper " : "") + std::string(what) + " on " +
         (padLayer.empty() ? std::string(kicadLayer) : KicadName(padLayer) + " in custom pads") +
         " " + how);
  };
  auto at = [&](Point p) { return fp ? fp->At(p) : p; };
  const double width = WidthOf(item);
  const Node* fill = item.Find("fill");
  const bool filled = fill != nullptr && fill->items().size() > 1 &&
                      (fill->items()[1].text() == "solid" || fill->items()[1].text() == "yes");
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
      arc =
          ArcFromCentre(at(PointOf(item, "start")), at(PointOf(item, "end")), NumberArg(*angle, 1));
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
    if (filled) approximated("filled circles", "written as circles");
  } else if (kind == "rect") {
    const Point s = PointOf(item, "start"), e = PointOf(item, "end");
    const Point corners[4] = {at(s), at({e.x, s.y}), at(e), at({s.x, e.y})};
    if (filled && (!fp || fp->angle == std::round(fp->angle / 90) * 90) && !edge) {
      into.fills.push_back({corners[0], corners[2], layer, net});
    } else {
      for (int i = 0; i < 4; ++i) line(corners[i], corners[(i + 1) % 4]);
      if (filled) approximated("filled rectangles", "written as their outlines");
    }
  } else if (kind == "poly") {
    const Node* pts = item.Find("pts");
    if (pts == nullptr) Fail(item, "a polygon has no 'pts'");
    const std::vector<OutlineEntry> outline = Outline(*pts, fp);
    for (std::size_t i = 0; i < outline.size(); ++i) {
      if (outline[i].arc)
        arcOut(*outline[i].arc);
      else
        line(outline[i].at, outline[(i + 1) % outline.size()].at);
    }
    if (filled) approximated("filled polygons", "written as their outlines");
  } else {
    // A cubic Bezier curve through its four control points, as straight
    // segments.
    const Node* pts = item.Find("pts");
    std::vector<Point> c;
    if (pts != nullptr)
      for (const Node& xy : pts->items())
        if (xy.Head() == "xy") c.push_back(at(PointArg(xy)));
    if (c.size() != 4) Fail(item, "a curve needs four points");
    Point from = c[0];
    for (int i = 1; i <= kCurveSegments; ++i) {
      const double t = static_cast<double>(i) / kCurveSegments, u = 1 - t;
      const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
      const Point to{a * c[0].x + b * c[1].x + d * c[2].x + e * c[3].x,
                     a * c[0].y + b * c[1].y + d * c[2].y + e * c[3].y};
      line(from, to);
      from = to;
    }
    approximated("curves", "written as straight segments");
  }
}

// A point list: xy points and, from KiCad 7 on, arcs through three points.
// Returns the closed outline's entries, each with the arc that leaves it.
std::vector<OutlineEntry> Importer::Outline(const Node& pts, const Frame* fp) {
  std::vector<OutlineEntry> out;
  auto at = [&](const Node& list, std::string_view head) {
    const Point p = PointOf(list, head);
    return fp ? fp->At(p) : p;
  };
  // A point on the one before (an arc's end where the next arc starts) is
  // the same vertex.
  auto add = [&](Point p, std::optional<Arc> arc) {
    if (!out.empty() && !out.back().arc && out.back().at.x == p.x && out.back().at.y == p.y)
      out.back().arc = arc;
    else
      out.push_back({p, arc});
  };
  for (const Node& item : pts.items()) {
    if (item.Head() == "xy") {
      const Point p = PointArg(item);
      add(fp ? fp->At(p) : p, std::nullopt);
    } else if (item.Head() == "arc") {
      const Point start = at(item, "start"), end = at(item, "end");
      add(start, ArcThrough(start, at(item, "mid"), end));
      add(end, std::nullopt);
    } else if (item.IsList()) {
      Fail(item, "'" + std::string(item.Head()) + "' in a point list is not read");
    }
  }
  if (out.size() > 1 && !out.back().arc && out.back().at.x == out.front().at.x &&
      out.back().at.y == out.front().at.y)
    out.pop_back();  // closed on its first point
  return out;
}

// The points of an outline whose arcs are not kept: each arc becomes two
// straight segments, through its middle (counted).
void Importer::AppendPoints(const Node& pts, const Frame* fp, std::vector<Point>& into) {
  auto place = [&](Point p) { into.push_back(fp ? fp->At(p) : p); };
  for (const Node& xy : pts.items()) {
    if (xy.Head() == "xy") {
      place(PointArg(xy));
    } else if (xy.Head() == "arc") {
      place(PointOf(xy, "start"));
      place(PointOf(xy, "mid"));
      place(PointOf(xy, "end"));
      Lose("arcs of filled areas written as two straight segments");
    } else if (xy.IsList()) {
      Fail(xy, "'" + std::string(xy.Head()) + "' in a point list is not read");
    }
  }
}

// The text of a gr_text, fp_text or property, whose text comes at `first`
// or after: its first quoted string; in files that quote nothing (KiCad 4
// and 5), its first word that is not a flag.
const Node& Importer::TextOf(const Node& item, std::size_t first) {
  const Node* word = nullptr;
  for (std::size_t i = first; i < item.items().size(); ++i) {
    const Node& n = item.items()[i];
    if (n.kind() == Node::Kind::String) return n;
    static const std::set<std::string_view> kFlags = {"locked", "unlocked", "hide", "knockout"};
    if (word == nullptr && n.kind() == Node::Kind::Symbol && !kFlags.count(n.text())) word = &n;
  }
  if (word == nullptr) Fail(item, "'" + std::string(item.Head()) + "' has no text");
  return *word;
}

// A text is hidden by the word 'hide' or by (hide yes), on itself or in its
// effects (the forms of KiCad 5 to 9).
bool Importer::Hidden(const Node& item) {
  auto says = [](const Node& n) {
    for (const Node& c : n.items()) {
      if (c.IsAtom() && c.text() == "hide") return true;
      if (c.Head() == "hide")
        return c.items().size() < 2 || c.items()[1].text() == "yes" ||
               c.items()[1].text() == "true";
    }
    return false;
  };
  const Node* effects = item.Find("effects");
  return says(item) || (effects != nullptr && says(*effects));
}

// Reads a text (gr_text, fp_text, a footprint's property); a text of several
// lines becomes one text a line.
void Importer::ReadText(const Node& item, const Frame* fp, std::vector<Text>& into,
                        const char* what, std::optional<Text>* single, bool forceLayer,
                        bool bottom) {
  CheckKnown(item, {"at", "layer", "effects", "tstamp", "uuid", "render_cache", "hide", "unlocked",
                    "locked", "knockout"});
  const std::string_view head = item.Head();
  const std::string_view utf8 = TextOf(item, head == "gr_text" ? 1 : 2).text();
  Text t;
  const Node* at = item.Find("at");
  if (at == nullptr) Fail(item, "a text has no 'at'");
  const Point local = PointArg(*at);
  t.rotation =
      at->items().size() > 3 && at->items()[3].text() != "unlocked" ? NumberArg(*at, 3) : 0;
  t.at = fp ? fp->At(local) : local;
  if (!PlaceText(item, t, what, forceLayer, bottom)) return;
  if (Hidden(item)) Lose("hidden texts written as visible");
  const std::string text = fp != nullptr ? Expand(utf8) : std::string(utf8);
  WriteLines(item, t, text, into, single);
}

// Writes a text one text a line, each further line one line pitch (1.6
// heights) below in the text's own direction; `single` set: the lines
// joined into that one text.
void Importer::WriteLines(const Node& item, const Text& t, const std::string& text,
                          std::vector<Text>& into, std::optional<Text>* single) {
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
    const double down = static_cast<double>(i) * t.height * 1.6;
    line.at = {t.at.x + down * s, t.at.y + down * c};
    line.text = Latin1(item, lines[i], kTextChars, "texts");
    if (single != nullptr)
      *single = line;
    else
      into.push_back(line);
  }
}

// A text's layer, size, stroke and mirroring. False when its layer is left
// out (counted); `forceLayer` puts it on the side's overlay instead.
bool Importer::PlaceText(const Node& item, Text& t, const char* what, bool forceLayer,
                         bool bottom) {
  const std::string_view kicadLayer = LayerOf(item);
  t.layer = MapLayer(kicadLayer);
  if (t.layer.empty()) {
    if (!forceLayer) {
      Lose(std::string(what) + " on " + std::string(kicadLayer) + " left out");
      return false;
    }
    t.layer = bottom ? "BottomOverlay" : "TopOverlay";
    Lose("reference and value texts on " + std::string(kicadLayer) + " moved to the overlay");
  }
  if (const Node* effects = item.Find("effects")) {
    if (const Node* font = effects->Find("font")) {
      if (const Node* size = font->Find("size")) t.height = MmArg(*size, 1);
      if (const Node* thick = font->Find("thickness")) t.width = MmArg(*thick, 1);
    }
    if (const Node* justify = effects->Find("justify"))
      for (const Node& word : justify->items())
        if (word.text() == "mirror") t.mirrored = true;
  }
  return true;
}

// A text box (KiCad 7 and later): its text, one line a text, from the box's
// first corner; the box's border is not drawn.
void Importer::ReadTextBox(const Node& item, const Frame* fp, std::vector<Text>& into) {
  Text t;
  Point corner;
  if (item.Find("start") != nullptr) {
    corner = PointOf(item, "start");
  } else {
    const Node* pts = item.Find("pts");
    if (pts == nullptr) Fail(item, "a text box has neither 'start' nor 'pts'");
    const std::vector<OutlineEntry> corners = Outline(*pts, nullptr);
    if (corners.empty()) Fail(*pts, "a text box needs its corners");
    corner = corners[0].at;
  }
  if (const Node* angle = item.Find("angle")) t.rotation = NumberArg(*angle, 1);
  if (!PlaceText(item, t, "text boxes", false, false)) return;
  // The first line's baseline, one text height below the corner.
  double c, s;
  CosSin(t.rotation, c, s);
  corner = {corner.x + t.height * s, corner.y + t.height * c};
  t.at = fp ? fp->At(corner) : corner;
  const std::string_view utf8 = TextOf(item, 1).text();
  const std::string text = fp != nullptr ? Expand(utf8) : std::string(utf8);
  WriteLines(item, t, text, into, nullptr);
  Lose("text boxes written as texts without their box");
}

// Expands a footprint text's variables once: ${NAME} by the footprint's field
// of that name (REFERENCE, VALUE and any other), and in KiCad 4 and 5 boards
// %R and %V. What a variable expands to is never expanded again.
std::string Importer::Expand(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  const bool percent = version_ <= kKicad5Version;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "${") == 0) {
      const std::size_t close = text.find('}', i + 2);
      if (close != std::string_view::npos) {
        const auto it = fields_.find(text.substr(i + 2, close - i - 2));
        if (it != fields_.end()) {
          out += it->second;
          i = close + 1;
          continue;
        }
      }
    } else if (percent && text[i] == '%' && i + 1 < text.size() &&
               (text[i + 1] == 'R' || text[i + 1] == 'V')) {
      const auto it = fields_.find(text[i + 1] == 'R' ? "REFERENCE" : "VALUE");
      if (it != fields_.end()) out += it->second;
      i += 2;
      continue;
    }
    out += text[i++];
  }
  return out;
}

// ------------------------------------------------------------ zones
void Importer::ReadZone(const Node& item) {
  CheckKnown(item, {"net",
                    "net_name",
                    "layer",
                    "layers",
                    "tstamp",
                    "uuid",
                    "hatch",
                    "priority",
                    "connect_pads",
                    "min_thickness",
                    "filled_areas_thickness",
                    "fill",
                    "polygon",
                    "filled_polygon",
                    "fill_segments",
                    "keepout",
                    "name",
                    "locked",
                    "attr",
                    "placement",
                    "island",
                    "layer_connections"});
  if (item.Find("keepout") != nullptr) {
    Lose("keep-out areas left out");
    return;
  }
  // Its layers, "F&B.Cu" and "*.Cu" spelt out: one polygon for each outline
  // on each layer the file keeps, each with its layer's filled copper.
  std::vector<std::string> layers;
  for (const char* key : {"layer", "layers"})
    if (const Node* l = item.Find(key))
      for (std::size_t i = 1; i < l->items().size(); ++i)
        for (std::string& name : ExpandLayer(l->items()[i].text())) layers.push_back(name);
  const int net = NetOf(item);
  double width = 0;
  if (const Node* m = item.Find("min_thickness")) width = MmArg(*m, 1);
  std::map<std::string, int, std::less<>> polygonOfLayer;
  for (const std::string& kicadLayer : layers) {
    const std::string layer = DrawingLayer(kicadLayer, "zones");
    if (layer.empty()) continue;
    for (const Node& child : item.items()) {
      if (child.Head() != "polygon") continue;
      const Node* pts = child.Find("pts");
      if (pts == nullptr) Fail(child, "a zone outline has no 'pts'");
      std::vector<OutlineEntry> outline = Outline(*pts, nullptr);
      if (outline.size() > kOutlinePoints) {
        Lose(std::string(IsCopper(layer) ? "copper " : "") + "zone outlines on " + kicadLayer +
             " over " + std::to_string(kOutlinePoints) + " segments simplified");
        outline = Simplified(outline);
      }
      Polygon poly;
      poly.id = static_cast<int>(polygons_.size()) + 1;
      poly.layer = layer;
      poly.net = net;
      poly.width = width;
      poly.outline = std::move(outline);
      polygonOfLayer.emplace(kicadLayer, poly.id);
      polygons_.push_back(std::move(poly));
    }
  }
  // The filled copper: its outlines as tracks of the polygon, in their place
  // among the board's tracks.
  for (const Node& child : item.items()) {
    if (child.Head() == "fill_segments") {
      Lose("copper zone fills of segments (KiCad 4) on " +
           (layers.empty() ? std::string("no layer") : layers[0]) + " left out");
      continue;
    }
    if (child.Head() != "filled_polygon") continue;
    std::string kicadLayer = layers.empty() ? std::string() : layers[0];
    if (const Node* l = child.Find("layer")) kicadLayer = Arg(*l, 1).text();
    const auto it = polygonOfLayer.find(kicadLayer);
    if (it == polygonOfLayer.end()) {
      Lose(std::string(kicadLayer.ends_with(".Cu") ? "copper " : "") + "zone fills on " +
           kicadLayer + " left out");
      continue;
    }
    const Node* pts = child.Find("pts");
    if (pts == nullptr) Fail(child, "a filled area has no 'pts'");
    FilledArea area;
    area.after = board_.tracks.size();
    area.first = areaPoints_.size();
    AppendPoints(*pts, nullptr, areaPoints_);
    area.count = areaPoints_.size() - area.first;
    area.width = width;
    area.layer = polygons_[static_cast<std::size_t>(it->second) - 1].layer;
    area.net = net;
    area.polygon = it->second;
    if (area.count > 0) areas_.push_back(std::move(area));
    Lose(std::string(IsCopper(polygons_[static_cast<std::size_t>(it->second) - 1].layer) ? "copper "
                                                                                         : "") +
         "zone fills on " + kicadLayer + " written as their outlines");
  }
}

}  // namespace kicad::detail
