// The bundled example boards: both load and export, the host program writes
// the same bytes as an export in this process, and the file reads back as a
// well-formed sequence of sections whose records agree with the counts line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "server/StandInBoard.h"
#include "support/Platform.h"
#include "support/TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kExamples = PCB28_TEST_DATA "/../../examples";

// What a walk over an exported file found: records by keyword (free and
// component records apart, the arc records of polygon outlines apart), the
// net blocks, and where the walk stopped if the file broke the layout.
struct FileShape {
  std::map<std::string, int> records;  // "CT", "FT", ..., "PG", "COMP"
  int outlineArcs = 0;
  int netMembers = 0;
  std::map<std::string, std::string> netLastLine;  // net name -> plane line
  std::vector<std::string> sectionOrder;           // section names as met
  std::string error;                               // empty when well formed
};

int ToInt(const std::string& text) {
  std::size_t used = 0;
  const int value = std::stoi(text, &used);
  if (used != text.size()) throw std::invalid_argument(text);
  return value;
}

// Walks the file by its record layouts. Sections must come in file order:
// components, polygons, free texts, tracks, fills, arcs, vias, pads, nets.
FileShape Walk(const Lines& lines) {
  FileShape shape;
  std::size_t i = 0;
  const auto fail = [&](const std::string& what) {
    shape.error = "line " + std::to_string(i + 1) + ": " + what;
    return shape;
  };
  const auto at = [&](std::size_t k) -> const std::string& {
    static const std::string none = "<end of file>";
    return k < lines.size() ? lines[k] : none;
  };
  // Lines of a primitive record after its keyword line.
  const std::map<char, int> dataLines = {{'S', 2}, {'A', 2}, {'T', 2},
                                         {'P', 2}, {'F', 2}, {'V', 1}};
  const auto section = [&](const std::string& name) {
    if (shape.sectionOrder.empty() || shape.sectionOrder.back() != name)
      shape.sectionOrder.push_back(name);
  };

  if (at(i++) != "PCB FILE 6 VERSION 2.80") return fail("no header");
  ++i;  // the counts line, checked by the caller
  try {
    while (at(i) == "COMP") {
      section("components");
      ++shape.records["COMP"];
      i += 3;  // COMP, pattern, placement
      while (at(i) != "ENDCOMP") {
        const std::string& key = at(i);
        if (key.size() != 2 || key[0] != 'C' || !dataLines.count(key[1]))
          return fail("not a component record: " + key);
        ++shape.records[key];
        i += 1 + static_cast<std::size_t>(dataLines.at(key[1]));
      }
      ++i;
    }
    while (at(i) == "PG") {
      section("polygons");
      ++shape.records["PG"];
      i += 6;  // PG, layer, net, flags, values, empty line
      const int count = ToInt(at(i++));
      i += static_cast<std::size_t>(count) + 1;  // vertices
      std::istringstream flags(at(i++));
      std::vector<int> flag;
      for (int f; flags >> f;) flag.push_back(f);
      if (static_cast<int>(flag.size()) != count + 1) return fail("arc flags");
      for (int k = 1; k <= count; ++k) {  // entries 0 to N - 1 follow entry N
        if (flag[static_cast<std::size_t>(k)] != 1) continue;
        if (at(i) != "FA") return fail("outline arc record expected");
        ++shape.outlineArcs;
        i += 3;
      }
    }
    const std::string freeOrder = "STFAVP";
    std::size_t kindAt = 0;
    while (at(i).size() == 2 && at(i)[0] == 'F') {
      const std::size_t kind = freeOrder.find(at(i)[1]);
      if (kind == std::string::npos) return fail("not a free record: " + at(i));
      if (kind < kindAt) return fail("free record out of kind order: " + at(i));
      kindAt = kind;
      section(std::string("free ") + at(i));
      ++shape.records[at(i)];
      i += 1 + static_cast<std::size_t>(dataLines.at(at(i)[1]));
    }
    while (at(i) == "NETDEF") {
      section("nets");
      const std::string name = at(i + 1);
      if (at(i + 3) != "(") return fail("member list expected");
      i += 4;
      int members = 0;
      for (; at(i) != ")"; ++i, ++members)
        if (at(i).empty() || at(i)[0] != ' ') return fail("member line: " + at(i));
      shape.netMembers += members;
      if (at(++i) != "{") return fail("connection list expected");
      ++i;
      for (int k = 1; k < members; ++k, ++i) {
        const std::string chain = std::to_string(k) + " " + std::to_string(k + 1) + " 0 0 0";
        if (at(i) != chain) return fail("connection line: " + at(i));
      }
      if (at(i++) != "}" || at(i++) != "0 0 0") return fail("net block end");
      shape.netLastLine[name] = at(i++);
      ++shape.records["NETDEF"];
    }
  } catch (const std::exception&) {
    return fail("not a number: " + at(i));
  }
  if (at(i) != "DEFAULTS") return fail("DEFAULTS expected, found " + at(i));
  section("defaults");
  i += 50;
  if (at(i) != "OPTIONS") return fail("OPTIONS expected, found " + at(i));
  section("options");
  i += 120;
  if (at(i) != "ENDPCB" || i + 1 != lines.size()) return fail("ENDPCB must be the last line");
  return shape;
}

Lines Counts(const std::string& line) {
  Lines fields;
  std::istringstream in(line);
  for (std::string f; in >> f;) fields.push_back(f);
  return fields;
}

int RunProgram(const std::string& board, const std::string& out) {
  return testsupport::RunProgram(PCB28_EXPORT_PROGRAM, {board, "-o", out});
}

class ExampleBoardsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { standin::TheServer().Reset(); }

  std::string BoardPath() const { return kExamples + "/" + GetParam(); }

  Lines Export() {
    standin::TheServer().Reset();
    testsupport::LoadBoard(testsupport::ReadFile(BoardPath()));
    if (HasFatalFailure()) return {};
    return testsupport::ExportLines();
  }
};

TEST_P(ExampleBoardsTest, TheHostProgramWritesTheSameFileAsAnExportHere) {
  const std::string out = testsupport::TempFolder() + "/example.pcb";
  ASSERT_EQ(RunProgram(BoardPath(), out), 0);
  bool wellFormed = false;
  const Lines written = testsupport::SplitLines(testsupport::ReadFile(out), wellFormed);
  EXPECT_TRUE(wellFormed) << "every line must end with CR LF";
  EXPECT_EQ(written, Export());
}

TEST_P(ExampleBoardsTest, SectionsComeInOrderAndAgreeWithTheCountsLine) {
  const Lines lines = Export();
  ASSERT_GT(lines.size(), 2u);
  const FileShape shape = Walk(lines);
  ASSERT_EQ(shape.error, "");
  // The examples have free texts, tracks and vias, no free fills, arcs or pads.
  EXPECT_EQ(shape.sectionOrder, (Lines{"components", "polygons", "free FS", "free FT", "free FV",
                                       "nets", "defaults", "options"}));

  // from-tos, tracks, net pads, nets, arcs, vias, components, fills, pads,
  // texts. The examples have no from-tos, no zero-length tracks and no free
  // pads, so every counted object has a record of its own and every net pad
  // is a member line.
  const Lines counts = Counts(lines[1]);
  ASSERT_EQ(counts.size(), 10u) << lines[1];
  auto n = [&shape](const char* key) {
    const auto it = shape.records.find(key);
    return it == shape.records.end() ? 0 : it->second;
  };
  EXPECT_EQ(counts[0], "0");
  EXPECT_EQ(ToInt(counts[1]), n("CT") + n("FT")) << "tracks";
  EXPECT_EQ(ToInt(counts[2]), shape.netMembers) << "net pads";
  EXPECT_EQ(ToInt(counts[3]), n("NETDEF")) << "nets";
  EXPECT_EQ(ToInt(counts[4]), n("CA") + n("FA")) << "arcs, outline arcs left out";
  EXPECT_EQ(ToInt(counts[5]), n("CV") + n("FV")) << "vias";
  EXPECT_EQ(ToInt(counts[6]), n("COMP")) << "components";
  EXPECT_EQ(ToInt(counts[7]), n("CF") + n("FF")) << "fills";
  EXPECT_EQ(ToInt(counts[8]), n("CP") + n("FP")) << "pads";
  EXPECT_EQ(ToInt(counts[9]), n("CS") + n("FS")) << "texts";

  // What the example boards hold: a dozen components, one pour with one
  // arc in its outline, nine nets.
  EXPECT_EQ(n("COMP"), 12);
  EXPECT_EQ(n("PG"), 1);
  EXPECT_EQ(shape.outlineArcs, 1);
  EXPECT_EQ(n("NETDEF"), 9);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleBoardsTest,
                         ::testing::Values("example.json", "example-4layer.json"));

TEST(ExampleBoards, FourLayerVariantPutsGndAndVccOnTheirPlanes) {
  const auto lastLines = [](const char* file) {
    standin::TheServer().Reset();
    testsupport::LoadBoard(testsupport::ReadFile(kExamples + "/" + file));
    const FileShape shape = Walk(testsupport::ExportLines());
    EXPECT_EQ(shape.error, "") << file;
    standin::TheServer().Reset();
    return shape.netLastLine;
  };
  // Plane layer, net value (0 here), plane code: InternalPlane1 is file
  // layer 23 with code 1, InternalPlane2 file layer 24 with code 4.
  const auto four = lastLines("example-4layer.json");
  EXPECT_EQ(four.at("GND"), "23 0 1");
  EXPECT_EQ(four.at("VCC"), "24 0 4");
  EXPECT_EQ(four.at("OUT"), "0 0 0");
  EXPECT_EQ(four.at("VIN"), "0 0 0");

  const auto two = lastLines("example.json");
  EXPECT_EQ(two.at("GND"), "0 0 0");
  EXPECT_EQ(two.at("VCC"), "0 0 0");
}

}  // namespace
