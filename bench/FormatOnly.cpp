#include "FormatOnly.h"

#include <algorithm>
#include <array>
#include <vector>

#include "ascii28/FileFrame.h"
#include "ascii28/GroupRecords.h"
#include "ascii28/NetRecords.h"
#include "ascii28/PadRecords.h"
#include "ascii28/PrimitiveRecords.h"
#include "ascii28/RunState.h"
#include "ascii28/TextRecords.h"
#include "board/PcbGroups.h"
#include "board/PcbPad.h"
#include "board/PcbPrimitives.h"
#include "board/PcbText.h"
#include "server/StandInBoard.h"

namespace pcb28bench {

namespace {

using namespace standin;

// What the export asks the host's rules for, fixed here: the benchmark's
// board has no pad rules, and its width rule gives every net this width.
constexpr Coord kRouteWidth = 120000;
constexpr Coord kViaSize = 500000;

// Copies the common block of a server object into a board object.
void CopyPrimitive(const Primitive& from, TPCBObject& to) {
  to.Handle = from.handle;
  to.Flags = from.flags;
  to.Index = from.index;
  to.Layer = from.layer;
  to.Tag = from.tag;
  to.NetHandle = from.net;
  to.ComponentHandle = from.component;
  to.X = from.x;
  to.Y = from.y;
}

class FormatRun {
 public:
  explicit FormatRun(Server& s) : s_(s), board_(*s.CurrentBoard()) {}

  void Write() {
    NumberObjects();
    ascii28::WriteFileHeader();
    ascii28::Run.InComponent = true;
    for (ObjectHandle h : board_.components) Component(*s_.Get<standin::Component>(h));
    ascii28::Run.InComponent = false;
    for (ObjectHandle h : Free(Kind::Polygon)) Polygon(*s_.Get<standin::Polygon>(h));
    for (ObjectHandle h : Free(Kind::Text)) Text(*s_.Get<standin::Text>(h));
    for (ObjectHandle h : Free(Kind::Track)) Track(*s_.Get<standin::Track>(h));
    for (ObjectHandle h : Free(Kind::Via)) Via(*s_.Get<standin::Via>(h));
    for (ObjectHandle h : Free(Kind::Pad)) Pad(*s_.Get<standin::Pad>(h));
    for (ObjectHandle h : Free(Kind::Net)) Net(*s_.Get<standin::Net>(h));
    ascii28::WriteFileEnd();
  }

 private:
  const std::vector<ObjectHandle>& Free(Kind kind) const {
    return board_.freeObjects[static_cast<std::size_t>(kind)];
  }

  std::uint16_t Number(ObjectHandle h) {
    if (const standin::Net* net = s_.Get<standin::Net>(h)) return net->index;
    if (const standin::Polygon* polygon = s_.Get<standin::Polygon>(h)) return polygon->index;
    return 0;
  }

  // The numbers the export gives: components per side, nets in order,
  // polygons per layer; and each net's component pads, in walk order.
  void NumberObjects() {
    std::uint16_t top = 0, bottom = 0, nets = 0;
    for (ObjectHandle h : board_.components) {
      standin::Component& c = *s_.Get<standin::Component>(h);
      c.index = c.layer == kBottomLayer ? ++bottom : ++top;
    }
    for (ObjectHandle h : Free(Kind::Net)) s_.Get<standin::Net>(h)->index = ++nets;
    std::array<std::uint16_t, kHostLayerCount> perLayer{};
    for (ObjectHandle h : Free(Kind::Polygon)) {
      standin::Polygon& p = *s_.Get<standin::Polygon>(h);
      p.index = ++perLayer[p.layer];
    }
    netPads_.assign(nets + 1u, {});
  }

  void Text(const standin::Text& from) {
    CopyPrimitive(from, text_);
    text_.Height = from.height;
    text_.Style = from.style;
    text_.Rotation = from.rotation;
    text_.TextFlag = from.textFlag;
    text_.Text.Assign(from.text);
    text_.LineWidth = from.lineWidth;
    ascii28::LayOutTextRecord(text_);
  }

  void Pad(const standin::Pad& from) {
    CopyPrimitive(from, pad_);
    pad_.XSizeTop = from.top.xSize;
    pad_.YSizeTop = from.top.ySize;
    pad_.ShapeTop = from.top.shape;
    pad_.XSizeMid = from.mid.xSize;
    pad_.YSizeMid = from.mid.ySize;
    pad_.ShapeMid = from.mid.shape;
    pad_.XSizeBottom = from.bottom.xSize;
    pad_.YSizeBottom = from.bottom.ySize;
    pad_.ShapeBottom = from.bottom.shape;
    pad_.HoleSize = from.hole;
    pad_.Name.Assign(from.name);
    pad_.Rotation = from.rotation;
    pad_.PadByte2 = from.padByte2;
    ascii28::PadRecordValues values;
    values.PwrGnd = from.pwrGnd;
    values.Net = Number(from.net);
    ascii28::LayOutPadRecord(pad_, values);
  }

  void Component(standin::Component& from) {
    CopyPrimitive(from, component_);
    component_.Pattern.Assign(from.pattern);
    component_.ComponentByte1 = from.byte1;
    component_.ComponentByte2 = from.byte2;
    component_.ComponentByte3 = from.byte3;
    component_.Rotation = from.rotation;
    ascii28::LayOutComponentStart(component_);
    for (ObjectHandle h : {from.nameText, from.commentText})
      if (const standin::Text* t = s_.Get<standin::Text>(h)) Text(*t);
    // The benchmark's components hold pads only, besides their two texts.
    std::uint16_t padNumber = 0;
    for (const standin::Component::Member& member : from.members) {
      if (member.kind != Kind::Pad) continue;
      standin::Pad& pad = *s_.Get<standin::Pad>(member.handle);
      pad.index = ++padNumber;
      Pad(pad);
      const std::uint16_t net = Number(pad.net);
      if (net != 0 && net < netPads_.size()) netPads_[net].push_back({from.index, pad.index});
    }
    ascii28::LayOutComponentEnd();
  }

  void Polygon(const standin::Polygon& from) {
    CopyPrimitive(from, polygon_);
    polygon_.PolygonByte1 = from.byte1;
    polygon_.PolygonByte2 = from.byte2;
    polygon_.PolygonByte3 = from.byte3;
    polygon_.PolygonValue1 = from.value1;
    polygon_.TrackWidth = from.trackWidth;
    polygon_.PolygonValue3 = from.value3;
    polygon_.StyleCode = from.styleCode;
    const std::size_t entries = std::min<std::size_t>(from.outline.size(), kPolygonSegmentCapacity);
    polygon_.SegmentCount = static_cast<std::int32_t>(entries) - 1;
    std::copy_n(from.outline.begin(), entries, polygon_.Segments);
    polygonRefs_.Net = Number(from.net);
    std::fill_n(polygonRefs_.ArcNet, entries, polygonRefs_.Net);
    ascii28::LayOutPolygonRecord(polygon_, polygonRefs_);
  }

  void Track(const standin::Track& from) {
    CopyPrimitive(from, track_);
    track_.X2 = from.x2;
    track_.Y2 = from.y2;
    track_.Width = from.width;
    if (!ascii28::HasTrackRecord(track_)) return;
    ascii28::LayOutTrackRecord(track_, {Number(from.net), Number(from.polygon)});
  }

  void Via(const standin::Via& from) {
    CopyPrimitive(from, via_);
    via_.Size = from.size;
    via_.HoleSize = from.hole;
    via_.LowLayer = from.lowLayer;
    via_.HighLayer = from.highLayer;
    ascii28::LayOutViaRecord(via_, Number(from.net));
  }

  void Net(const standin::Net& from) {
    net_.Handle = from.handle;
    net_.Index = from.index;
    net_.Name.Assign(from.name);
    net_.NetValue = from.netValue;
    ascii28::NetDefinitionValues values;
    values.Routing.Width = kRouteWidth;
    values.Routing.ViaSize = kViaSize;
    values.Members = netPads_[from.index];
    ascii28::LayOutNetDefinition(net_, values);
  }

  Server& s_;
  Board& board_;
  // One board object per kind, reused for every record.
  TPcbText text_{0};
  TPcbPad pad_{0};
  TPcbComponent component_{0};
  TPcbPolygon polygon_{0};
  ascii28::PolygonReferences polygonRefs_;
  TPcbTrack track_{0};
  TPcbVia via_{0};
  TPcbNet net_{0};
  std::vector<std::vector<ascii28::NetMember>> netPads_;
};

}  // namespace

void FormatOnly(const char* path) {
  ascii28::Run.OutputFile.Open(path);
  FormatRun(TheServer()).Write();
  ascii28::Run.OutputFile.Close();
}

}  // namespace pcb28bench
