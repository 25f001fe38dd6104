// The rule lookups of the board objects: a net's routing settings and the
// board's clearance, with the host values they hand on and the order in
// which they ask.
#include <gtest/gtest.h>

#include "FakeHost.h"
#include "board/PcbBoard.h"
#include "board/PcbNets.h"

namespace {

using fake::FakeHostTest;
using V = std::vector<long long>;

class RuleLookupTest : public FakeHostTest {};

// The dominant rule of kind k is 100 + k; no rule for kinds in g_NoRule.
int g_NoRule = -1;

void RegisterRoutingRules() {
  FAKE_ENTRY(PcbApi_FindDominantRuleForObject, [](ObjectHandle object, RuleKindCode kind) {
    fake::Record("Find", {object, kind});
    return kind == g_NoRule ? ObjectHandle{0} : ObjectHandle{100u + kind};
  });
  FAKE_ENTRY(PcbApi_QueryRuleMaxMinWidthConstraint,
             [](QueryMode, ObjectHandle rule, Coord* first, Coord* second) {
               fake::Record("Width", {rule});
               *first = 12000, *second = 3;
               return Status{0};
             });
  FAKE_ENTRY(PcbApi_QueryRuleRoutingViaStyleRule,
             [](QueryMode, ObjectHandle rule, std::int32_t* a, std::int32_t* b, std::uint8_t*) {
               fake::Record("Via", {rule});
               *a = 1, *b = 34000;
               return Status{0};
             });
  FAKE_ENTRY(PcbApi_QueryRuleRoutingPriorityRule,
             [](QueryMode, ObjectHandle rule, std::int32_t* priority) {
               fake::Record("Priority", {rule});
               *priority = 3;
               return Status{0};
             });
  FAKE_ENTRY(PcbApi_QueryRuleRoutingTopologyRule,
             [](QueryMode, ObjectHandle rule, std::uint8_t* topology) {
               fake::Record("Topology", {rule});
               *topology = 6;
               return Status{0};
             });
}

TEST_F(RuleLookupTest, RoutingSettingsAreTheHostValuesOfTheNetsRules) {
  RegisterRoutingRules();
  fake::Bind();
  g_NoRule = -1;
  const TPcbNet::TRoutingSettings s = TPcbNet(9).RoutingSettings();
  EXPECT_EQ((V{s.Width, s.ViaSize, s.Topology, s.Priority}), (V{12000, 34000, 6, 3}));
  EXPECT_EQ(fake::CallSummary(), "Find Width Find Via Find Priority Find Topology");
  EXPECT_EQ(fake::g_Calls[0].Args, (V{9, 2}));
  EXPECT_EQ(fake::g_Calls[1].Args, (V{102}));
  EXPECT_EQ(fake::g_Calls[3].Args, (V{111}));
}

TEST_F(RuleLookupTest, RoutingSettingsWithoutRulesOrQueriesKeepTheirDefaults) {
  RegisterRoutingRules();
  fake::Bind();
  g_NoRule = 2;  // no width rule
  TPcbNet::TRoutingSettings s = TPcbNet(9).RoutingSettings();
  EXPECT_EQ((V{s.Width, s.ViaSize}), (V{100000, 34000}));
  EXPECT_EQ(fake::CallSummary(), "Find*2 Via Find Priority Find Topology");

  fake::Reset();
  s = TPcbNet(9).RoutingSettings();  // nothing bound
  EXPECT_EQ((V{s.Width, s.ViaSize, s.Topology, s.Priority}), (V{100000, 500000, 0, 0}));
}

TEST_F(RuleLookupTest, ClearanceIsTheGapOfTheLastClearanceRuleMet) {
  FAKE_ENTRY(PcbApi_CreateIterator,
             [](ObjectHandle, ObjectKindCode kind, IterationMethod method, HostLayer layer) {
               fake::Record("Create", {kind, method, layer});
               return ObjectHandle{layer};
             });
  // Layers 1 and 2 yield one rule each: 201 and 202; 202 is no clearance rule.
  FAKE_ENTRY(PcbApi_GetFirstObject, [](ObjectHandle it) {
    return it == 1 || it == 2 ? ObjectHandle{200u + it} : ObjectHandle{0};
  });
  FAKE_ENTRY(PcbApi_QueryRule,
             [](QueryMode, ObjectHandle rule, std::uint8_t* kind, std::uint8_t*, std::uint8_t*,
                std::uint8_t*, std::uint8_t* byte4, std::uint8_t*, std::uint8_t*, std::uint8_t*,
                std::uint8_t*, std::uint8_t*, std::uint8_t*, std::uint8_t*, std::uint8_t*,
                std::int32_t*, std::int32_t*, std::int32_t*, std::int32_t*, std::uint8_t*,
                std::uint8_t*, std::uint8_t*, std::uint8_t*, std::uint8_t*, std::uint8_t*) {
               *kind = 0, *byte4 = rule == 202 ? 1 : 0;
               return Status{0};
             });
  FAKE_ENTRY(PcbApi_QueryRuleClearanceConstraint, [](QueryMode, ObjectHandle rule, Coord* gap) {
    fake::Record("Gap", {rule});
    *gap = 4321;
    return Status{0};
  });
  fake::Bind();
  TPcbBoard board(1);
  EXPECT_EQ(board.Clearance(), 4321);
  const std::vector<fake::Call> creates = fake::CallsOf("Create");
  ASSERT_EQ(creates.size(), 82u);
  EXPECT_EQ(creates.front().Args, (V{RuleObject, 1, 1}));
  EXPECT_EQ(creates.back().Args, (V{RuleObject, 1, 82}));
  EXPECT_EQ(fake::CallsOf("Gap").size(), 1u);

  fake::Reset();
  EXPECT_EQ(TPcbBoard(1).Clearance(), TPcbBoard::kDefaultClearance);
}

}  // namespace
