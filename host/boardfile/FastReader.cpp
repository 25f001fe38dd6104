// The streaming board-file reader. It walks the text once with simdjson's
// On-Demand parser and adds each object to the server as soon as it is read,
// in the order the exact reader adds them (nets, polygons and board outlines,
// classes, rules, components with their members, then the free objects), so
// both readers give the same board with the same handles. It holds to the
// exact reader's rules value for value, but builds no message: any fault
// throws Refused, the server is reset, and the exact reader then reads the
// file again to say what and where.
#include "boardfile/FastReader.h"

#include "boardfile/BoardFile.h"
#include "boardfile/FastBoardReader.h"

namespace boardfile {

namespace fast {

static_assert(kBoardTextPadding >= simdjson::SIMDJSON_PADDING);

// One line per key.
// clang-format off

void Reader::Document(od::document& doc) {
  board_ = server_.CurrentBoard();
  Need(board_ != nullptr);
  // First the keys alone: unknown or repeated ones, the version, nothing
  // after the document.
  Need(doc.type() == Type::object);
  std::uint64_t present = 0;
  {
    od::object top = doc.get_object();
    present = EachField(top, kTopKeys, [&](int k, Value& v) {
      if (k != kVersion) return;
      od::number n = NumberOf(v);
      Need(n.get_number_type() == od::number_type::signed_integer && n.get_int64() == 1);
    });
  }
  Need((present & Bit(kVersion)) != 0 &&
       doc.current_location().error() == simdjson::OUT_OF_BOUNDS);
  // Then the values, in the order that resolves references and gives the
  // exact reader's handles.
  doc.rewind();
  od::object top = doc.get_object();
  for (const TopKey k :
       {kNets,   kPolygons, kOutlines,   kClasses,       kRules,       kComponents, kBoard,
        kLayers, kStack,    kLayerPairs, kTracks,        kArcs,        kVias,       kFills,
        kTexts,  kPads,     kFromTos,    kManualFromTos, kCoordinates, kDimensions}) {
    if ((present & Bit(k)) == 0) continue;
    Value v = top.find_field_unordered(kTopKeys.Name(k));
    TopLevel(k, v);
  }
  for (const std::string& designator : scopeDesignators_) {
    Need(designators_.contains(designator));
  }
}

void Reader::TopLevel(TopKey k, Value& v) {
  switch (k) {
    case kNets: return Each(v, [&](Value& o) { Net(o); });
    case kPolygons: return Each(v, [&](Value& o) { Area<standin::Polygon>(o); });
    case kOutlines: return Each(v, [&](Value& o) { Area<standin::BoardOutline>(o); });
    case kClasses: return Each(v, [&](Value& o) { Class(o); });
    case kRules: return Each(v, [&](Value& o) { Rule(o); });
    case kComponents: return Each(v, [&](Value& o) { Component(o); });
    case kBoard: return BoardSettings(v);
    case kLayers: return Layers(v);
    case kStack: return Stack(v);
    case kLayerPairs: return Each(v, [&](Value& o) { LayerPair(o); });
    case kTracks: return Members<standin::Track>(v, 0);
    case kArcs: return Members<standin::Arc>(v, 0);
    case kVias: return Members<standin::Via>(v, 0);
    case kFills: return Members<standin::Fill>(v, 0);
    case kTexts: return Members<standin::Text>(v, 0);
    case kPads: return Members<standin::Pad>(v, 0);
    case kFromTos: return Each(v, [&](Value& o) { FromTo(o); });
    case kManualFromTos: return Each(v, [&](Value& o) { ManualFromTo(o); });
    case kCoordinates: return Each(v, [&](Value& o) { Coordinate(o); });
    case kDimensions: return Each(v, [&](Value& o) { Dimension(o); });
    case kVersion:
      return;
  }
}

// clang-format on

}  // namespace fast

bool LoadFast(std::string_view text, std::size_t capacity, std::string* limit) {
  standin::Server& server = standin::TheServer();
  server.Reset();
  try {
    fast::Need(capacity >= text.size() + kBoardTextPadding && server.CreateBoard() != 0);
    fast::od::parser parser;
    fast::od::document doc = parser.iterate(text.data(), text.size(), capacity);
    fast::Reader(server).Document(doc);
    return true;
  } catch (const fast::Refused&) {
    if (limit != nullptr) *limit = server.LimitReached();
  } catch (const simdjson::simdjson_error&) {
  } catch (...) {
    server.Reset();  // out of memory: nothing half-loaded either
    throw;
  }
  server.Reset();
  return false;
}

}  // namespace boardfile
