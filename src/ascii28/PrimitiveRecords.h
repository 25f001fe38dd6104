// The track, fill, arc and via records. Each writer is an
// iteration callback: one call per handle the host yields, in both the
// component pass (InComponent true, prefix C) and the free pass (prefix F,
// component members left out).
#pragma once

#include <cstdint>

#include "PcbApi.h"

class TPcbTrack;
class TPcbFill;
class TPcbArc;
class TPcbVia;

namespace ascii28 {

void WriteTrackRecord(ObjectHandle track);  // KindMask 16
void WriteFillRecord(ObjectHandle fill);    // KindMask 64
void WriteArcRecord(ObjectHandle arc);      // KindMask 2
void WriteViaRecord(ObjectHandle via);      // KindMask 8

// The numbers of the objects a primitive names: its net and its polygon.
struct PrimitiveReferences {
  std::uint16_t Net = 0;
  std::uint16_t Polygon = 0;
};

// False for a track of zero length (in host units), which has no record.
bool HasTrackRecord(const TPcbTrack& track);

// The lay-out halves of the writers above: the record from loaded values.
void LayOutTrackRecord(const TPcbTrack& track, const PrimitiveReferences& refs);
void LayOutFillRecord(const TPcbFill& fill, const PrimitiveReferences& refs);
void LayOutArcRecord(const TPcbArc& arc, const PrimitiveReferences& refs);
void LayOutViaRecord(const TPcbVia& via, std::uint16_t net);

}  // namespace ascii28
