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
                    "pts", "tstamp", "uuid", "locked", "status"});
  const std::string_view kicadLayer = padLayer.empty() ? LayerOf(item) : std::string_view();
  std::string layer = padLayer.empty() ? DrawingLayer(item, kicadLayer, "drawings") : padLayer;
  if (layer.empty()) return;
  const bool edge = kicadLayer == "Edge.Cuts";
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

std::vector<Point> Importer::Points(const Node& pts, const Frame* fp) {
  std::vector<Point> points;
  AppendPoints(pts, fp, points);
  return points;
}

void Importer::AppendPoints(const Node& pts, const Frame* fp, std::vector<Point>& into) {
  for (const Node& xy : pts.items()) {
    if (xy.Head() == "xy") {
      const Point p = PointArg(xy);
      into.push_back(fp ? fp->At(p) : p);
    } else if (xy.IsList()) {
      Fail(xy, "'" + std::string(xy.Head()) + "' in a point list is not read");
    }
  }
}

// Reads a text (gr_text or fp_text); a text of several lines becomes one
// text a line. Returns how many it added.
void Importer::ReadText(const Node& item, const Frame* fp, std::vector<Text>& into,
                        const char* what, std::optional<Text>* single, bool forceLayer,
                        bool bottom) {
  CheckKnown(item, {"at", "layer", "effects", "tstamp", "uuid", "render_cache"});
  const std::size_t textAt = item.Head() == "fp_text" ? 2 : 1;
  const std::string_view utf8 = Arg(item, textAt).text();
  Text t;
  const Node* at = item.Find("at");
  if (at == nullptr) Fail(item, "a text has no 'at'");
  const Point local = PointArg(*at);
  t.rotation =
      at->items().size() > 3 && at->items()[3].text() != "unlocked" ? NumberArg(*at, 3) : 0;
  t.at = fp ? fp->At(local) : local;
  t.layer = MapLayer(item, LayerOf(item));
  if (t.layer.empty()) {
    if (!forceLayer) {
      Lose(std::string(what) + " on " + std::string(LayerOf(item)) + " left out");
      return;
    }
    t.layer = bottom ? "BottomOverlay" : "TopOverlay";
    Lose("reference and value texts on " + std::string(LayerOf(item)) + " moved to the overlay");
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
  for (const Node& word : item.items())
    if (word.IsAtom() && word.text() == "hide") Lose("hidden texts written as visible");
  std::string text(utf8);
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

std::string Importer::Substitute(std::string text, std::string_view var, const std::string& by) {
  for (std::size_t p; (p = text.find(var)) != std::string::npos;) text.replace(p, var.size(), by);
  return text;
}

// ------------------------------------------------------------ zones
void Importer::ReadZone(const Node& item) {
  CheckKnown(item, {"net", "net_name", "layer", "layers", "tstamp", "uuid", "hatch", "priority",
                    "connect_pads", "min_thickness", "filled_areas_thickness", "fill", "polygon",
                    "filled_polygon", "fill_segments", "keepout", "name", "locked", "attr"});
  if (item.Find("keepout") != nullptr) {
    Lose("keep-out areas left out");
    return;
  }
  std::vector<std::string> layers;
  if (const Node* l = item.Find("layer")) layers.emplace_back(Arg(*l, 1).text());
  if (const Node* l = item.Find("layers"))
    for (std::size_t i = 1; i < l->items().size(); ++i) layers.emplace_back(l->items()[i].text());
  const int net = NetOf(item);
  double width = 0;
  if (const Node* m = item.Find("min_thickness")) width = MmArg(*m, 1);
  std::map<std::string, int> polygonOfLayer;
  for (const std::string& kicadLayer : layers) {
    const std::string layer = DrawingLayer(item, kicadLayer, "zones");
    if (layer.empty()) continue;
    for (const Node& child : item.items()) {
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
  // The filled copper: its outlines as tracks of the polygon, in their place
  // among the board's tracks.
  for (const Node& child : item.items()) {
    if (child.Head() != "filled_polygon") continue;
    std::string kicadLayer = layers.empty() ? std::string() : layers[0];
    if (const Node* l = child.Find("layer")) kicadLayer = Arg(*l, 1).text();
    const auto it = polygonOfLayer.find(kicadLayer);
    if (it == polygonOfLayer.end()) continue;
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
    Lose("filled zone areas written as their outlines");
  }
}

}  // namespace kicad::detail
