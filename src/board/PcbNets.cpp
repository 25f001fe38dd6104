#include "board/PcbNets.h"

namespace {

// Rule kinds of the routing settings.
constexpr RuleKindCode kWidthRule = 2;
constexpr RuleKindCode kTopologyRule = 7;
constexpr RuleKindCode kPriorityRule = 8;
constexpr RuleKindCode kViaStyleRule = 11;

}  // namespace

// ---- net

Status TPcbNet::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryNet(mode, Handle, &Index, Name.Buffer(), &NetByte, &NetValue);
}

TPcbNet::TRoutingSettings TPcbNet::RoutingSettings() const {
  TRoutingSettings settings;
  settings.Width = PCBProcs::MilsToCoord(10.0);
  settings.ViaSize = PCBProcs::MilsToCoord(50.0);

  if (const ObjectHandle rule = PCBProcs::PcbApi_FindDominantRuleForObject(Handle, kWidthRule)) {
    Coord first = 0;
    Coord second = 0;
    PCBProcs::PcbApi_QueryRuleMaxMinWidthConstraint(kQueryGet, rule, &first, &second);
    settings.Width = first;
  }
  if (const ObjectHandle rule = PCBProcs::PcbApi_FindDominantRuleForObject(Handle, kViaStyleRule)) {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::uint8_t c = 0;
    PCBProcs::PcbApi_QueryRuleRoutingViaStyleRule(kQueryGet, rule, &a, &b, &c);
    settings.ViaSize = b;
  }
  if (const ObjectHandle rule = PCBProcs::PcbApi_FindDominantRuleForObject(Handle, kPriorityRule)) {
    std::int32_t priority = 0;
    PCBProcs::PcbApi_QueryRuleRoutingPriorityRule(kQueryGet, rule, &priority);
    settings.Priority = priority;
  }
  if (const ObjectHandle rule = PCBProcs::PcbApi_FindDominantRuleForObject(Handle, kTopologyRule)) {
    std::uint8_t topology = 0;
    PCBProcs::PcbApi_QueryRuleRoutingTopologyRule(kQueryGet, rule, &topology);
    settings.Topology = topology;
  }
  return settings;
}

void TPcbNet::IterateMembers(ObjectCallback callback, KindMask kinds, IterationMethod method,
                             const LayerSet& layers) const {
  board_detail::WalkOwner(Handle, kinds, layers, method, hostbounds::kNetWalk,
                          [callback](ObjectHandle h) { callback(h); });
}

void TPcbNet::IterateMembers(ObjectContextCallback callback, void* context, KindMask kinds,
                             IterationMethod method, const LayerSet& layers) const {
  board_detail::WalkOwner(Handle, kinds, layers, method, hostbounds::kNetWalk,
                          [callback, context](ObjectHandle h) { callback(context, h); });
}

// ---- object class

Status TPCBObjectClass::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  PCBProcs::PcbApi_QueryClass(mode, Handle, &Index, &ClassByte1, &ClassByte2, Name.Buffer());

  if (mode == 0 || mode == 2) {
    Status status = PCBProcs::PcbApi_RemoveAllMembersFromClass(Handle);
    for (const std::string& member : Members) {
      LenString name;
      name.Assign(member);
      status = PCBProcs::PcbApi_AddMemberToClass(Handle, name.Buffer());
    }
    return status;
  }

  Members.clear();
  hostbounds::ClassMemberReads reads;
  for (std::int32_t i = 0; reads.Take(); ++i) {
    LenString name;
    const std::int32_t answer = PCBProcs::PcbApi_GetMemberFromClassAt(Handle, i, name.Buffer());
    if (answer == 1) return answer;
    Members.emplace_back(name.View());
  }
  return 1;
}

// ---- from-tos

Status TPcbFromTo::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryFromTo(mode, Handle, &Index, &X, &Y, &FromByte, &X2, &Y2, &ToByte,
                                      &NetHandle);
}

Status TPcbManualFromTo::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryManualFromTo(mode, Handle, &Index, ManualText1.Buffer(),
                                            ManualText2.Buffer(), ManualText3.Buffer(),
                                            &ManualValue);
}

// ---- coordinate and dimension

Status TPcbCoordinate::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryCoordinate(mode, Handle, &Flags, &Index, &Tag, &X, &Y, &Layer,
                                          &CoordValue[0], &CoordValue[1], &CoordValue[2],
                                          &CoordValue[3], &CoordValue[4], &CoordValue[5]);
}

Status TPcbDimension::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  const Status r1 = PCBProcs::PcbApi_QueryDimension(
      mode, Handle, &Flags, &Index, &Tag, &X, &Y, &DimValue1, &DimValue2, &Layer, &DimValue3,
      &DimValue4, &DimValue5, &DimValue6, &DimValue7, &DimByte);
  const Status r2 = PCBProcs::PcbApi_QueryExtDimension(
      mode, Handle, &DimensionCode, &ExtValue1, &ExtValue2, &Ext1, &ExtByte1, &Ext2,
      ExtText1.Buffer(), &ExtByte2, &Ext3, ExtText2.Buffer(), ExtText3.Buffer(), &Ext8Bytes, &Ext4,
      &Ext5, &Ext6, &ExtByte3, &Ext7, &Ext8, &Ext9);
  PCBProcs::PcbApi_References_Count(Handle, &ReferenceCount);
  if (ReferenceCount < 0) ReferenceCount = 0;
  if (ReferenceCount > kReferenceCapacity) ReferenceCount = kReferenceCapacity;
  for (std::int32_t d = 0; d < ReferenceCount; ++d)
    PCBProcs::PcbApi_References_At(mode, Handle, d, &References[d][0], &References[d][1],
                                   &References[d][2], &References[d][3]);
  return r1 & r2;
}

// ---- rule

Status TPcbRule::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryRule(
      mode, Handle, &RuleKind, &RuleByte1, &RuleByte2, &RuleByte3, &RuleByte4, &RuleByte5,
      &RuleByte6, RuleTexts1[0].Buffer(), RuleTexts1[1].Buffer(), RuleTexts1[2].Buffer(),
      RuleTexts1[3].Buffer(), &RuleByte7, &RuleByte8, &RuleValues[0], &RuleValues[1],
      &RuleValues[2], &RuleValues[3], RuleTexts2[0].Buffer(), RuleTexts2[1].Buffer(),
      RuleTexts2[2].Buffer(), RuleTexts2[3].Buffer(), RuleTexts2[4].Buffer(),
      RuleTexts2[5].Buffer());
}
