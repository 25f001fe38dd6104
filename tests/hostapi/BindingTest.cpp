// The entry-point table: binding by name, absent slots and their defaults,
// and the by-value copies of the two string-taking wrappers.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <type_traits>

#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/Platform.h"

using PCBProcs::EntryPoint;

namespace {

// ---- a provider of our own, exporting a chosen few functions

std::set<std::string> g_Exported;
std::uint8_t g_SeenCaption[256];
std::int32_t g_SeenTotal;

ObjectHandle PCBAPI_CALL FakeCurrentBoard() { return 77; }
Status PCBAPI_CALL FakePercentInit(std::uint8_t* caption, std::int32_t total) {
  std::memcpy(g_SeenCaption, caption, 256);
  g_SeenTotal = total;
  std::memset(caption, 'X', 256);  // a server that scribbles over its argument
  return 5;
}
Status PCBAPI_CALL FakeAddMember(ObjectHandle, std::uint8_t* name) {
  std::memset(name, 'Y', 256);
  return 0;
}
ObjectKindCode PCBAPI_CALL FakeObjectId(ObjectHandle handle) {
  return static_cast<ObjectKindCode>(handle % 7);
}
int g_Dummy;

void* Provider(const char* name) {
  if (g_Exported.count(name) == 0) return nullptr;
  const std::string n = name;
  if (n == "PcbApi_GetCurrentBoardHandle") return reinterpret_cast<void*>(&FakeCurrentBoard);
  if (n == "PcbApi_Percent_Init") return reinterpret_cast<void*>(&FakePercentInit);
  if (n == "PcbApi_AddMemberToClass") return reinterpret_cast<void*>(&FakeAddMember);
  if (n == "PcbApi_GetObjectIdFromObjectHandle") return reinterpret_cast<void*>(&FakeObjectId);
  return &g_Dummy;  // bound-only names are never called
}

class BindingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    PCBProcs::UnbindEntryPoints();
    g_Exported.clear();
  }
};

}  // namespace

// The first test of the program: the server was loaded with the program
// (which calls it), yet nothing bound the table, since only the plug-in
// library carries the load hook.
TEST(LoadHook, ProgramsThatLinkThePluginsObjectsStartUnbound) {
  ASSERT_NE(StandIn_EntryPoint("PcbApi_QueryTrack"), nullptr);
  for (std::size_t i = 0; i < PCBProcs::kEntryPointCount; ++i)
    EXPECT_FALSE(PCBProcs::IsBound(static_cast<EntryPoint>(i)))
        << PCBProcs::EntryPointName(static_cast<EntryPoint>(i));
}

TEST(EntryPointList, HoldsEveryNameOnceSpelledAsTheServerExportsIt) {
  std::set<std::string> names;
  int prefixed = 0;
  for (std::size_t i = 0; i < PCBProcs::kEntryPointCount; ++i) {
    const std::string name = PCBProcs::EntryPointName(static_cast<EntryPoint>(i));
    EXPECT_TRUE(name.rfind("PcbApi_", 0) == 0 || name.rfind("PCBAPI_", 0) == 0) << name;
    if (name.rfind("PCBAPI_", 0) == 0) ++prefixed;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 238u);
  EXPECT_EQ(prefixed, 3);
  EXPECT_EQ(names.count("PCBAPI_CheckPrimitivesOverlapWithClearance"), 1u);
  EXPECT_EQ(names.count("PcbApi_QueryObjectImport_FromUser"), 1u);
  EXPECT_EQ(names.count("PcbApi_QueryRuleFlightTime_RisingEdge"), 1u);

  int noResult = 0, copiesString = 0, absentOne = 0;
#define COUNT_WRAP(name, absent, wrap)             \
  noResult += ((wrap)&kWrapNoResult) != 0;         \
  copiesString += ((wrap)&kWrapCopiesString) != 0; \
  absentOne += (absent) == 1;
#define SKIP_BOUND(name)
  PCBAPI_ENTRY_POINTS(COUNT_WRAP, SKIP_BOUND)
#undef COUNT_WRAP
#undef SKIP_BOUND
  EXPECT_EQ(noResult, 5);
  EXPECT_EQ(copiesString, 2);
  EXPECT_EQ(absentOne, 5);
  static_assert(std::is_void_v<decltype(PCBProcs::PcbApi_Percent_Update())>);
}

TEST_F(BindingTest, OnlyTheNamesTheProviderLacksAreAbsent) {
  g_Exported = {"PcbApi_GetCurrentBoardHandle", "PcbApi_Percent_Init",
                // the three upper-case names, exported in the other spelling
                "PcbApi_GetUnaryRuleForPrimitive", "PcbApi_GetBinaryRuleForPrimitive",
                "PcbApi_CheckPrimitivesOverlapWithClearance", "PcbApi_QueryViolation"};
  PCBProcs::BindEntryPoints(&Provider);

  int bound = 0;
  for (std::size_t i = 0; i < PCBProcs::kEntryPointCount; ++i)
    bound += PCBProcs::IsBound(static_cast<EntryPoint>(i));
  EXPECT_EQ(bound, 3);
  EXPECT_TRUE(PCBProcs::IsBound(EntryPoint::PcbApi_QueryViolation));
  EXPECT_FALSE(PCBProcs::IsBound(EntryPoint::PCBAPI_GetUnaryRuleForPrimitive));
  EXPECT_FALSE(PCBProcs::IsBound(EntryPoint::PCBAPI_CheckPrimitivesOverlapWithClearance));
  EXPECT_EQ(PCBProcs::PcbApi_GetCurrentBoardHandle(), 77u);
  EXPECT_EQ(PCBProcs::PcbApi_GetObjectIdFromObjectHandle(5), 0);  // absent: 0
}

TEST_F(BindingTest, RebindingStartsFromAnEmptyTable) {
  g_Exported = {"PcbApi_GetCurrentBoardHandle"};
  PCBProcs::BindEntryPoints(&Provider);
  g_Exported = {"PcbApi_GetObjectIdFromObjectHandle"};
  PCBProcs::BindEntryPoints(&Provider);
  EXPECT_EQ(PCBProcs::PcbApi_GetCurrentBoardHandle(), 0u);
  EXPECT_EQ(PCBProcs::PcbApi_GetObjectIdFromObjectHandle(12), 5);
}

TEST_F(BindingTest, AbsentEntryPointsReturnTheirDefaultAndTouchNothing) {
  PCBProcs::BindEntryPoints(&Provider);  // exports nothing

  std::int32_t count = -7;
  EXPECT_EQ(PCBProcs::PcbApi_QueryBoardLayerPairsCount(1, &count), 1);
  EXPECT_EQ(count, -7);
  std::uint8_t name[256];
  std::memset(name, 0xAB, sizeof name);
  EXPECT_EQ(PCBProcs::PcbApi_GetMemberFromClassAt(1, 0, name), 1);
  EXPECT_EQ(PCBProcs::PcbApi_AddMemberToClass(1, name), 1);
  EXPECT_EQ(PCBProcs::PcbApi_RemoveAllMembersFromClass(1), 1);
  std::uint16_t index = 9;
  std::int32_t value = 3;
  EXPECT_EQ(PCBProcs::PcbApi_QueryManualFromTo(1, 2, &index, name, name, name, &value), 1);
  EXPECT_EQ(name[0], 0xAB);
  EXPECT_EQ(name[255], 0xAB);
  EXPECT_EQ(index, 9);
  EXPECT_EQ(value, 3);

  EXPECT_EQ(PCBProcs::PcbApi_CreateIterator(1, 4, 0, 0), 0u);
  EXPECT_EQ(PCBProcs::PcbApi_FindDominantRuleForObject(1, 2), 0u);
  Coord x = 11, y = 12;
  EXPECT_EQ(PCBProcs::PcbApi_QueryPadOrViaSizeOnLayer(1, 1, &x, &y), 0);
  EXPECT_EQ(x, 11);
  EXPECT_EQ(y, 12);
  std::uint8_t bits = 0x5A;
  PCBProcs::PcbApi_GetObjectBitField2(1, 1, &bits);
  EXPECT_EQ(bits, 0x5A);
  PCBProcs::PcbApi_Percent_Init(name, 3);  // returns nothing, must not crash
}

TEST_F(BindingTest, StringArgumentsAreHandedOverAsCopies) {
  g_Exported = {"PcbApi_Percent_Init", "PcbApi_AddMemberToClass"};
  PCBProcs::BindEntryPoints(&Provider);

  std::uint8_t caption[8] = {5, 'S', 'a', 'v', 'e', 's', '!', '!'};
  PCBProcs::PcbApi_Percent_Init(caption, 42);
  EXPECT_EQ(g_SeenTotal, 42);
  EXPECT_EQ(g_SeenCaption[0], 5);
  EXPECT_EQ(std::memcmp(g_SeenCaption + 1, "Saves", 5), 0);
  EXPECT_EQ(g_SeenCaption[6], 0) << "only the string itself is copied";
  const std::uint8_t original[8] = {5, 'S', 'a', 'v', 'e', 's', '!', '!'};
  EXPECT_EQ(std::memcmp(caption, original, sizeof caption), 0);

  std::uint8_t member[4] = {2, 'A', 'B', 0};
  EXPECT_EQ(PCBProcs::PcbApi_AddMemberToClass(9, member), 0);
  EXPECT_EQ(member[0], 2);
  EXPECT_EQ(member[1], 'A');
}

TEST_F(BindingTest, LoadedServerBindsEveryCalledNameAndNoOther) {
  // The host loads its server before the plug-in binds; the module lookup
  // must find it by its name without loading it.
  void* server = testsupport::LoadLibraryFile(PCB28_SERVER_PATH);
  ASSERT_NE(server, nullptr) << testsupport::LastLibraryError();
  PCBProcs::BindFromLoadedServer();
  int calledBound = 0, otherBound = 0;
#define COUNT_CALLED(name, absent, wrap) calledBound += PCBProcs::IsBound(EntryPoint::name);
#define COUNT_BOUND(name) otherBound += PCBProcs::IsBound(EntryPoint::name);
  PCBAPI_ENTRY_POINTS(COUNT_CALLED, COUNT_BOUND)
#undef COUNT_CALLED
#undef COUNT_BOUND
  EXPECT_EQ(calledBound, 74);
  EXPECT_EQ(otherBound, 0);
  testsupport::UnloadLibrary(server);
}

TEST(UnitConversions, RoundAsTheHostDoes) {
  EXPECT_EQ(PCBProcs::MilsToCoord(10.0), 100000);
  EXPECT_EQ(PCBProcs::MilsToCoord(50.0), 500000);
  EXPECT_EQ(PCBProcs::MilsToCoord(0.15625), 1562);    // 1562.5: halves to even
  EXPECT_EQ(PCBProcs::MilsToCoord(0.46875), 4688);    // 4687.5
  EXPECT_EQ(PCBProcs::MilsToCoord(-0.15625), -1562);  // -1562.5
  EXPECT_EQ(PCBProcs::MilsToCoord(429496.7296), 0);   // 2^32: the low 32 bits
  EXPECT_EQ(PCBProcs::MilsToCoord(214748.3648), INT32_MIN);
  EXPECT_DOUBLE_EQ(PCBProcs::DegreesToRadians(180.0), 3.141592653589793);
  EXPECT_EQ(PCBProcs::DegreesToRadians(180.0), 3.141592653589793);
  EXPECT_EQ(PCBProcs::DegreesToRadians(90.0), 1.5707963267948966);
}
