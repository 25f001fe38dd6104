// Queries in get and set mode at their widths, rules, classes, the board,
// and the test-support facilities.
#include "ServerTestSupport.h"

#include <algorithm>

#include "hostapi/PCBProcs.h"
#include "server/Exchange.h"
#include "support/Platform.h"
#include "support/TestSupport.h"

using namespace standin;
using standin_test::Guarded;
using standin_test::ServerTest;

namespace {

Status PadName(QueryMode mode, ObjectHandle pad, std::uint8_t* name) {
  return PcbApi_QueryPad(mode, pad, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, name, nullptr, nullptr, nullptr);
}

TEST_F(ServerTest, TextsAreCutToTheirBuffersInBothDirections) {
  const ObjectHandle pad = server().Add(Pad{});
  const std::string longName(300, 'p');

  // Set mode reads at most the buffer's 20 characters, whatever the length byte says.
  Guarded<kNameBufferSize + 100> source;
  source.data[0] = 255;
  std::memcpy(source.get() + 1, longName.data(), 255);
  ASSERT_EQ(PadName(kQuerySet, pad, source.get()), 0);
  EXPECT_EQ(server().Get<Pad>(pad)->name, std::string(20, 'p'));

  Guarded<kPadNameBufferSize> name;
  ASSERT_EQ(PadName(kQueryGet, pad, name.get()), 0);
  EXPECT_EQ(name.Text(), std::string(20, 'p'));
  EXPECT_TRUE(name.GuardsIntact());

  // A model string longer than any buffer: each get stops at its buffer.
  server().Get<Pad>(pad)->name = longName;
  Guarded<kPadNameBufferSize> cut;
  PadName(kQueryGet, pad, cut.get());
  EXPECT_EQ(cut.data[0], 20);
  EXPECT_TRUE(cut.GuardsIntact());

  Text t;
  t.text = longName;
  const ObjectHandle text = server().Add(t);
  Guarded<kTextBufferSize> textBuffer;
  PcbApi_QueryText(kQueryGet, text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr, nullptr, textBuffer.get(), nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(textBuffer.Text(), std::string(254, 'p'));
  EXPECT_TRUE(textBuffer.GuardsIntact());

  Component comp;
  comp.pattern = longName;
  comp.sourceLinks[6] = longName;
  const ObjectHandle c = server().Add(comp);
  Guarded<kPatternBufferSize> pattern;
  PcbApi_QueryComponent(kQueryGet, c, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        pattern.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr);
  EXPECT_EQ(pattern.Text(), std::string(250, 'p'));
  EXPECT_TRUE(pattern.GuardsIntact());
  Guarded<kNameBufferSize> link;
  PcbApi_QueryComponentSourceLinks(kQueryGet, c, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, link.get());
  EXPECT_EQ(link.Text(), std::string(255, 'p'));
  EXPECT_TRUE(link.GuardsIntact());
}

TEST_F(ServerTest, SetModeValuesComeBackAtTheirWidths) {
  const ObjectHandle net = AddNet("N");
  const ObjectHandle polygon = server().Add(Polygon{});
  const ObjectHandle track = AddTrack(kTopLayer);
  std::uint16_t flags = 0xFFFE, index = 0xFFFF;
  HostLayer layer = kBottomLayer;
  ObjectHandle netRef = net, component = 0, poly = polygon;
  std::uint8_t tag = 0xFF;
  Coord x = -1, y = 0x7FFFFFFF, x2 = -2147483647 - 1, y2 = 5, width = 77;
  std::int32_t e1 = -9, e2 = 9;
  ASSERT_EQ(PcbApi_QueryTrack(kQuerySet, track, &flags, &index, &layer, &netRef, &tag, &component,
                              &x, &y, &x2, &y2, &width, &poly, &e1, &e2),
            0);

  struct {
    std::uint16_t flags, index;
    HostLayer layer;
    std::uint8_t guard1[3];
    ObjectHandle net;
    std::uint8_t tag;
    std::uint8_t guard2[3];
    ObjectHandle component;
    Coord x, y, x2, y2, width;
    ObjectHandle polygon;
    std::int32_t e1, e2;
  } got;
  std::memset(&got, 0x5A, sizeof got);
  ASSERT_EQ(PcbApi_QueryTrack(kQueryGet, track, &got.flags, &got.index, &got.layer, &got.net,
                              &got.tag, &got.component, &got.x, &got.y, &got.x2, &got.y2,
                              &got.width, &got.polygon, &got.e1, &got.e2),
            0);
  EXPECT_EQ(got.flags, 0xFFFE);
  EXPECT_EQ(got.index, 0xFFFF);
  EXPECT_EQ(got.layer, kBottomLayer);
  EXPECT_EQ(got.net, net);
  EXPECT_EQ(got.tag, 0xFF);
  EXPECT_EQ(got.component, 0u);
  EXPECT_EQ(got.x, -1);
  EXPECT_EQ(got.y, 0x7FFFFFFF);
  EXPECT_EQ(got.x2, -2147483647 - 1);
  EXPECT_EQ(got.polygon, polygon);
  EXPECT_EQ(got.e1, -9);
  EXPECT_EQ(got.e2, 9);
  // The one-byte references were written at one byte.
  for (std::uint8_t b : got.guard1) EXPECT_EQ(b, 0x5A);
  for (std::uint8_t b : got.guard2) EXPECT_EQ(b, 0x5A);
  // The track is now on the bottom layer and on the net.
  EXPECT_EQ(Walk(board, Kind::Track, kBottomLayer), std::vector<ObjectHandle>{track});
  EXPECT_EQ(Walk(net, Kind::Track), std::vector<ObjectHandle>{track});

  std::uint8_t bf2 = 0x81;
  std::uint16_t bf3 = 0x8001;
  PcbApi_GetObjectBitField2(kQuerySet, track, &bf2);
  PcbApi_GetObjectBitField3(kQuerySet, track, &bf3);
  bf2 = 0;
  bf3 = 0;
  PcbApi_GetObjectBitField2(kQueryGet, track, &bf2);
  PcbApi_GetObjectBitField3(kQueryGet, track, &bf3);
  EXPECT_EQ(bf2, 0x81);
  EXPECT_EQ(bf3, 0x8001);
}

TEST_F(ServerTest, UnknownHandlesWrongKindsAndBadLinksWriteAndStoreNothing) {
  const ObjectHandle net = AddNet("N");
  const ObjectHandle track = AddTrack(kTopLayer, net);
  std::uint16_t index = 0x1234;
  Guarded<kNameBufferSize> name;
  EXPECT_NE(PcbApi_QueryNet(kQueryGet, track, &index, name.get(), nullptr, nullptr), 0);
  EXPECT_NE(PcbApi_QueryNet(kQueryGet, 4242, &index, name.get(), nullptr, nullptr), 0);
  EXPECT_NE(PcbApi_QueryNet(7, net, &index, name.get(), nullptr, nullptr), 0);
  EXPECT_EQ(index, 0x1234);
  EXPECT_EQ(name.data[0], Guarded<kNameBufferSize>::kGuard);

  // Set mode naming a net that is none: refused, the index not stored either.
  index = 7;
  ObjectHandle badNet = track;
  EXPECT_NE(
      PcbApi_QueryTrack(kQuerySet, track, nullptr, &index, nullptr, &badNet, nullptr, nullptr,
                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
      0);
  EXPECT_EQ(server().Get<Track>(track)->index, 0);
  EXPECT_EQ(server().Get<Track>(track)->net, net);
}

// Each refusal answers its own status, checked in the order mode, handle
// (and kind), argument, link; a refused call stores nothing.
TEST_F(ServerTest, RefusalsAnswerTheirStatusInCheckOrder) {
  const ObjectHandle net = AddNet("N");
  const ObjectHandle track = AddTrack(kTopLayer, net);
  std::uint8_t byte = 0;
  std::int32_t value = 0;
  EXPECT_EQ(PcbApi_QueryPadStackMode(7, 4242, &byte), kBadMode);
  EXPECT_EQ(PcbApi_QueryPadStackMode(kQueryGet, track, &byte), kBadHandle);
  EXPECT_EQ(PcbApi_References_Count(track, &value), kBadHandle);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(kQueryGet, track, 83, &byte, &byte, &value), kBadHandle);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(kQueryGet, board, 83, &byte, &byte, &value), kBadArgument);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(kQueryGet, board, 0, &byte), kBadArgument);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(kQueryGet, board, 110, &byte), kBadArgument);
  EXPECT_EQ(PcbApi_References_At(kQueryGet, server().Add(Dimension{}), -1, &value, nullptr, nullptr,
                                 nullptr),
            kBadArgument);

  Rule width;
  width.ruleKind = 2;
  const ObjectHandle rule = server().Add(width);
  EXPECT_EQ(PcbApi_QueryRuleMaxMinWidthConstraint(kQueryGet, rule, &value, &value), kOk);
  EXPECT_EQ(PcbApi_QueryRuleClearanceConstraint(kQueryGet, rule, &value), kBadHandle);

  // A fill whose polygon link names a net: refused before its corner moves.
  Coord x2 = 500;
  ObjectHandle notAPolygon = net;
  const ObjectHandle fill = server().Add(Fill{});
  EXPECT_EQ(PcbApi_QueryFill(kQuerySet, fill, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, &x2, nullptr, &notAPolygon, nullptr),
            kBadLink);
  EXPECT_EQ(server().Get<Fill>(fill)->x2, 0);

  // The plot and flip flags of a layer are two lists.
  std::uint8_t on = 1, plot = 9, flip = 9;
  ASSERT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(kQuerySet, board, 5, &on), kOk);
  PcbApi_QueryBoardOutputOptionsPlotLayers(kQueryGet, board, 5, &plot);
  PcbApi_QueryBoardOutputOptionsFlipLayers(kQueryGet, board, 5, &flip);
  EXPECT_EQ(plot, 0);
  EXPECT_EQ(flip, 1);
}

TEST_F(ServerTest, PolygonOutlineNeverOverrunsTheSegmentArray) {
  Polygon p;
  p.outline.resize(600);
  for (std::size_t i = 0; i < p.outline.size(); ++i) p.outline[i].X = static_cast<Coord>(i);
  const ObjectHandle polygon = server().Add(p);
  struct {
    PolygonSegments segments;
    std::array<std::uint8_t, 37> guard;
  } out;
  out.guard.fill(0xEE);
  std::int32_t count = 0;
  auto query = [&](QueryMode mode) {
    return PcbApi_QueryPolygon(mode, polygon, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &count, &out.segments);
  };
  ASSERT_EQ(query(kQueryGet), 0);
  EXPECT_EQ(count, 500);
  const Coord lastX = out.segments[500].X;  // packed: copied before comparing
  EXPECT_EQ(lastX, 500);
  for (std::uint8_t b : out.guard) EXPECT_EQ(b, 0xEE);

  // Set mode takes entries 0 to count; a count past the array is refused.
  count = 2;
  out.segments[2].SegmentKind = 1;
  ASSERT_EQ(query(kQuerySet), 0);
  EXPECT_EQ(server().Get<Polygon>(polygon)->outline.size(), 3u);
  EXPECT_EQ(server().Get<Polygon>(polygon)->outline[2].SegmentKind, 1);
  count = 501;
  EXPECT_NE(query(kQuerySet), 0);
  EXPECT_EQ(server().Get<Polygon>(polygon)->outline.size(), 3u);
}

// Get mode writes every referenced value, as the host does, so a caller that
// reuses its storage for the next object never keeps the last one's values.
TEST_F(ServerTest, GetModeWritesEveryReferencedValue) {
  Polygon withVertex;
  withVertex.outline.push_back(PolygonSegment{1, 100, 200, 3, 4, 5, 6.0, 7.0});
  withVertex.outline.push_back(PolygonSegment{0, 300, 400, 0, 0, 0, 0.0, 0.0});
  const ObjectHandle first = server().Add(withVertex);
  const ObjectHandle empty = server().Add(Polygon{});
  PolygonSegments segments;
  std::memset(&segments, 0xEE, sizeof segments);
  std::int32_t count = -1;
  auto get = [&](ObjectHandle polygon) {
    return PcbApi_QueryPolygon(kQueryGet, polygon, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &count, &segments);
  };
  auto zeroFrom = [&](std::size_t entry) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&segments);
    return std::all_of(bytes + entry * sizeof(PolygonSegment), bytes + sizeof segments,
                       [](std::uint8_t b) { return b == 0; });
  };
  ASSERT_EQ(get(first), 0);
  EXPECT_EQ(count, 1);
  const Coord secondY = segments[1].Y;
  EXPECT_EQ(secondY, 400);
  EXPECT_TRUE(zeroFrom(2));
  ASSERT_EQ(get(empty), 0);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(zeroFrom(0));

  // A component's owner link reads as none.
  const ObjectHandle component = AddComponent("U1");
  ObjectHandle owner = 0xDEAD;
  ASSERT_EQ(PcbApi_QueryPrimitive(kQueryGet, component, nullptr, nullptr, nullptr, nullptr, &owner,
                                  nullptr),
            0);
  EXPECT_EQ(owner, 0u);
}

// The numbering pass reuses one polygon object for every polygon of a layer:
// an empty outline after one with a vertex exports its own zero vertex.
TEST_F(ServerTest, EmptyOutlineAfterAnotherPolygonExportsAZeroVertex) {
  testsupport::LoadBoard(R"({"pcb28_board": 1, "polygons": [
    {"id": "a", "layer": "TopLayer", "outline": [{"x": 100, "y": 200}]},
    {"id": "b", "layer": "TopLayer", "outline": []}]})");
  const std::vector<std::string> lines = testsupport::ExportLines();
  std::vector<std::size_t> records;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == "PG") records.push_back(i);
  }
  ASSERT_EQ(records.size(), 2u);
  ASSERT_LT(records[1] + 8, lines.size());
  // Lines 7 to 9 of a polygon record: the count, one vertex, one arc flag.
  EXPECT_EQ(lines[records[0] + 7], "10 20");
  EXPECT_EQ(lines[records[1] + 6], "0");
  EXPECT_EQ(lines[records[1] + 7], "0 0");
  EXPECT_EQ(lines[records[1] + 8], " 0");
}

TEST_F(ServerTest, PadLayersAnswerFromTheirEntryOrTheirLevel) {
  Pad p;
  p.top = {100, 200, 1};
  p.mid = {300, 400, 2};
  p.bottom = {500, 600, 3};
  p.pwrGnd = 9;
  const ObjectHandle pad = server().Add(p);
  Coord xs = 0, ys = 0;
  std::uint8_t shape = 0;
  PcbApi_QueryPadOrViaSizeOnLayer(pad, MidLayer(4), &xs, &ys);
  PcbApi_QueryPadOrViaShapeOnLayer(pad, kBottomLayer, &shape);
  EXPECT_EQ(xs, 300);
  EXPECT_EQ(ys, 400);
  EXPECT_EQ(shape, 3);
  ASSERT_EQ(PcbApi_SetPadSizeOnLayer(pad, MidLayer(4), 11, 12), 0);
  ASSERT_EQ(PcbApi_SetPadShapeOnLayer(pad, MidLayer(4), 4), 0);
  PcbApi_QueryPadOrViaSizeOnLayer(pad, MidLayer(4), &xs, &ys);
  PcbApi_QueryPadOrViaShapeOnLayer(pad, MidLayer(4), &shape);
  EXPECT_EQ(xs, 11);
  EXPECT_EQ(ys, 12);
  EXPECT_EQ(shape, 4);
  xs = 77;
  EXPECT_NE(PcbApi_QueryPadOrViaSizeOnLayer(pad, 0, &xs, &ys), 0);
  EXPECT_NE(PcbApi_SetPadSizeOnLayer(pad, 83, 1, 1), 0);
  EXPECT_EQ(xs, 77);
  std::uint8_t pwrGnd = 0;
  EXPECT_EQ(PcbApi_QueryPad_PwrGnd(pad, &pwrGnd), 0);
  EXPECT_EQ(pwrGnd, 9);

  Via v;
  v.size = 250;
  const ObjectHandle via = server().Add(v);
  PcbApi_QueryPadOrViaSizeOnLayer(via, MidLayer(1), &xs, &ys);
  EXPECT_EQ(xs, 250);
  EXPECT_NE(PcbApi_SetPadShapeOnLayer(via, kTopLayer, 1), 0);
}

TEST_F(ServerTest, DominantRuleFollowsScopePriorityAndOrder) {
  const ObjectHandle gnd = AddNet("GND");
  const ObjectHandle vcc = AddNet("VCC");
  const ObjectHandle u1 = AddComponent("U1");
  const ObjectHandle onGnd = AddTrack(kTopLayer, gnd);
  const ObjectHandle onVcc = AddTrack(kTopLayer, vcc);
  Pad padOfU1;
  const ObjectHandle inU1 = server().Add(padOfU1, u1);

  EXPECT_EQ(PcbApi_FindDominantRuleForObject(onGnd, 2), 0u);

  auto rule = [&](std::int32_t priority, RuleScope scope, const char* name, std::int32_t value) {
    Rule r;
    r.ruleKind = 2;
    r.priority = priority;
    r.scope = scope;
    r.scopeName = name;
    r.values = {value, value + 1};
    return server().Add(r);
  };
  const ObjectHandle all = rule(3, RuleScope::All, "", 10);
  const ObjectHandle gndRule = rule(2, RuleScope::Net, "GND", 20);
  const ObjectHandle gndTie = rule(2, RuleScope::Net, "GND", 30);
  const ObjectHandle u1Rule = rule(1, RuleScope::Component, "U1", 40);
  Rule other;
  other.ruleKind = 13;
  other.priority = 0;
  const ObjectHandle mask = server().Add(other);

  EXPECT_EQ(PcbApi_FindDominantRuleForObject(onGnd, 2), gndRule);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(gnd, 2), gndRule);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(onVcc, 2), all);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(inU1, 2), u1Rule);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(u1, 2), u1Rule);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(inU1, 13), mask);
  EXPECT_EQ(PcbApi_FindDominantRuleForObject(inU1, 6), 0u);
  EXPECT_NE(gndTie, gndRule);

  Coord first = 0, second = 0;
  ASSERT_EQ(PcbApi_QueryRuleMaxMinWidthConstraint(kQueryGet, gndRule, &first, &second), 0);
  EXPECT_EQ(first, 20);
  EXPECT_EQ(second, 21);
  // A value query of another kind does not answer for the rule.
  Coord expansion = 5;
  EXPECT_NE(PcbApi_QueryRuleSolderMaskExpansionRule(kQueryGet, gndRule, &expansion), 0);
  EXPECT_EQ(expansion, 5);

  Rule plane;
  plane.ruleKind = 6;
  plane.values = {300, -1, 2, 3, 4};
  const ObjectHandle planeRule = server().Add(plane);
  std::uint8_t style = 0;
  std::int32_t a = 0, b = 0, c = 0, d = 0;
  PcbApi_QueryRulePowerPlaneConnectStyleRule(kQueryGet, planeRule, &style, &a, &b, &c, &d);
  EXPECT_EQ(style, 300 & 0xFF);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(d, 4);
}

TEST_F(ServerTest, ClassMembersEndWithOneAndTakeAtMost255Characters) {
  ObjectClass cls;
  cls.members = {"GND", "VCC"};
  const ObjectHandle c = server().Add(cls);
  Guarded<kNameBufferSize> name;
  EXPECT_NE(PcbApi_GetMemberFromClassAt(c, 1, name.get()), 1);
  EXPECT_EQ(name.Text(), "VCC");
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(c, 2, name.get()), 1);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(c, -1, name.get()), 1);
  EXPECT_EQ(name.Text(), "VCC");  // untouched past the end

  ASSERT_EQ(PcbApi_RemoveAllMembersFromClass(c), 0);
  EXPECT_EQ(PcbApi_GetMemberFromClassAt(c, 0, name.get()), 1);
  Guarded<kNameBufferSize + 64> member;
  member.data[0] = 255;
  std::memset(member.get() + 1, 'm', 255 + 63);
  ASSERT_EQ(PcbApi_AddMemberToClass(c, member.get()), 0);
  EXPECT_EQ(server().Get<ObjectClass>(c)->members, std::vector<std::string>{std::string(255, 'm')});
  EXPECT_NE(PcbApi_AddMemberToClass(board, member.get()), 0);
}

TEST_F(ServerTest, BoardLayersStackAndPairs) {
  Board& b = *server().CurrentBoard();
  b.layerPairs = {{kTopLayer, kBottomLayer, 1, 2}, {kTopLayer, MidLayer(1), 3, 4}};
  b.SetStack({kTopLayer, MidLayer(1), kBottomLayer});
  std::int32_t count = -1;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(board, &count), 0);
  EXPECT_EQ(count, 2);
  HostLayer low = 0, high = 0;
  std::uint8_t v1 = 0, v2 = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(kQueryGet, board, 1, &low, &high, &v1, &v2), 0);
  EXPECT_EQ(high, MidLayer(1));
  EXPECT_EQ(v2, 4);
  EXPECT_NE(PcbApi_QueryBoardLayerPairAt(kQueryGet, board, 2, &low, &high, &v1, &v2), 0);

  Guarded<kNameBufferSize> name, net;
  std::int32_t copper = 0;
  HostLayer prev = 9, next = 9;
  std::uint8_t s1, s2, s3;
  ASSERT_EQ(PcbApi_QueryLayer(kQueryGet, MidLayer(1), board, name.get(), &copper, &s1, &s2, &prev,
                              &next, &s3),
            0);
  EXPECT_EQ(name.Text(), "MidLayer1");
  EXPECT_EQ(copper, 14000);
  EXPECT_EQ(prev, kTopLayer);
  EXPECT_EQ(next, kBottomLayer);
  ASSERT_EQ(PcbApi_QueryInternalPlane(kQueryGet, InternalPlane(2), board, name.get(), &copper, &s1,
                                      &s2, &prev, &next, net.get()),
            0);
  EXPECT_EQ(net.Text(), "(No Net)");
  EXPECT_EQ(prev, 0);
  EXPECT_NE(
      PcbApi_QueryLayer(kQueryGet, 0, board, name.get(), &copper, &s1, &s2, &prev, &next, &s3), 0);
  Guarded<kNameBufferSize> material;
  std::uint8_t type = 0;
  double constant = 0;
  std::int32_t height = 0;
  PcbApi_QueryLayerDielectric(kQueryGet, kTopLayer, board, material.get(), &type, &constant,
                              &height);
  EXPECT_EQ(material.Text(), "FR-4");
  EXPECT_EQ(type, 1);
  EXPECT_EQ(constant, 4.8);
  EXPECT_EQ(height, 126000);

  std::uint8_t flag = 1;
  PcbApi_QueryBoardOutputOptionsPlotLayers(kQuerySet, board, 109, &flag);
  flag = 0;
  PcbApi_QueryBoardOutputOptionsPlotLayers(kQueryGet, board, 109, &flag);
  EXPECT_EQ(flag, 1);
  EXPECT_NE(PcbApi_QueryBoardOutputOptionsPlotLayers(kQueryGet, board, 110, &flag), 0);
  std::int32_t pen1 = 0, pen2 = 0;
  EXPECT_NE(PcbApi_QueryBoardPrinterOptionsPlotterPen(kQueryGet, board, 9, &pen1, &pen2), 0);
}

TEST_F(ServerTest, RecorderHidingAndProgress) {
  server().SetRecording(true);
  const ObjectHandle it = PcbApi_CreateIterator(board, 4, 2, kTopLayer);
  PcbApi_QueryBoardLayerInfo(kQueryGet, board, 5, nullptr, nullptr, nullptr);
  ASSERT_EQ(server().Calls().size(), 2u);
  EXPECT_EQ(server().Calls()[0].name, "PcbApi_CreateIterator");
  EXPECT_EQ(server().Calls()[0].args, (std::vector<std::int64_t>{board, 4, 2, kTopLayer}));
  EXPECT_EQ(server().Calls()[1].name, "PcbApi_QueryBoardLayerInfo");
  EXPECT_EQ(server().Calls()[1].args, (std::vector<std::int64_t>{1, board, 5}));
  server().ClearCalls();
  server().SetRecording(false);
  PcbApi_DestroyIterator(it);
  EXPECT_TRUE(server().Calls().empty());

  // The address the library exports (on Windows &PcbApi_QueryTrack here is
  // this program's import stub).
  EXPECT_EQ(StandIn_EntryPoint("PcbApi_QueryTrack"),
            testsupport::LibrarySymbol(testsupport::LoadedLibrary(PCB28_SERVER_FILE),
                                       "PcbApi_QueryTrack"));
  EXPECT_EQ(StandIn_EntryPoint("PcbApi_SendCommand"), nullptr);  // bound only, not served
  EXPECT_EQ(StandIn_EntryPoint("pcbapi_querytrack"), nullptr);
  server().Hide("PcbApi_QueryTrack");
  EXPECT_EQ(StandIn_EntryPoint("PcbApi_QueryTrack"), nullptr);
  PCBProcs::BindEntryPoints(&StandIn_EntryPoint);
  EXPECT_FALSE(PCBProcs::IsBound(PCBProcs::EntryPoint::PcbApi_QueryTrack));
  EXPECT_TRUE(PCBProcs::IsBound(PCBProcs::EntryPoint::PcbApi_QueryVia));
  server().Unhide("PcbApi_QueryTrack");
  EXPECT_NE(StandIn_EntryPoint("PcbApi_QueryTrack"), nullptr);
  PCBProcs::UnbindEntryPoints();

  std::uint8_t caption[kNameBufferSize] = {3, 'E', 'x', 'p'};
  PcbApi_Percent_Init(caption, 2);
  for (int i = 0; i < 5; ++i) PcbApi_Percent_Update();  // beyond the total
  PcbApi_Percent_Finish();
  const ProgressState& p = server().Progress();
  EXPECT_EQ(p.initCalls, 1);
  EXPECT_EQ(p.caption, "Exp");
  EXPECT_EQ(p.total, 2);
  EXPECT_EQ(p.updates, 5);
  EXPECT_EQ(p.finishCalls, 1);
  EXPECT_FALSE(p.open);
}

}  // namespace
