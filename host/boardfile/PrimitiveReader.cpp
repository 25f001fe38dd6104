// Reading tracks, arcs, vias, fills, texts and pads.
#include "boardfile/BoardReader.h"

#include "HostLayers.h"

namespace boardfile {

void Reader::Common(Fields& f, standin::Primitive& p, bool withNet) {
  f.Layer("layer", p.layer);
  if (withNet) NetKey(f, p.net);
  f.Int("tag", p.tag);
  f.Int("flags", p.flags);
  f.Int("index", p.index);
  Bits(f, p);
}

void Reader::Bits(Fields& f, standin::Object& o) {
  f.Int("bitfield2", o.bitField2);
  f.Int("bitfield3", o.bitField3);
}

standin::Track Reader::Track(Fields& f) {
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

standin::Arc Reader::Arc(Fields& f) {
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

standin::Via Reader::Via(Fields& f) {
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

standin::Fill Reader::Fill(Fields& f) {
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

standin::Text Reader::Text(Fields& f, HostLayer defaultLayer) {
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

standin::PadLevel Reader::Level(const Ref& ref) {
  Fields f(ref, "a pad level (x_size, y_size, shape)");
  standin::PadLevel level;
  f.Length("x_size", level.xSize);
  f.Length("y_size", level.ySize);
  f.Int("shape", level.shape);
  f.Done();
  return level;
}

standin::Pad Reader::Pad(Fields& f) {
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
      p.Give(layer, {}) = Level(Ref{&value, path});
    }
  }
  return p;
}

}  // namespace boardfile
