// The key sets of the streaming reader.
#include "boardfile/FastKeys.h"

#include <iterator>
#include <string_view>

#include "boardfile/FieldRules.h"

namespace boardfile::fast {

#define PCB28_COMMON_KEYS \
  { "layer", "net", "tag", "flags", "index", "bitfield2", "bitfield3" }

// The exact reader's list, in the order of TopKey.
static_assert(std::size(kTopLevelKeys) == kDimensions + 1);
static_assert(std::string_view(kTopLevelKeys[kVersion]) == "pcb28_board" &&
              std::string_view(kTopLevelKeys[kComponents]) == "components" &&
              std::string_view(kTopLevelKeys[kDimensions]) == "dimensions");
const KeySet kTopKeys{kTopLevelKeys};
const KeySet kTrackKeys{PCB28_COMMON_KEYS,
                        {"x", "y", "x2", "y2", "width", "polygon", "extra1", "extra2"}};
const KeySet kArcKeys{PCB28_COMMON_KEYS,
                      {"x", "y", "radius", "start_angle", "end_angle", "width", "polygon"}};
const KeySet kViaKeys{PCB28_COMMON_KEYS, {"x", "y", "size", "hole", "low_layer", "high_layer"}};
const KeySet kFillKeys{PCB28_COMMON_KEYS, {"x", "y", "x2", "y2", "rotation", "polygon"}};
const KeySet kTextKeys{
    PCB28_COMMON_KEYS,
    {"x", "y", "height", "style", "rotation", "text_flag", "text", "width", "extra1", "extra2"}};
const KeySet kPadKeys{PCB28_COMMON_KEYS,
                      {"x", "y", "name", "hole", "rotation", "size", "top", "mid", "bottom",
                       "pad_byte1", "pad_byte2", "pwr_gnd", "stack_mode", "layer_stack"}};
const KeySet kLevelKeys{{"x_size", "y_size", "shape"}};
const KeySet kComponentKeys{
    PCB28_COMMON_KEYS,
    {"x", "y", "pattern", "rotation", "bytes", "value", "channel_offset", "component_kind", "ex",
     "source_links", "designator", "comment", "tracks", "arcs", "pads", "fills", "vias", "texts"}};
const KeySet kAreaKeys{PCB28_COMMON_KEYS,
                       {"id", "bytes", "value1", "track_width", "value3", "style_code", "outline"}};
const KeySet kOutlineEntryKeys{{"x", "y", "arc", "kind"}};
const KeySet kOutlineArcKeys{{"cx", "cy", "radius", "start_angle", "end_angle"}};
const KeySet kNetKeys{{"name", "value", "byte", "index", "bitfield2", "bitfield3"}};
const KeySet kClassKeys{{"name", "bytes", "members", "index", "bitfield2", "bitfield3"}};
const KeySet kRuleKeys{{"kind", "priority", "scope", "values", "layers", "bytes", "texts1",
                        "numbers", "texts2", "bitfield2", "bitfield3"}};
const KeySet kScopeKeys{{"net", "component"}};
const KeySet kFromToKeys{
    {"x", "y", "x2", "y2", "from_byte", "to_byte", "net", "index", "bitfield2", "bitfield3"}};
const KeySet kManualFromToKeys{{"texts", "value", "index", "bitfield2", "bitfield3"}};
const KeySet kCoordinateKeys{PCB28_COMMON_KEYS, {"x", "y", "values"}};
const KeySet kDimensionKeys{PCB28_COMMON_KEYS, {"x", "y", "values", "ext", "references"}};
const KeySet kBoardKeys{{"info", "info10", "layer", "grids", "output_options", "plot_layers",
                         "flip_layers", "gerber_options", "printer_options", "plotter_pens",
                         "composite_layers", "placer_options", "eco_options",
                         "external_dielectrics", "layer_info"}};
const KeySet kDielectricKeys{{"material", "type", "constant", "height"}};
const KeySet kLayerKeys{{"name", "copper_thickness", "status", "dielectric", "net"}};
const KeySet kLayerPairKeys{{"low", "high", "values"}};

}  // namespace boardfile::fast
