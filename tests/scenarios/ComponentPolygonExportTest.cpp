// A whole export of a board with two components on each side, polygons on
// two layers and free objects of every kind, checked section by section
// against lines worked out by hand from the record layouts.
//
// Numbers the records refer to, from the numbering pass:
//   nets (document order): GND 1, SIG 2, VCC 3;
//   components per side: U1 top 1, C1 top 2, R1 bottom 1, Q1 bottom 2;
//   polygons per layer: top-gnd 1 on TopLayer; bottom-gnd-1 1 and
//   bottom-2 2 on BottomLayer.
// File layers: TopLayer 1, BottomLayer 16, TopOverlay 17, BottomOverlay 18,
// MultiLayer 34, MidLayer1 2. Coordinates are host units / 10, toward zero.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// clang-format off
const Lines kHeader = {
    "PCB FILE 6 VERSION 2.80",
    // from-tos 1; tracks 4 in components + 4 free (the zero-length one too);
    // net pads GND 4 (MH1 too), SIG 2, VCC 3; nets 3; arcs 4 + 2; vias 4 + 2;
    // components 4; fills 4 + 1; pads 9 + 1; texts 4 * 3 + 2.
    "1 8 9 3 6 6 4 5 10 14",
};

const Lines kComponents = {
    // U1: top, (100000, 200000), bytes 1 0 2, rotation 0 (width 6: " 0.000").
    "COMP",
    "SOIC8",
    "0 0 10000 20000 1 0 0 0 0 0 0  0.000 0 2 1",
    "CS",
    "0 0 10000 23000 6000 0.000 0 0 17 0 0 0 0 1000 0 0 0",
    "U1",
    "CS",
    "0 0 10000 17000 5000 90.000 0 0 17 0 0 0 0 800 0 0 0",
    "LM358",
    "CA",
    "0 0 10000 21000 500 0.000 180.000 200 17 0 0",
    " 0 0",
    "CT",
    "0 0 8000 22000 12000 22000 200 17 0 0 0",
    " 0 0 0 0 0",
    "CP",
    "0 0 8500 19000 1500 600 2 1500 600 2 1500 600 2 0 0 1 3 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "1",
    "CP",
    "0 0 11500 19000 1500 600 2 1500 600 2 1500 600 2 0 0 1 1 0 90.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "2",
    "CF",
    "0 0 9500 19500 10500 20500 1 1",
    " 0 0 0.000",
    "CV",
    "0 0 10000 18500 1200 600 0 0 1 0 0 0 0 0 0 1 16",
    "CS",
    "0 0 8000 19500 3000 0.000 0 0 17 0 0 0 0 300 0 0 0",
    "pin 1",
    "ENDCOMP",

    // R1: bottom, x -50005 gives -5000, rotation 180, tag 3. Its pads take
    // the 4mil solder mask expansion of the rule scoped to R1 (4000).
    // The via from MidLayer1 (2) to BottomLayer has pair number 1.
    "COMP",
    "0805",
    "0 0 -5000 30000 0 0 0 0 0 0 0 180.000 3 0 16",
    "CS",
    "0 0 -5000 32000 4000 180.000 1 0 18 0 0 0 0 600 0 0 0",
    "R1",
    "CS",
    "0 0 -5000 28000 4000 0.000 1 2 18 0 0 0 0 600 0 0 0",
    "10k",
    "CA",
    "0 0 -5000 30000 1500 90.000 270.000 100 18 0 0",
    " 0 0",
    "CT",
    "0 0 -6500 29500 -3500 29500 100 18 0 0 0",
    " 0 0 0 0 0",
    "CP",
    "0 0 -6000 30000 1000 1200 2 1000 1200 2 1000 1200 2 0 0 16 2 0 180.000 4000 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "1",
    "CP",
    "0 0 -4000 30000 1000 1200 2 1000 1200 2 1000 1200 2 0 0 16 3 0 180.000 4000 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "2",
    "CF",
    "0 0 -5200 29700 -4800 30300 16 0",
    " 0 0 90.000",
    "CV",
    "0 0 -5000 31500 1000 500 0 1 2 0 0 0 0 0 0 2 16",
    "CS",
    "0 0 -5000 27000 2000 0.000 1 0 18 0 0 0 0 200 0 0 0",
    "R1 value",
    "ENDCOMP",

    // C1: top, rotation 90 (six characters, no padding), tag 1, bytes 0 1 0.
    "COMP",
    "0603",
    "0 0 30000 20000 0 1 0 0 0 0 0 90.000 1 0 1",
    "CS",
    "0 0 30000 22000 4000 0.000 0 0 17 0 0 0 0 600 0 0 0",
    "C1",
    "CS",
    "0 0 30000 18000 4000 0.000 0 0 17 0 0 0 0 600 0 0 0",
    "100n",
    "CA",
    "0 0 30000 20000 1200 -45.500 45.000 150 17 0 0",
    " 0 0",
    "CT",
    "0 0 29000 18500 29000 21500 150 17 0 0 0",
    " 0 0 0 0 0",
    "CP",
    "0 0 30000 19200 900 800 1 900 800 1 900 800 1 0 0 1 3 0 90.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "1",
    "CP",
    "0 0 30000 20800 900 800 1 900 800 1 900 800 1 0 0 1 1 0 90.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "2",
    "CF",
    "0 0 29600 19800 30400 20200 1 1",
    " 0 0 0.000",
    "CV",
    "0 0 30000 22500 1000 500 0 0 1 0 0 0 0 0 0 1 16",
    "CS",
    "0 0 31000 19500 2000 0.000 0 0 17 0 0 0 0 200 0 0 0",
    "+",
    "ENDCOMP",

    // Q1: bottom, rotation 270, bytes 2 3 4. Its pads lie on MultiLayer;
    // E has PwrGnd 1, tag 7 and pad byte 5; C has three different levels
    // and y -90005 gives -9000. The via has tag 2; the member text is empty.
    "COMP",
    "SOT23",
    "0 0 30000 -10000 2 3 0 0 0 0 0 270.000 0 4 16",
    "CS",
    "0 0 30000 -8000 4000 0.000 1 0 18 0 0 0 0 600 0 0 0",
    "Q1",
    "CS",
    "0 0 30000 -12000 4000 0.000 1 0 18 0 0 0 0 600 0 0 0",
    "BC847",
    "CA",
    "0 0 30000 -10000 2000 0.000 360.000 100 18 0 0",
    " 0 0",
    "CT",
    "0 0 28500 -9000 31500 -9000 100 18 0 0 0",
    " 0 0 0 0 0",
    "CP",
    "0 0 29000 -11000 600 600 1 600 600 1 600 600 1 350 0 34 2 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "B",
    "CP",
    "0 0 31000 -11000 600 600 2 600 600 2 600 600 2 350 1 34 1 0 0.000 0 0 0 0 0 0 7 5 1 1 1 1 1 1",
    "E",
    "CP",
    "0 0 30000 -9000 700 600 3 600 600 1 800 650 2 350 0 34 0 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "C",
    "CF",
    "0 0 29500 -10500 30500 -9500 16 1",
    " 0 0 0.000",
    "CV",
    "0 0 32000 -10000 800 400 0 0 1 0 0 0 2 0 0 1 16",
    "CS",
    "0 0 30000 -13000 1000 0.000 0 0 18 0 0 0 0 100 0 0 0",
    "",
    "ENDCOMP",
};

const Lines kPolygons = {
    // top-gnd: bytes 1 to 3 are 1, 0, 2; style 0 gives flags 1 1; value1
    // "1mil" = 10000. Five segments, six vertices; the flag line starts with
    // the flag of the last entry, then entries 0 to 4 (entry 2 is an arc).
    "PG",
    "1",
    " 1",
    "1 1 1 0  0 2",
    "1000 800 500 0",
    "",
    "5",
    "0 0",
    "10000 0",
    "10000 5000",
    "10000 10000",
    "0 10000",
    "0 0",
    " 0 0 0 1 0 0",
    "FA",
    "0 0 10000 7500 2500 270.000 90.000 800 1 1 0",
    " 0 2",

    // bottom-gnd-1: style 3 gives flags 1 0; arcs at entries 1 and 3.
    "PG",
    "16",
    " 1",
    "0 1 0 0  0 0",
    "0 1000 0 0",
    "",
    "4",
    "-20000 -30000",
    "20000 -30000",
    "20000 -20000",
    "-20000 -20000",
    "-20000 -30000",
    " 0 0 1 0 1",
    "FA",
    "0 0 20000 -25000 5000 270.000 90.000 1000 16 1 0",
    " 0 0",
    "FA",
    "0 0 -20000 -25000 5000 90.000 270.000 1000 16 1 0",
    " 0 0",

    // bottom-2: no net, style 4 gives flags 0 0, value1 -15 gives -1; the
    // only arc is the last entry, which gets no arc record.
    "PG",
    "16",
    " 0",
    "0 0 0 0  0 0",
    "-1 0 0 0",
    "",
    "2",
    "0 -15000",
    "10000 -15000",
    "5000 -12000",
    " 1 0 0",
};

const Lines kFreeRecords = {
    // texts
    "FS",
    "0 0 50000 1000 5000 0.000 0 1 17 0 0 0 0 500 0 0 0",
    "REV A",
    "FS",
    "0 0 -1 1 3000 270.500 1 -1 18 0 0 0 0 300 9 0 0",
    "\"quoted\" end  ",
    // tracks: the zero-length one on GND is left out; "12mil" = 120000
    "FT",
    "0 0 8500 19000 8500 10000 12000 1 0 3 0",
    " 0 0 0 0 0",
    "FT",
    "0 0 -6000 30000 29000 -11000 1000 16 0 2 0",
    " 0 0 0 0 0",
    "FT",
    "0 0 0 -15000 10000 -15000 800 16 0 0 0",
    " 2 0 4 0 0",  // in bottom-2, polygon 2 of BottomLayer
    // fills
    "FF",
    "0 0 0 0 5000 2500 1 1",
    " 1 1 45.000",  // in top-gnd, tag 1
    // arcs
    "FA",
    "0 0 40000 0 2500 0.000 90.000 1000 1 3 0",
    " 0 0",
    "FA",
    "0 0 0 -20000 3000 180.000 0.000 800 16 1 0",
    " 1 6",  // in bottom-gnd-1, tag 6
    // vias: "40mil" and "20mil"; TopLayer to MidLayer1 is pair 1, layers 1 2
    "FV",
    "0 0 8500 10000 40000 20000 0 0 3 0 0 0 0 0 0 1 16",
    "FV",
    "0 0 20000 0 1000 500 0 1 2 0 0 0 0 0 0 1 2",
    // pads: the free mounting hole
    "FP",
    "0 0 -10000 -10000 5000 5000 1 5000 5000 1 5000 5000 1 3000 0 34 1 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "MH1",
};

const Lines kNetDefinitions = {
    // GND: topology 4 gives 6, priority 2 gives 3. Members U1.2, C1.2, Q1.E
    // (bottom component 2, pad 2); the free pad MH1 is not listed.
    "NETDEF",
    "GND",
    "10000 50000 6 3",
    "(",
    " 1 2",
    " 2 2",
    " 2 2",
    ")",
    "{",
    "1 2 0 0 0",
    "2 3 0 0 0",
    "}",
    "0 0 0",
    "0 0 0",
    // SIG: the via rule's second value "40mil". Members R1.1, Q1.B.
    "NETDEF",
    "SIG",
    "10000 40000 2 4",
    "(",
    " 1 1",
    " 2 1",
    ")",
    "{",
    "1 2 0 0 0",
    "}",
    "0 0 0",
    "0 0 0",
    // VCC: width "20mil"; value 7. Members U1.1, R1.2, C1.1.
    "NETDEF",
    "VCC",
    "20000 50000 2 4",
    "(",
    " 1 1",
    " 1 2",
    " 2 1",
    ")",
    "{",
    "1 2 0 0 0",
    "2 3 0 0 0",
    "}",
    "0 0 0",
    "0 7 0",
};
// clang-format on

class ComponentPolygonExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    standin::TheServer().Reset();
    testsupport::LoadBoard(
        testsupport::ReadFile(PCB28_TEST_DATA "/scenarios/components-polygons.json"));
    lines_ = testsupport::ExportLines();
    progress_ = standin::TheServer().Progress();
    standin::TheServer().Reset();
  }

  // The lines of a section that starts after the sections before it, each
  // as long as its hand-worked lines.
  static Lines Section(std::size_t first, std::size_t count) {
    if (first >= lines_.size()) return {};
    const std::size_t last = std::min(lines_.size(), first + count);
    return Lines(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(last));
  }

  static void ExpectSection(std::size_t first, const Lines& expected) {
    const Lines actual = Section(first, expected.size());
    ASSERT_EQ(actual.size(), expected.size()) << "the file ends early";
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(actual[i], expected[i]) << "file line " << first + i + 1;
  }

  static std::size_t ComponentsAt() { return kHeader.size(); }
  static std::size_t PolygonsAt() { return ComponentsAt() + kComponents.size(); }
  static std::size_t FreeAt() { return PolygonsAt() + kPolygons.size(); }
  static std::size_t NetsAt() { return FreeAt() + kFreeRecords.size(); }
  static std::size_t ClosingAt() { return NetsAt() + kNetDefinitions.size(); }

  static Lines lines_;
  static standin::ProgressState progress_;
};

Lines ComponentPolygonExportTest::lines_;
standin::ProgressState ComponentPolygonExportTest::progress_;

TEST_F(ComponentPolygonExportTest, HeaderAndCounts) { ExpectSection(0, kHeader); }

TEST_F(ComponentPolygonExportTest, ComponentBlocksWithTheirOwnRecords) {
  ExpectSection(ComponentsAt(), kComponents);
}

TEST_F(ComponentPolygonExportTest, PolygonRecordsWithTheirArcRecords) {
  ExpectSection(PolygonsAt(), kPolygons);
}

TEST_F(ComponentPolygonExportTest, FreeRecordsInKindOrderWithoutComponentMembers) {
  ExpectSection(FreeAt(), kFreeRecords);
  // Not one component member reached the free passes: the only free pad,
  // via, fill, arc, track and text records are those listed above.
  const Lines free = Section(FreeAt(), kFreeRecords.size());
  for (const char* keyword : {"FP", "FV", "FF", "FT", "FS"}) {
    EXPECT_EQ(std::count(lines_.begin(), lines_.end(), keyword),
              std::count(free.begin(), free.end(), keyword))
        << keyword;
  }
}

TEST_F(ComponentPolygonExportTest, NetDefinitionsReferToComponentAndPadNumbers) {
  ExpectSection(NetsAt(), kNetDefinitions);
}

TEST_F(ComponentPolygonExportTest, ClosingBlocksAndTheRuleClearance) {
  const std::size_t at = ClosingAt();
  ASSERT_EQ(lines_.size(), at + 50 + 120 + 1);
  EXPECT_EQ(lines_[at], "DEFAULTS");
  EXPECT_EQ(lines_[at + 50], "OPTIONS");
  // OPTIONS line 109: the 12mil clearance rule (120000) halved, six times.
  EXPECT_EQ(lines_[at + 50 + 108], "60000 60000 60000 60000 60000 60000");
  EXPECT_EQ(lines_.back(), "ENDPCB");
}

TEST_F(ComponentPolygonExportTest, ProgressCountsEveryObjectOffered) {
  // Announced: arcs 6, pads 10, vias 6, tracks 8, texts 14, fills 5, nets 3,
  // components 4 (no polygons): 56.
  EXPECT_EQ(progress_.total, 56);
  // Components 4; in them designators and comments 8, arcs 4, tracks 4,
  // pads 9, fills 4, vias 4, member texts 4 (41). Polygons 3. Free passes
  // see every object again: texts 14, tracks 8, fills 5, arcs 6, vias 6,
  // pads 10 (49). Nets 3 and their pads 9 (12). 41 + 3 + 49 + 12 = 105.
  EXPECT_EQ(progress_.updates, 105);
  EXPECT_EQ(progress_.finishCalls, 1);
}

}  // namespace
