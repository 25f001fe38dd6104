#include "kicad/Importer.h"

#include <set>
#include <utility>

namespace kicad::detail {

// ------------------------------------------------------------ footprints
void Importer::ReadFootprint(const Node& item) {
  Component comp;
  const std::string_view lib = Arg(item, 1).text();
  const std::size_t colon = lib.find(':');
  comp.pattern = Latin1(item, colon == std::string_view::npos ? lib : lib.substr(colon + 1),
                        kPatternChars, "footprint names");
  // Its side: the front or back copper layer, by whatever name the table
  // gives it.
  const std::string side = MapLayer(LayerOf(item));
  if (side != "TopLayer" && side != "BottomLayer")
    Fail(item, "a footprint must be on the front or back copper layer, not on " +
                   std::string(LayerOf(item)));
  comp.bottom = side == "BottomLayer";
  const Node* at = item.Find("at");
  if (at == nullptr) Fail(item, "a footprint has no 'at'");
  comp.at = PointArg(*at);
  comp.rotation = at->items().size() > 3 ? NumberArg(*at, 3) : 0;
  const Frame frame{comp.at, comp.rotation};

  // The footprint's fields, for the text variables of its texts: KiCad 8 and
  // later keep them as properties, older versions reference and value as
  // fp_text.
  fields_.clear();
  for (const Node& child : item.items()) {
    const std::string_view head = child.Head();
    if (head == "fp_text" && child.items().size() > 2) {
      const std::string_view kind = child.items()[1].text();
      if (kind == "reference" || kind == "value")
        fields_[kind == "reference" ? "REFERENCE" : "VALUE"] = TextOf(child, 2).text();
    } else if (head == "property" && child.items().size() > 2) {
      std::string name(child.items()[1].text());
      const std::string_view value = child.items()[2].text();
      if (name == "Reference") name = "REFERENCE";
      if (name == "Value") name = "VALUE";
      fields_.emplace(std::move(name), value);
    }
  }

  static const std::set<std::string_view> kIgnored = {"layer",
                                                      "at",
                                                      "tedit",
                                                      "tstamp",
                                                      "uuid",
                                                      "descr",
                                                      "tags",
                                                      "path",
                                                      "attr",
                                                      "model",
                                                      "solder_mask_margin",
                                                      "solder_paste_margin",
                                                      "solder_paste_margin_ratio",
                                                      "solder_paste_ratio",
                                                      "clearance",
                                                      "zone_connect",
                                                      "thermal_width",
                                                      "thermal_gap",
                                                      "autoplace_cost90",
                                                      "autoplace_cost180",
                                                      "sheetname",
                                                      "sheetfile",
                                                      "locked",
                                                      "placed",
                                                      "private_layers",
                                                      "net_tie_pad_groups",
                                                      "duplicate_pad_numbers_are_jumpers",
                                                      "jumper_pad_groups",
                                                      "component_classes",
                                                      "embedded_fonts",
                                                      "embedded_files",
                                                      "version",
                                                      "generator",
                                                      "generator_version",
                                                      "points",
                                                      "group"};
  for (std::size_t i = 2; i < item.items().size(); ++i) {
    const Node& child = item.items()[i];
    if (child.IsAtom()) {
      if (child.text() != "locked" && child.text() != "placed") Unknown(child, "footprint");
      continue;
    }
    const std::string_view head = child.Head();
    if (head == "fp_text" || head == "property") {
      // Reference and value are the designator and comment; KiCad 8 keeps
      // them as properties, and a property without a place is not drawn.
      const std::string_view kind = Arg(child, 1).text();
      const bool isProperty = head == "property";
      if (isProperty && child.Find("layer") == nullptr) continue;
      if (kind == (isProperty ? "Reference" : "reference"))
        ReadText(child, &frame, comp.own.texts, "footprint texts", &comp.designator, true,
                 comp.bottom);
      else if (kind == (isProperty ? "Value" : "value"))
        ReadText(child, &frame, comp.own.texts, "footprint texts", &comp.comment, true,
                 comp.bottom);
      else if (isProperty && Hidden(child))
        Lose("hidden footprint fields left out");
      else
        ReadText(child, &frame, comp.own.texts, "footprint texts");
    } else if (head == "fp_text_box") {
      ReadTextBox(child, &frame, comp.own.texts);
    } else if (head == "pad") {
      ReadPad(child, frame, comp);
    } else if (head.starts_with("fp_")) {
      ReadGraphic(child, &frame, comp.own, 0, "");
    } else if (head == "zone") {
      ReadZone(child);
    } else if (head == "dimension" || head == "table") {
      Lose(std::string(head == "table" ? "tables" : "dimensions") + " in footprints left out");
    } else if (!kIgnored.count(head)) {
      Unknown(child, "footprint");
    }
  }
  components_.push_back(std::move(comp));
}

void Importer::ReadPad(const Node& item, const Frame& frame, Component& comp) {
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
                    "property",
                    "padstack",
                    "teardrops",
                    "tenting",
                    "zone_layer_connections",
                    "backdrill",
                    "tertiary_drill",
                    "front_post_machining",
                    "back_post_machining"});
  Pad pad;
  pad.name = Latin1(item, Arg(item, 1).text(), kPadNameChars, "pad names");
  const std::string_view type = Arg(item, 2).text();
  const std::string_view shape = Arg(item, 3).text();
  const Node* at = item.Find("at");
  const Node* size = item.Find("size");
  if (at == nullptr || size == nullptr) Fail(item, "a pad needs 'at' and 'size'");
  pad.at = frame.At(PointArg(*at));
  pad.rotation =
      at->items().size() > 3 && at->items()[3].text() != "unlocked" ? NumberArg(*at, 3) : 0;
  pad.xSize = MmArg(*size, 1);
  pad.ySize = MmArg(*size, 2);
  pad.net = NetOf(item);

  std::vector<std::string> shapeLosses;
  if (shape == "circle") {
    pad.shape = kRound;
    pad.ySize = pad.xSize;
  } else if (shape == "oval") {
    pad.shape = kRound;
  } else if (shape == "rect") {
    pad.shape = kRectangle;
  } else if (shape == "roundrect") {
    const Node* chamfer = item.Find("chamfer");
    if (chamfer != nullptr && chamfer->items().size() > 1) {
      pad.shape = kOctagonal;
      shapeLosses.push_back("with chamfered corners written as octagons");
    } else {
      pad.shape = kRectangle;
      shapeLosses.push_back("with rounded corners written as rectangles");
    }
  } else if (shape == "trapezoid") {
    pad.shape = kRectangle;
    shapeLosses.push_back("of trapezoid shape written as rectangles");
  } else if (shape == "custom") {
    const Node* options = item.Find("options");
    const Node* anchor = options ? options->Find("anchor") : nullptr;
    pad.shape = anchor && anchor->items().size() > 1 && anchor->items()[1].text() == "rect"
                    ? kRectangle
                    : kRound;
  } else {
    Fail(item, "unknown pad shape '" + std::string(shape) + "'");
  }

  // The pad's layers, with "*.Cu" and "F&B.Cu" spelt out: its copper, and
  // its first other layer the file keeps.
  std::string copper, kicadCopper, other, kicadOther;
  if (const Node* layers = item.Find("layers"))
    for (std::size_t i = 1; i < layers->items().size(); ++i)
      for (const std::string& l : ExpandLayer(layers->items()[i].text())) {
        const std::string host = MapLayer(l);
        if (copper.empty() && IsCopper(host))
          copper = host, kicadCopper = l;
        else if (other.empty() && !host.empty() && !IsCopper(host))
          other = host, kicadOther = l;
      }
  if (type == "thru_hole" || type == "np_thru_hole") {
    pad.layer = "MultiLayer";
    kicadCopper = "*.Cu";
    const Node* drill = item.Find("drill");
    if (drill == nullptr) Fail(item, "a through-hole pad has no 'drill'");
    std::vector<double> sizes;
    bool oval = false;
    for (std::size_t i = 1; i < drill->items().size(); ++i) {
      const Node& d = drill->items()[i];
      if (d.IsAtom() && d.text() == "oval")
        oval = true;
      else if (d.IsAtom())
        sizes.push_back(Mm(d));
      else if (d.Head() == "offset") {
        if (NumberArg(d, 1) != 0 || NumberArg(d, 2) != 0)
          Lose("copper pads on *.Cu with their shape off their hole written centred on it");
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
      // Paste or mask only: a pad on that layer, never on copper, where it
      // would short the copper pads it lies over.
      if (other.empty()) {
        Lose("pads without copper on layers the file does not keep left out");
        return;
      }
      pad.layer = other;
      pad.net = 0;
      Lose("pads without copper written on " + kicadOther);
    } else {
      pad.layer = copper;
    }
  } else {
    Fail(item, "unknown pad type '" + std::string(type) + "'");
  }
  if (!kicadCopper.empty())
    for (const std::string& approximation : shapeLosses)
      Lose("copper pads on " + kicadCopper + " " + approximation);
  // KiCad 9's pad stacks: other shapes on inner or back layers.
  if (const Node* stack = item.Find("padstack"); stack != nullptr && !kicadCopper.empty()) {
    const Node* mode = stack->Find("mode");
    if (mode != nullptr && mode->items().size() > 1 && mode->items()[1].text() != "normal")
      Lose("copper pads on " + kicadCopper + " with shapes of their own per layer written with " +
           "their front shape");
  }

  if (const Node* prims = item.Find("primitives")) {
    const std::string primLayer = pad.layer == "MultiLayer" ? "TopLayer" : pad.layer;
    const Frame padFrame{pad.at, pad.rotation};
    for (const Node& prim : prims->items()) {
      if (!prim.IsList()) continue;
      if (prim.Head().starts_with("gr_"))
        ReadGraphic(prim, &padFrame, comp.own, pad.net, primLayer);
      else
        Unknown(prim, "primitives");
    }
    Lose((kicadCopper.empty() ? "pads on " + kicadOther : "copper pads on " + kicadCopper) +
         " of custom shape written as their anchor pad and their shapes as tracks");
  }
  comp.pads.push_back(pad);
}

}  // namespace kicad::detail
