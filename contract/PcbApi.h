// C signatures of the host PCB server entry points that the plug-in calls.
//
// The plug-in never links against these declarations: it only takes their
// types (decltype) for the slots of its entry-point table. The stand-in
// server defines them, so a signature that drifts on either side fails to
// compile. Every width here is the width the server reads or writes.
//
// Conventions of every query: the first parameter is the QueryMode byte
// (1 = get: the server fills the referenced storage; 0 = set: the server
// stores the referenced values in its object), then the object handle, then
// one pointer per value. A text buffer of n bytes holds a length-prefixed
// string of at most n - 1 characters. Results are statuses (0 = success),
// handles (0 = none) or one byte.
#pragma once

#include <cstddef>
#include <cstdint>

// The calling convention of the host boundary, the same for both directions:
// every server entry point below and the plug-in's three exports
// (PluginExports.h). On 32-bit Windows it is stdcall (the callee pops the
// arguments), the convention of a DLL interface callable from any language,
// and every such function is exported under its plain name: no leading
// underscore, no "@N" suffix (the DLLs are linked with --kill-at). On 64-bit
// Windows and elsewhere there is only the platform's one C convention.
// PCBAPI_EXPORT marks a definition that a DLL or shared object exports.
#if defined(_WIN32)
#define PCBAPI_CALL __stdcall
#define PCBAPI_EXPORT __declspec(dllexport)
#else
#define PCBAPI_CALL
#define PCBAPI_EXPORT __attribute__((visibility("default")))
#endif

using ObjectHandle = std::uint32_t;  // 0 = none
using Coord = std::int32_t;          // host units, 10000 to the mil
using HostLayer = std::uint8_t;      // 0 = no layer, 1 to 82 = board layers
using QueryMode = std::uint8_t;      // 1 = get, 0 = set
using ObjectKindCode = std::uint8_t;
using IterationMethod = std::uint8_t;
using RuleKindCode = std::uint8_t;
using Status = std::int32_t;  // 0 = success

inline constexpr QueryMode kQueryGet = 1;
inline constexpr QueryMode kQuerySet = 0;

// Sizes of the text buffers the server writes into (length byte included).
inline constexpr std::size_t kNameBufferSize = 256;
inline constexpr std::size_t kTextBufferSize = 255;
inline constexpr std::size_t kPatternBufferSize = 251;
inline constexpr std::size_t kPadNameBufferSize = 21;

inline constexpr int kPolygonSegmentCapacity = 501;

#pragma pack(push, 1)
// One outline entry of a polygon, in the host's packed layout (37 bytes).
struct PolygonSegment {
  std::uint8_t SegmentKind;  // 1 = arc entry
  Coord X;
  Coord Y;
  Coord CenterX;
  Coord CenterY;
  Coord Radius;
  double StartAngle;
  double EndAngle;
};
#pragma pack(pop)
static_assert(sizeof(PolygonSegment) == 37);

using PolygonSegments = PolygonSegment[kPolygonSegmentCapacity];

extern "C" {

// ---- run control, iteration and lookups
ObjectHandle PCBAPI_CALL PcbApi_GetCurrentBoardHandle();
Status PCBAPI_CALL PcbApi_Percent_Init(std::uint8_t* caption /*[256]*/, std::int32_t total);
Status PCBAPI_CALL PcbApi_Percent_Update();
Status PCBAPI_CALL PcbApi_Percent_Finish();
ObjectHandle PCBAPI_CALL PcbApi_CreateIterator(ObjectHandle owner, ObjectKindCode kind,
                                               IterationMethod method, HostLayer layer);
ObjectHandle PCBAPI_CALL PcbApi_GetFirstObject(ObjectHandle iterator);
ObjectHandle PCBAPI_CALL PcbApi_GetNextObject(ObjectHandle iterator);
Status PCBAPI_CALL PcbApi_DestroyIterator(ObjectHandle iterator);
ObjectKindCode PCBAPI_CALL PcbApi_GetObjectIdFromObjectHandle(ObjectHandle object);
ObjectHandle PCBAPI_CALL PcbApi_FindDominantRuleForObject(ObjectHandle object, RuleKindCode kind);
Status PCBAPI_CALL PcbApi_GetObjectBitField2(QueryMode mode, ObjectHandle object,
                                             std::uint8_t* bitField2);
Status PCBAPI_CALL PcbApi_GetObjectBitField3(QueryMode mode, ObjectHandle object,
                                             std::uint16_t* bitField3);

// ---- object queries; the common block of the primitives is
// Flags, Index, Layer, NetHandle, Tag, ComponentHandle, X, Y.
Status PCBAPI_CALL PcbApi_QueryTrack(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                     std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                     std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                     Coord* x2, Coord* y2, Coord* width, ObjectHandle* polygon,
                                     std::int32_t* extra1, std::int32_t* extra2);
Status PCBAPI_CALL PcbApi_QueryVia(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                   std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                   std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                   Coord* size, Coord* holeSize, HostLayer* lowLayer,
                                   HostLayer* highLayer);
Status PCBAPI_CALL PcbApi_QueryArc(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                   std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                   std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                   Coord* radius, double* startAngle, double* endAngle,
                                   Coord* lineWidth, ObjectHandle* polygon);
Status PCBAPI_CALL PcbApi_QueryFill(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                    std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                    std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                    Coord* x2, Coord* y2, ObjectHandle* polygon, double* rotation);
Status PCBAPI_CALL PcbApi_QueryText(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                    std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                    std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                    Coord* height, std::int32_t* style, double* rotation,
                                    std::uint8_t* textFlag, std::uint8_t* text /*[255]*/,
                                    Coord* lineWidth, std::int32_t* extra1, std::int32_t* extra2);
Status PCBAPI_CALL PcbApi_QueryPad(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                   std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                   std::uint8_t* tag, ObjectHandle* component, Coord* x, Coord* y,
                                   Coord* xSizeTop, Coord* ySizeTop, Coord* xSizeMid,
                                   Coord* ySizeMid, Coord* xSizeBottom, Coord* ySizeBottom,
                                   Coord* holeSize, std::uint8_t* shapeTop, std::uint8_t* shapeMid,
                                   std::uint8_t* shapeBottom, std::uint8_t* name /*[21]*/,
                                   std::uint8_t* padByte1, std::uint8_t* padByte2,
                                   double* rotation);
Status PCBAPI_CALL PcbApi_QueryPadStackMode(QueryMode mode, ObjectHandle object,
                                            std::uint8_t* stackMode);
Status PCBAPI_CALL PcbApi_QueryComponent(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                         std::uint16_t* index, HostLayer* layer, std::uint8_t* tag,
                                         ObjectHandle* nameText, ObjectHandle* commentText,
                                         std::uint8_t* pattern /*[251]*/, std::uint8_t* byte1,
                                         std::uint8_t* byte2, Coord* x, Coord* y,
                                         std::int32_t* value, double* rotation,
                                         std::uint8_t* byte3);
Status PCBAPI_CALL PcbApi_QueryComponentEx(QueryMode mode, ObjectHandle object,
                                           std::int32_t* value1, std::uint8_t* byte1,
                                           std::uint8_t* byte2, std::int32_t* value2);
Status PCBAPI_CALL PcbApi_QueryComponentSourceLinks(QueryMode mode, ObjectHandle object,
                                                    std::uint8_t* link1, std::uint8_t* link2,
                                                    std::uint8_t* link3, std::uint8_t* link4,
                                                    std::uint8_t* link5, std::uint8_t* link6,
                                                    std::uint8_t* link7 /*[256] each*/);
Status PCBAPI_CALL PcbApi_QueryComponentChannelOffset(QueryMode mode, ObjectHandle object,
                                                      std::int32_t* channelOffset);
Status PCBAPI_CALL PcbApi_QueryComponentKind(QueryMode mode, ObjectHandle object,
                                             std::uint8_t* componentKind);
Status PCBAPI_CALL PcbApi_QueryPolygon(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                       std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                       std::uint8_t* tag, std::uint8_t* byte1, std::uint8_t* byte2,
                                       std::uint8_t* byte3, Coord* value1, Coord* trackWidth,
                                       std::uint8_t* byte4, std::uint8_t* styleCode, Coord* value3,
                                       std::uint8_t* byte0, std::int32_t* segmentCount,
                                       PolygonSegments* segments);
Status PCBAPI_CALL PcbApi_QueryNet(QueryMode mode, ObjectHandle object, std::uint16_t* index,
                                   std::uint8_t* name /*[256]*/, std::uint8_t* netByte,
                                   std::uint32_t* netValue);
Status PCBAPI_CALL PcbApi_QueryRule(QueryMode mode, ObjectHandle object, std::uint8_t* ruleKind,
                                    std::uint8_t* byte1, std::uint8_t* byte2, std::uint8_t* byte3,
                                    std::uint8_t* byte4, std::uint8_t* byte5, std::uint8_t* byte6,
                                    std::uint8_t* text1a, std::uint8_t* text1b,
                                    std::uint8_t* text1c, std::uint8_t* text1d, std::uint8_t* byte7,
                                    std::uint8_t* byte8, std::int32_t* value1, std::int32_t* value2,
                                    std::int32_t* value3, std::int32_t* value4,
                                    std::uint8_t* text2a, std::uint8_t* text2b,
                                    std::uint8_t* text2c, std::uint8_t* text2d,
                                    std::uint8_t* text2e, std::uint8_t* text2f /*[256] each text*/);
Status PCBAPI_CALL PcbApi_QueryPrimitive(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                         std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                         ObjectHandle* component, std::uint8_t* tag);
Status PCBAPI_CALL PcbApi_QueryClass(QueryMode mode, ObjectHandle object, std::uint16_t* index,
                                     std::uint8_t* byte1, std::uint8_t* byte2,
                                     std::uint8_t* name /*[256]*/);
Status PCBAPI_CALL PcbApi_QueryFromTo(QueryMode mode, ObjectHandle object, std::uint16_t* index,
                                      Coord* x, Coord* y, std::uint8_t* fromByte, Coord* x2,
                                      Coord* y2, std::uint8_t* toByte, ObjectHandle* net);
Status PCBAPI_CALL PcbApi_QueryManualFromTo(QueryMode mode, ObjectHandle object,
                                            std::uint16_t* index, std::uint8_t* text1,
                                            std::uint8_t* text2, std::uint8_t* text3 /*[256] each*/,
                                            std::int32_t* value);
Status PCBAPI_CALL PcbApi_QueryCoordinate(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                          std::uint16_t* index, std::uint8_t* tag, Coord* x,
                                          Coord* y, HostLayer* layer, Coord* value1, Coord* value2,
                                          Coord* value3, Coord* value4, Coord* value5,
                                          Coord* value6);
Status PCBAPI_CALL PcbApi_QueryDimension(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                         std::uint16_t* index, std::uint8_t* tag, Coord* x,
                                         Coord* y, std::int32_t* value1, std::int32_t* value2,
                                         HostLayer* layer, std::int32_t* value3,
                                         std::int32_t* value4, std::int32_t* value5,
                                         std::int32_t* value6, std::int32_t* value7,
                                         std::uint8_t* byte1);
Status PCBAPI_CALL PcbApi_QueryExtDimension(
    QueryMode mode, ObjectHandle object, std::uint8_t* dimensionCode, std::int32_t* value1,
    std::int32_t* value2, std::int32_t* ext1, std::uint8_t* extByte1, std::int32_t* ext2,
    std::uint8_t* extText1 /*[256]*/, std::uint8_t* extByte2, std::int32_t* ext3,
    std::uint8_t* extText2 /*[256]*/, std::uint8_t* extText3 /*[256]*/, double* ext8Bytes,
    std::int32_t* ext4, std::int32_t* ext5, std::int32_t* ext6, std::uint8_t* extByte3,
    std::int32_t* ext7, std::int32_t* ext8, std::int32_t* ext9);

// ---- per-layer pad and via calls (layer by value, no QueryMode)
Status PCBAPI_CALL PcbApi_QueryPadOrViaShapeOnLayer(ObjectHandle object, HostLayer layer,
                                                    std::uint8_t* shape);
Status PCBAPI_CALL PcbApi_QueryPadOrViaSizeOnLayer(ObjectHandle object, HostLayer layer,
                                                   Coord* xSize, Coord* ySize);
Status PCBAPI_CALL PcbApi_SetPadShapeOnLayer(ObjectHandle object, HostLayer layer,
                                             std::uint8_t shape);
Status PCBAPI_CALL PcbApi_SetPadSizeOnLayer(ObjectHandle object, HostLayer layer, Coord xSize,
                                            Coord ySize);
Status PCBAPI_CALL PcbApi_QueryPad_PwrGnd(ObjectHandle object, std::uint8_t* pwrGnd);

// ---- rule values; the rule handle comes from PcbApi_FindDominantRuleForObject
Status PCBAPI_CALL PcbApi_QueryRuleClearanceConstraint(QueryMode mode, ObjectHandle rule,
                                                       Coord* gap);
Status PCBAPI_CALL PcbApi_QueryRuleMaxMinWidthConstraint(QueryMode mode, ObjectHandle rule,
                                                         Coord* first, Coord* second);
Status PCBAPI_CALL PcbApi_QueryRuleRoutingViaStyleRule(QueryMode mode, ObjectHandle rule,
                                                       std::int32_t* a, std::int32_t* b,
                                                       std::uint8_t* c);
Status PCBAPI_CALL PcbApi_QueryRuleRoutingTopologyRule(QueryMode mode, ObjectHandle rule,
                                                       std::uint8_t* topology);
Status PCBAPI_CALL PcbApi_QueryRuleRoutingPriorityRule(QueryMode mode, ObjectHandle rule,
                                                       std::int32_t* priority);
Status PCBAPI_CALL PcbApi_QueryRulePowerPlaneConnectStyleRule(QueryMode mode, ObjectHandle rule,
                                                              std::uint8_t* style, std::int32_t* a,
                                                              std::int32_t* b, std::int32_t* c,
                                                              std::int32_t* d);
Status PCBAPI_CALL PcbApi_QueryRulePasteMaskExpansionRule(QueryMode mode, ObjectHandle rule,
                                                          Coord* expansion);
Status PCBAPI_CALL PcbApi_QueryRuleSolderMaskExpansionRule(QueryMode mode, ObjectHandle rule,
                                                           Coord* expansion);
Status PCBAPI_CALL PcbApi_QueryRulePowerPlaneExpansionRule(QueryMode mode, ObjectHandle rule,
                                                           Coord* expansion);

// ---- board and layers
Status PCBAPI_CALL PcbApi_QueryBoard(QueryMode mode, ObjectHandle board, std::int32_t* info1,
                                     std::uint8_t* info2 /*[256]*/, std::uint8_t* info3,
                                     std::int32_t* info4, std::int32_t* info5, std::int32_t* info6,
                                     std::int32_t* info7, std::uint8_t* info8,
                                     HostLayer* boardLayer, std::int32_t* info10);
Status PCBAPI_CALL PcbApi_QueryBoardLayerInfo(QueryMode mode, ObjectHandle board, HostLayer layer,
                                              std::uint8_t* value1, std::uint8_t* value2,
                                              std::int32_t* layerInfo);
Status PCBAPI_CALL PcbApi_QueryLayer(QueryMode mode, HostLayer layer, ObjectHandle board,
                                     std::uint8_t* name /*[256]*/, std::int32_t* copperThickness,
                                     std::uint8_t* status1, std::uint8_t* status2,
                                     HostLayer* prevLayer, HostLayer* nextLayer,
                                     std::uint8_t* status3);
Status PCBAPI_CALL PcbApi_QueryInternalPlane(QueryMode mode, HostLayer layer, ObjectHandle board,
                                             std::uint8_t* name /*[256]*/,
                                             std::int32_t* copperThickness, std::uint8_t* status1,
                                             std::uint8_t* status2, HostLayer* prevLayer,
                                             HostLayer* nextLayer, std::uint8_t* netName /*[256]*/);
Status PCBAPI_CALL PcbApi_QueryLayerDielectric(QueryMode mode, HostLayer layer, ObjectHandle board,
                                               std::uint8_t* material /*[256]*/, std::uint8_t* type,
                                               double* constant, std::int32_t* height);
Status PCBAPI_CALL PcbApi_QueryBoardExternalDielectrics(
    QueryMode mode, ObjectHandle board, std::uint8_t* material1 /*[256]*/, std::uint8_t* type1,
    double* constant1, std::int32_t* height1, std::uint8_t* material2 /*[256]*/,
    std::uint8_t* type2, double* constant2, std::int32_t* height2);
Status PCBAPI_CALL PcbApi_QueryBoardGridsEx(QueryMode mode, ObjectHandle board, std::uint8_t* grid1,
                                            std::uint8_t* grid2, std::uint8_t* grid3,
                                            std::uint8_t* grid4, double* grid5, double* grid6,
                                            double* grid7, double* grid8, std::int32_t* grid9,
                                            std::uint8_t* grid10, double* grid11, double* grid12,
                                            double* grid13, double* grid14);
Status PCBAPI_CALL PcbApi_QueryBoardLayerPairsCount(ObjectHandle board, std::int32_t* count);
Status PCBAPI_CALL PcbApi_QueryBoardLayerPairAt(QueryMode mode, ObjectHandle board,
                                                std::int32_t index, HostLayer* lowLayer,
                                                HostLayer* highLayer, std::uint8_t* value1,
                                                std::uint8_t* value2);
Status PCBAPI_CALL PcbApi_QueryBoardOutputOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* value1, std::int32_t* value2,
    std::uint8_t* b1, std::uint8_t* b2, std::uint8_t* b3, std::uint8_t* b4, std::uint8_t* b5,
    std::uint8_t* b6, std::uint8_t* b7, std::uint8_t* b8, std::uint8_t* b9, std::uint8_t* b10,
    std::uint8_t* b11, std::uint8_t* b12, std::uint8_t* b13, std::uint8_t* b14, std::uint8_t* b15,
    std::uint8_t* b16, std::uint8_t* b17, std::uint8_t* b18, std::uint8_t* b19, std::uint8_t* b20,
    std::uint8_t* b21, std::uint8_t* b22);
Status PCBAPI_CALL PcbApi_QueryBoardOutputOptionsPlotLayers(QueryMode mode, ObjectHandle board,
                                                            std::uint8_t layer, std::uint8_t* flag);
Status PCBAPI_CALL PcbApi_QueryBoardOutputOptionsFlipLayers(QueryMode mode, ObjectHandle board,
                                                            std::uint8_t layer, std::uint8_t* flag);
Status PCBAPI_CALL PcbApi_QueryBoardGerberOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* v1, std::int32_t* v2, std::int32_t* v3,
    std::int32_t* v4, std::int32_t* v5, std::int32_t* v6, std::int32_t* v7, std::int32_t* v8,
    std::int32_t* v9, std::int32_t* v10, std::int32_t* v11, std::int32_t* v12, std::int32_t* v13,
    std::int32_t* v14, std::int32_t* v15, std::int32_t* v16, std::int32_t* v17, std::int32_t* v18);
Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptions(
    QueryMode mode, ObjectHandle board, std::int32_t* v1, std::int32_t* v2, std::int32_t* v3,
    std::int32_t* v4, std::int32_t* v5, std::int32_t* v6, std::int32_t* v7, std::int32_t* v8,
    std::int32_t* v9, std::int32_t* v10, std::int32_t* v11, std::int32_t* v12, std::int32_t* v13,
    std::int32_t* v14, std::int32_t* v15, std::int32_t* v16, std::int32_t* v17, std::int32_t* v18,
    std::int32_t* v19, std::int32_t* v20, std::int32_t* v21, std::int32_t* v22, std::int32_t* v23,
    std::int32_t* v24, std::int32_t* v25, std::int32_t* v26);
Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsPlotterPen(QueryMode mode, ObjectHandle board,
                                                             std::int32_t pen, std::int32_t* value1,
                                                             std::int32_t* value2);
Status PCBAPI_CALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(
    QueryMode mode, ObjectHandle board, HostLayer layer, std::int32_t* value1, std::int32_t* value2,
    std::uint8_t* value3, std::int32_t* value4);
Status PCBAPI_CALL PcbApi_QueryBoardAdvancedPlacerOptions(QueryMode mode, ObjectHandle board,
                                                          std::uint8_t* text1 /*[256]*/,
                                                          std::uint8_t* text2 /*[256]*/,
                                                          std::uint8_t* b1, std::uint8_t* b2,
                                                          std::uint8_t* b3, std::uint8_t* b4);
Status PCBAPI_CALL PcbApi_QueryBoardEngineeringChangeOrderOptions(QueryMode mode,
                                                                  ObjectHandle board,
                                                                  std::uint8_t* b1,
                                                                  std::uint8_t* b2);

// ---- object operations not made on the export run
Status PCBAPI_CALL PcbApi_QueryObjectBoundingRectangle(ObjectHandle object, Coord* x1, Coord* y1,
                                                       Coord* x2, Coord* y2);
std::int32_t PCBAPI_CALL PcbApi_QueryObjectImport_FromUser(ObjectHandle object);
std::int32_t PCBAPI_CALL PcbApi_QueryObjectGraphicallyInvalidate(ObjectHandle object);
Status PCBAPI_CALL PcbApi_References_Count(ObjectHandle object, std::int32_t* count);
Status PCBAPI_CALL PcbApi_References_At(QueryMode mode, ObjectHandle object, std::int32_t index,
                                        std::int32_t* value1, std::int32_t* value2,
                                        std::int32_t* value3, std::int32_t* value4);
// 1 = no member at that index; anything else = a name was written.
std::int32_t PCBAPI_CALL PcbApi_GetMemberFromClassAt(ObjectHandle classObject, std::int32_t index,
                                                     std::uint8_t* name /*[256]*/);
Status PCBAPI_CALL PcbApi_AddMemberToClass(ObjectHandle classObject,
                                           std::uint8_t* memberName /*[256]*/);
Status PCBAPI_CALL PcbApi_RemoveAllMembersFromClass(ObjectHandle classObject);

}  // extern "C"
