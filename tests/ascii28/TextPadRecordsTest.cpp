// Text records and pad records.
#include <cstring>
#include <string>

#include "ascii28/PadRecords.h"
#include "ascii28/TextRecords.h"
#include "support/WriterFixture.h"

namespace writer_test {
namespace {

using ascii28::WriteMemberText;
using ascii28::WritePadRecord;
using ascii28::WriteTextRecord;

class TextRecordsTest : public WriterTest {};
class PadRecordsTest : public WriterTest {};

// ---- texts

TEST_F(TextRecordsTest, FreeTextExample) {
  Load(Board(R"("texts": [ { "text": "U1", "x": 12345, "y": 6789, "height": 600, "rotation": 90,
                             "text_flag": 0, "style": 1, "layer": "TopOverlay", "width": 100 } ])"));
  EXPECT_EQ(WalkLines(&WriteTextRecord, 32, 1),
            (Lines{"FS", "0 0 1234 678 60 90.000 0 1 17 0 0 0 0 10 0 0 0", "U1"}));
}

TEST_F(TextRecordsTest, StyleIsSignedFlagAndTagUnsignedAndTheStringIsWrittenAsItIs) {
  Load(Board(R"(
    "nets": [ { "name": "N", "index": 4 } ],
    "texts": [ { "text": "say \"hi\"  ", "x": -15, "y": 19, "height": -600, "rotation": 270.5,
                 "text_flag": 1, "style": -1, "layer": "InternalPlane5", "width": 255, "tag": 200,
                 "net": "N", "index": 77, "extra1": 5, "extra2": 6 },
               { "text": "", "rotation": 0 } ])"));
  EXPECT_EQ(WalkLines(&WriteTextRecord, 32, 1),
            (Lines{"FS", "0 0 -1 1 -60 270.500 1 -1 1 0 0 0 0 25 200 0 0", "say \"hi\"  ",  //
                   "FS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", ""}));
}

TEST_F(TextRecordsTest, FreePassSkipsComponentTextsAndStillAdvancesProgress) {
  Load(Board(R"(
    "components": [ { "pattern": "P", "designator": "U1", "comment": "C",
                      "texts": [ { "text": "own" } ] } ],
    "texts": [ { "text": "free" } ])"));
  EXPECT_EQ(WalkLines(&WriteTextRecord, 32, 1),
            (Lines{"FS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", "free"}));
  EXPECT_EQ(Updates(), 4);
}

TEST_F(TextRecordsTest, MemberTextLeavesOutTheDesignatorAndCommentWithoutAnyHostCall) {
  Load(Board(R"("texts": [ { "text": "a" }, { "text": "b" }, { "text": "c" } ])"));
  const auto texts = Handles(standin::Kind::Text);
  ASSERT_EQ(texts.size(), 3u);
  ascii28::Run.InComponent = true;
  ascii28::Run.ComponentNameText = texts[0];
  ascii28::Run.ComponentCommentText = texts[2];
  server().SetRecording(true);
  const Lines lines = Capture([&] {
    for (ObjectHandle t : texts) WriteMemberText(t);
  });
  EXPECT_EQ(lines, (Lines{"CS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", "b"}));
  EXPECT_EQ(Updates(), 1);
  for (const auto& call : server().Calls()) {
    if (call.name == "PcbApi_QueryText") {
      EXPECT_EQ(call.args.at(1), static_cast<std::int64_t>(texts[1]));
    }
  }
}

TEST_F(TextRecordsTest, TextFromAHostWithoutQueryTextIsWrittenFromZeros) {
  Load(Board(R"("texts": [ { "text": "gone", "x": 1000, "height": 600 } ])"));
  server().Hide("PcbApi_QueryText");
  testsupport::BindPluginToServer();
  EXPECT_EQ(WalkLines(&WriteTextRecord, 32, 1),
            (Lines{"FS", "0 0 0 0 0 0.000 0 0 0 0 0 0 0 0 0 0 0", ""}));
}

// ---- pads

// A free pad with every field its own value, the rules that govern it, and
// the line written out by hand from the pad record layout.
constexpr const char* kFreePadBoard = R"({ "pcb28_board": 1,
  "nets": [ { "name": "N", "index": 300 } ],
  "rules": [
    { "kind": "SolderMaskExpansion", "values": [40] },
    { "kind": "PasteMaskExpansion", "values": [-25] },
    { "kind": "PlaneConnect", "values": [1, 100, 200, 3, 150] },
    { "kind": "PowerPlaneExpansion", "values": [205] } ],
  "pads": [ { "name": "1", "x": 12345, "y": -12345, "hole": 300, "rotation": 270,
              "top": { "x_size": 600, "y_size": 400, "shape": 1 },
              "mid": { "x_size": 500, "y_size": 500, "shape": 2 },
              "bottom": { "x_size": 610, "y_size": 410, "shape": 3 },
              "pwr_gnd": 5, "net": "N", "tag": 7, "pad_byte1": 8, "pad_byte2": 9 } ] })";

TEST_F(PadRecordsTest, FreePadExample) {
  Load(kFreePadBoard);
  EXPECT_EQ(
      WalkLines(&WritePadRecord, 4, 1),
      (Lines{"FP",
             "0 0 1234 -1234 60 40 1 50 50 2 61 41 3 30 5 34 300 0 270.000 4 -2 20 15 20 3 7 9 "
             "1 1 1 1 1 1",
             "1"}));
}

TEST_F(PadRecordsTest, NumbersThePadAndStoresTheNumberInSetModeBeforeTheRecord) {
  Load(kFreePadBoard);
  const ObjectHandle pad = Handles(standin::Kind::Pad).at(0);
  ascii28::Run.PadCounter = 0x10004;  // the low 16 bits of 0x10005 are 5
  server().SetRecording(true);
  Capture([&] { WritePadRecord(pad); });
  EXPECT_EQ(ascii28::Run.PadCounter, 0x10005);
  EXPECT_EQ(server().Get<standin::Pad>(pad)->index, 5);

  std::vector<std::string> names;
  std::vector<std::int64_t> firstArgs;
  for (const auto& call : server().Calls()) {
    names.push_back(call.name);
    firstArgs.push_back(call.args.empty() ? -1 : call.args[0]);
  }
  // Update first; the get-mode load; the set-mode load; then the values
  // asked while the line is written, in field order.
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names[0], "PcbApi_Percent_Update");
  std::vector<std::int64_t> padModes;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == "PcbApi_QueryPad") padModes.push_back(firstArgs[i]);
  EXPECT_EQ(padModes, (std::vector<std::int64_t>{1, 0}));

  std::size_t lastSet = 0;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == "PcbApi_QueryPad" && firstArgs[i] == 0) lastSet = i;
  std::vector<std::string> after;
  std::vector<std::int64_t> ruleKinds;
  for (std::size_t i = lastSet + 1; i < names.size(); ++i) {
    const std::string& n = names[i];
    if (n == "PcbApi_QueryPad_PwrGnd" || n.rfind("PcbApi_QueryRule", 0) == 0) after.push_back(n);
    if (n == "PcbApi_FindDominantRuleForObject")
      ruleKinds.push_back(server().Calls()[i].args.at(1));
  }
  EXPECT_EQ(
      after,
      (std::vector<std::string>{
          "PcbApi_QueryPad_PwrGnd", "PcbApi_QueryRuleSolderMaskExpansionRule",
          "PcbApi_QueryRulePasteMaskExpansionRule", "PcbApi_QueryRulePowerPlaneConnectStyleRule",
          "PcbApi_QueryRulePowerPlaneConnectStyleRule", "PcbApi_QueryRulePowerPlaneExpansionRule",
          "PcbApi_QueryRulePowerPlaneConnectStyleRule"}));
  EXPECT_EQ(ruleKinds, (std::vector<std::int64_t>{13, 14, 6, 6, 12, 6}));
}

TEST_F(PadRecordsTest, FreePadsContinueFromThePadCounter) {
  Load(Board(R"("pads": [ { "name": "a" }, { "name": "b" } ])"));
  ascii28::Run.PadCounter = 4;
  WalkLines(&WritePadRecord, 4, 1);
  const auto pads = Handles(standin::Kind::Pad);
  EXPECT_EQ(server().Get<standin::Pad>(pads[0])->index, 5);
  EXPECT_EQ(server().Get<standin::Pad>(pads[1])->index, 6);
  EXPECT_EQ(ascii28::Run.PadCounter, 6);
}

TEST_F(PadRecordsTest, NoRuleGivesZerosAndAnEmptyNameAnEmptyLine) {
  Load(Board(R"("pads": [ { "rotation": -0.25, "layer": "TopLayer" } ])"));
  EXPECT_EQ(
      WalkLines(&WritePadRecord, 4, 1),
      (Lines{"FP", "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 -0.250 0 0 0 0 0 0 0 0 1 1 1 1 1 1", ""}));
}

TEST_F(PadRecordsTest, FreePassSkipsComponentPadsWithoutNumberingThemAndStillAdvances) {
  Load(Board(R"("components": [ { "pattern": "P", "pads": [ { "name": "1" }, { "name": "2" } ] } ],
                "pads": [ { "name": "F" } ])"));
  const Lines lines = WalkLines(&WritePadRecord, 4, 1);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "FP");
  EXPECT_EQ(lines[2], "F");
  EXPECT_EQ(Updates(), 3);
  EXPECT_EQ(ascii28::Run.PadCounter, 1);
  const auto pads = Handles(standin::Kind::Pad);
  EXPECT_EQ(server().Get<standin::Pad>(pads[0])->index, 0);
  EXPECT_EQ(server().Get<standin::Pad>(pads[1])->index, 0);
}

// ---- a host whose pad query claims a name of 200 characters

using QueryPadFn = decltype(&::PcbApi_QueryPad);
QueryPadFn g_RealQueryPad = nullptr;

Status PCBAPI_CALL OverlongNameQueryPad(QueryMode mode, ObjectHandle object, std::uint16_t* flags,
                                        std::uint16_t* index, HostLayer* layer, ObjectHandle* net,
                                        std::uint8_t* tag, ObjectHandle* component, Coord* x,
                                        Coord* y, Coord* xSizeTop, Coord* ySizeTop, Coord* xSizeMid,
                                        Coord* ySizeMid, Coord* xSizeBottom, Coord* ySizeBottom,
                                        Coord* holeSize, std::uint8_t* shapeTop,
                                        std::uint8_t* shapeMid, std::uint8_t* shapeBottom,
                                        std::uint8_t* name, std::uint8_t* padByte1,
                                        std::uint8_t* padByte2, double* rotation) {
  if (mode != kQueryGet) return 0;  // take nothing back
  const Status status =
      g_RealQueryPad(mode, object, flags, index, layer, net, tag, component, x, y, xSizeTop,
                     ySizeTop, xSizeMid, ySizeMid, xSizeBottom, ySizeBottom, holeSize, shapeTop,
                     shapeMid, shapeBottom, name, padByte1, padByte2, rotation);
  // Exactly the 21 bytes of the buffer: a length byte that overstates.
  name[0] = 200;
  for (int i = 1; i <= 20; ++i) name[i] = static_cast<std::uint8_t>('A' + i - 1);
  return status;
}

void* OverlongNameProvider(const char* name) {
  if (std::strcmp(name, "PcbApi_QueryPad") == 0)
    return reinterpret_cast<void*>(&OverlongNameQueryPad);
  return StandIn_EntryPoint(name);
}

TEST_F(PadRecordsTest, NameWhoseLengthByteClaims200WritesOnlyThe20CharactersThatFit) {
  Load(Board(R"("pads": [ { "name": "x", "x": 100 } ])"));
  g_RealQueryPad = reinterpret_cast<QueryPadFn>(StandIn_EntryPoint("PcbApi_QueryPad"));
  ASSERT_NE(g_RealQueryPad, nullptr);
  PCBProcs::BindEntryPoints(&OverlongNameProvider);
  const Lines lines = WalkLines(&WritePadRecord, 4, 1);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "FP");
  EXPECT_EQ(lines[1].rfind("0 0 10 0 ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "ABCDEFGHIJKLMNOPQRST");
}

}  // namespace
}  // namespace writer_test
