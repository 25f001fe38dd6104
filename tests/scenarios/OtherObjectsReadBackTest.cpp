// Objects the file has no record for (from-tos, manual from-tos, coordinates,
// dimensions, classes, rules) reach the plug-in's objects field for field:
// board file -> stand-in server -> entry points -> ObjectFromHandle.
#include <gtest/gtest.h>

#include <vector>

#include "board/PcbNets.h"
#include "board/PcbObject.h"
#include "hostapi/PCBProcs.h"
#include "server/StandInBoard.h"
#include "support/TestSupport.h"

namespace {

// Every value distinct, so a value landing in a neighbour's field shows.
constexpr const char* kBoard = R"({"pcb28_board": 1,
  "nets": [{"name": "N1"}, {"name": "N2"}],
  "from_tos": [{"x": 11, "y": 12, "x2": 13, "y2": 14, "from_byte": 15, "to_byte": 16,
                "net": "N2", "index": 17}],
  "manual_from_tos": [{"texts": ["first", "second", "third"], "value": -18, "index": 19}],
  "coordinates": [{"x": 21, "y": 22, "layer": "Mechanical2", "tag": 23, "flags": 24,
                   "index": 25, "values": [31, 32, 33, 34, 35, 36]}],
  "dimensions": [{"x": 41, "y": 42, "layer": "Mechanical3", "tag": 43, "flags": 44, "index": 45,
                  "values": [51, 52, 53, 54, 55, 56, 57, 58],
                  "ext": [9, 61, 62, 63, 64, 65, "ext one", 66, 67, "ext two", "ext three",
                          68.5, 69, 70, 71, 72, 73, 74, 75],
                  "references": [[81, 82, 83, 84], [85, 86, 87, 88]]}],
  "classes": [{"name": "Power", "bytes": [91, 92], "index": 93, "members": ["N1", "N2"]}],
  "rules": [{"kind": "Clearance", "values": [100], "bytes": [1, 2, 3, 4, 5, 6, 7, 8],
             "texts1": ["a", "b", "c", "d"], "numbers": [101, 102, 103, 104],
             "texts2": ["e", "f", "g", "h", "i", "j"]}]})";

class OtherObjectsReadBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::LoadBoard(kBoard);
    testsupport::BindPluginToServer();
  }
  void TearDown() override { PCBProcs::UnbindEntryPoints(); }

  // The first object of a kind, as the plug-in loads it through the factory.
  template <typename T>
  std::unique_ptr<T> First(standin::Kind kind) {
    auto& server = standin::TheServer();
    std::vector<ObjectHandle> handles;
    server.Collect(server.CurrentBoardHandle(), kind, 0, handles);
    EXPECT_FALSE(handles.empty());
    if (handles.empty()) return nullptr;
    std::unique_ptr<TPCBObject> object = ObjectFromHandle(handles.front());
    T* typed = dynamic_cast<T*>(object.get());
    EXPECT_NE(typed, nullptr);
    if (typed == nullptr) return nullptr;
    object.release();
    return std::unique_ptr<T>(typed);
  }
};

}  // namespace

TEST_F(OtherObjectsReadBackTest, FromTosAndManualFromTos) {
  const auto fromTo = First<TPcbFromTo>(standin::Kind::FromTo);
  ASSERT_NE(fromTo, nullptr);
  EXPECT_EQ(fromTo->X, 11);
  EXPECT_EQ(fromTo->Y, 12);
  EXPECT_EQ(fromTo->X2, 13);
  EXPECT_EQ(fromTo->Y2, 14);
  EXPECT_EQ(fromTo->FromByte, 15);
  EXPECT_EQ(fromTo->ToByte, 16);
  EXPECT_EQ(fromTo->Index, 17);
  EXPECT_EQ(fromTo->NetHandle, standin::TheServer().FindNet("N2"));

  const auto manual = First<TPcbManualFromTo>(standin::Kind::ManualFromTo);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(manual->ManualText1.View(), "first");
  EXPECT_EQ(manual->ManualText2.View(), "second");
  EXPECT_EQ(manual->ManualText3.View(), "third");
  EXPECT_EQ(manual->ManualValue, -18);
  EXPECT_EQ(manual->Index, 19);
}

TEST_F(OtherObjectsReadBackTest, CoordinatesAndDimensions) {
  const auto coordinate = First<TPcbCoordinate>(standin::Kind::Coordinate);
  ASSERT_NE(coordinate, nullptr);
  EXPECT_EQ(coordinate->X, 21);
  EXPECT_EQ(coordinate->Y, 22);
  EXPECT_EQ(coordinate->Layer, Mechanical(2));
  EXPECT_EQ(coordinate->Tag, 23);
  EXPECT_EQ(coordinate->Flags, 24);
  EXPECT_EQ(coordinate->Index, 25);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(coordinate->CoordValue[i], 31 + i);

  const auto d = First<TPcbDimension>(standin::Kind::Dimension);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->X, 41);
  EXPECT_EQ(d->Y, 42);
  EXPECT_EQ(d->Layer, Mechanical(3));
  EXPECT_EQ(d->Tag, 43);
  EXPECT_EQ(d->Flags, 44);
  EXPECT_EQ(d->Index, 45);
  const std::int32_t values[] = {d->DimValue1, d->DimValue2, d->DimValue3, d->DimValue4,
                                 d->DimValue5, d->DimValue6, d->DimValue7};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(values[i], 51 + i);
  EXPECT_EQ(d->DimByte, 58);
  EXPECT_EQ(d->DimensionCode, 9);
  EXPECT_EQ(d->ExtValue1, 61);
  EXPECT_EQ(d->ExtValue2, 62);
  EXPECT_EQ(d->Ext1, 63);
  EXPECT_EQ(d->ExtByte1, 64);
  EXPECT_EQ(d->Ext2, 65);
  EXPECT_EQ(d->ExtText1.View(), "ext one");
  EXPECT_EQ(d->ExtByte2, 66);
  EXPECT_EQ(d->Ext3, 67);
  EXPECT_EQ(d->ExtText2.View(), "ext two");
  EXPECT_EQ(d->ExtText3.View(), "ext three");
  EXPECT_EQ(d->Ext8Bytes, 68.5);
  const std::int32_t tail[] = {d->Ext4, d->Ext5, d->Ext6, d->ExtByte3, d->Ext7, d->Ext8, d->Ext9};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(tail[i], 69 + i);
  ASSERT_EQ(d->ReferenceCount, 2);
  for (int r = 0; r < 2; ++r)
    for (int v = 0; v < 4; ++v) EXPECT_EQ(d->References[r][v], 81 + 4 * r + v);
}

TEST_F(OtherObjectsReadBackTest, ClassesAndRules) {
  const auto objectClass = First<TPCBObjectClass>(standin::Kind::Class);
  ASSERT_NE(objectClass, nullptr);
  EXPECT_EQ(objectClass->Name.View(), "Power");
  EXPECT_EQ(objectClass->ClassByte1, 91);
  EXPECT_EQ(objectClass->ClassByte2, 92);
  EXPECT_EQ(objectClass->Index, 93);
  EXPECT_EQ(objectClass->Members, (std::vector<std::string>{"N1", "N2"}));

  const auto rule = First<TPcbRule>(standin::Kind::Rule);
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->RuleKind, 0);
  const std::uint8_t bytes[] = {rule->RuleByte1, rule->RuleByte2, rule->RuleByte3, rule->RuleByte4,
                                rule->RuleByte5, rule->RuleByte6, rule->RuleByte7, rule->RuleByte8};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], i + 1);
  EXPECT_EQ(rule->RuleTexts1[0].View(), "a");
  EXPECT_EQ(rule->RuleTexts1[3].View(), "d");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rule->RuleValues[i], 101 + i);
  EXPECT_EQ(rule->RuleTexts2[0].View(), "e");
  EXPECT_EQ(rule->RuleTexts2[5].View(), "j");
}
