// Nets, object classes, from-tos, coordinates, dimensions and rules.
#pragma once

#include <string>
#include <vector>

#include "board/PcbObject.h"

class TPcbNet : public TPcbGroupObject {
 public:
  // The values of the rules that govern the net's routing, as the host keeps
  // them. A setting without a rule (or whose rule query is absent) keeps its
  // default.
  struct TRoutingSettings {
    Coord Width = 0;            // width rule, first value; 10 mil without one
    Coord ViaSize = 0;          // via style rule, second value; 50 mil without one
    std::uint8_t Topology = 0;  // topology rule
    std::int32_t Priority = 0;  // routing priority rule, 1 the highest
  };

  explicit TPcbNet(ObjectHandle handle) : TPcbGroupObject(handle) { Kind = NetObject; }

  Status Load(QueryMode mode) override;
  void GetName(LenString& out) const override { out = Name; }

  // Asks the host for the dominant rule of each routing setting: width, via
  // size, priority, topology, in that order, and for the value of each rule
  // found.
  TRoutingSettings RoutingSettings() const;

  // Hands every member of the kinds in kinds, on every layer of layers, to
  // the callback; method goes to the host's iterator unchanged.
  void IterateMembers(ObjectCallback callback, KindMask kinds, IterationMethod method,
                      const LayerSet& layers) const;
  void IterateMembers(ObjectContextCallback callback, void* context, KindMask kinds,
                      IterationMethod method, const LayerSet& layers) const;

  LenString Name;
  std::uint8_t NetByte = 0;
  std::uint32_t NetValue = 0;
};

// A named class of objects with the names of its members.
class TPCBObjectClass : public TPCBObject {
 public:
  // A host that never reports the end of a member list is read no further:
  // all class loads of one export read this many member names together.
  static constexpr std::int32_t kMaxMembers = hostbounds::kClassMemberReads;

  explicit TPCBObjectClass(ObjectHandle handle) : TPCBObject(handle) { Kind = ClassObject; }

  // Reading (mode 1) rebuilds Members from the host; sending (0 or 2)
  // replaces the host's members with Members.
  Status Load(QueryMode mode) override;

  LenString Name;
  std::uint8_t ClassByte1 = 0;
  std::uint8_t ClassByte2 = 0;
  std::vector<std::string> Members;
};

// A connection from (X, Y) to (X2, Y2).
class TPcbFromTo : public TPCBObject {
 public:
  explicit TPcbFromTo(ObjectHandle handle) : TPCBObject(handle) { Kind = FromToObject; }

  Status Load(QueryMode mode) override;
  Coord GetX2() const override { return X2; }
  Coord GetY2() const override { return Y2; }
  std::uint8_t GetFromByte() const override { return FromByte; }
  std::uint8_t GetToByte() const override { return ToByte; }
  void SetX2(Coord value) override { X2 = value; }
  void SetY2(Coord value) override { Y2 = value; }
  void SetFromByte(std::uint8_t value) override { FromByte = value; }
  void SetToByte(std::uint8_t value) override { ToByte = value; }

  Coord X2 = 0;
  Coord Y2 = 0;
  std::uint8_t FromByte = 0;
  std::uint8_t ToByte = 0;
};

class TPcbManualFromTo : public TPCBObject {
 public:
  explicit TPcbManualFromTo(ObjectHandle handle) : TPCBObject(handle) { Kind = ManualFromToObject; }

  Status Load(QueryMode mode) override;

  LenString ManualText1;
  LenString ManualText2;
  LenString ManualText3;
  std::int32_t ManualValue = 0;
};

// A coordinate marker at (X, Y) on Layer.
class TPcbCoordinate : public TPcbGroupObject {
 public:
  explicit TPcbCoordinate(ObjectHandle handle) : TPcbGroupObject(handle) {
    Kind = CoordinateObject;
  }

  Status Load(QueryMode mode) override;

  Coord CoordValue[6] = {};
};

class TPcbDimension : public TPcbGroupObject {
 public:
  static constexpr std::int32_t kReferenceCapacity = 200;

  explicit TPcbDimension(ObjectHandle handle) : TPcbGroupObject(handle) { Kind = DimensionObject; }

  // The reference count the host reports is cut to 0 to kReferenceCapacity
  // before the references are exchanged.
  Status Load(QueryMode mode) override;

  // Extended query
  std::uint8_t DimensionCode = 8;
  std::int32_t ExtValue1 = 0;
  std::int32_t ExtValue2 = 0;
  // Dimension query
  std::int32_t DimValue1 = 0;
  std::int32_t DimValue2 = 0;
  std::int32_t DimValue3 = 0;
  std::int32_t DimValue4 = 0;
  std::int32_t DimValue5 = 0;
  std::int32_t DimValue6 = 0;
  std::int32_t DimValue7 = 0;
  // Extended query, further values
  std::int32_t Ext1 = 0;
  std::uint8_t ExtByte1 = 0;
  std::int32_t Ext2 = 0;
  LenString ExtText1;
  std::uint8_t ExtByte2 = 0;
  std::int32_t Ext3 = 0;
  LenString ExtText2;
  LenString ExtText3;
  double Ext8Bytes = 0.0;
  std::int32_t Ext4 = 0;
  std::int32_t Ext5 = 0;
  std::int32_t Ext6 = 0;
  std::uint8_t ExtByte3 = 0;
  std::int32_t Ext7 = 0;
  std::int32_t Ext8 = 0;
  std::int32_t Ext9 = 0;
  // Dimension query, last value
  std::uint8_t DimByte = 0;
  std::int32_t References[kReferenceCapacity][4] = {};
  std::int32_t ReferenceCount = 0;
};

class TPcbRule : public TPCBObject {
 public:
  explicit TPcbRule(ObjectHandle handle) : TPCBObject(handle) { Kind = RuleObject; }

  Status Load(QueryMode mode) override;

  std::uint8_t RuleKind = 0;  // 0 = clearance constraint
  std::uint8_t RuleByte1 = 0;
  std::uint8_t RuleByte2 = 0;
  std::uint8_t RuleByte3 = 0;
  std::uint8_t RuleByte4 = 0;
  std::uint8_t RuleByte5 = 0;
  std::uint8_t RuleByte6 = 0;
  LenString RuleTexts1[4];
  std::uint8_t RuleByte7 = 0;
  std::uint8_t RuleByte8 = 0;
  std::int32_t RuleValues[4] = {};
  LenString RuleTexts2[6];
};
