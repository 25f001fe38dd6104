// Handles, walk order, layer filtering and iterator lifetime.
#include "ServerTestSupport.h"

using namespace standin;
using standin_test::ServerTest;

namespace {

using Handles = std::vector<ObjectHandle>;

TEST_F(ServerTest, HandlesNameTheirObjectsAndKinds) {
  const ObjectHandle net = AddNet("GND");
  const ObjectHandle track = AddTrack(kTopLayer, net);
  const ObjectHandle outline = server().Add(BoardOutline{});
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), board);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(net), 8);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(track), 4);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(outline), 21);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(0), 0);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(987654), 0);
  // A board outline is a polygon for the polygon query.
  std::int32_t count = -1;
  EXPECT_EQ(PcbApi_QueryPolygon(kQueryGet, outline, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, &count, nullptr),
            0);
  EXPECT_EQ(count, 0);
  // An object added to a component that is not one is refused.
  EXPECT_EQ(server().Add(Track{}, net), 0u);
}

TEST_F(ServerTest, BoardWalkYieldsComponentMembersFirstThenFreeObjects) {
  const ObjectHandle free1 = AddTrack(kTopLayer);
  const ObjectHandle c1 = AddComponent("U1");
  const ObjectHandle c2 = AddComponent("U2");
  const ObjectHandle c2a = AddTrack(kBottomLayer, 0, c2);
  const ObjectHandle c1a = AddTrack(kTopLayer, 0, c1);
  const ObjectHandle free2 = AddTrack(kBottomLayer);
  const ObjectHandle c1b = AddTrack(kBottomLayer, 0, c1);

  EXPECT_EQ(Walk(board, Kind::Track), (Handles{c1a, c1b, c2a, free1, free2}));
  EXPECT_EQ(Walk(board, Kind::Track, kBottomLayer), (Handles{c1b, c2a, free2}));
  EXPECT_EQ(Walk(board, Kind::Track, kTopOverlay), Handles{});
  EXPECT_EQ(Walk(c1, Kind::Track), (Handles{c1a, c1b}));
  EXPECT_EQ(Walk(c1, Kind::Track, kTopLayer), Handles{c1a});
  EXPECT_EQ(Walk(board, Kind::Component), (Handles{c1, c2}));
  EXPECT_EQ(Walk(board, Kind::Arc), Handles{});
  // The component link is the owner.
  ObjectHandle component = 99;
  PcbApi_QueryPrimitive(kQueryGet, c2a, nullptr, nullptr, nullptr, nullptr, &component, nullptr);
  EXPECT_EQ(component, c2);
}

TEST_F(ServerTest, WalksOfOneKindSkipAComponentsOtherMembers) {
  const ObjectHandle c = AddComponent("U1");
  const ObjectHandle pad1 = server().Add(Pad{}, c);
  const ObjectHandle track = AddTrack(kTopLayer, 0, c);
  const ObjectHandle pad2 = server().Add(Pad{}, c);
  const ObjectHandle text = server().Add(Text{}, c);
  const ObjectHandle pad3 = server().Add(Pad{}, c);
  const ObjectHandle designator = server().Get<Component>(c)->nameText;
  EXPECT_EQ(Walk(c, Kind::Pad), (Handles{pad1, pad2, pad3}));
  EXPECT_EQ(Walk(board, Kind::Pad), (Handles{pad1, pad2, pad3}));
  EXPECT_EQ(Walk(board, Kind::Text), (Handles{designator, text}));
  EXPECT_EQ(Walk(c, Kind::Track), Handles{track});
  // Moving a pad out keeps the others in order.
  ASSERT_TRUE(server().Reparent(pad2, 0));
  EXPECT_EQ(Walk(c, Kind::Pad), (Handles{pad1, pad3}));
  EXPECT_EQ(Walk(board, Kind::Pad), (Handles{pad1, pad3, pad2}));
}

TEST_F(ServerTest, ComponentTextWalkYieldsDesignatorAndCommentFirst) {
  const ObjectHandle c = server().Add(Component{});
  Text other;
  other.text = "extra";
  const ObjectHandle extra = server().Add(other, c);
  const ObjectHandle comment = server().AddComment(c, Text{});
  const ObjectHandle designator = server().AddDesignator(c, Text{});
  const ObjectHandle freeText = server().Add(Text{});
  EXPECT_EQ(Walk(c, Kind::Text), (Handles{designator, comment, extra}));
  EXPECT_EQ(Walk(board, Kind::Text), (Handles{designator, comment, extra, freeText}));
  ObjectHandle nameText = 0, commentText = 0;
  PcbApi_QueryComponent(kQueryGet, c, nullptr, nullptr, nullptr, nullptr, &nameText, &commentText,
                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(nameText, designator);
  EXPECT_EQ(commentText, comment);
}

TEST_F(ServerTest, LayerlessObjectsAndRulesMeetTheirLayers) {
  const ObjectHandle net = AddNet("A");
  const ObjectHandle cls = server().Add(ObjectClass{});
  const ObjectHandle fromTo = server().Add(FromTo{});
  Rule onTwo;
  onTwo.layers = {kTopLayer, kBottomLayer};
  const ObjectHandle r1 = server().Add(onTwo);
  const ObjectHandle r2 = server().Add(Rule{});

  for (Kind kind : {Kind::Net, Kind::Class, Kind::FromTo}) {
    const ObjectHandle expected = kind == Kind::Net ? net : kind == Kind::Class ? cls : fromTo;
    EXPECT_EQ(Walk(board, kind), Handles{expected});
    EXPECT_EQ(Walk(board, kind, kMultiLayer), Handles{expected});
    EXPECT_EQ(Walk(board, kind, kTopLayer), Handles{});
  }
  EXPECT_EQ(Walk(board, Kind::Rule), (Handles{r1, r2}));
  EXPECT_EQ(Walk(board, Kind::Rule, kTopLayer), Handles{r1});
  EXPECT_EQ(Walk(board, Kind::Rule, kBottomLayer), Handles{r1});
  EXPECT_EQ(Walk(board, Kind::Rule, kMultiLayer), Handles{r2});
  EXPECT_EQ(Walk(board, Kind::Rule, MidLayer(1)), Handles{});
}

TEST_F(ServerTest, NetWalkYieldsTheNetsObjectsInDocumentOrder) {
  const ObjectHandle a = AddNet("A");
  const ObjectHandle b = AddNet("B");
  const ObjectHandle freeA = AddTrack(kTopLayer, a);
  AddTrack(kTopLayer, b);
  const ObjectHandle c = AddComponent("U1");
  const ObjectHandle memberA = AddTrack(kBottomLayer, a, c);
  EXPECT_EQ(Walk(a, Kind::Track), (Handles{memberA, freeA}));
  EXPECT_EQ(Walk(a, Kind::Track, kBottomLayer), Handles{memberA});
  EXPECT_EQ(Walk(a, Kind::Pad), Handles{});
}

TEST_F(ServerTest, IteratorsNestAndTheirSlotsAreReused) {
  const ObjectHandle c1 = AddComponent("U1");
  const ObjectHandle c2 = AddComponent("U2");
  const ObjectHandle t1 = AddTrack(kTopLayer, 0, c1);
  const ObjectHandle t2 = AddTrack(kTopLayer, 0, c2);

  const ObjectHandle outer = PcbApi_CreateIterator(board, 9, 1, 0);
  ASSERT_NE(outer, 0u);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(outer), 0);  // not an object handle
  Handles inner;
  for (ObjectHandle c = PcbApi_GetFirstObject(outer); c != 0; c = PcbApi_GetNextObject(outer)) {
    const ObjectHandle it = PcbApi_CreateIterator(c, 4, 0, 0);
    EXPECT_NE(it, outer);
    for (ObjectHandle h = PcbApi_GetFirstObject(it); h != 0; h = PcbApi_GetNextObject(it)) {
      inner.push_back(h);
    }
    EXPECT_EQ(PcbApi_DestroyIterator(it), 0);
  }
  EXPECT_EQ(inner, (Handles{t1, t2}));
  EXPECT_EQ(PcbApi_GetNextObject(outer), 0u);  // stays at the end
  EXPECT_EQ(server().OpenIterators(), 1u);
  EXPECT_EQ(PcbApi_DestroyIterator(outer), 0);
  EXPECT_NE(PcbApi_DestroyIterator(outer), 0);  // already gone
  EXPECT_EQ(PcbApi_GetFirstObject(outer), 0u);

  // A long run of walks reuses one slot; a stale handle does not reach the new iterator.
  ObjectHandle last = 0;
  for (int i = 0; i < 1000; ++i) {
    last = PcbApi_CreateIterator(board, 4, 0, 0);
    PcbApi_DestroyIterator(last);
  }
  const ObjectHandle fresh = PcbApi_CreateIterator(board, 4, 0, 0);
  EXPECT_NE(fresh, last);
  EXPECT_EQ(PcbApi_GetFirstObject(last), 0u);
  EXPECT_EQ(PcbApi_GetFirstObject(fresh), t1);
  PcbApi_DestroyIterator(fresh);
  EXPECT_EQ(server().OpenIterators(), 0u);

  EXPECT_EQ(PcbApi_CreateIterator(t1, 4, 0, 0), 0u);  // a track owns nothing
  EXPECT_EQ(PcbApi_CreateIterator(board, 4, 0, 83), 0u);
}

TEST_F(ServerTest, ReparentingMovesAnObjectToTheEndOfItsNewOwner) {
  const ObjectHandle c = AddComponent("U1");
  const ObjectHandle member = AddTrack(kTopLayer, 0, c);
  const ObjectHandle loose = AddTrack(kTopLayer);
  ObjectHandle owner = c;
  ASSERT_EQ(
      PcbApi_QueryTrack(kQuerySet, loose, nullptr, nullptr, nullptr, nullptr, nullptr, &owner,
                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
      0);
  EXPECT_EQ(Walk(c, Kind::Track), (Handles{member, loose}));
  EXPECT_EQ(Walk(board, Kind::Track), (Handles{member, loose}));
}

}  // namespace
