// The component block and the polygon record.
#pragma once

#include "PcbApi.h"

namespace ascii28 {

// One component block: COMP, pattern, placement, designator and comment
// texts, the records of the component's own arcs, tracks, pads, fills, vias
// and other texts (prefix C), ENDCOMP. Callback of the component pass
// (KindMask 512).
void WriteComponentBlock(ObjectHandle component);
// One polygon record PG with its outline and one FA record per arc entry.
// Callback of the polygon pass (KindMask 1024).
void WritePolygonRecord(ObjectHandle polygon);

}  // namespace ascii28
