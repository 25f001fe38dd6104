#include <algorithm>
#include <set>

#include "boardfile/BoardFile.h"
#include "boardfile/Schema.h"
#include "kicad/ImportedBoard.h"
#include "kicad/JsonWriter.h"

namespace kicad {

namespace {

// The board file's keys, by kind of object.
using boardfile::ArcKey;
using boardfile::AreaKey;
using boardfile::ClassKey;
using boardfile::ComponentKey;
using boardfile::FillKey;
using boardfile::LevelKey;
using boardfile::Name;
using boardfile::NetKey;
using boardfile::OutlineArcKey;
using boardfile::OutlineEntryKey;
using boardfile::PadKey;
using boardfile::RuleKey;
using boardfile::ScopeKey;
using boardfile::TextKey;
using boardfile::TopKey;
using boardfile::TrackKey;
using boardfile::ViaKey;

class DocumentWriter {
 public:
  DocumentWriter(const ImportedBoard& b, std::map<std::string, int>& zeroLength)
      : zeroLength_(zeroLength),
        midStack_(b.midStack),
        netNames_(b.netNames),
        netOrder_(b.netOrder),
        boardClasses_(b.classes),
        components_(b.components),
        board_(b.free),
        vias_(b.vias),
        polygons_(b.polygons),
        areas_(b.areas),
        areaPoints_(b.areaPoints),
        outline_(b.outline) {}

  std::string Emit() {
    // The origin: the lower-left corner of the Edge.Cuts drawing's box, or of
    // everything when there is none.
    Box box;
    auto addPrims = [&](const Primitives& p, bool edgeOnly) {
      for (const Track& t : p.tracks)
        if (!edgeOnly || t.layer == "Mechanical1") box.Add(t.a), box.Add(t.b);
      for (const ArcTrack& a : p.arcs)
        if (!edgeOnly || a.layer == "Mechanical1") box.Add(a.arc);
    };
    for (bool edgeOnly : {true, false}) {
      addPrims(board_, edgeOnly);
      for (const FilledArea& a : areas_)
        if (!edgeOnly || a.layer == "Mechanical1")
          for (std::size_t i = 0; i < a.count; ++i) box.Add(areaPoints_[a.first + i]);
      for (const Component& c : components_) addPrims(c.own, edgeOnly);
      if (!edgeOnly) {
        for (const Component& c : components_) {
          box.Add(c.at);
          for (const Pad& p : c.pads) box.Add(p.at);
        }
        for (const Via& v : vias_) box.Add(v.at);
        for (const Polygon& p : polygons_)
          for (const OutlineEntry& e : p.outline) box.Add(e.at);
      }
      if (!box.empty) break;
    }
    left_ = box.left;
    bottom_ = box.bottom;

    JsonWriter& w = w_;
    // With the room the board-file reader wants after the text.
    w.Reserve(EstimateSize() + boardfile::kBoardTextPadding);
    w.BeginObject();
    w.Field(Name(TopKey::pcb28_board), 1);
    w.Key(Name(TopKey::stack)).BeginArray();
    w.Value("TopLayer");
    for (const std::string& mid : midStack_) w.Value(mid);
    w.Value("BottomLayer");
    w.EndArray();

    w.Key(Name(TopKey::nets)).BeginArray();
    for (int n : netOrder_) {
      w.BeginObject();
      w.Field(Name(NetKey::name), netNames_.at(n));
      w.EndObject();
    }
    w.EndArray();
    EmitClasses();

    w.Key(Name(TopKey::components)).BeginArray();
    for (const Component& c : components_) {
      w.BeginObject();
      w.Field(Name(ComponentKey::pattern), c.pattern);
      w.Field(Name(ComponentKey::x), X(c.at));
      w.Field(Name(ComponentKey::y), Y(c.at));
      w.Field(Name(ComponentKey::rotation), NormaliseAngle(c.rotation));
      w.Field(Name(ComponentKey::layer), c.bottom ? "BottomLayer" : "TopLayer");
      if (c.designator) EmitText(Name(ComponentKey::designator), *c.designator);
      if (c.comment) EmitText(Name(ComponentKey::comment), *c.comment);
      w.Key(Name(ComponentKey::pads)).BeginArray();
      for (const Pad& p : c.pads) EmitPad(p);
      w.EndArray();
      EmitPrimitives(c.own);
      w.EndObject();
    }
    w.EndArray();

    w.Key(Name(TopKey::polygons)).BeginArray();
    for (const Polygon& p : polygons_) {
      w.BeginObject();
      w.Field(Name(AreaKey::id), p.id);
      w.Field(Name(AreaKey::layer), p.layer);
      w.Field(Name(AreaKey::net), NetName(p.net));
      w.Field(Name(AreaKey::track_width), NmToUnits(p.width));
      EmitOutline(p.outline);
      w.EndObject();
    }
    w.EndArray();
    if (!outline_.empty()) {
      w.Key(Name(TopKey::board_outlines)).BeginArray();
      w.BeginObject();
      w.Field(Name(AreaKey::id), "board");
      w.Field(Name(AreaKey::layer), "Mechanical1");
      EmitOutline(outline_);
      w.EndObject();
      w.EndArray();
    }
    EmitPrimitives(board_, &areas_);
    w.Key(Name(TopKey::vias)).BeginArray();
    for (const Via& v : vias_) {
      w.BeginObject();
      w.Field(Name(ViaKey::x), X(v.at));
      w.Field(Name(ViaKey::y), Y(v.at));
      w.Field(Name(ViaKey::size), NmToUnits(v.size));
      w.Field(Name(ViaKey::hole), NmToUnits(v.hole));
      w.Field(Name(ViaKey::low_layer), v.low);
      w.Field(Name(ViaKey::high_layer), v.high);
      w.Field(Name(ViaKey::net), NetName(v.net));
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    return w.Take();
  }

  void EmitClasses() {
    JsonWriter& w = w_;
    std::set<std::string> known;
    for (int n : netOrder_) known.insert(netNames_.at(n));
    std::vector<std::vector<std::string>> members(boardClasses_.size());
    w.Key(Name(TopKey::classes)).BeginArray();
    for (std::size_t i = 0; i < boardClasses_.size(); ++i) {
      for (const std::string& n : boardClasses_[i].nets)
        if (known.count(n)) members[i].push_back(n);
      if (boardClasses_[i].name == "Default") continue;
      w.BeginObject();
      w.Field(Name(ClassKey::name), boardClasses_[i].name);
      w.Key(Name(ClassKey::members)).BeginArray();
      for (const std::string& n : members[i]) w.Value(n);
      w.EndArray();
      w.EndObject();
    }
    w.EndArray();
    // The default class gives the board-wide rules; the others win over them
    // on their nets.
    w.Key(Name(TopKey::rules)).BeginArray();
    for (std::size_t i = 0; i < boardClasses_.size(); ++i) {
      const NetClass& nc = boardClasses_[i];
      const bool isDefault = nc.name == "Default";
      std::vector<const std::string*> scopes;
      if (isDefault) scopes.push_back(nullptr);
      for (const std::string& n : members[i]) scopes.push_back(&n);
      for (const std::string* net : scopes) {
        auto rule = [&](const char* kind, std::initializer_list<std::int64_t> values) {
          w.BeginObject();
          w.Field(Name(RuleKey::kind), kind);
          w.Field(Name(RuleKey::priority), isDefault ? 2 : 1);
          if (net != nullptr) {
            w.Key(Name(RuleKey::scope)).BeginObject();
            w.Field(Name(ScopeKey::net), *net);
            w.EndObject();
          }
          w.Key(Name(RuleKey::values)).BeginArray();
          for (std::int64_t v : values) w.Value(v);
          w.EndArray();
          w.EndObject();
        };
        if (nc.clearance) rule("Clearance", {NmToUnits(*nc.clearance)});
        if (nc.trackWidth) rule("Width", {NmToUnits(*nc.trackWidth), NmToUnits(*nc.trackWidth)});
        if (nc.viaHole && nc.viaSize)
          rule("RoutingVias", {NmToUnits(*nc.viaHole), NmToUnits(*nc.viaSize), 0});
      }
    }
    w.EndArray();
  }

  // About the length of the document, rather over than under, so that its
  // text is made once: each copy of a growing text touches fresh memory, the
  // dearest thing when the board is large.
  std::size_t EstimateSize() const {
    auto net = [&](int n) { return n == 0 ? 0 : 9 + NetName(n).size(); };
    auto text = [](const Text& t) { return 140 + t.text.size(); };
    auto outline = [](const std::vector<OutlineEntry>& entries) {
      std::size_t n = 60;
      for (const OutlineEntry& e : entries) n += e.arc ? 150 : 40;
      return n;
    };
    std::size_t n = 4096;
    for (int number : netOrder_) n += 12 + netNames_.at(number).size();
    for (const NetClass& c : boardClasses_) {
      n += 300 + c.name.size();
      for (const std::string& member : c.nets) n += 300 + 4 * member.size();
    }
    auto primitives = [&](const Primitives& p) {
      for (const Track& t : p.tracks) n += 110 + net(t.net);
      for (const ArcTrack& a : p.arcs) n += 170 + net(a.net);
      for (const Fill& f : p.fills) n += 100 + net(f.net);
      for (const Text& t : p.texts) n += text(t);
    };
    primitives(board_);
    for (const Component& c : components_) {
      n += 200 + c.pattern.size();
      if (c.designator) n += text(*c.designator);
      if (c.comment) n += text(*c.comment);
      for (const Pad& p : c.pads) n += 180 + p.name.size() + net(p.net);
      primitives(c.own);
    }
    for (const FilledArea& a : areas_) n += 125 + net(a.net) + a.count * 24;
    for (const Via& v : vias_) n += 170 + net(v.net);
    for (const Polygon& p : polygons_) n += 100 + net(p.net) + outline(p.outline);
    return n + outline(outline_);
  }

  std::int64_t X(Point p) const { return NmToUnits(p.x - left_); }
  std::int64_t Y(Point p) const { return NmToUnits(bottom_ - p.y); }

  void EmitText(std::string_view key, const Text& t) {
    if (!key.empty()) w_.Key(key);
    w_.BeginObject();
    w_.Field(Name(TextKey::text), t.text);
    w_.Field(Name(TextKey::x), X(t.at));
    w_.Field(Name(TextKey::y), Y(t.at));
    w_.Field(Name(TextKey::height), NmToUnits(t.height));
    w_.Field(Name(TextKey::width), NmToUnits(t.width));
    w_.Field(Name(TextKey::rotation), NormaliseAngle(t.rotation));
    w_.Field(Name(TextKey::layer), t.layer);
    if (t.mirrored) w_.Field(Name(TextKey::text_flag), 1);
    w_.EndObject();
  }

  void EmitPad(const Pad& p) {
    w_.BeginObject();
    w_.Field(Name(PadKey::name), p.name);
    w_.Field(Name(PadKey::x), X(p.at));
    w_.Field(Name(PadKey::y), Y(p.at));
    w_.Field(Name(PadKey::rotation), NormaliseAngle(p.rotation));
    w_.Field(Name(PadKey::layer), p.layer);
    w_.Field(Name(PadKey::net), NetName(p.net));
    w_.Key(Name(PadKey::size)).BeginObject();
    w_.Field(Name(LevelKey::x_size), NmToUnits(p.xSize));
    w_.Field(Name(LevelKey::y_size), NmToUnits(p.ySize));
    w_.Field(Name(LevelKey::shape), p.shape);
    w_.EndObject();
    if (p.hole > 0) w_.Field(Name(PadKey::hole), NmToUnits(p.hole));
    w_.EndObject();
  }

  void EmitTrack(Point a, Point b, double width, const std::string& layer, int net, int polygon) {
    const std::int64_t x = X(a), y = Y(a), x2 = X(b), y2 = Y(b);
    if (x == x2 && y == y2) {
      ++zeroLength_[layer];
      return;
    }
    JsonWriter& w = w_;
    w.BeginObject();
    w.Field(Name(TrackKey::x), x);
    w.Field(Name(TrackKey::y), y);
    w.Field(Name(TrackKey::x2), x2);
    w.Field(Name(TrackKey::y2), y2);
    EmitTrackValues(width, layer, net, polygon);
  }

  void EmitTrackValues(double width, const std::string& layer, int net, int polygon) {
    JsonWriter& w = w_;
    w.Field(Name(TrackKey::width), NmToUnits(width));
    w.Field(Name(TrackKey::layer), layer);
    if (net != 0) w.Field(Name(TrackKey::net), NetName(net));
    if (polygon > 0) w.Field(Name(TrackKey::polygon), polygon);
    w.EndObject();
  }

  // The edges of a filled area's outline, closed back to its first point,
  // as one ring of points: the edges that round to no length are left out
  // (counted), and the ring starts at the first edge that is kept, so that
  // the tracks come in the order of the edges.
  void EmitArea(const FilledArea& area) {
    const Point* points = areaPoints_.data() + area.first;
    const std::size_t n = area.count;
    ring_.clear();
    auto host = [&](std::size_t i) { return std::pair(X(points[i % n]), Y(points[i % n])); };
    std::size_t first = 0;
    while (first < n && host(first) == host(first + 1)) ++first;
    if (first < n) {
      ring_.push_back(host(first));
      for (std::size_t i = first + 1; i < first + n; ++i) {
        if (host(i) != ring_.back()) ring_.push_back(host(i));
      }
      if (ring_.back() == ring_.front()) ring_.pop_back();
    }
    if (ring_.size() < n) zeroLength_[area.layer] += static_cast<int>(n - ring_.size());
    if (ring_.empty()) return;
    JsonWriter& w = w_;
    w.BeginObject();
    w.Key(Name(TrackKey::ring)).BeginArray();
    for (const auto& [x, y] : ring_) {
      w.Value(x);
      w.Value(y);
    }
    w.EndArray();
    EmitTrackValues(area.width, area.layer, area.net, area.polygon);
  }

  // `areas`: the filled areas to write among the tracks, where they were read.
  void EmitPrimitives(const Primitives& p, const std::vector<FilledArea>* areas = nullptr) {
    JsonWriter& w = w_;
    w.Key(Name(TopKey::tracks)).BeginArray();
    std::size_t nextArea = 0;
    auto areasBefore = [&](std::size_t track) {
      for (; areas != nullptr && nextArea < areas->size() && (*areas)[nextArea].after == track;
           ++nextArea)
        EmitArea((*areas)[nextArea]);
    };
    for (std::size_t i = 0; i < p.tracks.size(); ++i) {
      areasBefore(i);
      const Track& t = p.tracks[i];
      EmitTrack(t.a, t.b, t.width, t.layer, t.net, t.polygon);
    }
    areasBefore(p.tracks.size());
    w.EndArray();
    w.Key(Name(TopKey::arcs)).BeginArray();
    for (const ArcTrack& a : p.arcs) {
      w.BeginObject();
      w.Field(Name(ArcKey::x), X(a.arc.centre));
      w.Field(Name(ArcKey::y), Y(a.arc.centre));
      w.Field(Name(ArcKey::radius), NmToUnits(a.arc.radius));
      w.Field(Name(ArcKey::start_angle), a.arc.start);
      w.Field(Name(ArcKey::end_angle), a.arc.end);
      w.Field(Name(ArcKey::width), NmToUnits(a.width));
      w.Field(Name(ArcKey::layer), a.layer);
      if (a.net != 0) w.Field(Name(ArcKey::net), NetName(a.net));
      w.EndObject();
    }
    w.EndArray();
    w.Key(Name(TopKey::fills)).BeginArray();
    for (const Fill& f : p.fills) {
      // Corner 1 lower left, corner 2 upper right, with y up.
      const Point lo{std::min(f.a.x, f.b.x), std::max(f.a.y, f.b.y)};
      const Point hi{std::max(f.a.x, f.b.x), std::min(f.a.y, f.b.y)};
      w.BeginObject();
      w.Field(Name(FillKey::x), X(lo));
      w.Field(Name(FillKey::y), Y(lo));
      w.Field(Name(FillKey::x2), X(hi));
      w.Field(Name(FillKey::y2), Y(hi));
      w.Field(Name(FillKey::layer), f.layer);
      if (f.net != 0) w.Field(Name(FillKey::net), NetName(f.net));
      w.EndObject();
    }
    w.EndArray();
    w.Key(Name(TopKey::texts)).BeginArray();
    for (const Text& t : p.texts) EmitText("", t);
    w.EndArray();
  }

  void EmitOutline(const std::vector<OutlineEntry>& outline) {
    JsonWriter& w = w_;
    w.Key(Name(AreaKey::outline)).BeginArray();
    for (const OutlineEntry& e : outline) {
      w.BeginObject();
      w.Field(Name(OutlineEntryKey::x), X(e.at));
      w.Field(Name(OutlineEntryKey::y), Y(e.at));
      if (e.arc) {
        w.Key(Name(OutlineEntryKey::arc)).BeginObject();
        w.Field(Name(OutlineArcKey::cx), X(e.arc->centre));
        w.Field(Name(OutlineArcKey::cy), Y(e.arc->centre));
        w.Field(Name(OutlineArcKey::radius), NmToUnits(e.arc->radius));
        w.Field(Name(OutlineArcKey::start_angle), e.arc->start);
        w.Field(Name(OutlineArcKey::end_angle), e.arc->end);
        w.EndObject();
      }
      w.EndObject();
    }
    if (!outline.empty()) {  // closed: back to the first point
      w.BeginObject();
      w.Field(Name(OutlineEntryKey::x), X(outline[0].at));
      w.Field(Name(OutlineEntryKey::y), Y(outline[0].at));
      w.EndObject();
    }
    w.EndArray();
  }

  const std::string& NetName(int net) const {
    static const std::string kNone;
    return net == 0 ? kNone : netNames_.at(net);
  }

  std::map<std::string, int>& zeroLength_;
  const std::vector<std::string>& midStack_;
  const std::map<int, std::string>& netNames_;
  const std::vector<int>& netOrder_;
  const std::vector<NetClass>& boardClasses_;
  const std::vector<Component>& components_;
  const Primitives& board_;
  const std::vector<Via>& vias_;
  const std::vector<Polygon>& polygons_;
  const std::vector<FilledArea>& areas_;
  const std::vector<Point>& areaPoints_;
  std::vector<std::pair<std::int64_t, std::int64_t>> ring_;  // EmitArea's points
  const std::vector<OutlineEntry>& outline_;
  double left_ = 0, bottom_ = 0;
  JsonWriter w_;
};

}  // namespace

std::string WriteDocument(const ImportedBoard& board, std::map<std::string, int>& zeroLength) {
  return DocumentWriter(board, zeroLength).Emit();
}

}  // namespace kicad
