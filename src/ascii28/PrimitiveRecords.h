// The track, fill, arc and via records. Each writer is an
// iteration callback: one call per handle the host yields, in both the
// component pass (InComponent true, prefix C) and the free pass (prefix F,
// component members left out).
#pragma once

#include "PcbApi.h"

namespace ascii28 {

void WriteTrackRecord(ObjectHandle track);  // KindMask 16
void WriteFillRecord(ObjectHandle fill);    // KindMask 64
void WriteArcRecord(ObjectHandle arc);      // KindMask 2
void WriteViaRecord(ObjectHandle via);      // KindMask 8

}  // namespace ascii28
