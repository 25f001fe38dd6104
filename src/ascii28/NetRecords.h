// Net definitions: one NETDEF block per net with its routing settings, its
// component pads, the chain that connects them and the plane that carries it.
#pragma once

#include <cstdint>
#include <span>

#include "HostLayers.h"
#include "PcbApi.h"
#include "board/PcbNets.h"

namespace ascii28 {

// Callback of the net pass: writes the whole block of one net.
void WriteNetDefinition(ObjectHandle net);
// Callback of a net's member walk: notes one member line for a pad of a
// component and counts it in Run.PadCounter; a free pad gives none.
void WriteNetMember(ObjectHandle pad);

// One member line: the component's number and the pad's number in it.
struct NetMember {
  std::uint16_t Component = 0;
  std::uint16_t Pad = 0;
};

// The internal plane that carries a net, and its code in the file; NoLayer
// and 0 when none does.
struct PlaneMatch {
  HostLayer Layer = kNoLayer;
  std::uint8_t Code = 0;
};

// What a net definition holds beside the net.
struct NetDefinitionValues {
  TPcbNet::TRoutingSettings Routing;
  std::span<const NetMember> Members;
  PlaneMatch Plane;
};

// The lay-out half of WriteNetDefinition.
void LayOutNetDefinition(const TPcbNet& net, const NetDefinitionValues& values);

}  // namespace ascii28
