// The importer of a KiCad board, shared by the files that define its parts
// (Importer.cpp, ImportGraphics.cpp, ImportFootprints.cpp). Private to host/kicad.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kicad/Geometry.h"
#include "kicad/ImportedBoard.h"
#include "kicad/SExpr.h"

namespace kicad::detail {

// A fault in the board, thrown to the top with the place it was found: a
// place in words, or else the offset of the node in the board's text.
struct ImportError {
  std::string place;
  std::string what;
  std::size_t offset = 0;
};

[[noreturn]] inline void Fail(const Node& at, std::string what) {
  throw ImportError{{}, std::move(what), at.offset()};
}

// Field widths of the board file.
inline constexpr std::size_t kTextChars = 254;
inline constexpr std::size_t kPatternChars = 250;
inline constexpr std::size_t kNameChars = 255;
inline constexpr std::size_t kPadNameChars = 20;
inline constexpr std::size_t kOutlinePoints = 500;
inline constexpr int kMidLayers = 14;
// Straight segments a curve is written as.
inline constexpr int kCurveSegments = 8;
inline constexpr int kMaxNet = 1000000;
// The newest board format read in full (KiCad 9).
inline constexpr int kNewestVersion = 20241229;
// The last format of KiCad 5 (KiCad 3 and 4 say 3 and 4).
inline constexpr int kKicad5Version = 20171130;

// A graphic edge of the board outline: a line or an arc.
struct Edge {
  Point a, b;
  std::optional<Arc> arc;
};

class Importer {
 public:
  Importer(const Tree& tree, std::string_view project)
      : tree_(tree), root_(tree.root()), project_(project) {}

  std::string Run(std::vector<std::string>& report);

 private:
  // ---------------- small readers
  void Lose(const std::string& what, int count = 1) {
    if (count > 0) losses_[what] += count;
  }
  void Unknown(const Node& item, std::string_view context) {
    const std::string what =
        item.IsList()
            ? "unknown token '" + std::string(item.Head()) + "' in '" + std::string(context) + "'"
            : "unknown word '" + std::string(item.text()) + "' in '" + std::string(context) + "'";
    ++unknown_.try_emplace(what, Unknowns{item.offset(), 0}).first->second.count;
  }

  // Reports the sub-lists of `item` whose heads are not in `known`.
  void CheckKnown(const Node& item, std::initializer_list<std::string_view> known) {
    for (const Node& child : item.items()) {
      if (!child.IsList()) continue;
      const std::string_view head = child.Head();
      if (std::find(known.begin(), known.end(), head) == known.end()) Unknown(child, item.Head());
    }
  }

  static const Node& Arg(const Node& list, std::size_t i) {
    if (i >= list.items().size() || !list.items()[i].IsAtom())
      Fail(list, "'" + std::string(list.Head()) + "' needs " + std::to_string(i) + " value" +
                     (i == 1 ? "" : "s"));
    return list.items()[i];
  }
  static double Number(const Node& atom) {
    double v = 0;
    const std::string_view text = atom.text();
    const char* first = text.data();
    const char* last = first + text.size();
    if (!text.empty() && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
      Fail(atom, "expected a number, found '" + std::string(text) + "'");
    return v;
  }
  static double NumberArg(const Node& list, std::size_t i) { return Number(Arg(list, i)); }
  // A length in mm, as nanometres; KiCad keeps whole nanometres.
  static double Mm(const Node& atom) {
    const double v = Number(atom);
    if (std::abs(v) > 1e7)
      Fail(atom, "a length of " + std::string(atom.text()) + " mm is out of range");
    return std::round(v * 1e6);
  }
  static double MmArg(const Node& list, std::size_t i) { return Mm(Arg(list, i)); }
  static Point PointArg(const Node& list) { return {MmArg(list, 1), MmArg(list, 2)}; }
  static Point PointOf(const Node& parent, std::string_view head) {
    const Node* n = parent.Find(head);
    if (n == nullptr)
      Fail(parent, "'" + std::string(parent.Head()) + "' has no '" + std::string(head) + "'");
    return PointArg(*n);
  }
  static double WidthOf(const Node& parent) {
    if (const Node* w = parent.Find("width")) return MmArg(*w, 1);
    if (const Node* stroke = parent.Find("stroke"))
      if (const Node* w = stroke->Find("width")) return MmArg(*w, 1);
    return 0;
  }
  static std::string_view LayerOf(const Node& parent) {
    const Node* l = parent.Find("layer");
    if (l == nullptr) Fail(parent, "'" + std::string(parent.Head()) + "' has no layer");
    return Arg(*l, 1).text();
  }
  // The net of an object: by number (KiCad 9 and before), or by name, as
  // newer versions give it, defining the net on first use when the board
  // has no net list.
  int NetOf(const Node& parent) {
    const Node* n = parent.Find("net");
    if (n == nullptr) return 0;
    const Node& value = Arg(*n, 1);
    if (value.kind() == Node::Kind::String) return NetNamed(value);
    const double v = Number(value);
    if (v != std::floor(v) || v < 0 || v > kMaxNet || !netNames_.count(static_cast<int>(v)))
      Fail(*n, "no net " + std::string(value.text()) + " in the board's net list");
    return static_cast<int>(v);
  }
  int NetNamed(const Node& name);

  std::string Latin1(const Node& where, std::string_view utf8, std::size_t limit,
                     const char* field);

  // ---------------- layers (Importer.cpp)
  void ReadLayerTable();
  std::string CopperLayer(std::string_view name) const;
  std::vector<std::string> ExpandLayer(std::string_view word) const;
  std::string MapLayer(std::string_view name) const;
  static bool IsCopper(std::string_view hostLayer);
  std::string KicadName(std::string_view hostLayer) const;
  std::string DrawingLayer(std::string_view kicadLayer, const char* what);

  // ---------------- top level, tracks and vias
  void TopLevel(const Node& item);
  void ReadNet(const Node& item);
  void ReadSegment(const Node& item);
  void ReadArcTrack(const Node& item);
  void ReadVia(const Node& item);

  // ---------------- graphics and texts (ImportGraphics.cpp)
  // The placement of a footprint (or of a custom pad's primitives).
  struct Frame {
    Point origin;
    double angle = 0;
    Point At(Point p) const { return Place(p, origin, angle); }
  };

  void ReadGraphic(const Node& item, const Frame* fp, Primitives& into, int net,
                   const std::string& padLayer);
  std::vector<OutlineEntry> Outline(const Node& pts, const Frame* fp);
  void AppendPoints(const Node& pts, const Frame* fp, std::vector<Point>& into);
  void ReadText(const Node& item, const Frame* fp, std::vector<Text>& into, const char* what,
                std::optional<Text>* single = nullptr, bool forceLayer = false,
                bool bottom = false);
  static const Node& TextOf(const Node& item, std::size_t first);
  static bool Hidden(const Node& item);
  bool PlaceText(const Node& item, Text& t, const char* what, bool forceLayer, bool bottom);
  void ReadTextBox(const Node& item, const Frame* fp, std::vector<Text>& into);
  void WriteLines(const Node& item, const Text& t, const std::string& text, std::vector<Text>& into,
                  std::optional<Text>* single);
  std::string Expand(std::string_view text) const;

  // ---------------- zones (ImportGraphics.cpp)
  void ReadZone(const Node& item);
  std::size_t FilledPoints() const;

  // ---------------- footprints (ImportFootprints.cpp)
  void ReadFootprint(const Node& item);
  void ReadPad(const Node& item, const Frame& frame, Component& comp);

  // ---------------- net classes, outline, result
  void ReadBoardClass(const Node& item);
  void ClassDrills();
  void ReadProjectClasses();
  void BuildOutline();
  static std::vector<OutlineEntry> Simplified(const std::vector<OutlineEntry>& outline);
  ImportedBoard Result();

  const Tree& tree_;
  const Node& root_;
  std::string_view project_;
  double version_ = 0;
  std::vector<std::string> midStack_;
  // The copper layers of the layer table: host layer by KiCad name, and the
  // KiCad names from front to back.
  std::map<std::string, std::string, std::less<>> copper_;
  std::vector<std::string> copperOrder_;
  std::map<int, std::string> netNames_;
  std::map<std::string, int, std::less<>> netByName_;  // KiCad's names (UTF-8)
  std::vector<int> netOrder_;
  std::vector<NetClass> boardClasses_;
  std::vector<Component> components_;
  Primitives board_;
  std::vector<Via> vias_;
  struct ClassDrilled {
    std::size_t via;
    std::size_t offset;
  };
  std::vector<ClassDrilled> classDrilled_;  // vias whose drill is their net class's
  std::vector<Polygon> polygons_;
  std::vector<FilledArea> areas_;
  std::vector<Point> areaPoints_;
  std::vector<Edge> edges_;
  std::vector<OutlineEntry> outline_;
  // The fields of the footprint being read, by variable name (REFERENCE, VALUE...).
  std::map<std::string, std::string, std::less<>> fields_;
  std::map<std::string, int> losses_;
  // Unknown tokens: where each was first found and how often.
  struct Unknowns {
    std::size_t first = 0;
    int count = 0;
  };
  std::map<std::string, Unknowns> unknown_;
};

}  // namespace kicad::detail
