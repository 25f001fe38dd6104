// Entry points of run control: the current board, the progress display,
// iteration, the dominant-rule lookup and the rule values; and the lookup of
// the server's own entry points by name.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "PcbApiEntryPoints.h"
#include "server/ProgressLine.h"
#include "server/QuerySupport.h"

using namespace standin;

namespace {

// The value query of one rule kind: each reference takes the next of the
// rule's values, at the reference's width.
template <class... T>
Status RuleValues(QueryMode mode, ObjectHandle rule, RuleKind kind, T*... refs) {
  return Query<Rule>(mode, rule, [&](const Exchange& xc, Rule& r) {
    if (r.ruleKind != static_cast<std::uint8_t>(kind)) return kBadHandle;
    xc.Each(r.values, refs...);
    return kOk;
  });
}

}  // namespace

extern "C" {

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_GetCurrentBoardHandle() {
  RECORD();
  return S().CurrentBoardHandle();
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_Percent_Init(std::uint8_t* caption, std::int32_t total) {
  RECORD(total);
  ProgressState& p = S().Progress();
  ++p.initCalls;
  p.caption = TakeString(caption, kNameBufferSize);
  p.total = total;
  p.updates = 0;
  p.open = true;
  ProgressBegin(p.caption);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_Percent_Update() {
  RECORD();
  ProgressState& p = S().Progress();
  if (p.updates < std::numeric_limits<int>::max()) ++p.updates;
  if (p.open) ProgressShow(p.updates, p.total);
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_Percent_Finish() {
  RECORD();
  ProgressState& p = S().Progress();
  ++p.finishCalls;
  if (p.open) ProgressEnd();
  p.open = false;
  return kOk;
}

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_CreateIterator(ObjectHandle owner,
                                                             ObjectKindCode kind,
                                                             IterationMethod method,
                                                             HostLayer layer) {
  RECORD(owner, kind, method, layer);
  return S().CreateIterator(owner, kind, method, layer);
}

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_GetFirstObject(ObjectHandle iterator) {
  RECORD(iterator);
  return S().FirstObject(iterator);
}

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_GetNextObject(ObjectHandle iterator) {
  RECORD(iterator);
  return S().NextObject(iterator);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_DestroyIterator(ObjectHandle iterator) {
  RECORD(iterator);
  return S().DestroyIterator(iterator) ? kOk : kBadHandle;
}

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_FindDominantRuleForObject(ObjectHandle object,
                                                                        RuleKindCode kind) {
  RECORD(object, kind);
  return S().DominantRule(object, kind);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleClearanceConstraint(QueryMode mode,
                                                                     ObjectHandle rule,
                                                                     Coord* gap) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::Clearance, gap);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleMaxMinWidthConstraint(QueryMode mode,
                                                                       ObjectHandle rule,
                                                                       Coord* first,
                                                                       Coord* second) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::Width, first, second);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleRoutingViaStyleRule(
    QueryMode mode, ObjectHandle rule, std::int32_t* a, std::int32_t* b, std::uint8_t* c) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::RoutingVias, a, b, c);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleRoutingTopologyRule(QueryMode mode,
                                                                     ObjectHandle rule,
                                                                     std::uint8_t* topology) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::RoutingTopology, topology);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleRoutingPriorityRule(QueryMode mode,
                                                                     ObjectHandle rule,
                                                                     std::int32_t* priority) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::RoutingPriority, priority);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRulePowerPlaneConnectStyleRule(
    QueryMode mode, ObjectHandle rule, std::uint8_t* style, std::int32_t* a, std::int32_t* b,
    std::int32_t* c, std::int32_t* d) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::PlaneConnect, style, a, b, c, d);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRulePasteMaskExpansionRule(QueryMode mode,
                                                                        ObjectHandle rule,
                                                                        Coord* expansion) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::PasteMaskExpansion, expansion);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRuleSolderMaskExpansionRule(QueryMode mode,
                                                                         ObjectHandle rule,
                                                                         Coord* expansion) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::SolderMaskExpansion, expansion);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRulePowerPlaneExpansionRule(QueryMode mode,
                                                                         ObjectHandle rule,
                                                                         Coord* expansion) {
  RECORD(mode, rule);
  return RuleValues(mode, rule, RuleKind::PowerPlaneExpansion, expansion);
}

}  // extern "C"

namespace {

struct NamedEntry {
  const char* name;
  void* address;
};

#define STANDIN_ENTRY_CALLED(name, absent, wrap) {#name, reinterpret_cast<void*>(&::name)},
#define STANDIN_ENTRY_BOUND(name)
const NamedEntry kEntries[] = {PCBAPI_ENTRY_POINTS(STANDIN_ENTRY_CALLED, STANDIN_ENTRY_BOUND)};
#undef STANDIN_ENTRY_CALLED
#undef STANDIN_ENTRY_BOUND
static_assert(std::size(kEntries) == 74);

}  // namespace

extern "C" PCBAPI_EXPORT void* StandIn_EntryPoint(const char* name) {
  if (name == nullptr || S().IsHidden(name)) return nullptr;
  for (const NamedEntry& entry : kEntries) {
    if (std::strcmp(entry.name, name) == 0) return entry.address;
  }
  return nullptr;
}

extern "C" PCBAPI_EXPORT std::uint64_t StandIn_CallsReceived() { return S().CallsReceived(); }
