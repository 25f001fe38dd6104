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
  const std::string_view side = LayerOf(item);
  if (side != "F.Cu" && side != "B.Cu") Fail(item, "a footprint must be on F.Cu or B.Cu");
  comp.bottom = side == "B.Cu";
  const Node* at = item.Find("at");
  if (at == nullptr) Fail(item, "a footprint has no 'at'");
  comp.at = PointArg(*at);
  comp.rotation = at->items().size() > 3 ? NumberArg(*at, 3) : 0;
  const Frame frame{comp.at, comp.rotation};

  reference_.clear();
  value_.clear();
  for (const Node& child : item.items())
    if (child.Head() == "fp_text" && child.items().size() > 2) {
      if (child.items()[1].text() == "reference") reference_ = child.items()[2].text();
      if (child.items()[1].text() == "value") value_ = child.items()[2].text();
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
  for (std::size_t i = 2; i < item.items().size(); ++i) {
    const Node& child = item.items()[i];
    if (child.IsAtom()) {
      if (child.text() != "locked" && child.text() != "placed") Unknown(child, "footprint");
      continue;
    }
    const std::string_view head = child.Head();
    if (head == "fp_text") {
      const std::string_view kind = Arg(child, 1).text();
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
                    "property"});
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
    pad.shape = anchor && anchor->items().size() > 1 && anchor->items()[1].text() == "rect"
                    ? kRectangle
                    : kRound;
  } else {
    Fail(item, "unknown pad shape '" + std::string(shape) + "'");
  }

  std::string copper;
  const Node* layers = item.Find("layers");
  if (layers != nullptr)
    for (std::size_t i = 1; i < layers->items().size() && copper.empty(); ++i) {
      const std::string_view l = layers->items()[i].text();
      copper = l == "*.Cu" ? "TopLayer" : CopperLayer(*layers, l);
    }
  if (type == "thru_hole" || type == "np_thru_hole") {
    pad.layer = "MultiLayer";
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
          layers && layers->items().size() > 1 && layers->items()[1].text().starts_with("B.");
      copper = back ? "BottomLayer" : "TopLayer";
      Lose("pads without copper placed on their side's copper layer");
    }
    pad.layer = copper;
  } else {
    Fail(item, "unknown pad type '" + std::string(type) + "'");
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
    Lose("custom pads written as their anchor pad and their shapes as tracks");
  }
  comp.pads.push_back(pad);
}

}  // namespace kicad::detail
