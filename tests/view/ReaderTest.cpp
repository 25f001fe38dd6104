// The PCB file reader on a file written by hand from the record layouts: the
// values it takes, and the line and reason of what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/PcbReader.h"
#include "view/ViewTestFile.h"

namespace {

using view::PcbDrawing;
using view::ReadError;

TEST(PcbReader, TakesEveryRecordOfAHandWrittenFile) {
  const std::string text = viewtest::Joined(viewtest::HandWrittenLines(), "\n");
  PcbDrawing d;
  ReadError error;
  ASSERT_TRUE(view::ReadPcb(text, d, error)) << error.line << ": " << error.message;
  EXPECT_EQ(d.components, 1u);
  EXPECT_EQ(d.nets, 1u);

  ASSERT_EQ(d.tracks.size(), 1u);
  EXPECT_EQ(d.tracks[0].from.x, 100);
  EXPECT_EQ(d.tracks[0].from.y, -200);
  EXPECT_EQ(d.tracks[0].to.x, 300);
  EXPECT_EQ(d.tracks[0].width, 12);
  EXPECT_EQ(d.tracks[0].layer, 1);

  ASSERT_EQ(d.arcs.size(), 2u);  // the polygon's outline arc, then the free one
  EXPECT_EQ(d.arcs[0].layer, 16);
  EXPECT_EQ(d.arcs[0].endAngle, 180.0);
  EXPECT_EQ(d.arcs[1].centre.x, 1000);
  EXPECT_EQ(d.arcs[1].radius, 50);
  EXPECT_EQ(d.arcs[1].startAngle, 0.0);
  EXPECT_EQ(d.arcs[1].endAngle, 90.0);
  EXPECT_EQ(d.arcs[1].width, 10);
  EXPECT_EQ(d.arcs[1].layer, 17);

  ASSERT_EQ(d.vias.size(), 1u);
  EXPECT_EQ(d.vias[0].centre.y, 1500);
  EXPECT_EQ(d.vias[0].size, 50);
  EXPECT_EQ(d.vias[0].hole, 28);
  EXPECT_EQ(d.vias[0].low, 1);
  EXPECT_EQ(d.vias[0].high, 16);

  ASSERT_EQ(d.fills.size(), 1u);
  EXPECT_EQ(d.fills[0].corner2.x, 500);
  EXPECT_EQ(d.fills[0].corner2.y, 250);
  EXPECT_EQ(d.fills[0].layer, 16);
  EXPECT_EQ(d.fills[0].rotation, 30.5);

  ASSERT_EQ(d.pads.size(), 2u);  // the component's, then the free one
  EXPECT_EQ(d.pads[0].top.shape, 2);
  EXPECT_EQ(d.pads[0].name, "1");
  const view::Pad& pad = d.pads[1];
  EXPECT_EQ(pad.centre.x, 3000);
  EXPECT_EQ(pad.top.xSize, 600);
  EXPECT_EQ(pad.top.ySize, 400);
  EXPECT_EQ(pad.top.shape, 1);
  EXPECT_EQ(pad.bottom.shape, 3);
  EXPECT_EQ(pad.hole, 300);
  EXPECT_EQ(pad.layer, 34);
  EXPECT_EQ(pad.rotation, 45.0);
  EXPECT_EQ(pad.name, "A1");

  ASSERT_EQ(d.texts.size(), 3u);  // designator, comment, free text
  EXPECT_EQ(d.texts[0].text, "R1");
  EXPECT_EQ(d.texts[1].flag, 1);
  EXPECT_EQ(d.texts[1].layer, 18);
  EXPECT_EQ(d.texts[2].at.x, 1234);
  EXPECT_EQ(d.texts[2].height, 60);
  EXPECT_EQ(d.texts[2].rotation, 90.0);
  EXPECT_EQ(d.texts[2].text, "U1 \xC4<&> ");  // byte for byte, blanks kept

  ASSERT_EQ(d.polygons.size(), 1u);
  EXPECT_EQ(d.polygons[0].layer, 16);
  EXPECT_EQ(d.polygons[0].trackWidth, 1200);
  ASSERT_EQ(d.polygons[0].count, 3u);
  EXPECT_EQ(d.vertices[d.polygons[0].first + 1].x, 145000);
}

// The hand-written file with line `number` (1-based) replaced.
ReadError Refusal(std::size_t number, const std::string& replacement, bool& read) {
  std::vector<std::string> lines = viewtest::HandWrittenLines();
  lines.at(number - 1) = replacement;
  PcbDrawing d;
  ReadError error;
  read = view::ReadPcb(viewtest::Joined(lines, "\r\n"), d, error);
  return error;
}

TEST(PcbReader, RefusesARecordThatDoesNotParseAtItsLine) {
  struct Case {
    std::size_t line;
    std::string replacement;
    std::string expected;
  };
  const std::vector<std::string> lines = viewtest::HandWrittenLines();
  const std::size_t track = viewtest::LineOf(lines, "FT") + 1;
  const std::size_t pad = viewtest::LineOf(lines, "FP") + 1;
  const std::size_t vertex = viewtest::LineOf(lines, "PG") + 8;
  const Case cases[] = {
      {track, "0 0 100 -200 300 -200 12 1 0 3", "11 fields, found 10"},
      {track, "0 0 100 -200 300 -200 12 1 0 3 0 7", "11 fields, found more"},
      {track, "0 0 100 -200 300 -200 12 43 0 3 0", "field 8 is \"43\", not a layer number"},
      {track, "0 0 100 -2.5 300 -200 12 1 0 3 0", "field 4 is \"-2.5\", not a whole number"},
      {track, "0 0 100 -200 3000000000 -200 12 1 0 3 0", "not a coordinate"},
      {pad, "0 0 3000 3000 600 400 1 600 400 1 600 400 3 300 0 34 0 0 east",
       "field 19 is \"east\", not a number"},
      {vertex, "145000", "a polygon's vertex line (X Y): 2 fields, found 1"},
      {viewtest::LineOf(lines, "FV"), "FX", "expected a record (COMP, PG"},
      {viewtest::LineOf(lines, "ENDCOMP"), "FT", "a component's record (CT, CA"},
      {viewtest::LineOf(lines, "("), "[", "the start of a net's member list"},
  };
  for (const Case& c : cases) {
    bool read = true;
    const ReadError error = Refusal(c.line, c.replacement, read);
    EXPECT_FALSE(read) << c.replacement;
    EXPECT_EQ(error.line, c.line) << c.replacement << ": " << error.message;
    EXPECT_NE(error.message.find(c.expected), std::string::npos) << error.message;
    EXPECT_FALSE(error.notPcbFile) << c.replacement;
  }
}

TEST(PcbReader, SaysWhenAFileIsNotPcbOrEndsEarly) {
  PcbDrawing d;
  ReadError error;
  EXPECT_FALSE(view::ReadPcb("{\"pcb28_board\": 1}\n", d, error));
  EXPECT_TRUE(error.notPcbFile);
  EXPECT_EQ(error.line, 1u);
  EXPECT_NE(error.message.find("not a PCB 2.8 ASCII file"), std::string::npos);
  EXPECT_FALSE(view::ReadPcb("PCB FILE 5 VERSION 2.50\r\n", d, error));
  EXPECT_NE(error.message.find("another version"), std::string::npos) << error.message;
  EXPECT_FALSE(view::ReadPcb("", d, error));
  EXPECT_TRUE(error.notPcbFile);

  // Cut short inside a component, and before ENDPCB.
  std::vector<std::string> lines = viewtest::HandWrittenLines();
  const std::size_t comp = viewtest::LineOf(lines, "COMP");
  lines.resize(comp + 5);  // up to the designator's string
  EXPECT_FALSE(view::ReadPcb(viewtest::Joined(lines, "\n"), d, error));
  EXPECT_NE(error.message.find("inside the component that starts on line " + std::to_string(comp)),
            std::string::npos)
      << error.message;
  lines = viewtest::HandWrittenLines();
  lines.resize(viewtest::LineOf(lines, "ENDPCB") - 1);
  EXPECT_FALSE(view::ReadPcb(viewtest::Joined(lines, "\n"), d, error));
  EXPECT_NE(error.message.find("without the line ENDPCB"), std::string::npos) << error.message;
}

}  // namespace
