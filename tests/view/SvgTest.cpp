// The picture: one element per record in the group of its layer, the board's
// y axis up, strings escaped, LF and CR LF alike; and on the example and
// scenario boards as pcb28-export writes them, every record one element.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "support/Platform.h"
#include "support/TestSupport.h"
#include "view/PcbReader.h"
#include "view/SvgWriter.h"
#include "view/ViewTestFile.h"

namespace {

const char* const kKinds[] = {"track", "arc", "via", "pad", "fill", "text", "polygon"};

std::string Picture(const std::string& text) {
  view::PcbDrawing d;
  view::ReadError error;
  EXPECT_TRUE(view::ReadPcb(text, d, error)) << error.line << ": " << error.message;
  std::string svg;
  view::WriteSvg(d, [&](std::string_view piece) { svg.append(piece); });
  return svg;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Per layer group ("layer-N"), the number of elements of each kind in it.
std::map<std::string, std::map<std::string, std::size_t>> Groups(const std::string& svg) {
  std::map<std::string, std::map<std::string, std::size_t>> groups;
  for (std::size_t at = svg.find("<g id=\"layer-"); at != std::string::npos;
       at = svg.find("<g id=\"layer-", at + 1)) {
    const std::size_t idEnd = svg.find('"', at + 7);
    const std::string body = svg.substr(at, svg.find("</g>", at) - at);
    auto& kinds = groups[svg.substr(at + 7, idEnd - at - 7)];
    for (const char* kind : kKinds)
      if (const std::size_t n = Count(body, std::string("class=\"") + kind + '"')) kinds[kind] = n;
  }
  return groups;
}

TEST(SvgPicture, DrawsEachRecordInItsLayersGroup) {
  const std::string svg = Picture(viewtest::Joined(viewtest::HandWrittenLines(), "\n"));
  using Kinds = std::map<std::string, std::size_t>;
  const std::map<std::string, Kinds> expected = {
      {"layer-1", {{"track", 1}, {"pad", 1}}},
      {"layer-16", {{"polygon", 1}, {"arc", 1}, {"fill", 1}}},
      {"layer-17", {{"arc", 1}, {"text", 2}}},
      {"layer-18", {{"text", 1}}},
      {"layer-34", {{"pad", 1}, {"via", 1}}},
  };
  EXPECT_EQ(Groups(svg), expected);
  EXPECT_NE(svg.find("<g id=\"layer-34\" class=\"layer\" data-name=\"MultiLayer\""),
            std::string::npos);
  EXPECT_NE(svg.find("data-name=\"BottomOverlay\""), std::string::npos);
  // Legend: the layers present and the board's size.
  EXPECT_NE(svg.find(">TopLayer (2)</text>"), std::string::npos);
  EXPECT_NE(svg.find(" mm ("), std::string::npos);
  EXPECT_NE(svg.find(" in)"), std::string::npos);
  // Latin-1 as UTF-8, markup escaped, the trailing blank kept.
  EXPECT_NE(svg.find(">U1 \xC3\x84&lt;&amp;&gt; </text>"), std::string::npos);
}

TEST(SvgPicture, TheBoardsYAxisPointsUp) {
  // A track going up the board goes up the picture (smaller y), 100 file
  // units a picture unit; the arc from 0 to 90 degrees turns counterclockwise
  // on the board, the negative sweep in the picture.
  std::vector<std::string> lines = viewtest::HandWrittenLines();
  lines[viewtest::LineOf(lines, "FT")] = "0 0 100000 200000 100000 300000 1000 1 0 0 0";
  lines[viewtest::LineOf(lines, "0 0 1000 1000 50 0.000 90.000 10 17 0 0") - 1] =
      "0 0 100000 100000 50000 0.000 90.000 1000 17 0 0";
  const std::string svg = Picture(viewtest::Joined(lines, "\n"));
  const std::size_t track = svg.find("<line class=\"track\"");
  ASSERT_NE(track, std::string::npos);
  int x1, y1, x2, y2;
  ASSERT_EQ(std::sscanf(svg.c_str() + track,
                        "<line class=\"track\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"", &x1, &y1,
                        &x2, &y2),
            4);
  EXPECT_EQ(x1, x2);
  EXPECT_NEAR(y1 - y2, 1000, 1);
  // The arc's start is right of its centre, its end above: the start is at
  // the larger picture x and the end at the smaller picture y.
  const std::size_t arc = svg.find("<path class=\"arc\"", svg.find("id=\"layer-17\""));
  int sx, sy, r, large, sweep, ex, ey;
  ASSERT_EQ(std::sscanf(svg.c_str() + arc, "<path class=\"arc\" d=\"M%d %dA%d %*d 0 %d %d %d %d",
                        &sx, &sy, &r, &large, &sweep, &ex, &ey),
            7);
  EXPECT_EQ(r, 500);
  EXPECT_NEAR(sx - ex, r, 1);
  EXPECT_NEAR(sy - ey, r, 1);
  EXPECT_EQ(large, 0);
  EXPECT_EQ(sweep, 0);
}

TEST(SvgPicture, LfAndCrLfGiveTheSamePicture) {
  const std::vector<std::string> lines = viewtest::HandWrittenLines();
  EXPECT_EQ(Picture(viewtest::Joined(lines, "\n")), Picture(viewtest::Joined(lines, "\r\n")));
}

// Records of each kind, counted from the file's keyword lines.
std::map<std::string, std::size_t> RecordCounts(const std::string& file) {
  const std::map<char, std::string> kinds = {{'T', "track"}, {'A', "arc"},  {'V', "via"},
                                             {'P', "pad"},   {'F', "fill"}, {'S', "text"}};
  // Data lines after each keyword line, which are never keywords themselves.
  const std::map<char, int> dataLines = {{'T', 2}, {'A', 2}, {'V', 1},
                                         {'P', 2}, {'F', 2}, {'S', 2}};
  std::map<std::string, std::size_t> counts;
  bool wellFormed = true;
  const std::vector<std::string> lines = testsupport::SplitLines(file, wellFormed);
  EXPECT_TRUE(wellFormed);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l == "PG") ++counts["polygon"];
    if (l.size() == 2 && (l[0] == 'F' || l[0] == 'C') && kinds.count(l[1])) {
      ++counts[kinds.at(l[1])];
      i += dataLines.at(l[1]);
    }
  }
  return counts;
}

TEST(SvgPicture, EveryRecordOfTheExampleAndScenarioBoardsIsOneElement) {
  const std::string data = PCB28_TEST_DATA;
  const std::string folder = testsupport::TempFolder();
  std::size_t total = 0;
  for (const std::string& board :
       {data + "/../../examples/example.json", data + "/../../examples/example-4layer.json",
        data + "/scenarios/components-polygons.json", data + "/scenarios/four-layer-stack.json"}) {
    const std::string pcb = folder + "/board.pcb";
    ASSERT_EQ(testsupport::RunProgram(PCB28_EXPORT_PROGRAM, {"-q", board, "-o", pcb}), 0);
    const std::string file = testsupport::ReadFile(pcb);
    const std::string svg = Picture(file);
    const std::map<std::string, std::size_t> records = RecordCounts(file);
    for (const char* kind : kKinds) {
      const std::size_t expected = records.count(kind) ? records.at(kind) : 0;
      EXPECT_EQ(Count(svg, std::string("class=\"") + kind + '"'), expected) << board << ' ' << kind;
      total += expected;
    }
    // The same picture from the file with LF line ends.
    std::string lf;
    for (const char c : file)
      if (c != '\r') lf += c;
    EXPECT_EQ(Picture(lf), svg) << board;
  }
  EXPECT_GT(total, 100u);  // the counts above are not of empty files
}

}  // namespace
