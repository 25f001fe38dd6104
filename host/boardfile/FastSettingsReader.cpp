// Streaming: the board settings, the layers, the stack and the layer pairs.
#include "boardfile/FastBoardReader.h"

namespace boardfile::fast {

// One line per key.
// clang-format off

void Reader::Dielectric(Value& v, standin::Dielectric& d) {
  EachField(v, kDielectricKeys, [&](int k, Value& x) {
    switch (k) {
      case 0: HostString(x, kNameLimit, d.material); break;
      case 1: Int(x, d.type); break;
      case 2: d.constant = Real(x); break;
      default:
        d.height = Length(x);
        break;
    }
  });
}

void Reader::BoardSettings(Value& v) {
  standin::Board& b = *board_;
  standin::OutputOptions& out = b.outputOptions;
  standin::PrinterOptions& printer = b.printerOptions;
  EachField(v, kBoardKeys, [&](int k, Value& x) {
    switch (k) {
      case 0:
        EachItem(x, 8, [&](std::size_t i, Value& e) {
          switch (i) {
            case 0: return Int(e, b.info1);
            case 1: return HostString(e, kNameLimit, b.info2);
            case 2: return Int(e, b.info3);
            case 3: return Int(e, b.info4);
            case 4: return Int(e, b.info5);
            case 5: return Int(e, b.info6);
            case 6: return Int(e, b.info7);
            default: return Int(e, b.info8);
          }
        });
        break;
      case 1: Int(x, b.info10); break;
      case 2: b.boardLayer = Layer(x, 0); break;
      case 3:
        EachItem(x, 14, [&](std::size_t i, Value& e) {
          standin::Grids& g = b.grids;
          std::uint8_t* bytes[] = {&g.grid1, &g.grid2, &g.grid3, &g.grid4};
          double* reals[] = {&g.grid5,  &g.grid6,  &g.grid7,  &g.grid8,
                             &g.grid11, &g.grid12, &g.grid13, &g.grid14};
          if (i < 4) return Int(e, *bytes[i]);
          if (i == 8) return Int(e, g.grid9);
          if (i == 9) return Int(e, g.grid10);
          *reals[i < 8 ? i - 4 : i - 6] = Real(e);
        });
        break;
      case 4:
        EachItem(x, 24, [&](std::size_t i, Value& e) {
          if (i == 0) return Int(e, out.value1);
          if (i == 1) return Int(e, out.value2);
          Int(e, out.bytes[i - 2]);
        });
        break;
      case 5:
      case 6: {
        auto& flags = k == 5 ? out.plotLayers : out.flipLayers;
        EachItem(x, flags.size() - 1, [&](std::size_t i, Value& e) { Int(e, flags[i + 1]); });
        break;
      }
      case 7:
        EachItem(x, b.gerberOptions.size(),
                 [&](std::size_t i, Value& e) { Int(e, b.gerberOptions[i]); });
        break;
      case 8:
        EachItem(x, printer.values.size(),
                 [&](std::size_t i, Value& e) { Int(e, printer.values[i]); });
        break;
      case 9:
        EachItem(x, 8, [&](std::size_t i, Value& pen) {
          EachItem(pen, 2, [&](std::size_t j, Value& e) {
            Int(e, j == 0 ? printer.pens[i + 1].value1 : printer.pens[i + 1].value2);
          });
        });
        break;
      case 10:
        EachLayerField(x, 1, [&](HostLayer layer, Value& l) {
          standin::CompositeLayer& c = printer.compositeLayers[layer];
          EachItem(l, 4, [&](std::size_t i, Value& e) {
            if (i == 0) return Int(e, c.value1);
            if (i == 1) return Int(e, c.value2);
            if (i == 2) return Int(e, c.value3);
            Int(e, c.value4);
          });
        });
        break;
      case 11:
        EachItem(x, 6, [&](std::size_t i, Value& e) {
          if (i == 0) return HostString(e, kNameLimit, b.placerOptions.text1);
          if (i == 1) return HostString(e, kNameLimit, b.placerOptions.text2);
          Int(e, b.placerOptions.bytes[i - 2]);
        });
        break;
      case 12: EachItem(x, 2, [&](std::size_t i, Value& e) { Int(e, b.ecoOptions[i]); }); break;
      case 13:
        EachItem(x, 2, [&](std::size_t i, Value& e) { Dielectric(e, b.externalDielectrics[i]); });
        break;
      default:
        EachLayerField(x, 1, [&](HostLayer layer, Value& e) { Int(e, b.layerInfo[layer].info); });
    }
  });
}

void Reader::Layers(Value& v) {
  EachLayerField(v, 1, [&](HostLayer code, Value& settings) {
    standin::Layer& layer = board_->layers[code];
    EachField(settings, kLayerKeys, [&](int k, Value& x) {
      switch (k) {
        case 0: HostString(x, kNameLimit, layer.name); break;
        case 1: layer.copperThickness = Length(x); break;
        case 2:
          EachItem(x, 3, [&](std::size_t i, Value& e) {
            std::uint8_t* status[] = {&layer.status1, &layer.status2, &layer.status3};
            Int(e, *status[i]);
          });
          break;
        case 3: Dielectric(x, layer.dielectric); break;
        default:
          Need(IsInternalPlane(code));
          name_ = HostView(x, kNameLimit, scratch_);
          if (name_.empty() || name_ == "(No Net)") {
            layer.planeNet = "(No Net)";
          } else {
            Need(nets_.Contains(name_));
            layer.planeNet = name_;
          }
      }
    });
  });
}

void Reader::Stack(Value& v) {
  std::vector<HostLayer> topDown;
  std::bitset<kHostLayerCount> seen;
  EachItem(v, kAny, [&](std::size_t, Value& l) {
    const HostLayer layer = Layer(l, 1);
    Need(!seen[layer]);
    seen.set(layer);
    topDown.push_back(layer);
  });
  board_->SetStack(topDown);
}

void Reader::LayerPair(Value& v) {
  standin::LayerPair pair;
  const std::uint64_t present = EachField(v, kLayerPairKeys, [&](int k, Value& x) {
    switch (k) {
      case 0: pair.lowLayer = Layer(x, 1); break;
      case 1: pair.highLayer = Layer(x, 1); break;
      default:
        EachItem(x, 2,
                 [&](std::size_t i, Value& e) { Int(e, i == 0 ? pair.value1 : pair.value2); });
    }
  });
  Need((present & (Bit(0) | Bit(1))) == (Bit(0) | Bit(1)));
  board_->layerPairs.push_back(pair);
}

// clang-format on

}  // namespace boardfile::fast
