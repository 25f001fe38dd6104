// Components, polygons, nets, classes and dimensions: their load orders where
// they matter to the export, member walks and the bounds on host counts.
#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "board/PcbGroups.h"
#include "board/PcbNets.h"

namespace {

using fake::FakeHostTest;
using V = std::vector<long long>;

class GroupsNetsTest : public FakeHostTest {};

std::int32_t g_Count;

TEST_F(GroupsNetsTest, PolygonSegmentCountIsKeptInsideTheArray) {
  FAKE_ENTRY(PcbApi_QueryPolygon,
             [](QueryMode mode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer*,
                ObjectHandle* net, std::uint8_t*, std::uint8_t* b1, std::uint8_t*, std::uint8_t*,
                Coord*, Coord* width, std::uint8_t* b4, std::uint8_t* style, Coord*,
                std::uint8_t* b0, std::int32_t* count, PolygonSegments* segments) -> Status {
               if (mode != kQueryGet) return 0;
               *net = 3, *b1 = 1, *width = 50, *b4 = 4, *style = 5, *b0 = 6, *count = g_Count;
               (*segments)[kPolygonSegmentCapacity - 1].X = 999;
               return 0;
             });
  fake::Bind();
  g_Count = 100000;
  TPcbBoardOutline outline(2);
  EXPECT_EQ(outline.Kind, BoardOutlineObject);
  outline.Load(kQueryGet);
  EXPECT_EQ(outline.SegmentCount, 500);
  const Coord lastX = outline.Segments[500].X;  // packed: read by value
  EXPECT_EQ(lastX, 999);
  EXPECT_EQ((V{outline.NetHandle, outline.PolygonByte1, outline.TrackWidth, outline.PolygonByte4,
               outline.StyleCode, outline.PolygonByte0}),
            (V{3, 1, 50, 4, 5, 6}));
  g_Count = -3;
  outline.Load(kQueryGet);
  EXPECT_EQ(outline.SegmentCount, 0);
}

TEST_F(GroupsNetsTest, ComponentNameIsItsDesignatorText) {
  FAKE_ENTRY(PcbApi_GetObjectIdFromObjectHandle, [](ObjectHandle) -> ObjectKindCode { return 5; });
  FAKE_ENTRY(
      PcbApi_QueryText,
      [](QueryMode, ObjectHandle h, std::uint16_t*, std::uint16_t*, HostLayer*, ObjectHandle*,
         std::uint8_t*, ObjectHandle*, Coord*, Coord*, Coord*, std::int32_t*, double*,
         std::uint8_t*, std::uint8_t* text, Coord*, std::int32_t*, std::int32_t*) -> Status {
        fake::WriteLenString(text, "U" + std::to_string(h));
        return 0;
      });
  FAKE_ENTRY(PcbApi_QueryComponent,
             [](QueryMode, ObjectHandle, std::uint16_t*, std::uint16_t* index, HostLayer* layer,
                std::uint8_t* tag, ObjectHandle* nameText, ObjectHandle* commentText,
                std::uint8_t* pattern, std::uint8_t*, std::uint8_t*, Coord* x, Coord*,
                std::int32_t*, double* rotation, std::uint8_t* b3) -> Status {
               *index = 4, *layer = 32, *tag = 1, *nameText = 12, *commentText = 13, *x = 5;
               *rotation = 270, *b3 = 9;
               fake::WriteLenString(pattern, "DIP14");
               return 0;
             });
  fake::Bind();
  TPcbComponent c(1);
  LenString name;
  c.GetName(name);
  EXPECT_TRUE(name.Empty()) << "no designator text yet";
  c.Load(kQueryGet);
  EXPECT_EQ(
      (V{c.Index, c.Layer, c.Tag, c.NameTextHandle, c.CommentTextHandle, c.X, c.ComponentByte3}),
      (V{4, 32, 1, 12, 13, 5, 9}));
  EXPECT_EQ(c.Pattern, "DIP14");
  EXPECT_EQ(c.GetRotation(), 270.0);
  c.GetName(name);
  EXPECT_EQ(name, "U12");
}

TEST_F(GroupsNetsTest, MemberWalksPassTheirOwnerAndMethod) {
  FAKE_ENTRY(PcbApi_CreateIterator,
             [](ObjectHandle owner, ObjectKindCode kind, IterationMethod method, HostLayer layer) {
               fake::Record("Create", {owner, kind, method, layer});
               return ObjectHandle{50};
             });
  FAKE_ENTRY(PcbApi_GetFirstObject, [](ObjectHandle) { return ObjectHandle{60}; });
  fake::Bind();
  TPcbComponent c(7);
  int seen = 0;
  c.IterateMembers([](void* n, ObjectHandle h) { *static_cast<int*>(n) += static_cast<int>(h); },
                   &seen, MaskOf(PadObject), LayerSet::NoLayerOnly());
  EXPECT_EQ(seen, 60);
  c.IterateMembers([](ObjectHandle) { ADD_FAILURE(); }, 0, LayerSet::NoLayerOnly());
  c.IterateMembers([](ObjectHandle) { ADD_FAILURE(); }, 0xFFE00000u, LayerSet::BoardLayers());
  TPcbNet net(8);
  net.IterateMembers([](ObjectHandle) {}, MaskOf(PadObject) | MaskOf(ViaObject), 2,
                     LayerSet::Of(kMultiLayer));
  EXPECT_EQ(fake::CallSummary(), "Create*3");
  EXPECT_EQ(fake::g_Calls[0].Args, (V{7, PadObject, 0, 0}));
  EXPECT_EQ(fake::g_Calls[1].Args, (V{8, PadObject, 2, kMultiLayer}));
  EXPECT_EQ(fake::g_Calls[2].Args, (V{8, ViaObject, 2, kMultiLayer}));
}

std::vector<std::string> g_HostMembers;

void RegisterClassMembers() {
  FAKE_ENTRY(PcbApi_GetMemberFromClassAt,
             [](ObjectHandle, std::int32_t i, std::uint8_t* name) -> std::int32_t {
               fake::Record("MemberAt", {i});
               if (i >= static_cast<std::int32_t>(g_HostMembers.size())) return 1;
               fake::WriteLenString(name, g_HostMembers[i]);
               return 0;
             });
  FAKE_ENTRY(PcbApi_RemoveAllMembersFromClass, [](ObjectHandle) {
    fake::Record("RemoveAll");
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_AddMemberToClass, [](ObjectHandle, std::uint8_t* name) {
    fake::Record("Add", {name[0], name[name[0]]});
    return Status{6};
  });
}

TEST_F(GroupsNetsTest, ClassMembersReadUntilTheHostSaysNoMoreAndSentCut) {
  RegisterClassMembers();
  fake::Bind();
  TPCBObjectClass cls(3);
  g_HostMembers = {};
  EXPECT_EQ(cls.Load(kQueryGet), 1);
  EXPECT_TRUE(cls.Members.empty());
  EXPECT_EQ(fake::CallSummary(), "MemberAt");

  g_HostMembers = {"GND", "VCC"};
  cls.Load(kQueryGet);
  EXPECT_EQ(cls.Members, (std::vector<std::string>{"GND", "VCC"}));

  fake::g_Calls.clear();
  cls.Members = {std::string(255, 'a') + std::string(45, 'b')};
  EXPECT_EQ(cls.Load(kQuerySet), 6);
  EXPECT_EQ(fake::CallSummary(), "RemoveAll Add");
  EXPECT_EQ(fake::g_Calls[1].Args, (V{255, 'a'}));

  fake::g_Calls.clear();
  cls.Members.clear();
  EXPECT_EQ(cls.Load(kQuerySet), 0);
  EXPECT_EQ(fake::CallSummary(), "RemoveAll");
}

TEST_F(GroupsNetsTest, DimensionReferencesStayInsideTheArray) {
  FAKE_ENTRY(PcbApi_References_Count, [](ObjectHandle, std::int32_t* n) {
    *n = g_Count;
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_References_At, [](QueryMode, ObjectHandle, std::int32_t d, std::int32_t* a,
                                      std::int32_t*, std::int32_t*, std::int32_t* last) {
    fake::Record("RefAt", {d});
    *a = d, *last = -d;
    return Status{0};
  });
  fake::Bind();
  TPcbDimension dim(4);
  EXPECT_EQ(dim.DimensionCode, 8);
  g_Count = 5000;
  dim.Load(kQueryGet);
  EXPECT_EQ(dim.ReferenceCount, 200);
  EXPECT_EQ(fake::CallSummary(), "RefAt*200");
  EXPECT_EQ(dim.References[199][3], -199);
}

}  // namespace
