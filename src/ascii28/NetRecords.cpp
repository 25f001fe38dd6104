#include "ascii28/NetRecords.h"

#include <cstdint>
#include <vector>

#include "HostLayers.h"
#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbBoard.h"
#include "board/PcbNets.h"
#include "board/PcbObject.h"
#include "board/PcbPad.h"

namespace ascii28 {

namespace {

// Members are listed with this iteration method; the walk itself takes pads
// only.
constexpr IterationMethod kMemberMethod = 2;

// The host's topology value as the file codes it.
std::uint8_t TopologyCode(std::uint8_t hostValue) {
  static constexpr std::uint8_t kCodes[] = {2, 0, 1, 3, 6, 3, 7};
  return hostValue < sizeof kCodes ? kCodes[hostValue] : 2;
}

// The host's routing priority as the file codes it (1 highest in the host,
// 4 highest in the file); values outside 1 to 5 keep the default.
std::uint8_t PriorityCode(std::int32_t hostValue) {
  return hostValue >= 1 && hostValue <= 5 ? static_cast<std::uint8_t>(5 - hostValue) : 4;
}

// The internal plane that carries the net: the first of planes 1 to 4 whose
// net name equals the net's name byte for byte.
PlaneMatch FindPlane(const TPcbNet& net) {
  static constexpr std::uint8_t kPlaneCodes[] = {1, 4, 7, 10};
  for (int n = 1; n <= 4; ++n) {
    if (net.Name.View() == Run.CurrentBoard->PlaneNetName(n))
      return {InternalPlane(n), kPlaneCodes[n - 1]};
  }
  return {};
}

// The member lines of the net being loaded, and the pad object that loads
// each member; both kept from net to net.
std::vector<NetMember> g_Members;
TPcbPad g_MemberPad{0};

}  // namespace

void WriteNetDefinition(ObjectHandle handle) {
  TPcbNet net(handle);
  BeginRecord(net);

  NetDefinitionValues values;
  values.Routing = net.RoutingSettings();
  g_Members.clear();
  Run.PadCounter = 0;
  net.IterateMembers(&WriteNetMember, MaskOf(PadObject), kMemberMethod, LayerSet::NoLayerOnly());
  values.Members = g_Members;
  values.Plane = FindPlane(net);
  LayOutNetDefinition(net, values);
}

void WriteNetMember(ObjectHandle handle) {
  TPcbPad& pad = g_MemberPad;
  pad.Renew(handle);
  BeginRecord(pad);
  if (pad.ComponentHandle == 0) return;

  ++Run.PadCounter;
  g_Members.push_back({ObjectNumber(pad.ComponentHandle), pad.Index});
}

void LayOutNetDefinition(const TPcbNet& net, const NetDefinitionValues& values) {
  BufferedTextFile& out = Run.OutputFile;
  out.Write("NETDEF");
  out.EndLine();
  out.WriteShortString(net.Name.Buffer(), LenString::kCapacity);
  out.EndLine();

  const TPcbNet::TRoutingSettings& settings = values.Routing;
  out.WriteCoord(settings.Width);
  out.WriteChar(' ');
  out.WriteCoord(settings.ViaSize);
  out.WriteChar(' ');
  out.WriteUnsigned(TopologyCode(settings.Topology));
  out.WriteChar(' ');
  out.WriteUnsigned(PriorityCode(settings.Priority));
  out.EndLine();

  out.Write("(");
  out.EndLine();
  for (const NetMember& member : values.Members) {
    out.WriteChar(' ');
    out.WriteUnsigned(member.Component);
    out.WriteChar(' ');
    out.WriteUnsigned(member.Pad);
    out.EndLine();
  }
  out.Write(")");
  out.EndLine();

  // Member i is connected to member i + 1.
  out.Write("{");
  out.EndLine();
  for (std::size_t i = 1; i < values.Members.size(); ++i) {
    out.WriteUnsigned(i);
    out.WriteChar(' ');
    out.WriteUnsigned(i + 1);
    out.Write(" 0 0 0");
    out.EndLine();
  }
  out.Write("}");
  out.EndLine();
  out.Write("0 0 0");
  out.EndLine();

  out.WriteUnsigned(HostToFileLayer(values.Plane.Layer));
  out.WriteChar(' ');
  out.WriteUnsigned(net.NetValue);
  out.WriteChar(' ');
  out.WriteUnsigned(values.Plane.Code);
  out.EndLine();
}

}  // namespace ascii28
