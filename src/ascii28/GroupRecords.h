// The component block and the polygon record.
#pragma once

#include <cstdint>

#include "PcbApi.h"

class TPcbComponent;
class TPcbPolygon;

namespace ascii28 {

// One component block: COMP, pattern, placement, designator and comment
// texts, the records of the component's own arcs, tracks, pads, fills, vias
// and other texts (prefix C), ENDCOMP. Callback of the component pass
// (KindMask 512).
void WriteComponentBlock(ObjectHandle component);
// One polygon record PG with its outline and one FA record per arc entry.
// Callback of the polygon pass (KindMask 1024).
void WritePolygonRecord(ObjectHandle polygon);

// The lay-out halves. A component block opens with the COMP, pattern and
// placement lines and closes with ENDCOMP; the records of its texts and
// members come between.
void LayOutComponentStart(const TPcbComponent& component);
void LayOutComponentEnd();

// The net numbers of a polygon record: one for the record, then one for each
// arc entry of the outline, in the order of the entries.
struct PolygonReferences {
  std::uint16_t Net = 0;
  std::uint16_t ArcNet[kPolygonSegmentCapacity] = {};
};
void LayOutPolygonRecord(const TPcbPolygon& polygon, const PolygonReferences& refs);

}  // namespace ascii28
