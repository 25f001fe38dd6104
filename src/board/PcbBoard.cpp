#include "board/PcbBoard.h"

#include "board/PcbNets.h"

namespace {

constexpr std::string_view kDefaultMaterial = "FR-4";
constexpr std::string_view kNoNet = "(No Net)";

// A clearance rule hands its gap to the clearance in context.
void TakeClearance(void* clearance, ObjectHandle handle) {
  TPcbRule rule(handle);
  rule.Load(kQueryGet);
  if (rule.RuleKind == 0 && rule.RuleByte3 == 0 && rule.RuleByte4 == 0)
    PCBProcs::PcbApi_QueryRuleClearanceConstraint(kQueryGet, handle,
                                                  static_cast<Coord*>(clearance));
}

}  // namespace

// ---- layers

TLayerObject::TLayerObject(ObjectHandle board, HostLayer code)
    : BoardHandle(board), LayerCode(code) {
  if (code < kHostLayerCount) Name.Assign(kHostLayerNames[code]);
  DielectricMaterial.Assign(kDefaultMaterial);
}

Status TLayerObject::LoadDielectric(QueryMode mode) {
  return PCBProcs::PcbApi_QueryLayerDielectric(mode, LayerCode, BoardHandle,
                                               DielectricMaterial.Buffer(), &DielectricType,
                                               &DielectricConstant, &DielectricHeight);
}

Status TLayerObject::Load(QueryMode mode) {
  const Status status =
      PCBProcs::PcbApi_QueryLayer(mode, LayerCode, BoardHandle, Name.Buffer(), &CopperThickness,
                                  &Status1, &Status2, &PrevLayer, &NextLayer, &Status3);
  LoadDielectric(mode);
  return status;
}

TInternalPlane::TInternalPlane(ObjectHandle board, HostLayer code) : TLayerObject(board, code) {
  NetName.Assign(kNoNet);
}

Status TInternalPlane::Load(QueryMode mode) {
  const Status status = PCBProcs::PcbApi_QueryInternalPlane(
      mode, LayerCode, BoardHandle, Name.Buffer(), &CopperThickness, &Status1, &Status2, &PrevLayer,
      &NextLayer, NetName.Buffer());
  LoadDielectric(mode);
  return status;
}

// ---- board

LayerSet TPcbBoard::ElectricalLayers() {
  return LayerSet{}.AddRange(kTopLayer, kBottomLayer).AddRange(kInternalPlane1, kInternalPlane16);
}

ObjectHandle TPcbBoard::CurrentHandle() { return PCBProcs::PcbApi_GetCurrentBoardHandle(); }

TPcbBoard::TPcbBoard(ObjectHandle board) : BoardHandle(board) {
  for (int code = kTopLayer; code <= kLastHostLayer; ++code) {
    const auto layer = static_cast<HostLayer>(code);
    if (IsInternalPlane(code))
      Layers[code] = std::make_unique<TInternalPlane>(board, layer);
    else
      Layers[code] = std::make_unique<TLayerObject>(board, layer);
  }
  // Room for every pair up front, so that loading the pairs never allocates.
  LayerPairs.reserve(kMaxLayerPairs);
  ExternalDielectric1.Material.Assign(kDefaultMaterial);
  ExternalDielectric2.Material.Assign(kDefaultMaterial);
}

TPcbBoard::~TPcbBoard() {
  LayerPairs.clear();
  for (auto& layer : Layers) layer.reset();
}

Status TPcbBoard::Load(QueryMode mode) {
  const ObjectHandle b = BoardHandle;

  const Status status = PCBProcs::PcbApi_QueryBoard(
      mode, b, &BoardInfo1, BoardInfo2.Buffer(), &BoardInfo3, &BoardInfo4, &BoardInfo5, &BoardInfo6,
      &BoardInfo7, &BoardInfo8, &BoardLayer, &BoardInfo10);

  for (int code = kTopLayer; code <= kLastHostLayer; ++code) {
    std::uint8_t unused1 = 0, unused2 = 0;
    PCBProcs::PcbApi_QueryBoardLayerInfo(mode, b, static_cast<HostLayer>(code), &unused1, &unused2,
                                         &LayerInfo[code]);
  }

  for (int code = kTopLayer; code <= kLastHostLayer; ++code) Layers[code]->Load(mode);

  TGrids& g = Grids;
  PCBProcs::PcbApi_QueryBoardGridsEx(mode, b, &g.Value1, &g.Value2, &g.Value3, &g.Value4, &g.Value5,
                                     &g.Value6, &g.Value7, &g.Value8, &g.Value9, &g.Value10,
                                     &g.Value11, &g.Value12, &g.Value13, &g.Value14);
  g.GridCopy13 = g.Value13;
  g.GridCopy7 = g.Value7;

  TOutputOptions& o = OutputOptions;
  std::uint8_t* ob = o.Bytes;
  PCBProcs::PcbApi_QueryBoardOutputOptions(mode, b, &o.Value1, &o.Value2, &ob[0], &ob[1], &ob[2],
                                           &ob[3], &ob[4], &ob[5], &ob[6], &ob[7], &ob[8], &ob[9],
                                           &ob[10], &ob[11], &ob[12], &ob[13], &ob[14], &ob[15],
                                           &ob[16], &ob[17], &ob[18], &ob[19], &ob[20], &ob[21]);
  for (int n = 1; n <= kPlotLayerCount; ++n)
    PCBProcs::PcbApi_QueryBoardOutputOptionsPlotLayers(mode, b, static_cast<std::uint8_t>(n),
                                                       &o.PlotLayers[n]);
  for (int n = 1; n <= kPlotLayerCount; ++n)
    PCBProcs::PcbApi_QueryBoardOutputOptionsFlipLayers(mode, b, static_cast<std::uint8_t>(n),
                                                       &o.FlipLayers[n]);

  std::int32_t* gv = GerberOptions.Values;
  PCBProcs::PcbApi_QueryBoardGerberOptions(mode, b, &gv[0], &gv[1], &gv[2], &gv[3], &gv[4], &gv[5],
                                           &gv[6], &gv[7], &gv[8], &gv[9], &gv[10], &gv[11],
                                           &gv[12], &gv[13], &gv[14], &gv[15], &gv[16], &gv[17]);

  TPrinterOptions& p = PrinterOptions;
  std::int32_t* pv = p.Values;
  PCBProcs::PcbApi_QueryBoardPrinterOptions(
      mode, b, &pv[0], &pv[1], &pv[2], &pv[3], &pv[4], &pv[5], &pv[6], &pv[7], &pv[8], &pv[9],
      &pv[10], &pv[11], &pv[12], &pv[13], &pv[14], &pv[15], &pv[16], &pv[17], &pv[18], &pv[19],
      &pv[20], &pv[21], &pv[22], &pv[23], &pv[24], &pv[25]);
  for (int pen = 1; pen <= kPlotterPenCount; ++pen)
    PCBProcs::PcbApi_QueryBoardPrinterOptionsPlotterPen(mode, b, pen, &p.PlotterPens[pen][0],
                                                        &p.PlotterPens[pen][1]);
  for (int code = kTopLayer; code <= kLastHostLayer; ++code) {
    TCompositeLayer& c = p.CompositeLayers[code];
    PCBProcs::PcbApi_QueryBoardPrinterOptionsCompositeLayer(
        mode, b, static_cast<HostLayer>(code), &c.Value1, &c.Value2, &c.Value3, &c.Value4);
  }

  TPlacerOptions& pl = PlacerOptions;
  PCBProcs::PcbApi_QueryBoardAdvancedPlacerOptions(mode, b, pl.Text1.Buffer(), pl.Text2.Buffer(),
                                                   &pl.Bytes[0], &pl.Bytes[1], &pl.Bytes[2],
                                                   &pl.Bytes[3]);

  PCBProcs::PcbApi_QueryBoardEngineeringChangeOrderOptions(mode, b, &EcoOptions.Byte1,
                                                           &EcoOptions.Byte2);

  LoadLayerPairs(mode);

  TDielectric& d1 = ExternalDielectric1;
  TDielectric& d2 = ExternalDielectric2;
  PCBProcs::PcbApi_QueryBoardExternalDielectrics(mode, b, d1.Material.Buffer(), &d1.Type,
                                                 &d1.Constant, &d1.Height, d2.Material.Buffer(),
                                                 &d2.Type, &d2.Constant, &d2.Height);
  return status;
}

void TPcbBoard::LoadLayerPairs(QueryMode mode) {
  if (mode != kQueryGet) {
    // Send the pairs as they are; the list is not rebuilt.
    std::int32_t index = 0;
    for (TPcblayerPair& pair : LayerPairs)
      PCBProcs::PcbApi_QueryBoardLayerPairAt(mode, BoardHandle, index++, &pair.LowLayer,
                                             &pair.HighLayer, &pair.PairValue1, &pair.PairValue2);
    return;
  }

  LayerPairs.clear();
  std::int32_t count = 0;
  if (PCBProcs::PcbApi_QueryBoardLayerPairsCount(BoardHandle, &count) != 0) return;
  if (count < 0) count = 0;
  if (count > kMaxLayerPairs) count = kMaxLayerPairs;
  for (std::int32_t index = 0; index < count; ++index) {
    TPcblayerPair& pair = LayerPairs.emplace_back();
    PCBProcs::PcbApi_QueryBoardLayerPairAt(mode, BoardHandle, index, &pair.LowLayer,
                                           &pair.HighLayer, &pair.PairValue1, &pair.PairValue2);
    NamePair(pair);
  }
}

void TPcbBoard::NamePair(TPcblayerPair& pair) const {
  // The layer higher in the stack comes first; a code with no layer object
  // (0 or beyond 82) has position 0 and an empty name.
  static const LayerSet electrical = ElectricalLayers();
  const TLayerObject* low = LayerAt(pair.LowLayer);
  const TLayerObject* high = LayerAt(pair.HighLayer);
  const int a = StackPosition(electrical, low);
  const int b = StackPosition(electrical, high);
  const TLayerObject* first = a <= b ? low : high;
  const TLayerObject* second = a <= b ? high : low;
  pair.Name.Clear();
  if (first != nullptr) pair.Name.Append(first->Name.View());
  pair.Name.Append(" - ");
  if (second != nullptr) pair.Name.Append(second->Name.View());
}

void TPcbBoard::Iterate(ObjectCallback callback, KindMask kinds, const LayerSet& layers,
                        IterationMethod method) const {
  board_detail::WalkOwner(BoardHandle, kinds, layers, method, hostbounds::kBoardWalk,
                          [callback](ObjectHandle h) { callback(h); });
}

void TPcbBoard::Iterate(ObjectContextCallback callback, void* context, KindMask kinds,
                        const LayerSet& layers, IterationMethod method) const {
  board_detail::WalkOwner(BoardHandle, kinds, layers, method, hostbounds::kBoardWalk,
                          [callback, context](ObjectHandle h) { callback(context, h); });
}

// ---- layer stack

TLayerObject* TPcbBoard::LayerAt(int code) const {
  if (code < kTopLayer || code > kLastHostLayer) return nullptr;
  return Layers[code].get();
}

TLayerObject* TPcbBoard::FirstLayer() const {
  for (int code = kTopLayer; code <= kLastHostLayer; ++code)
    if (Layers[code] && Layers[code]->PrevLayer == 0) return Layers[code].get();
  return nullptr;
}

TLayerObject* TPcbBoard::FollowingLayer(const TLayerObject& layer) const {
  return LayerAt(layer.NextLayer);
}

int TPcbBoard::StackPosition(const LayerSet& set, const TLayerObject* layer) const {
  if (layer == nullptr || !set.Contains(layer->LayerCode)) return 0;
  // A sound stack visits each of the 82 layers once. A chain that loops is
  // cut off at the first layer met again, so the walk takes 82 steps at most.
  LayerSet visited;
  int position = 0;
  for (const TLayerObject* at = FirstLayer(); at != nullptr && !visited.Contains(at->LayerCode);
       at = FollowingLayer(*at)) {
    visited.Add(at->LayerCode);
    if (set.Contains(at->LayerCode)) ++position;
    if (at == layer) break;
  }
  return position;
}

std::uint8_t TPcbBoard::LayerStatus2(HostLayer code) const {
  const TLayerObject* layer = LayerAt(code);
  return layer != nullptr ? layer->Status2 : 0;
}

std::string_view TPcbBoard::PlaneNetName(int n) const {
  if (n < 1 || n > 4) return {};
  const auto* plane = dynamic_cast<const TInternalPlane*>(LayerAt(InternalPlane(n)));
  return plane != nullptr ? plane->NetName.View() : std::string_view{};
}

Coord TPcbBoard::Clearance() const {
  Coord clearance = kDefaultClearance;
  Iterate(&TakeClearance, &clearance, MaskOf(RuleObject), LayerSet::BoardLayers(), 1);
  return clearance;
}
