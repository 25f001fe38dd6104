// Net definition blocks: routing settings from the governing rules, the
// member list and connection chain, and the plane that carries the net.
#include <string>
#include <vector>

#include "ascii28/NetRecords.h"
#include "support/WriterFixture.h"

namespace writer_test {
namespace {

class NetDefinitionTest : public WriterTest {
 protected:
  // The blocks of every net, as the net pass of the run writes them.
  std::vector<std::string> NetBlocks() {
    return Capture([] {
      ascii28::Run.CurrentBoard->Iterate(&ascii28::WriteNetDefinition, MaskOf(NetObject),
                                         LayerSet::NoLayerOnly(), 1);
    });
  }

  // Line 3 of the block of net N, governed by the given rules; a second net
  // OTHER exists for rules scoped away from N.
  std::string RoutingLine(const std::string& rules) {
    Load(R"({"pcb28_board": 1, "nets": [{"name": "N"}, {"name": "OTHER"}], "rules": [)" + rules +
         "]}");
    const std::vector<std::string> lines = NetBlocks();
    return lines.size() > 2 ? lines[2] : "(no block)";
  }
};

TEST_F(NetDefinitionTest, NetWithoutRulesOrPadsGetsDefaults) {
  const std::string longName(255, 'x');
  Load(R"({"pcb28_board": 1, "nets": [{"name": "Ab \u00e9"}, {"name": ")" + longName + R"("}]})");
  ExpectLines(NetBlocks(),
              {"NETDEF", "Ab \xE9", "10000 50000 2 4", "(", ")", "{", "}", "0 0 0",
               "0 0 0",  //
               "NETDEF", longName, "10000 50000 2 4", "(", ")", "{", "}", "0 0 0", "0 0 0"});
}

TEST_F(NetDefinitionTest, ComponentPadsAreListedAndChainedFreePadsAreNot) {
  Load(R"({"pcb28_board": 1,
    "nets": [{"name": "SIG"}, {"name": "FREE"}],
    "components": [
      {"designator": "U1", "index": 3,
       "pads": [{"name": "1", "net": "SIG", "index": 1}, {"name": "2", "net": "SIG", "index": 2}]},
      {"designator": "U2", "index": 7, "pads": [{"name": "1", "net": "SIG", "index": 5}]}],
    "pads": [{"name": "F1", "net": "SIG", "index": 9}, {"name": "F2", "net": "FREE"},
             {"name": "F3", "net": "FREE"}]})");
  ExpectLines(NetBlocks(),
              {"NETDEF", "SIG",  "10000 50000 2 4", "(",         " 3 1", " 3 2",  " 7 5",
               ")",      "{",    "1 2 0 0 0",       "2 3 0 0 0", "}",    "0 0 0", "0 0 0",  //
               "NETDEF", "FREE", "10000 50000 2 4", "(",         ")",    "{",     "}",
               "0 0 0",  "0 0 0"});
  EXPECT_EQ(ascii28::Run.PadCounter, 0);  // the last net listed none
  // One update per net and one per pad met, listed or not.
  EXPECT_EQ(standin::TheServer().Progress().updates, 2 + 4 + 2);
}

TEST_F(NetDefinitionTest, WidthAndViaSizeAreTakenFromTheirRules) {
  EXPECT_EQ(RoutingLine(R"({"kind": "Width", "values": [120000, 80000]})"), "12000 50000 2 4");
  EXPECT_EQ(RoutingLine(R"({"kind": "Width", "values": [-125, 0]})"), "-12 50000 2 4");
  EXPECT_EQ(RoutingLine(R"({"kind": "RoutingVias", "values": [111111, 333333, 7]})"),
            "10000 33333 2 4");
  EXPECT_EQ(RoutingLine(R"({"kind": "Width", "scope": {"net": "OTHER"}, "values": [990000, 0]})"),
            "10000 50000 2 4");
  EXPECT_EQ(RoutingLine(R"({"kind": "Width", "values": [80000, 0]},
                           {"kind": "RoutingVias", "values": [0, 444444, 0]},
                           {"kind": "RoutingTopology", "values": [6]},
                           {"kind": "RoutingPriority", "values": [3]})"),
            "8000 44444 7 2");
}

TEST_F(NetDefinitionTest, PriorityTable) {
  const std::pair<int, const char*> cases[] = {{1, "4"}, {2, "3"}, {3, "2"}, {4, "1"},
                                               {5, "0"}, {9, "4"}, {0, "4"}, {-1, "4"}};
  for (const auto& [priority, code] : cases) {
    EXPECT_EQ(
        RoutingLine(R"({"kind": "RoutingPriority", "values": [)" + std::to_string(priority) + "]}"),
        std::string("10000 50000 2 ") + code)
        << "priority " << priority;
  }
}

TEST_F(NetDefinitionTest, TopologyTable) {
  const std::pair<int, const char*> cases[] = {{0, "2"}, {1, "0"}, {2, "1"}, {3, "3"},  {4, "6"},
                                               {5, "3"}, {6, "7"}, {7, "2"}, {255, "2"}};
  for (const auto& [topology, code] : cases) {
    EXPECT_EQ(
        RoutingLine(R"({"kind": "RoutingTopology", "values": [)" + std::to_string(topology) + "]}"),
        std::string("10000 50000 ") + code + " 4")
        << "topology " << topology;
  }
}

TEST_F(NetDefinitionTest, RulesAreLookedUpWidthViaPriorityTopology) {
  Load(R"({"pcb28_board": 1, "nets": [{"name": "N"}]})");
  const ObjectHandle net = standin::TheServer().FindNet("N");
  standin::TheServer().SetRecording(true);
  Capture([net] { ascii28::WriteNetDefinition(net); });
  standin::TheServer().SetRecording(false);
  std::vector<std::int64_t> kinds;
  for (const standin::RecordedCall& call : standin::TheServer().Calls()) {
    if (call.name != "PcbApi_FindDominantRuleForObject") continue;
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.args[0], net);
    kinds.push_back(call.args[1]);
  }
  EXPECT_EQ(kinds, (std::vector<std::int64_t>{2, 11, 8, 7}));
}

TEST_F(NetDefinitionTest, PlaneLayerAndCodeFromTheFirstPlaneOfTheSameName) {
  Load(R"({"pcb28_board": 1,
    "layers": {"InternalPlane1": {"net": "GND"}, "InternalPlane2": {"net": "VCC"},
               "InternalPlane3": {"net": "V3"}, "InternalPlane4": {"net": "V4"},
               "InternalPlane5": {"net": "V5"}},
    "nets": [{"name": "GND", "value": 4294967295}, {"name": "VCC"}, {"name": "V3", "value": 17},
             {"name": "V4"}, {"name": "V5"}, {"name": "vcc"}, {"name": "VCC "}]})");
  std::vector<std::string> lines = NetBlocks();
  ASSERT_EQ(lines.size(), 7u * 9u);
  std::vector<std::string> last;
  for (std::size_t block = 0; block < 7; ++block) last.push_back(lines[block * 9 + 8]);
  EXPECT_EQ(last, (std::vector<std::string>{"23 4294967295 1", "24 0 4", "25 17 7", "26 0 10",
                                            "0 0 0", "0 0 0", "0 0 0"}));

  Load(R"({"pcb28_board": 1,
    "layers": {"InternalPlane2": {"net": "VCC"}, "InternalPlane3": {"net": "VCC"}},
    "nets": [{"name": "VCC"}]})");
  lines = NetBlocks();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[8], "24 0 4");
}

}  // namespace
}  // namespace writer_test
