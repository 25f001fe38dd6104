#include "ascii28/FileLayers.h"

namespace ascii28 {

// File layers in blocks: 0 to 15 NoLayer, TopLayer and MidLayer1 to 14;
// 16 BottomLayer; 17 to 26 overlays, pastes, solders and InternalPlane1 to 4;
// 27 to 32 DrillGuide, KeepOutLayer and Mechanical1 to 4; 33 to 42
// DrillDrawing to ViaHoleLayer.

FileLayer HostToFileLayer(HostLayer layer) {
  if (layer <= 15) return layer;
  if (layer == kBottomLayer) return 16;
  if (layer >= 33 && layer <= 42) return static_cast<FileLayer>(layer - 16);
  if (layer >= 55 && layer <= 60) return static_cast<FileLayer>(layer - 28);
  if (layer >= 73 && layer <= kLastHostLayer) return static_cast<FileLayer>(layer - 40);
  return 1;
}

HostLayer FileToHostLayer(int fileLayer) {
  if (fileLayer < 0 || fileLayer > kLastFileLayer) return kNoLayer;
  if (fileLayer <= 15) return static_cast<HostLayer>(fileLayer);
  if (fileLayer == 16) return kBottomLayer;
  if (fileLayer <= 26) return static_cast<HostLayer>(fileLayer + 16);
  if (fileLayer <= 32) return static_cast<HostLayer>(fileLayer + 28);
  return static_cast<HostLayer>(fileLayer + 40);
}

std::uint8_t ViaLayerPairNumber(HostLayer low, HostLayer high) {
  if (low == kTopLayer && high == kBottomLayer) return 0;
  if (low >= kTopLayer && low <= MidLayer(13)) return static_cast<std::uint8_t>((low + 1) / 2);
  if (low == MidLayer(14) || low == kBottomLayer) return 8;
  return 0;
}

}  // namespace ascii28
