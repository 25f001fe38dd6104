// The object base: factory, lookups by handle, base load, flag accessors,
// string clamping and box corners.
#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "board/PcbGroups.h"
#include "board/PcbNets.h"
#include "board/PcbPad.h"
#include "board/PcbPrimitives.h"
#include "board/PcbText.h"

namespace {

using fake::FakeHostTest;

// The kind of a handle is the handle itself, so tests pick kinds by handle.
void RegisterKindIsHandle() {
  FAKE_ENTRY(PcbApi_GetObjectIdFromObjectHandle, [](ObjectHandle h) -> ObjectKindCode {
    fake::Record("Id", {h});
    return static_cast<ObjectKindCode>(h);
  });
}

class ObjectTest : public FakeHostTest {};

TEST_F(ObjectTest, FactoryMakesTheClassOfEveryKindAndNothingForOthers) {
  RegisterKindIsHandle();
  fake::Bind();
  for (ObjectHandle kind = 0; kind < 40; ++kind) {
    const bool hasClass = (kind >= 1 && kind <= 15) || kind == 21;
    const auto object = ObjectFromHandle(kind);
    ASSERT_EQ(object != nullptr, hasClass) << "kind " << kind;
    if (object) {
      EXPECT_EQ(object->Kind, kind);
      EXPECT_EQ(object->Handle, kind);
    }
  }
  EXPECT_NE(dynamic_cast<TPcbPolygon*>(ObjectFromHandle(21).get()), nullptr);
  EXPECT_NE(dynamic_cast<TPcbGroupObject*>(ObjectFromHandle(NetObject).get()), nullptr);
  EXPECT_EQ(dynamic_cast<TPcbGroupObject*>(ObjectFromHandle(RuleObject).get()), nullptr);
}

TEST_F(ObjectTest, FactoryLoadsTheNewObjectInGetMode) {
  RegisterKindIsHandle();
  FAKE_ENTRY(PcbApi_QueryTrack,
             [](QueryMode mode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer*,
                ObjectHandle*, std::uint8_t*, ObjectHandle*, Coord*, Coord*, Coord* x2, Coord*,
                Coord*, ObjectHandle*, std::int32_t*, std::int32_t*) -> Status {
               fake::Record("QueryTrack", {mode});
               *x2 = 123;
               return 0;
             });
  fake::Bind();
  const auto track = ObjectFromHandle(TrackObject);
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->GetX2(), 123);
  EXPECT_EQ(fake::CallSummary(), "Id QueryTrack");
  EXPECT_EQ(fake::g_Calls[1].Args[0], kQueryGet);
}

TEST_F(ObjectTest, NumberAndNameLookups) {
  RegisterKindIsHandle();
  FAKE_ENTRY(PcbApi_QueryTrack,
             [](QueryMode, ObjectHandle, std::uint16_t*, std::uint16_t* index, HostLayer*,
                ObjectHandle*, std::uint8_t*, ObjectHandle*, Coord*, Coord*, Coord*, Coord*, Coord*,
                ObjectHandle*, std::int32_t*, std::int32_t*) -> Status {
               *index = 40000;
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryText,
             [](QueryMode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer*, ObjectHandle*,
                std::uint8_t*, ObjectHandle*, Coord*, Coord*, Coord*, std::int32_t*, double*,
                std::uint8_t*, std::uint8_t* text, Coord*, std::int32_t*, std::int32_t*) -> Status {
               fake::WriteLenString(text, "R17");
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryNet,
             [](QueryMode, ObjectHandle, std::uint16_t* index, std::uint8_t* name, std::uint8_t*,
                std::uint32_t*) -> Status {
               *index = 7;
               fake::WriteLenString(name, "GND");
               return 0;
             });
  fake::Bind();

  EXPECT_EQ(ObjectNumber(0), 0);
  EXPECT_TRUE(ObjectName(0).Empty());
  EXPECT_TRUE(fake::g_Calls.empty()) << "the handle 0 makes no host call";

  EXPECT_EQ(ObjectNumber(TrackObject), 40000);
  EXPECT_EQ(ObjectNumber(NetObject), 7);
  EXPECT_EQ(ObjectName(TextObject), "R17");
  EXPECT_TRUE(ObjectName(NetObject).Empty()) << "a net answers GetName, not GetText";
  EXPECT_EQ(ObjectNumber(17), 0);
  EXPECT_TRUE(ObjectName(22).Empty());
}

TEST_F(ObjectTest, WithoutTheKindLookupNoObjectIsMade) {
  fake::Bind();
  EXPECT_EQ(ObjectFromHandle(5), nullptr);
  EXPECT_EQ(ObjectNumber(5), 0);
}

TEST_F(ObjectTest, BaseLoadExchangesBitFieldsThenThePrimitiveInItsOwnOrder) {
  FAKE_ENTRY(PcbApi_GetObjectBitField2,
             [](QueryMode mode, ObjectHandle, std::uint8_t* b) -> Status {
               fake::Record("Bf2", {mode, *b});
               if (mode == kQueryGet) *b = 0x5A;
               return 0;
             });
  FAKE_ENTRY(PcbApi_GetObjectBitField3,
             [](QueryMode mode, ObjectHandle, std::uint16_t* b) -> Status {
               fake::Record("Bf3", {mode, *b});
               if (mode == kQueryGet) *b = 0xA5A5;
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryPrimitive,
             [](QueryMode mode, ObjectHandle h, std::uint16_t* flags, std::uint16_t* index,
                HostLayer* layer, ObjectHandle* net, ObjectHandle* component,
                std::uint8_t* tag) -> Status {
               fake::Record("Prim", {mode, h, *flags, *index, *layer, *net, *component, *tag});
               if (mode == kQueryGet) {
                 *flags = 0x0100, *index = 2, *layer = 3, *net = 4, *component = 5, *tag = 6;
               }
               return 9;
             });
  fake::Bind();

  TPCBObject object(77);
  EXPECT_EQ(object.Load(kQueryGet), 9);
  EXPECT_EQ(object.BitField2, 0x5A);
  EXPECT_EQ(object.BitField3, 0xA5A5);
  EXPECT_EQ(object.Flags, 0x0100);
  EXPECT_EQ(object.Index, 2);
  EXPECT_EQ(object.Layer, 3);
  EXPECT_EQ(object.NetHandle, 4u);
  EXPECT_EQ(object.ComponentHandle, 5u);
  EXPECT_EQ(object.Tag, 6);

  // Slot 15 sends the object at once.
  fake::g_Calls.clear();
  object.SetEnabled(true);
  EXPECT_EQ(fake::CallSummary(), "Bf2 Bf3 Prim");
  EXPECT_EQ(fake::g_Calls[2].Args, (std::vector<long long>{kQuerySet, 77, 0, 2, 3, 4, 5, 6}));
}

TEST_F(ObjectTest, FlagAccessorsReadAndWriteTheirBits) {
  fake::Bind();
  TPCBObject o(1);
  EXPECT_TRUE(o.GetEnabled());
  EXPECT_FALSE(o.GetSelected());

  o.SetSelected(true);
  o.SetKeepout(true);
  o.SetTestPointBottom(true);
  EXPECT_EQ(o.Flags, 0x0010 | 0x0800 | 0x8000);
  o.SetKeepout(false);
  EXPECT_EQ(o.Flags, 0x0010 | 0x8000);
  o.SetLocked(true);
  EXPECT_TRUE(o.GetLocked());
  o.SetEnabled(false);
  EXPECT_FALSE(o.GetEnabled());
  EXPECT_EQ(o.Flags, 0x0010 | 0x8000 | 0x0008 | 0x0100);

  o.SetTenting(true);
  EXPECT_EQ(o.BitField3, 0x0006);
  o.SetTentingTop(false);
  EXPECT_TRUE(o.GetTenting());
  o.SetTentingBottom(false);
  EXPECT_FALSE(o.GetTenting());

  o.BitField2 = 0x40 | 0x08;
  EXPECT_TRUE(o.GetUserRouted());
  EXPECT_TRUE(o.GetDrcError());
  EXPECT_FALSE(o.GetHighlighted());
  EXPECT_FALSE(o.GetMoved());
}

TEST_F(ObjectTest, StringsAreCutToTheirBuffers) {
  TPcbText text(1);
  text.SetText(std::string(300, 'a') + "b");
  LenString out;
  text.GetText(out);
  EXPECT_EQ(out.Size(), 254u);
  EXPECT_EQ(out.View(), std::string(254, 'a'));

  TPcbPad pad(2);
  pad.SetName("ABCDEFGHIJKLMNOPQRSTUVWXY");
  pad.GetName(out);
  EXPECT_EQ(out, "ABCDEFGHIJKLMNOPQRST");

  // A length byte that claims more than the buffer holds is read as full.
  pad.Name.Length = 255;
  EXPECT_EQ(pad.Name.View().size(), 20u);

  LenString s;
  s.Assign(std::string(250, 'x'));
  s.Append("0123456789");
  EXPECT_EQ(s.Size(), 255u);
  EXPECT_EQ(s.View().substr(250), "01234");
}

TEST_F(ObjectTest, BoxCornersOfFillsAndFlatTracks) {
  TPcbFill fill(1);
  fill.X = -30, fill.Y = -10, fill.X2 = 30, fill.Y2 = 10;
  EXPECT_EQ(fill.GetBoxCorner1X(0), -30);
  EXPECT_EQ(fill.GetBoxCorner1Y(0), -10);
  EXPECT_EQ(fill.GetBoxCorner2X(5), 35);
  EXPECT_EQ(fill.GetBoxCorner2Y(5), -15);
  EXPECT_EQ(fill.GetBoxCorner3X(0), -30);
  EXPECT_EQ(fill.GetBoxCorner3Y(0), 10);
  EXPECT_EQ(fill.GetBoxCorner4X(0), 30);
  EXPECT_EQ(fill.GetBoxCorner4Y(0), 10);
  fill.Rotation = 90;
  EXPECT_EQ(fill.GetBoxCorner1X(0), 10);
  EXPECT_EQ(fill.GetBoxCorner1Y(0), -30);
  EXPECT_EQ(fill.GetBoxCorner4X(0), -10);
  EXPECT_EQ(fill.GetBoxCorner4Y(0), 30);

  // Flat: centre 0/2 + 5/2 = 2, half width 2.5; -0.5 and 4.5 round to even.
  TPcbTrack track(2);
  track.X = 0, track.Y = 7, track.X2 = 5, track.Y2 = 7, track.Layer = kTopLayer;
  EXPECT_EQ(track.GetBoxCorner1X(0), 0);
  EXPECT_EQ(track.GetBoxCorner2X(0), 4);
  EXPECT_EQ(track.GetBoxCorner3X(0), 0);
  EXPECT_EQ(track.GetBoxCorner4X(0), 4);
  EXPECT_EQ(track.GetBoxCorner2Y(0), 6) << "each end halved on its own: 7/2 + 7/2";
  // Per-layer answers only on the track's own layer.
  EXPECT_EQ(track.GetCorner2X(kTopLayer, 0), 4);
  EXPECT_EQ(track.GetCorner2X(kBottomLayer, 0), 0);
  EXPECT_EQ(track.GetSpineEndX(kTopLayer), 5);
  EXPECT_EQ(track.GetSpineEndX(kBottomLayer), 0);
  for (int l = 0; l <= kLastHostLayer; ++l)
    EXPECT_EQ(track.GetLayerSize(static_cast<HostLayer>(l)), 0);
}

}  // namespace
