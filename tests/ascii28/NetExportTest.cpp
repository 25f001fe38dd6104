// Net definitions and the closing blocks in a whole export: component and
// pad numbers come from the run's numbering and the component pass.
#include <string>
#include <vector>

#include "support/WriterFixture.h"

namespace writer_test {
namespace {

using NetExportTest = WriterTest;

TEST_F(NetExportTest, MembersReferToTheNumbersGivenDuringTheRun) {
  testsupport::LoadBoard(R"({"pcb28_board": 1,
    "nets": [{"name": "N"}, {"name": "M"}],
    "components": [
      {"designator": "U1", "pads": [{"name": "1", "net": "N"}, {"name": "2"},
                                    {"name": "3", "net": "N"}]},
      {"designator": "U2", "pads": [{"name": "1", "net": "N"}, {"name": "2", "net": "M"}]},
      {"designator": "U3", "layer": "BottomLayer", "pads": [{"name": "1", "net": "N"}]}],
    "pads": [{"name": "F", "net": "N"}]})");
  ASSERT_FALSE(HasFatalFailure());
  const std::vector<std::string> lines = testsupport::ExportLines();
  ASSERT_GT(lines.size(), 2u);
  // from-tos, tracks, net pads (5 + 1), nets, arcs, vias, components, fills,
  // pads (6 + 1), texts (three designators)
  EXPECT_EQ(lines[1], "0 0 6 2 0 0 3 0 7 3");

  // U1 and U2 are components 1 and 2 on top, U3 component 1 on the bottom;
  // pads are numbered within their component.
  const std::vector<std::string> netBlocks = {
      "NETDEF", "N",    "10000 50000 2 4", "(",         " 1 1",      " 1 3", " 2 1",  " 1 1",
      ")",      "{",    "1 2 0 0 0",       "2 3 0 0 0", "3 4 0 0 0", "}",    "0 0 0", "0 0 0",  //
      "NETDEF", "M",    "10000 50000 2 4", "(",         " 2 2",      ")",    "{",     "}",
      "0 0 0",  "0 0 0"};
  const std::size_t closing = 50 + 120 + 1;  // DEFAULTS, OPTIONS, ENDPCB
  ASSERT_GE(lines.size(), netBlocks.size() + closing);
  const std::size_t first = lines.size() - closing - netBlocks.size();
  ExpectLines(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                       lines.end() - static_cast<std::ptrdiff_t>(closing)),
              netBlocks);
  EXPECT_EQ(lines[lines.size() - closing], "DEFAULTS");
  EXPECT_EQ(lines[lines.size() - 121], "OPTIONS");
  EXPECT_EQ(lines[lines.size() - 121 + 108], "50000 50000 50000 50000 50000 50000");
  EXPECT_EQ(lines.back(), "ENDPCB");
}

}  // namespace
}  // namespace writer_test
