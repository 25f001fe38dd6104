// Net definitions: one NETDEF block per net with its routing settings, its
// component pads, the chain that connects them and the plane that carries it.
#pragma once

#include "PcbApi.h"

namespace ascii28 {

// Callback of the net pass: writes the whole block of one net.
void WriteNetDefinition(ObjectHandle net);
// Callback of a net's member walk: writes one member line for a pad of a
// component and counts it in Run.PadCounter; a free pad writes nothing.
void WriteNetMember(ObjectHandle pad);

}  // namespace ascii28
