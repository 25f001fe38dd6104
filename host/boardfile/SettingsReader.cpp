// Reading the board settings, the layers, the stack and the layer pairs.
#include "boardfile/BoardReader.h"

#include "HostLayers.h"

namespace boardfile {

void Reader::DielectricValues(const Ref& ref, standin::Dielectric& d) {
  Fields f(ref, "a dielectric (material, type, constant, height)");
  f.Text("material", d.material, kNameLimit, "dielectric material");
  f.Int("type", d.type);
  f.Real("constant", d.constant);
  f.Length("height", d.height);
  f.Done();
}

void Reader::BoardSettings(const Ref& ref) {
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
void Reader::Flags(const Ref& ref, std::array<std::uint8_t, 110>& flags) {
  if (!ref) return;
  List l(ref, flags.size() - 1, "layer flags");
  for (std::size_t i = 0; i < l.size(); ++i) l.Int(i, flags[i + 1]);
}

void Reader::Layers(const Ref& ref) {
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

void Reader::Stack(const Ref& ref) {
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

void Reader::LayerPair(Fields& f) {
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

}  // namespace boardfile
