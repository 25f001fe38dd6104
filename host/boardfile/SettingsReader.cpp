// The board settings, the layers, the stack and the layer pairs.
#include "boardfile/BoardReader.h"

namespace boardfile {

void Reader::Dielectric(Value& v, standin::Dielectric& o) {
  EachField(v, "a dielectric (material, type, constant, height)", kDielectricKeys,
            PCB28_FIELDS_OF(Dielectric, PCB28_DIELECTRIC_FIELDS));
}

// One line per value.
// clang-format off
void Reader::BoardSettings(Value& v) {
  standin::Board& o = *board_;
  standin::OutputOptions& out = o.outputOptions;
  standin::PrinterOptions& printer = o.printerOptions;
  const auto own = [&](BoardKey k, Value& x) {
    switch (k) {
      case BoardKey::info:
        EachItem(x, 8, "board values", [&](std::size_t i, Value& e) {
          switch (i) {
            case 0: return Int(e, o.info1);
            case 1: return HostString(e, kNameLimit, "board info string", o.info2);
            case 2: return Int(e, o.info3);
            case 3: return Int(e, o.info4);
            case 4: return Int(e, o.info5);
            case 5: return Int(e, o.info6);
            case 6: return Int(e, o.info7);
            default: return Int(e, o.info8);
          }
        });
        break;
      case BoardKey::grids:
        EachItem(x, 14, "grid values", [&](std::size_t i, Value& e) {
          standin::Grids& g = o.grids;
          std::uint8_t* bytes[] = {&g.grid1, &g.grid2, &g.grid3, &g.grid4};
          double* reals[] = {&g.grid5,  &g.grid6,  &g.grid7,  &g.grid8,
                             &g.grid11, &g.grid12, &g.grid13, &g.grid14};
          if (i < 4) return Int(e, *bytes[i]);
          if (i == 8) return Int(e, g.grid9);
          if (i == 9) return Int(e, g.grid10);
          *reals[i < 8 ? i - 4 : i - 6] = Real(e);
        });
        break;
      case BoardKey::output_options:
        EachItem(x, 24, "output option values", [&](std::size_t i, Value& e) {
          if (i == 0) return Int(e, out.value1);
          if (i == 1) return Int(e, out.value2);
          Int(e, out.bytes[i - 2]);
        });
        break;
      case BoardKey::plot_layers:
      case BoardKey::flip_layers: {
        // Flags 1 to 109, the list's first entry being flag 1.
        auto& flags = k == BoardKey::plot_layers ? out.plotLayers : out.flipLayers;
        EachItem(x, flags.size() - 1, "layer flags",
                 [&](std::size_t i, Value& e) { Int(e, flags[i + 1]); });
        break;
      }
      case BoardKey::gerber_options:
        Integers(x, "Gerber option values", o.gerberOptions);
        break;
      case BoardKey::printer_options:
        Integers(x, "printer option values", printer.values);
        break;
      case BoardKey::plotter_pens:
        EachItem(x, 8, "plotter pens", [&](std::size_t i, Value& pen) {
          Integers(pen, "pen values", printer.pens[i + 1].value1, printer.pens[i + 1].value2);
        });
        break;
      case BoardKey::composite_layers:
        EachLayerField(x, 1, "an object of layer -> four values", [&](HostLayer layer, Value& l) {
          standin::CompositeLayer& c = printer.compositeLayers[layer];
          Integers(l, "composite layer values", c.value1, c.value2, c.value3, c.value4);
        });
        break;
      case BoardKey::placer_options:
        EachItem(x, 6, "placer option values (two strings, four bytes)",
                 [&](std::size_t i, Value& e) {
          if (i == 0) return HostString(e, kNameLimit, "placer option string", o.placerOptions.text1);
          if (i == 1) return HostString(e, kNameLimit, "placer option string", o.placerOptions.text2);
          Int(e, o.placerOptions.bytes[i - 2]);
        });
        break;
      case BoardKey::eco_options:
        Integers(x, "ECO option bytes", o.ecoOptions);
        break;
      case BoardKey::external_dielectrics:
        EachItem(x, 2, "external dielectrics",
                 [&](std::size_t i, Value& e) { Dielectric(e, o.externalDielectrics[i]); });
        break;
      default:
        EachLayerField(x, 1, "an object of layer -> value",
                       [&](HostLayer layer, Value& e) { Int(e, o.layerInfo[layer].info); });
    }
  };
  EachField(v, "the board settings (an object)", kBoardKeys,
            PCB28_FIELDS_OF(Board, PCB28_BOARD_FIELDS));
}
// clang-format on

void Reader::Layers(Value& v) {
  EachLayerField(v, 1, "an object of layer -> layer settings", [&](HostLayer code, Value& s) {
    standin::Layer& o = board_->layers[code];
    const auto own = [&](LayerKey k, Value& x) {
      switch (k) {
        case LayerKey::status:
          Integers(x, "status bytes", o.status1, o.status2, o.status3);
          break;
        case LayerKey::dielectric:
          Dielectric(x, o.dielectric);
          break;
        default:
          if (!IsInternalPlane(code)) {
            Fail("only the layers InternalPlane1 to InternalPlane16 have a net");
          }
          name_ = HostView(x, kNameLimit, "net name", scratch_);
          if (name_.empty() || name_ == "(No Net)") {
            o.planeNet = "(No Net)";
          } else {
            if (!nets_.Contains(name_)) FailNoNet(name_);
            o.planeNet = name_;
          }
      }
    };
    EachField(s, "layer settings (an object)", kLayerKeys,
              PCB28_FIELDS_OF(Layer, PCB28_LAYER_FIELDS));
  });
}

void Reader::Stack(Value& v) {
  std::vector<HostLayer> topDown;
  std::bitset<kHostLayerCount> seen;
  EachItem(v, kAny, "layers", [&](std::size_t, Value& l) {
    const HostLayer layer = Layer(l, 1);
    if (seen[layer]) {
      Fail("layer " + std::string(kHostLayerNames[layer]) + " is listed twice in the stack");
    }
    seen.set(layer);
    topDown.push_back(layer);
  });
  board_->SetStack(topDown);
}

void Reader::LayerPair(Value& v) {
  standin::LayerPair o;
  const auto own = [&](LayerPairKey, Value& x) { Integers(x, "pair values", o.value1, o.value2); };
  const std::uint64_t present = EachField(v, "an object", kLayerPairKeys,
                                          PCB28_FIELDS_OF(LayerPair, PCB28_LAYER_PAIR_FIELDS));
  const std::uint64_t both = Bit(LayerPairKey::low) | Bit(LayerPairKey::high);
  if ((present & both) != both)
    Fail(std::string("a layer pair needs '") + Name(LayerPairKey::low) + "' and '" +
         Name(LayerPairKey::high) + "'");
  board_->layerPairs.push_back(o);
}

}  // namespace boardfile
