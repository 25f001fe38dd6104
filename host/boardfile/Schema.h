// The board file's keys, each written once: for every kind of object, the
// list of its keys with how each value is read and what it sets. The reader
// generates its key sets and its dispatch from these lists, messages name
// keys from them, and the KiCad converter writes its keys through Name().
//
// FIELD(key, reading, destination, arguments...):
//   key          the key as written in the file
//   reading      Length (host units or "12.5mil"), Int (an integer in the
//                range of the destination's type; a byte also takes true and
//                false), Real, Layer (arguments: the lowest layer code
//                allowed), Text (arguments: the longest text the host holds,
//                and the field's name in messages), Net (a net's name),
//                Polygon (a polygon's id), or Own (read by the reader's own
//                code: lists, nested objects, references between keys)
//   destination  the member of the object the value sets (_ for Own)
#pragma once

#include <cstddef>

#include "PcbApi.h"
#include "server/Objects.h"

namespace boardfile {

// Host field widths.
constexpr std::size_t kNameLimit = 255;  // net, class, layer names and most other strings
constexpr std::size_t kTextLimit = 254;
constexpr std::size_t kPadNameLimit = 20;
constexpr std::size_t kPatternLimit = 250;
constexpr std::size_t kMaxOutlineEntries = kPolygonSegmentCapacity;  // 500 segments
constexpr std::size_t kMaxDimensionReferences = 200;

// clang-format off

// The top level, the format version first.
#define PCB28_TOP_FIELDS(FIELD) \
  FIELD(pcb28_board, Own, _) \
  FIELD(board, Own, _) \
  FIELD(layers, Own, _) \
  FIELD(stack, Own, _) \
  FIELD(layer_pairs, Own, _) \
  FIELD(nets, Own, _) \
  FIELD(classes, Own, _) \
  FIELD(rules, Own, _) \
  FIELD(components, Own, _) \
  FIELD(polygons, Own, _) \
  FIELD(board_outlines, Own, _) \
  FIELD(tracks, Own, _) \
  FIELD(arcs, Own, _) \
  FIELD(vias, Own, _) \
  FIELD(fills, Own, _) \
  FIELD(texts, Own, _) \
  FIELD(pads, Own, _) \
  FIELD(from_tos, Own, _) \
  FIELD(manual_from_tos, Own, _) \
  FIELD(coordinates, Own, _) \
  FIELD(dimensions, Own, _)

#define PCB28_OBJECT_BITS(FIELD) \
  FIELD(bitfield2, Int, bitField2) \
  FIELD(bitfield3, Int, bitField3)

// What every object placed on a layer has; primitives have a net too.
#define PCB28_PLACED_FIELDS(FIELD) \
  FIELD(layer, Layer, layer, 0) \
  FIELD(tag, Int, tag) \
  FIELD(flags, Int, flags) \
  FIELD(index, Int, index) \
  PCB28_OBJECT_BITS(FIELD)

#define PCB28_PRIMITIVE_FIELDS(FIELD) \
  PCB28_PLACED_FIELDS(FIELD) \
  FIELD(net, Net, net)

// A ring ([x1, y1, x2, y2, ...], instead of x, y, x2, y2) stands for the
// closed chain of tracks from each point to the next and from the last back
// to the first, each with the object's other values.
#define PCB28_TRACK_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(x2, Length, x2) \
  FIELD(y2, Length, y2) \
  FIELD(width, Length, width) \
  FIELD(polygon, Polygon, polygon) \
  FIELD(extra1, Int, extra1) \
  FIELD(extra2, Int, extra2) \
  FIELD(ring, Own, _)

#define PCB28_ARC_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(radius, Length, radius) \
  FIELD(start_angle, Real, startAngle) \
  FIELD(end_angle, Real, endAngle) \
  FIELD(width, Length, lineWidth) \
  FIELD(polygon, Polygon, polygon)

#define PCB28_VIA_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(size, Length, size) \
  FIELD(hole, Length, hole) \
  FIELD(low_layer, Layer, lowLayer, 0) \
  FIELD(high_layer, Layer, highLayer, 0)

#define PCB28_FILL_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(x2, Length, x2) \
  FIELD(y2, Length, y2) \
  FIELD(rotation, Real, rotation) \
  FIELD(polygon, Polygon, polygon)

#define PCB28_TEXT_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(height, Length, height) \
  FIELD(style, Int, style) \
  FIELD(rotation, Real, rotation) \
  FIELD(text_flag, Int, textFlag) \
  FIELD(text, Text, text, kTextLimit, "text") \
  FIELD(width, Length, lineWidth) \
  FIELD(extra1, Int, extra1) \
  FIELD(extra2, Int, extra2)

// "size" sets all three levels; "top", "mid" and "bottom" then override it.
#define PCB28_PAD_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(name, Text, name, kPadNameLimit, "pad name") \
  FIELD(hole, Length, hole) \
  FIELD(rotation, Real, rotation) \
  FIELD(size, Own, _) \
  FIELD(top, Own, _) \
  FIELD(mid, Own, _) \
  FIELD(bottom, Own, _) \
  FIELD(pad_byte1, Int, padByte1) \
  FIELD(pad_byte2, Int, padByte2) \
  FIELD(pwr_gnd, Int, pwrGnd) \
  FIELD(stack_mode, Int, stackMode) \
  FIELD(layer_stack, Own, _)

#define PCB28_LEVEL_FIELDS(FIELD) \
  FIELD(x_size, Length, xSize) \
  FIELD(y_size, Length, ySize) \
  FIELD(shape, Int, shape)

// A component's members are read once the component is in the board.
#define PCB28_COMPONENT_FIELDS(FIELD) \
  PCB28_PLACED_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(pattern, Text, pattern, kPatternLimit, "component pattern") \
  FIELD(rotation, Real, rotation) \
  FIELD(bytes, Own, _) \
  FIELD(value, Int, value) \
  FIELD(channel_offset, Int, channelOffset) \
  FIELD(component_kind, Int, componentKind) \
  FIELD(ex, Own, _) \
  FIELD(source_links, Own, _) \
  FIELD(designator, Own, _) \
  FIELD(comment, Own, _) \
  FIELD(tracks, Own, _) \
  FIELD(arcs, Own, _) \
  FIELD(pads, Own, _) \
  FIELD(fills, Own, _) \
  FIELD(vias, Own, _) \
  FIELD(texts, Own, _)

// Polygons and board outlines.
#define PCB28_AREA_FIELDS(FIELD) \
  PCB28_PRIMITIVE_FIELDS(FIELD) \
  FIELD(id, Own, _) \
  FIELD(bytes, Own, _) \
  FIELD(value1, Length, value1) \
  FIELD(track_width, Length, trackWidth) \
  FIELD(value3, Length, value3) \
  FIELD(style_code, Int, styleCode) \
  FIELD(outline, Own, _)

// An entry with an arc is of kind 1 unless its kind is given.
#define PCB28_OUTLINE_ENTRY_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(arc, Own, _) \
  FIELD(kind, Own, _)

#define PCB28_OUTLINE_ARC_FIELDS(FIELD) \
  FIELD(cx, Length, cx) \
  FIELD(cy, Length, cy) \
  FIELD(radius, Length, radius) \
  FIELD(start_angle, Real, startAngle) \
  FIELD(end_angle, Real, endAngle)

#define PCB28_NET_FIELDS(FIELD) \
  FIELD(name, Own, _) \
  FIELD(value, Int, netValue) \
  FIELD(byte, Int, netByte) \
  FIELD(index, Int, index) \
  PCB28_OBJECT_BITS(FIELD)

#define PCB28_CLASS_FIELDS(FIELD) \
  FIELD(name, Text, name, kNameLimit, "class name") \
  FIELD(bytes, Own, _) \
  FIELD(members, Own, _) \
  FIELD(index, Int, index) \
  PCB28_OBJECT_BITS(FIELD)

// A rule's values are read once its kind is known.
#define PCB28_RULE_FIELDS(FIELD) \
  FIELD(kind, Own, _) \
  FIELD(priority, Int, priority) \
  FIELD(scope, Own, _) \
  FIELD(values, Own, _) \
  FIELD(layers, Own, _) \
  FIELD(bytes, Own, _) \
  FIELD(texts1, Own, _) \
  FIELD(numbers, Own, _) \
  FIELD(texts2, Own, _) \
  PCB28_OBJECT_BITS(FIELD)

#define PCB28_SCOPE_FIELDS(FIELD) \
  FIELD(net, Own, _) \
  FIELD(component, Own, _)

#define PCB28_FROM_TO_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(x2, Length, x2) \
  FIELD(y2, Length, y2) \
  FIELD(from_byte, Int, fromByte) \
  FIELD(to_byte, Int, toByte) \
  FIELD(net, Net, net) \
  FIELD(index, Int, index) \
  PCB28_OBJECT_BITS(FIELD)

#define PCB28_MANUAL_FROM_TO_FIELDS(FIELD) \
  FIELD(texts, Own, _) \
  FIELD(value, Int, value) \
  FIELD(index, Int, index) \
  PCB28_OBJECT_BITS(FIELD)

#define PCB28_COORDINATE_FIELDS(FIELD) \
  PCB28_PLACED_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(values, Own, _)

#define PCB28_DIMENSION_FIELDS(FIELD) \
  PCB28_PLACED_FIELDS(FIELD) \
  FIELD(x, Length, x) \
  FIELD(y, Length, y) \
  FIELD(values, Own, _) \
  FIELD(ext, Own, _) \
  FIELD(references, Own, _)

#define PCB28_BOARD_FIELDS(FIELD) \
  FIELD(info, Own, _) \
  FIELD(info10, Int, info10) \
  FIELD(layer, Layer, boardLayer, 0) \
  FIELD(grids, Own, _) \
  FIELD(output_options, Own, _) \
  FIELD(plot_layers, Own, _) \
  FIELD(flip_layers, Own, _) \
  FIELD(gerber_options, Own, _) \
  FIELD(printer_options, Own, _) \
  FIELD(plotter_pens, Own, _) \
  FIELD(composite_layers, Own, _) \
  FIELD(placer_options, Own, _) \
  FIELD(eco_options, Own, _) \
  FIELD(external_dielectrics, Own, _) \
  FIELD(layer_info, Own, _)

#define PCB28_DIELECTRIC_FIELDS(FIELD) \
  FIELD(material, Text, material, kNameLimit, "dielectric material") \
  FIELD(type, Int, type) \
  FIELD(constant, Real, constant) \
  FIELD(height, Length, height)

// Only the internal planes have a net.
#define PCB28_LAYER_FIELDS(FIELD) \
  FIELD(name, Text, name, kNameLimit, "layer name") \
  FIELD(copper_thickness, Length, copperThickness) \
  FIELD(status, Own, _) \
  FIELD(dielectric, Own, _) \
  FIELD(net, Own, _)

#define PCB28_LAYER_PAIR_FIELDS(FIELD) \
  FIELD(low, Layer, lowLayer, 1) \
  FIELD(high, Layer, highLayer, 1) \
  FIELD(values, Own, _)

// Every kind of object: its name and its list.
#define PCB28_OBJECT_KINDS(KIND) \
  KIND(Top, PCB28_TOP_FIELDS) \
  KIND(Track, PCB28_TRACK_FIELDS) \
  KIND(Arc, PCB28_ARC_FIELDS) \
  KIND(Via, PCB28_VIA_FIELDS) \
  KIND(Fill, PCB28_FILL_FIELDS) \
  KIND(Text, PCB28_TEXT_FIELDS) \
  KIND(Pad, PCB28_PAD_FIELDS) \
  KIND(Level, PCB28_LEVEL_FIELDS) \
  KIND(Component, PCB28_COMPONENT_FIELDS) \
  KIND(Area, PCB28_AREA_FIELDS) \
  KIND(OutlineEntry, PCB28_OUTLINE_ENTRY_FIELDS) \
  KIND(OutlineArc, PCB28_OUTLINE_ARC_FIELDS) \
  KIND(Net, PCB28_NET_FIELDS) \
  KIND(Class, PCB28_CLASS_FIELDS) \
  KIND(Rule, PCB28_RULE_FIELDS) \
  KIND(Scope, PCB28_SCOPE_FIELDS) \
  KIND(FromTo, PCB28_FROM_TO_FIELDS) \
  KIND(ManualFromTo, PCB28_MANUAL_FROM_TO_FIELDS) \
  KIND(Coordinate, PCB28_COORDINATE_FIELDS) \
  KIND(Dimension, PCB28_DIMENSION_FIELDS) \
  KIND(Board, PCB28_BOARD_FIELDS) \
  KIND(Dielectric, PCB28_DIELECTRIC_FIELDS) \
  KIND(Layer, PCB28_LAYER_FIELDS) \
  KIND(LayerPair, PCB28_LAYER_PAIR_FIELDS)

// clang-format on

// For each kind: an enum of its keys (TrackKey::x2), the keys' names in
// that order (kTrackKeyNames) and Name(TrackKey::x2) == "x2".
#define PCB28_KEY_ENUMERATOR(key, ...) key,
#define PCB28_KEY_NAME(key, ...) #key,
#define PCB28_DECLARE_KIND(Kind, FIELDS)                                       \
  enum class Kind##Key : int{FIELDS(PCB28_KEY_ENUMERATOR)};                    \
  inline constexpr const char* k##Kind##KeyNames[] = {FIELDS(PCB28_KEY_NAME)}; \
  constexpr const char* Name(Kind##Key key) { return k##Kind##KeyNames[static_cast<int>(key)]; }
PCB28_OBJECT_KINDS(PCB28_DECLARE_KIND)
#undef PCB28_DECLARE_KIND

// The rule kinds a file may name, and the values each takes.
struct RuleKindName {
  const char* name;
  standin::RuleKind kind;
  const char* values;  // one letter per value: L a length or 32-bit integer, B a byte
};
inline constexpr RuleKindName kRuleKinds[] = {
    {"Clearance", standin::RuleKind::Clearance, "L"},
    {"Width", standin::RuleKind::Width, "LL"},
    {"PlaneConnect", standin::RuleKind::PlaneConnect, "BLLLL"},
    {"RoutingTopology", standin::RuleKind::RoutingTopology, "B"},
    {"RoutingPriority", standin::RuleKind::RoutingPriority, "L"},
    {"RoutingVias", standin::RuleKind::RoutingVias, "LLB"},
    {"PowerPlaneExpansion", standin::RuleKind::PowerPlaneExpansion, "L"},
    {"SolderMaskExpansion", standin::RuleKind::SolderMaskExpansion, "L"},
    {"PasteMaskExpansion", standin::RuleKind::PasteMaskExpansion, "L"},
};

}  // namespace boardfile
