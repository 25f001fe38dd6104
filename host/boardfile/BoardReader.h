// The reader of a board file's document into a staged board. It checks
// everything (keys, types, ranges, lengths, references) and throws a
// LoadError at the first fault; the staged board is complete only when
// Document returns.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "boardfile/JsonFields.h"
#include "boardfile/StagedBoard.h"

namespace boardfile {

class Reader {
 public:
  explicit Reader(StagedBoard& staged) : s_(staged) {}

  void Document(const json& root);

 private:
  // Calls `read` with the fields of each object of a list, then checks that
  // it asked for every key there was.
  template <class F>
  void Each(const Ref& ref, F read) {
    if (!ref) return;
    List list(ref, kAnyLength, "objects");
    for (std::size_t i = 0; i < list.size(); ++i) {
      Fields f(list[i], "an object");
      read(f);
      f.Done();
    }
  }

  // References (BoardReader.cpp).
  ObjectHandle NetRef(const Ref& ref);
  void NetKey(Fields& f, ObjectHandle& out);
  static std::string AreaId(const Ref& ref);
  void PolygonKey(Fields& f, ObjectHandle& out);

  // Primitives (PrimitiveReader.cpp).
  void Common(Fields& f, standin::Primitive& p, bool withNet = true);
  static void Bits(Fields& f, standin::Object& o);
  standin::Track Track(Fields& f);
  standin::Arc Arc(Fields& f);
  standin::Via Via(Fields& f);
  standin::Fill Fill(Fields& f);
  standin::Text Text(Fields& f, HostLayer defaultLayer = 0);
  static standin::PadLevel Level(const Ref& ref);
  standin::Pad Pad(Fields& f);

  // Components and polygons (GroupReader.cpp).
  std::optional<standin::Text> ComponentText(const Ref& ref, const standin::Component& c);
  void Component(Fields& f);
  void Area(Fields& f, std::unique_ptr<standin::Polygon> p);

  // Nets, classes, rules and the other objects (NetReader.cpp).
  void Net(Fields& f);
  void Class(Fields& f);
  void Rule(Fields& f);
  void Scope(const Ref& ref, standin::Rule& rule);
  void FromTo(Fields& f);
  void ManualFromTo(Fields& f);
  void Coordinate(Fields& f);
  void Dimension(Fields& f);

  // Board settings (SettingsReader.cpp).
  static void DielectricValues(const Ref& ref, standin::Dielectric& d);
  void BoardSettings(const Ref& ref);
  static void Flags(const Ref& ref, std::array<std::uint8_t, 110>& flags);
  void Layers(const Ref& ref);
  void Stack(const Ref& ref);
  void LayerPair(Fields& f);

  StagedBoard& s_;
  std::map<std::string, ObjectHandle> netNumbers_;
  std::map<std::string, ObjectHandle> areaNumbers_;
  std::set<std::string> designators_;
};

}  // namespace boardfile
