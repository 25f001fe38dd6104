// What both board-file readers hold a file to: the top-level keys, the host's
// field widths, list bounds and rule kinds.
#pragma once

#include <cstddef>

#include "PcbApi.h"
#include "server/Objects.h"

namespace boardfile {

// The top-level keys of a board file, the format version first.
inline constexpr const char* kTopLevelKeys[] = {
    "pcb28_board", "board",    "layers",          "stack",
    "layer_pairs", "nets",     "classes",         "rules",
    "components",  "polygons", "board_outlines",  "tracks",
    "arcs",        "vias",     "fills",           "texts",
    "pads",        "from_tos", "manual_from_tos", "coordinates",
    "dimensions"};

// Host field widths.
constexpr std::size_t kNameLimit = 255;  // net, class, layer names and most other strings
constexpr std::size_t kTextLimit = 254;
constexpr std::size_t kPadNameLimit = 20;
constexpr std::size_t kPatternLimit = 250;
constexpr std::size_t kMaxOutlineEntries = kPolygonSegmentCapacity;  // 500 segments
constexpr std::size_t kMaxDimensionReferences = 200;

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
