// Load argument orders of tracks, vias, arcs, fills, texts and pads; the pad's
// per-layer stack, per-layer geometry and rule values.
#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "board/PcbPad.h"
#include "board/PcbPrimitives.h"
#include "board/PcbText.h"

namespace {

using fake::FakeHostTest;
using V = std::vector<long long>;

class PrimitivesTest : public FakeHostTest {};

TEST_F(PrimitivesTest, TrackFieldsInQueryOrderBothWays) {
  FAKE_ENTRY(PcbApi_QueryTrack,
             [](QueryMode mode, ObjectHandle h, std::uint16_t* flags, std::uint16_t* index,
                HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* comp,
                Coord* x, Coord* y, Coord* x2, Coord* y2, Coord* width, ObjectHandle* poly,
                std::int32_t* e1, std::int32_t* e2) -> Status {
               if (mode == kQueryGet) {
                 *flags = 0xF001, *index = 40000, *layer = 3, *net = 4, *tag = 5, *comp = 6;
                 *x = -7, *y = 8, *x2 = 9, *y2 = 10, *width = 11, *poly = 12, *e1 = 13, *e2 = -14;
               }
               fake::Record("Track", {mode, h, *flags, *index, *layer, *net, *tag, *comp, *x, *y,
                                      *x2, *y2, *width, *poly, *e1, *e2});
               return 21;
             });
  fake::Bind();

  TPcbTrack t(99);
  EXPECT_EQ(t.Load(kQueryGet), 21);
  EXPECT_EQ((V{t.Flags, t.Index, t.Layer, t.NetHandle, t.Tag, t.ComponentHandle, t.X, t.Y, t.X2,
               t.Y2, t.Width, t.PolygonHandle, t.Extra1, t.Extra2}),
            (V{0xF001, 40000, 3, 4, 5, 6, -7, 8, 9, 10, 11, 12, 13, -14}));

  t.SetX2(-100);
  t.SetWidth(200);
  t.Index = 65535;
  t.Load(kQuerySet);
  EXPECT_EQ(fake::g_Calls.back().Args,
            (V{kQuerySet, 99, 0xF001, 65535, 3, 4, 5, 6, -7, 8, -100, 10, 200, 12, 13, -14}));
}

TEST_F(PrimitivesTest, ViaArcAndFillFieldsInQueryOrder) {
  FAKE_ENTRY(
      PcbApi_QueryVia,
      [](QueryMode, ObjectHandle, std::uint16_t* flags, std::uint16_t* index, HostLayer* layer,
         ObjectHandle* net, std::uint8_t* tag, ObjectHandle* comp, Coord* x, Coord* y, Coord* size,
         Coord* hole, HostLayer* low, HostLayer* high) -> Status {
        *flags = 1, *index = 2, *layer = 74, *net = 4, *tag = 5, *comp = 6, *x = 7, *y = 8;
        *size = 9, *hole = 10, *low = 1, *high = 32;
        return 0;
      });
  FAKE_ENTRY(PcbApi_QueryArc,
             [](QueryMode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer*, ObjectHandle*,
                std::uint8_t* tag, ObjectHandle* comp, Coord* x, Coord* y, Coord* radius,
                double* start, double* end, Coord* width, ObjectHandle* poly) -> Status {
               *tag = 5, *comp = 6, *x = 7, *y = 8;
               *radius = 9, *start = 10.5, *end = 11.25, *width = 12, *poly = 13;
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryFill,
             [](QueryMode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer*, ObjectHandle*,
                std::uint8_t*, ObjectHandle*, Coord* x, Coord* y, Coord* x2, Coord* y2,
                ObjectHandle* poly, double* rotation) -> Status {
               *x = 1, *y = 2, *x2 = 3, *y2 = 4, *poly = 5, *rotation = 45.5;
               return 0;
             });
  fake::Bind();

  TPcbVia via(1);
  via.Load(kQueryGet);
  EXPECT_EQ((V{via.Flags, via.Index, via.Layer, via.NetHandle, via.Tag, via.ComponentHandle, via.X,
               via.Y, via.Size, via.HoleSize, via.LowLayer, via.HighLayer}),
            (V{1, 2, 74, 4, 5, 6, 7, 8, 9, 10, 1, 32}));

  TPcbArc arc(2);
  arc.Load(kQueryGet);
  EXPECT_EQ(
      (V{arc.Tag, arc.ComponentHandle, arc.X, arc.Y, arc.Radius, arc.LineWidth, arc.PolygonHandle}),
      (V{5, 6, 7, 8, 9, 12, 13}));
  EXPECT_EQ(arc.StartAngle, 10.5);
  EXPECT_EQ(arc.EndAngle, 11.25);

  TPcbFill fill(3);
  fill.Load(kQueryGet);
  EXPECT_EQ((V{fill.X, fill.Y, fill.X2, fill.Y2, fill.PolygonHandle}), (V{1, 2, 3, 4, 5}));
  EXPECT_EQ(fill.GetRotation(), 45.5);
}

TEST_F(PrimitivesTest, AbsentQueriesLeaveEverythingButHandleKindAndBitFieldsZero) {
  FAKE_ENTRY(PcbApi_GetObjectBitField2, [](QueryMode, ObjectHandle, std::uint8_t* b) -> Status {
    *b = 3;
    return 0;
  });
  fake::Bind();
  TPcbVia via(42);
  EXPECT_EQ(via.Load(kQueryGet), 0);
  EXPECT_EQ((V{via.Handle, via.Kind, via.BitField2, via.BitField3, via.X, via.Y, via.Flags,
               via.Index, via.Layer, via.Tag, via.NetHandle, via.ComponentHandle, via.Size,
               via.HoleSize, via.LowLayer, via.HighLayer}),
            (V{42, ViaObject, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  TPcbPad pad(43);
  EXPECT_EQ(pad.Load(kQueryGet), 0);
  EXPECT_EQ(pad.StackMode, 0);
  EXPECT_EQ(pad.PlaneConnectB(), 0);
  EXPECT_EQ(pad.SolderMaskExpansion(), 0);
  EXPECT_EQ(pad.PwrGnd(), 0);
}

TEST_F(PrimitivesTest, TextFieldsInQueryOrder) {
  FAKE_ENTRY(PcbApi_QueryText,
             [](QueryMode mode, ObjectHandle, std::uint16_t*, std::uint16_t*, HostLayer* layer,
                ObjectHandle*, std::uint8_t* tag, ObjectHandle* comp, Coord* x, Coord* y,
                Coord* height, std::int32_t* style, double* rotation, std::uint8_t* flag,
                std::uint8_t* text, Coord* width, std::int32_t* e1, std::int32_t* e2) -> Status {
               if (mode == kQueryGet) {
                 *layer = 33, *tag = 2, *comp = 3, *x = 4, *y = 5, *height = 6, *style = 7;
                 *rotation = 8.5, *flag = 1, *width = 10, *e1 = 11, *e2 = 12;
                 fake::WriteLenString(text, "Hello");
               } else {
                 fake::Record("Text", {text[0], text[1]});
               }
               return 0;
             });
  fake::Bind();
  TPcbText t(5);
  t.Load(kQueryGet);
  EXPECT_EQ((V{t.Layer, t.Tag, t.ComponentHandle, t.X, t.Y, t.Height, t.Style, t.TextFlag,
               t.LineWidth, t.Extra1, t.Extra2}),
            (V{33, 2, 3, 4, 5, 6, 7, 1, 10, 11, 12}));
  EXPECT_EQ(t.Rotation, 8.5);
  EXPECT_EQ(t.Text, "Hello");
  EXPECT_TRUE(t.GetTextFlag());

  t.SetText("Z");
  t.Load(kQuerySet);
  EXPECT_EQ(fake::g_Calls.back().Args, (V{1, 'Z'}));
}

// ---- pads

Status PadQuery(QueryMode mode, ObjectHandle, std::uint16_t* flags, std::uint16_t* index,
                HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* comp,
                Coord* x, Coord* y, Coord* xt, Coord* yt, Coord* xm, Coord* ym, Coord* xb,
                Coord* yb, Coord* hole, std::uint8_t* st, std::uint8_t* sm, std::uint8_t* sb,
                std::uint8_t* name, std::uint8_t* b1, std::uint8_t* b2, double* rotation) {
  if (mode == kQueryGet) {
    *flags = 1, *index = 2, *layer = 74, *net = 4, *tag = 5, *comp = 6, *x = 7, *y = 8;
    *xt = 9, *yt = 10, *xm = 11, *ym = 12, *xb = 13, *yb = 14, *hole = 15;
    *st = 16, *sm = 17, *sb = 18, *b1 = 19, *b2 = 20, *rotation = 21.5;
    // A host that overstates the length: only the 21-byte buffer may be touched.
    fake::WriteLenString(name, "12345678901234567890");
    name[0] = 200;
  }
  fake::Record("Pad", {mode, *index});
  return 0;
}

std::uint8_t g_StackMode;
Status g_PadStatus;

void RegisterPad() {
  FAKE_ENTRY(PcbApi_QueryPad, [](auto... args) -> Status {
    PadQuery(args...);
    return g_PadStatus;
  });
  FAKE_ENTRY(PcbApi_QueryPadStackMode, [](QueryMode, ObjectHandle, std::uint8_t* m) -> Status {
    fake::Record("StackMode");
    *m = g_StackMode;
    return 0;
  });
  FAKE_ENTRY(PcbApi_QueryPadOrViaShapeOnLayer,
             [](ObjectHandle, HostLayer layer, std::uint8_t* shape) -> Status {
               fake::Record("Shape", {layer});
               *shape = static_cast<std::uint8_t>(layer + 100);
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryPadOrViaSizeOnLayer,
             [](ObjectHandle, HostLayer layer, Coord* xs, Coord* ys) -> Status {
               fake::Record("Size", {layer});
               *xs = layer * 10, *ys = layer * 10 + 1;
               return 0;
             });
  FAKE_ENTRY(PcbApi_SetPadShapeOnLayer, [](ObjectHandle, HostLayer layer, std::uint8_t shape) {
    fake::Record("SetShape", {layer, shape});
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_SetPadSizeOnLayer, [](ObjectHandle, HostLayer layer, Coord xs, Coord ys) {
    fake::Record("SetSize", {layer, xs, ys});
    return Status{0};
  });
}

class PadTest : public FakeHostTest {
 protected:
  void SetUp() override {
    FakeHostTest::SetUp();
    g_StackMode = 0;
    g_PadStatus = 0;
    RegisterPad();
  }
};

TEST_F(PadTest, FieldsInQueryOrderAndNameCutToItsBuffer) {
  fake::Bind();
  TPcbPad p(8);
  EXPECT_EQ(p.Load(kQueryGet), 0);
  EXPECT_EQ((V{p.Flags,           p.Index,    p.Layer,       p.NetHandle,   p.Tag,
               p.ComponentHandle, p.X,        p.Y,           p.XSizeTop,    p.YSizeTop,
               p.XSizeMid,        p.YSizeMid, p.XSizeBottom, p.YSizeBottom, p.HoleSize,
               p.ShapeTop,        p.ShapeMid, p.ShapeBottom, p.PadByte1,    p.PadByte2}),
            (V{1, 2, 74, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
  EXPECT_EQ(p.Rotation, 21.5);
  LenString name;
  p.GetName(name);
  EXPECT_EQ(name, "12345678901234567890");
  EXPECT_EQ(fake::CallSummary(), "Pad StackMode");
  for (int l = 0; l <= kLastHostLayer; ++l) {
    EXPECT_EQ(p.LayerXSize[l], 0);
    EXPECT_EQ(p.LayerShape[l], 0);
  }
}

TEST_F(PadTest, FailedPadQueryEndsTheLoad) {
  g_PadStatus = 4;
  g_StackMode = TPcbPad::kFullStack;
  fake::Bind();
  TPcbPad p(8);
  EXPECT_EQ(p.Load(kQueryGet), 4);
  EXPECT_EQ(fake::CallSummary(), "Pad");
}

TEST_F(PadTest, FullStackExchangesExactlyLayers1To32TopToBottom) {
  g_StackMode = TPcbPad::kFullStack;
  fake::Bind();
  TPcbPad p(8);
  EXPECT_EQ(p.Load(kQueryGet), 0);
  ASSERT_EQ(fake::g_Calls.size(), 2u + 64u);
  for (int l = 1; l <= 32; ++l) {
    EXPECT_EQ(fake::g_Calls[2 * l].Name, "Shape");
    EXPECT_EQ(fake::g_Calls[2 * l].Args[0], l);
    EXPECT_EQ(fake::g_Calls[2 * l + 1].Name, "Size");
    EXPECT_EQ(fake::g_Calls[2 * l + 1].Args[0], l);
  }
  EXPECT_EQ(p.LayerXSize[32], 320);
  EXPECT_EQ(p.LayerYSize[1], 11);
  EXPECT_EQ(p.LayerShape[5], 105);
  EXPECT_EQ(p.LayerXSize[0], 0);
  EXPECT_EQ(p.LayerXSize[33], 0);

  fake::g_Calls.clear();
  p.LayerXSize[7] = -5;
  p.Load(kQuerySet);
  EXPECT_EQ(fake::CallSummary().substr(0, 31), "Pad StackMode SetShape SetSize ");
  const auto sizes = fake::CallsOf("SetSize");
  ASSERT_EQ(sizes.size(), 32u);
  EXPECT_EQ(sizes.front().Args, (V{1, 10, 11}));
  EXPECT_EQ(sizes[6].Args, (V{7, -5, 71}));
  EXPECT_EQ(sizes.back().Args[0], 32);
  EXPECT_EQ(fake::CallsOf("SetShape")[31].Args, (V{32, 132}));
}

// A pad object reused for another pad is that pad's new object again, the
// per-layer arrays a full stack filled included.
TEST_F(PadTest, RenewedPadIsANewPadOfTheHandle) {
  g_StackMode = TPcbPad::kFullStack;
  fake::Bind();
  TPcbPad p(8);
  p.Load(kQueryGet);
  p.Renew(9);
  const TPcbPad fresh(9);
  const auto fields = [](const TPcbPad& q) {
    return V{q.Handle,   q.Kind,        q.Flags,       q.BitField2, q.BitField3,
             q.Index,    q.Layer,       q.NetHandle,   q.Tag,       q.ComponentHandle,
             q.X,        q.Y,           q.XSizeTop,    q.YSizeTop,  q.XSizeMid,
             q.YSizeMid, q.XSizeBottom, q.YSizeBottom, q.HoleSize,  q.ShapeTop,
             q.ShapeMid, q.ShapeBottom, q.PadByte1,    q.PadByte2,  q.StackMode};
  };
  EXPECT_EQ(fields(p), fields(fresh));
  EXPECT_EQ(p.Rotation, 0.0);
  EXPECT_EQ(p.Name.Size(), 0u);
  for (int l = 0; l <= kLastHostLayer; ++l) {
    EXPECT_EQ(p.LayerXSize[l], 0) << l;
    EXPECT_EQ(p.LayerYSize[l], 0) << l;
    EXPECT_EQ(p.LayerShape[l], 0) << l;
  }
}

// Every layer 60 wide and 20 high; a failing host for layer 9.
void RegisterPadSize60x20() {
  FAKE_ENTRY(PcbApi_QueryPadOrViaSizeOnLayer,
             [](ObjectHandle, HostLayer layer, Coord* xs, Coord* ys) -> Status {
               *xs = 60, *ys = 20;
               return layer == 9 ? 1 : 0;
             });
}

TEST_F(PadTest, CornersOfA60By20Pad) {
  RegisterPadSize60x20();
  fake::Bind();
  TPcbPad p(1);
  const auto corners = [&p](Coord margin) {
    return V{p.GetCorner1X(1, margin), p.GetCorner1Y(1, margin), p.GetCorner2X(1, margin),
             p.GetCorner2Y(1, margin), p.GetCorner3X(1, margin), p.GetCorner3Y(1, margin),
             p.GetCorner4X(1, margin), p.GetCorner4Y(1, margin)};
  };
  EXPECT_EQ(corners(0), (V{-30, -10, 30, -10, -30, 10, 30, 10}));
  EXPECT_EQ(corners(5), (V{-35, -15, 35, -15, -35, 15, 35, 15}));
  p.Rotation = 90;
  EXPECT_EQ(corners(0), (V{10, -30, 10, 30, -10, -30, -10, 30}));
  // Margin -10: the height is 0, the corners lie on the centre line.
  p.Rotation = 0;
  p.X = 100;
  EXPECT_EQ(corners(-10), (V{80, 0, 120, 0, 80, 0, 120, 0}));
  EXPECT_EQ(p.GetLayerMinSize(1), 20);
  EXPECT_EQ(p.GetLayerXSize(9), 0) << "failure reads as 0 whatever the host wrote";
  EXPECT_EQ(p.GetLayerXSize(200), 0);
}

TEST_F(PadTest, CentreLineOfOblongAndSquarePads) {
  RegisterPadSize60x20();
  fake::Bind();
  TPcbPad p(1);
  p.X = 1000, p.Y = 500;
  EXPECT_EQ((V{p.GetSpineStartX(1), p.GetSpineStartY(1), p.GetSpineEndX(1), p.GetSpineEndY(1)}),
            (V{980, 500, 1020, 500}));
  p.Rotation = 90;
  EXPECT_EQ((V{p.GetSpineStartX(1), p.GetSpineStartY(1), p.GetSpineEndX(1), p.GetSpineEndY(1)}),
            (V{1000, 480, 1000, 520}));

  // Layer 9 fails: both sizes 0, a square, so the centre.
  EXPECT_EQ((V{p.GetSpineStartX(9), p.GetSpineStartY(9), p.GetSpineEndX(9), p.GetSpineEndY(9)}),
            (V{1000, 500, 1000, 500}));
}

TEST_F(PadTest, TallPadCentreLineRunsAlongItsHeight) {
  FAKE_ENTRY(PcbApi_QueryPadOrViaSizeOnLayer,
             [](ObjectHandle, HostLayer, Coord* xs, Coord* ys) -> Status {
               *xs = 21, *ys = 61;  // halves 10 and 30
               return 0;
             });
  fake::Bind();
  TPcbPad p(1);
  EXPECT_EQ((V{p.GetSpineStartX(3), p.GetSpineStartY(3), p.GetSpineEndX(3), p.GetSpineEndY(3)}),
            (V{0, 20, 0, -20}));
}

TEST_F(PadTest, RuleValuesComeFromTheDominantRuleOfEachKind) {
  FAKE_ENTRY(PcbApi_FindDominantRuleForObject, [](ObjectHandle, RuleKindCode kind) {
    fake::Record("Find", {kind});
    return ObjectHandle{kind == 13 ? 0u : 1000u + kind};
  });
  FAKE_ENTRY(PcbApi_QueryRulePowerPlaneConnectStyleRule,
             [](QueryMode mode, ObjectHandle rule, std::uint8_t* style, std::int32_t* a,
                std::int32_t* b, std::int32_t* c, std::int32_t* d) -> Status {
               fake::Record("Connect", {mode, rule});
               *style = 9, *a = 1, *b = 2, *c = 3, *d = 4;
               return 0;
             });
  FAKE_ENTRY(PcbApi_QueryRulePowerPlaneExpansionRule, [](QueryMode, ObjectHandle rule, Coord* e) {
    *e = static_cast<Coord>(rule) + 1;
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_QueryRuleSolderMaskExpansionRule, [](QueryMode, ObjectHandle, Coord* e) {
    *e = 77;
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_QueryRulePasteMaskExpansionRule, [](QueryMode, ObjectHandle rule, Coord* e) {
    *e = static_cast<Coord>(rule) + 2;
    return Status{0};
  });
  FAKE_ENTRY(PcbApi_QueryPad_PwrGnd, [](ObjectHandle, std::uint8_t* v) {
    *v = 3;
    return Status{0};
  });
  fake::Bind();
  TPcbPad p(1);
  EXPECT_EQ(p.PlaneConnectB(), 2);
  EXPECT_EQ(p.PlaneConnectC(), 3);
  EXPECT_EQ(p.PlaneConnectD(), 4);
  EXPECT_EQ(fake::CallSummary(), "Find Connect Find Connect Find Connect");
  EXPECT_EQ(fake::g_Calls[1].Args, (V{kQueryGet, 1006}));
  EXPECT_EQ(p.PowerPlaneExpansion(), 1013);
  EXPECT_EQ(p.SolderMaskExpansion(), 0) << "no rule of kind 13";
  EXPECT_EQ(p.PasteMaskExpansion(), 1016);
  EXPECT_EQ(p.PwrGnd(), 3);
}

TEST_F(PrimitivesTest, ViaPerLayerGettersAskTheHostForAnyLayer) {
  FAKE_ENTRY(PcbApi_QueryPadOrViaSizeOnLayer,
             [](ObjectHandle, HostLayer layer, Coord* xs, Coord* ys) -> Status {
               *xs = 40 + layer, *ys = 1;
               return layer == 2 ? 5 : 0;
             });
  fake::Bind();
  TPcbVia via(1);
  EXPECT_EQ(via.GetLayerSize(60), 100);
  EXPECT_EQ(via.GetLayerSize(2), 0);
  EXPECT_EQ(via.GetLayerShape(1), 0) << "absent shape query writes nothing";
}

}  // namespace
