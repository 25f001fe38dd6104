// A new board's defaults and its layer stack.
#include "server/BoardModel.h"

namespace standin {

Board::Board() : Object(Kind::None) {
  for (int code = 0; code < kHostLayerCount; ++code) {
    layers[code].name = std::string(kHostLayerNames[code]);
  }
  SetStack({kTopLayer, kBottomLayer});
}

void Board::SetStack(const std::vector<HostLayer>& topDown) {
  for (auto& layer : layers) layer.prevLayer = layer.nextLayer = 0;
  HostLayer previous = 0;
  for (HostLayer code : topDown) {
    if (code == 0 || code > kLastHostLayer) continue;
    layers[code].prevLayer = previous;
    if (previous != 0) layers[previous].nextLayer = code;
    previous = code;
  }
}

}  // namespace standin
