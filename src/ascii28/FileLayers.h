// Layer numbers of the file and their host layers. The file knows the top and
// bottom layers, fourteen mid layers, four internal planes, four mechanical
// layers and the special layers; other host layers have no file number.
#pragma once

#include <cstdint>

#include "HostLayers.h"

namespace ascii28 {

using FileLayer = std::uint8_t;  // 0 to 42

inline constexpr FileLayer kLastFileLayer = 42;

// Host layers without a file number of their own go to file layer 1 (top).
FileLayer HostToFileLayer(HostLayer layer);
// File numbers outside 0 to 42 give NoLayer (0).
HostLayer FileToHostLayer(int fileLayer);
// The layer-pair number 0 to 8 of a via from `low` to `high`: 0 for a
// through via, otherwise decided by the low layer alone.
std::uint8_t ViaLayerPairNumber(HostLayer low, HostLayer high);

}  // namespace ascii28
