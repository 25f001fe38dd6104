// Entry points of the board and its layers, grids, options and layer pairs.
#include "server/QuerySupport.h"

using namespace standin;

namespace {

// Layer references in set mode must name a layer code.
bool BadLayerRef(const HostLayer* layer) { return layer != nullptr && *layer > kLastHostLayer; }

void Dielectrics(const Exchange& xc, Dielectric& d, std::uint8_t* material, std::uint8_t* type,
                 double* constant, std::int32_t* height) {
  xc.Text(material, kNameBufferSize, d.material);
  xc(type, d.type);
  xc(constant, d.constant);
  xc(height, d.height);
}

// A query of one layer of a board: once the layer code is good, `body`
// moves the values (and answers the status, as Query's body does).
template <class Body>
Status LayerQuery(QueryMode mode, ObjectHandle board, HostLayer code, Body&& body) {
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    return ValidLayer(code) ? Answer(body, xc, b) : kBadArgument;
  });
}

// The values the layer and internal-plane queries share; `more` moves the
// one each adds.
template <class More>
Status ExchangeLayer(QueryMode mode, HostLayer code, ObjectHandle board, std::uint8_t* name,
                     std::int32_t* copperThickness, std::uint8_t* status1, std::uint8_t* status2,
                     HostLayer* prevLayer, HostLayer* nextLayer, More&& more) {
  return LayerQuery(mode, board, code, [&](const Exchange& xc, Board& b) {
    if (!xc.get() && (BadLayerRef(prevLayer) || BadLayerRef(nextLayer))) return kBadArgument;
    Layer& l = b.layers[code];
    xc.Text(name, kNameBufferSize, l.name);
    xc(copperThickness, l.copperThickness);
    xc(status1, l.status1);
    xc(status2, l.status2);
    xc(prevLayer, l.prevLayer);
    xc(nextLayer, l.nextLayer);
    more(xc, l);
    return kOk;
  });
}

// One flag of a per-layer list of the output options (layers 1 to 109).
Status OutputLayerFlag(QueryMode mode, ObjectHandle board, std::uint8_t layer, std::uint8_t* flag,
                       decltype(OutputOptions::plotLayers) OutputOptions::*flags) {
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    auto& list = b.outputOptions.*flags;
    if (layer < 1 || layer >= list.size()) return kBadArgument;
    xc(flag, list[layer]);
    return kOk;
  });
}

}  // namespace

extern "C" {

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoard(QueryMode mode, ObjectHandle board,
                                                   std::int32_t* info1, std::uint8_t* info2,
                                                   std::uint8_t* info3, std::int32_t* info4,
                                                   std::int32_t* info5, std::int32_t* info6,
                                                   std::int32_t* info7, std::uint8_t* info8,
                                                   HostLayer* boardLayer, std::int32_t* info10) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    if (!xc.get() && BadLayerRef(boardLayer)) return kBadArgument;
    xc(info1, b.info1);
    xc.Text(info2, kNameBufferSize, b.info2);
    xc(info3, b.info3);
    xc(info4, b.info4);
    xc(info5, b.info5);
    xc(info6, b.info6);
    xc(info7, b.info7);
    xc(info8, b.info8);
    xc(boardLayer, b.boardLayer);
    xc(info10, b.info10);
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardLayerInfo(QueryMode mode, ObjectHandle board,
                                                            HostLayer layer, std::uint8_t* value1,
                                                            std::uint8_t* value2,
                                                            std::int32_t* layerInfo) {
  RECORD(mode, board, layer);
  return LayerQuery(mode, board, layer, [&](const Exchange& xc, Board& b) {
    LayerInfo& info = b.layerInfo[layer];
    xc(value1, info.value1);
    xc(value2, info.value2);
    xc(layerInfo, info.info);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryLayer(QueryMode mode, HostLayer layer,
                                                   ObjectHandle board, std::uint8_t* name,
                                                   std::int32_t* copperThickness,
                                                   std::uint8_t* status1, std::uint8_t* status2,
                                                   HostLayer* prevLayer, HostLayer* nextLayer,
                                                   std::uint8_t* status3) {
  RECORD(mode, layer, board);
  return ExchangeLayer(mode, layer, board, name, copperThickness, status1, status2, prevLayer,
                       nextLayer, [&](const Exchange& xc, Layer& l) { xc(status3, l.status3); });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryInternalPlane(
    QueryMode mode, HostLayer layer, ObjectHandle board, std::uint8_t* name,
    std::int32_t* copperThickness, std::uint8_t* status1, std::uint8_t* status2,
    HostLayer* prevLayer, HostLayer* nextLayer, std::uint8_t* netName) {
  RECORD(mode, layer, board);
  return ExchangeLayer(
      mode, layer, board, name, copperThickness, status1, status2, prevLayer, nextLayer,
      [&](const Exchange& xc, Layer& l) { xc.Text(netName, kNameBufferSize, l.planeNet); });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryLayerDielectric(QueryMode mode, HostLayer layer,
                                                             ObjectHandle board,
                                                             std::uint8_t* material,
                                                             std::uint8_t* type, double* constant,
                                                             std::int32_t* height) {
  RECORD(mode, layer, board);
  return LayerQuery(mode, board, layer, [&](const Exchange& xc, Board& b) {
    Dielectrics(xc, b.layers[layer].dielectric, material, type, constant, height);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardExternalDielectrics(
    QueryMode mode, ObjectHandle board, std::uint8_t* material1, std::uint8_t* type1,
    double* constant1, std::int32_t* height1, std::uint8_t* material2, std::uint8_t* type2,
    double* constant2, std::int32_t* height2) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    Dielectrics(xc, b.externalDielectrics[0], material1, type1, constant1, height1);
    Dielectrics(xc, b.externalDielectrics[1], material2, type2, constant2, height2);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardGridsEx(
    QueryMode mode, ObjectHandle board, std::uint8_t* grid1, std::uint8_t* grid2,
    std::uint8_t* grid3, std::uint8_t* grid4, double* grid5, double* grid6, double* grid7,
    double* grid8, std::int32_t* grid9, std::uint8_t* grid10, double* grid11, double* grid12,
    double* grid13, double* grid14) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    Grids& g = b.grids;
    xc(grid1, g.grid1);
    xc(grid2, g.grid2);
    xc(grid3, g.grid3);
    xc(grid4, g.grid4);
    xc(grid5, g.grid5);
    xc(grid6, g.grid6);
    xc(grid7, g.grid7);
    xc(grid8, g.grid8);
    xc(grid9, g.grid9);
    xc(grid10, g.grid10);
    xc(grid11, g.grid11);
    xc(grid12, g.grid12);
    xc(grid13, g.grid13);
    xc(grid14, g.grid14);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardLayerPairsCount(ObjectHandle board,
                                                                  std::int32_t* count) {
  RECORD(board);
  return AnswerCount(board, count, &Board::layerPairs);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardLayerPairAt(
    QueryMode mode, ObjectHandle board, std::int32_t index, HostLayer* lowLayer,
    HostLayer* highLayer, std::uint8_t* value1, std::uint8_t* value2) {
  RECORD(mode, board, index);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    LayerPair* pair = EntryAt(b.layerPairs, index);
    if (pair == nullptr) return kBadArgument;
    if (!xc.get() && (BadLayerRef(lowLayer) || BadLayerRef(highLayer))) return kBadArgument;
    xc(lowLayer, pair->lowLayer);
    xc(highLayer, pair->highLayer);
    xc(value1, pair->value1);
    xc(value2, pair->value2);
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardOutputOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* value1, std::int32_t* value2,
    std::uint8_t* b1, std::uint8_t* b2, std::uint8_t* b3, std::uint8_t* b4, std::uint8_t* b5,
    std::uint8_t* b6, std::uint8_t* b7, std::uint8_t* b8, std::uint8_t* b9, std::uint8_t* b10,
    std::uint8_t* b11, std::uint8_t* b12, std::uint8_t* b13, std::uint8_t* b14, std::uint8_t* b15,
    std::uint8_t* b16, std::uint8_t* b17, std::uint8_t* b18, std::uint8_t* b19, std::uint8_t* b20,
    std::uint8_t* b21, std::uint8_t* b22) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    OutputOptions& o = b.outputOptions;
    xc(value1, o.value1);
    xc(value2, o.value2);
    xc.Each(o.bytes, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15, b16, b17,
            b18, b19, b20, b21, b22);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardOutputOptionsPlotLayers(QueryMode mode,
                                                                          ObjectHandle board,
                                                                          std::uint8_t layer,
                                                                          std::uint8_t* flag) {
  RECORD(mode, board, layer);
  return OutputLayerFlag(mode, board, layer, flag, &OutputOptions::plotLayers);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardOutputOptionsFlipLayers(QueryMode mode,
                                                                          ObjectHandle board,
                                                                          std::uint8_t layer,
                                                                          std::uint8_t* flag) {
  RECORD(mode, board, layer);
  return OutputLayerFlag(mode, board, layer, flag, &OutputOptions::flipLayers);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardGerberOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* v1, std::int32_t* v2, std::int32_t* v3,
    std::int32_t* v4, std::int32_t* v5, std::int32_t* v6, std::int32_t* v7, std::int32_t* v8,
    std::int32_t* v9, std::int32_t* v10, std::int32_t* v11, std::int32_t* v12, std::int32_t* v13,
    std::int32_t* v14, std::int32_t* v15, std::int32_t* v16, std::int32_t* v17, std::int32_t* v18) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    xc.Each(b.gerberOptions, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14, v15, v16,
            v17, v18);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* v1, std::int32_t* v2, std::int32_t* v3,
    std::int32_t* v4, std::int32_t* v5, std::int32_t* v6, std::int32_t* v7, std::int32_t* v8,
    std::int32_t* v9, std::int32_t* v10, std::int32_t* v11, std::int32_t* v12, std::int32_t* v13,
    std::int32_t* v14, std::int32_t* v15, std::int32_t* v16, std::int32_t* v17, std::int32_t* v18,
    std::int32_t* v19, std::int32_t* v20, std::int32_t* v21, std::int32_t* v22, std::int32_t* v23,
    std::int32_t* v24, std::int32_t* v25, std::int32_t* v26) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    xc.Each(b.printerOptions.values, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14,
            v15, v16, v17, v18, v19, v20, v21, v22, v23, v24, v25, v26);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsPlotterPen(QueryMode mode,
                                                                           ObjectHandle board,
                                                                           std::int32_t pen,
                                                                           std::int32_t* value1,
                                                                           std::int32_t* value2) {
  RECORD(mode, board, pen);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    if (pen < 1 || pen > 8) return kBadArgument;
    PlotterPen& p = b.printerOptions.pens[static_cast<std::size_t>(pen)];
    xc(value1, p.value1);
    xc(value2, p.value2);
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(
    QueryMode mode, ObjectHandle board, HostLayer layer, std::int32_t* value1, std::int32_t* value2,
    std::uint8_t* value3, std::int32_t* value4) {
  RECORD(mode, board, layer);
  return LayerQuery(mode, board, layer, [&](const Exchange& xc, Board& b) {
    CompositeLayer& c = b.printerOptions.compositeLayers[layer];
    xc(value1, c.value1);
    xc(value2, c.value2);
    xc(value3, c.value3);
    xc(value4, c.value4);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardAdvancedPlacerOptions(
    QueryMode mode, ObjectHandle board, std::uint8_t* text1, std::uint8_t* text2, std::uint8_t* b1,
    std::uint8_t* b2, std::uint8_t* b3, std::uint8_t* b4) {
  RECORD(mode, board);
  return Query<Board>(mode, board, [&](const Exchange& xc, Board& b) {
    PlacerOptions& p = b.placerOptions;
    xc.Text(text1, kNameBufferSize, p.text1);
    xc.Text(text2, kNameBufferSize, p.text2);
    xc.Each(p.bytes, b1, b2, b3, b4);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryBoardEngineeringChangeOrderOptions(QueryMode mode,
                                                                                ObjectHandle board,
                                                                                std::uint8_t* b1,
                                                                                std::uint8_t* b2) {
  RECORD(mode, board);
  return Query<Board>(mode, board,
                      [&](const Exchange& xc, Board& b) { xc.Each(b.ecoOptions, b1, b2); });
}

}  // extern "C"
