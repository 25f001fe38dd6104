// Reading components (with their members) and polygons.
#include "boardfile/BoardReader.h"

#include "HostLayers.h"

namespace boardfile {

// A designator or comment: a text object (on TopOverlay unless it says
// otherwise) or a string placed at the component's origin on TopOverlay.
std::optional<standin::Text> Reader::ComponentText(const Ref& ref, const standin::Component& c) {
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

void Reader::Component(Fields& f) {
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

void Reader::Area(Fields& f, std::unique_ptr<standin::Polygon> p) {
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

}  // namespace boardfile
