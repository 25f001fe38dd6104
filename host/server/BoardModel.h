// A board of the stand-in server: its settings, layers and the document
// order of its objects.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "server/Objects.h"

namespace standin {

struct Dielectric {
  std::string material = "FR-4";
  std::uint8_t type = 1;
  double constant = 4.8;
  std::int32_t height = 126000;
  bool operator==(const Dielectric&) const = default;
};

struct Layer {
  std::string name;  // default: the host layer name
  std::int32_t copperThickness = 14000;
  std::uint8_t status1 = 0, status2 = 0, status3 = 0;
  HostLayer prevLayer = 0, nextLayer = 0;
  Dielectric dielectric;
  std::string planeNet = "(No Net)";  // internal planes
  bool operator==(const Layer&) const = default;
};

struct LayerInfo {
  std::uint8_t value1 = 0, value2 = 0;
  std::int32_t info = 0;
  bool operator==(const LayerInfo&) const = default;
};

struct Grids {
  std::uint8_t grid1 = 0, grid2 = 0, grid3 = 0, grid4 = 0;
  double grid5 = 0, grid6 = 0, grid7 = 0, grid8 = 0;
  std::int32_t grid9 = 0;
  std::uint8_t grid10 = 0;
  double grid11 = 0, grid12 = 0, grid13 = 0, grid14 = 0;
  bool operator==(const Grids&) const = default;
};

struct OutputOptions {
  std::int32_t value1 = 0, value2 = 0;
  std::array<std::uint8_t, 22> bytes{};
  std::array<std::uint8_t, 110> plotLayers{};  // flags 1 to 109
  std::array<std::uint8_t, 110> flipLayers{};  // flags 1 to 109
  bool operator==(const OutputOptions&) const = default;
};

struct PlotterPen {
  std::int32_t value1 = 0, value2 = 0;
  bool operator==(const PlotterPen&) const = default;
};

struct CompositeLayer {
  std::int32_t value1 = 0, value2 = 0;
  std::uint8_t value3 = 0;
  std::int32_t value4 = 0;
  bool operator==(const CompositeLayer&) const = default;
};

struct PrinterOptions {
  std::array<std::int32_t, 26> values{};
  std::array<PlotterPen, 9> pens{};                               // pens 1 to 8
  std::array<CompositeLayer, kHostLayerCount> compositeLayers{};  // layers 1 to 82
  bool operator==(const PrinterOptions&) const = default;
};

struct PlacerOptions {
  std::string text1, text2;
  std::array<std::uint8_t, 4> bytes{};
  bool operator==(const PlacerOptions&) const = default;
};

struct LayerPair {
  HostLayer lowLayer = 0, highLayer = 0;
  std::uint8_t value1 = 0, value2 = 0;
  bool operator==(const LayerPair&) const = default;
};

struct STANDIN_API Board : Object {
  Board();
  // PcbApi_QueryBoard, in its order.
  std::int32_t info1 = 0;
  std::string info2;
  std::uint8_t info3 = 0;
  std::int32_t info4 = 0, info5 = 0, info6 = 0, info7 = 0;
  std::uint8_t info8 = 0;
  HostLayer boardLayer = kTopLayer;
  std::int32_t info10 = 0;

  std::array<Layer, kHostLayerCount> layers;  // codes 1 to 82
  std::array<LayerInfo, kHostLayerCount> layerInfo{};
  Grids grids;
  OutputOptions outputOptions;
  std::array<std::int32_t, 18> gerberOptions{};
  PrinterOptions printerOptions;
  PlacerOptions placerOptions;
  std::array<std::uint8_t, 2> ecoOptions{};
  std::array<Dielectric, 2> externalDielectrics;
  std::vector<LayerPair> layerPairs;

  // Sets the previous and next layers from a stack listed top down; layers
  // not listed get neither.
  void SetStack(const std::vector<HostLayer>& topDown);

  // Document order, maintained by the server.
  std::vector<ObjectHandle> components;
  std::array<std::vector<ObjectHandle>, kKindCount> freeObjects;
  bool operator==(const Board&) const = default;
};

}  // namespace standin
