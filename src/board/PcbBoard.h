// The board in the host's editor: its settings, one object per layer, the
// drill layer pairs, and the walk over the board's objects by kind.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "board/PcbObject.h"

// One host layer.
class TLayerObject {
 public:
  TLayerObject(ObjectHandle board, HostLayer code);
  TLayerObject(const TLayerObject&) = delete;
  TLayerObject& operator=(const TLayerObject&) = delete;

  virtual Status Load(QueryMode mode);
  virtual ~TLayerObject() = default;

  ObjectHandle BoardHandle;
  HostLayer LayerCode;
  LenString Name;
  std::int32_t CopperThickness = 14000;
  LenString DielectricMaterial;
  std::uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  std::int32_t DielectricHeight = 126000;
  std::uint8_t Status1 = 0;
  std::uint8_t Status2 = 0;
  HostLayer PrevLayer = 0;  // the layer above in the stack, 0 at the top
  HostLayer NextLayer = 0;  // the layer below in the stack, 0 at the bottom
  std::uint8_t Status3 = 0;

 protected:
  Status LoadDielectric(QueryMode mode);
};

// An internal plane layer and the net it is connected to.
class TInternalPlane : public TLayerObject {
 public:
  TInternalPlane(ObjectHandle board, HostLayer code);

  Status Load(QueryMode mode) override;

  LenString NetName;
};

// One drill layer pair.
class TPcblayerPair {
 public:
  LenString Name;
  HostLayer LowLayer = 0;
  HostLayer HighLayer = 0;
  std::uint8_t PairValue1 = 0;
  std::uint8_t PairValue2 = 0;
};

// The material, type, constant and height of a dielectric.
struct TDielectric {
  LenString Material;
  std::uint8_t Type = 1;
  double Constant = 4.8;
  std::int32_t Height = 126000;
};

class TPcbBoard {
 public:
  // The layer codes that hold an electrical layer: copper and internal planes.
  static LayerSet ElectricalLayers();
  // The most layer pairs read from the host: every pair of two distinct
  // electrical layers (32 copper layers and 16 planes, 48 * 47 / 2). A count
  // beyond it is read as this many; a negative count as none.
  static constexpr std::int32_t kMaxLayerPairs = 1128;

  // The clearance of a board without clearance rules.
  static constexpr Coord kDefaultClearance = 100000;

  // The handle of the board in the host's focus (0 for none).
  static ObjectHandle CurrentHandle();

  explicit TPcbBoard(ObjectHandle board);
  TPcbBoard(const TPcbBoard&) = delete;
  TPcbBoard& operator=(const TPcbBoard&) = delete;
  virtual ~TPcbBoard();

  // Exchanges the whole board with the host; returns the board query's status.
  virtual Status Load(QueryMode mode);

  // Hands each object of the kinds in kinds (0 to 20), yielded by the host
  // for each layer code of layers (0 to 82), to the callback: kind by kind,
  // layer by layer, one host iterator each.
  void Iterate(ObjectCallback callback, KindMask kinds, const LayerSet& layers,
               IterationMethod method) const;
  void Iterate(ObjectContextCallback callback, void* context, KindMask kinds,
               const LayerSet& layers, IterationMethod method) const;

  // The layer object of a code, none for 0 and codes beyond 82.
  TLayerObject* LayerAt(int code) const;
  // The top of the layer stack: the lowest code with no layer above it.
  TLayerObject* FirstLayer() const;
  // The layer below the given one, none at the bottom.
  TLayerObject* FollowingLayer(const TLayerObject& layer) const;
  // The position of the layer among the members of the set, counted from the
  // top of the stack (1 for the topmost); 0 when the layer is not in the set.
  // A stack chain that loops back on itself ends at the first layer met again.
  int StackPosition(const LayerSet& set, const TLayerObject* layer) const;
  std::uint8_t LayerStatus2(HostLayer code) const;
  // The net name of InternalPlane1 to InternalPlane4 (n = 1 to 4).
  std::string_view PlaneNetName(int n) const;
  // The board's clearance: kDefaultClearance, overwritten by the gap of every
  // clearance rule (rule bytes 3 and 4 clear) that a walk of the rules layer
  // by layer over codes 1 to 82 meets; the last one met decides.
  Coord Clearance() const;

  ObjectHandle BoardHandle;

  std::int32_t BoardInfo1 = 0;
  LenString BoardInfo2;
  std::uint8_t BoardInfo3 = 0;
  std::int32_t BoardInfo4 = 0;
  std::int32_t BoardInfo5 = 0;
  std::int32_t BoardInfo6 = 0;
  std::int32_t BoardInfo7 = 0;
  std::uint8_t BoardInfo8 = 0;

  TDielectric ExternalDielectric1;
  TDielectric ExternalDielectric2;

  HostLayer BoardLayer = 0;

  // Indexed by layer code; entry 0 is empty.
  std::array<std::unique_ptr<TLayerObject>, kHostLayerCount> Layers;
  std::vector<TPcblayerPair> LayerPairs;
  std::int32_t LayerInfo[kHostLayerCount] = {};

  struct TGrids {
    std::uint8_t Value1 = 0;
    std::uint8_t Value2 = 0;
    std::uint8_t Value3 = 0;
    std::uint8_t Value4 = 0;
    double Value5 = 0.0;
    double Value6 = 0.0;
    double Value7 = 0.0;
    double Value8 = 0.0;
    std::int32_t Value9 = 0;
    std::uint8_t Value10 = 0;
    double Value11 = 0.0;
    double Value12 = 0.0;
    double Value13 = 0.0;
    double Value14 = 0.0;
    double GridCopy7 = 0.0;
    double GridCopy13 = 0.0;
  } Grids;

  static constexpr int kPlotLayerCount = 109;  // plot and flip flags 1 to 109
  struct TOutputOptions {
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;
    std::uint8_t Bytes[22] = {};
    std::uint8_t PlotLayers[kPlotLayerCount + 1] = {};  // entry 0 unused
    std::uint8_t FlipLayers[kPlotLayerCount + 1] = {};  // entry 0 unused
  } OutputOptions;

  struct TGerberOptions {
    std::int32_t Values[18] = {};
  } GerberOptions;

  static constexpr int kPlotterPenCount = 8;
  struct TCompositeLayer {
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;
    std::uint8_t Value3 = 0;
    std::int32_t Value4 = 0;
  };
  struct TPrinterOptions {
    std::int32_t Values[26] = {};
    std::int32_t PlotterPens[kPlotterPenCount + 1][2] = {};  // pens 1 to 8
    TCompositeLayer CompositeLayers[kHostLayerCount] = {};   // codes 1 to 82
  } PrinterOptions;

  struct TPlacerOptions {
    LenString Text1;
    LenString Text2;
    std::uint8_t Bytes[4] = {};
  } PlacerOptions;

  struct TEcoOptions {
    std::uint8_t Byte1 = 0;
    std::uint8_t Byte2 = 0;
  } EcoOptions;

  std::int32_t BoardInfo10 = 0;

 private:
  void LoadLayerPairs(QueryMode mode);
  void NamePair(TPcblayerPair& pair) const;
};
