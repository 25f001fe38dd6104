#include "FormatOnly.h"

#include <string>
#include <vector>

#include "ascii28/BufferedTextFile.h"
#include "ascii28/FileLayers.h"
#include "server/StandInBoard.h"

namespace pcb28bench {

namespace {

using ascii28::BufferedTextFile;
using ascii28::HostToFileLayer;
using namespace standin;

class Writer {
 public:
  explicit Writer(BufferedTextFile& f) : f_(f) {}

  void Coord1(Coord v) {
    f_.WriteChar(' ');
    f_.WriteCoord(v);
  }
  void Number(std::uint64_t v) {
    f_.WriteChar(' ');
    f_.WriteUnsigned(v);
  }
  void Line(std::string_view text) {
    f_.Write(text);
    f_.EndLine();
  }
  void String(const std::string& text, std::size_t capacity) {
    f_.Write(std::string_view(text).substr(0, std::min(text.size(), capacity)));
    f_.EndLine();
  }
  BufferedTextFile& f_;
};

std::uint16_t NetNumber(Server& s, ObjectHandle h) {
  const Net* net = s.Get<Net>(h);
  return net != nullptr ? net->index : 0;
}

void Text1(Server& s, Writer& w, const Text& t, char prefix) {
  BufferedTextFile& f = w.f_;
  f.WriteChar(prefix);
  f.WriteChar('S');
  f.EndLine();
  f.Write("0 0 ");
  f.WriteCoord(t.x);
  w.Coord1(t.y);
  w.Coord1(t.height);
  f.WriteChar(' ');
  f.WriteFixed(t.rotation, 4);
  w.Number(t.textFlag);
  f.WriteChar(' ');
  f.WriteInt(t.style);
  w.Number(HostToFileLayer(t.layer));
  f.Write(" 0 0 0 0");
  w.Coord1(t.lineWidth);
  w.Number(t.tag);
  f.Write(" 0 0");
  f.EndLine();
  w.String(t.text, 254);
  (void)s;
}

void Pad1(Server& s, Writer& w, const Pad& p, char prefix, std::uint16_t number) {
  BufferedTextFile& f = w.f_;
  f.WriteChar(prefix);
  f.WriteChar('P');
  f.EndLine();
  f.Write("0 0 ");
  f.WriteCoord(p.x);
  w.Coord1(p.y);
  for (const PadLevel* level : {&p.top, &p.mid, &p.bottom}) {
    w.Coord1(level->xSize);
    w.Coord1(level->ySize);
    w.Number(level->shape);
  }
  w.Coord1(p.hole);
  w.Number(p.pwrGnd);
  w.Number(HostToFileLayer(p.layer));
  w.Number(NetNumber(s, p.net));
  w.Number(0);
  f.WriteChar(' ');
  f.WriteFixed(p.rotation, 4);
  for (int i = 0; i < 5; ++i) w.Coord1(40000);
  f.WriteChar(' ');
  f.WriteInt(0);
  w.Number(p.tag);
  w.Number(p.padByte2);
  f.Write(" 1 1 1 1 1 1");
  f.EndLine();
  w.String(p.name, 20);
  (void)number;
}

}  // namespace

void FormatOnly(const char* path) {
  Server& s = TheServer();
  Board& board = *s.CurrentBoard();
  BufferedTextFile f;
  f.Open(path);
  Writer w(f);
  w.Line("PCB FILE 6 VERSION 2.80");
  w.Line("0 0 0 0 0 0 0 0 0 0");

  // Numbers as the export gives them: components per side, nets, polygons.
  std::uint16_t top = 0, bottom = 0, netNumber = 0;
  for (ObjectHandle h : board.components) {
    Component& c = *s.Get<Component>(h);
    c.index = c.layer == kBottomLayer ? ++bottom : ++top;
  }
  for (ObjectHandle h : board.freeObjects[static_cast<std::size_t>(Kind::Net)])
    s.Get<Net>(h)->index = ++netNumber;

  // Per net, its component pads in walk order: (component number, pad number).
  std::vector<std::vector<std::pair<std::uint16_t, std::uint16_t>>> netPads(
      s.Get<Net>(board.freeObjects[static_cast<std::size_t>(Kind::Net)].back())->index + 1);

  for (ObjectHandle h : board.components) {
    const Component& c = *s.Get<Component>(h);
    w.Line("COMP");
    w.String(c.pattern, 250);
    f.Write("0 0 ");
    f.WriteCoord(c.x);
    w.Coord1(c.y);
    w.Number(c.byte1);
    w.Number(c.byte2);
    f.Write(" 0 0 0 0 0");
    f.WriteChar(' ');
    f.WriteFixed(c.rotation, 6);
    w.Number(c.tag);
    w.Number(c.byte3);
    w.Number(HostToFileLayer(c.layer));
    f.EndLine();
    if (const Text* t = s.Get<Text>(c.nameText)) Text1(s, w, *t, 'C');
    if (const Text* t = s.Get<Text>(c.commentText)) Text1(s, w, *t, 'C');
    std::uint16_t padNumber = 0;
    for (ObjectHandle p : c.members[static_cast<std::size_t>(Kind::Pad)]) {
      Pad& pad = *s.Get<Pad>(p);
      pad.index = ++padNumber;
      Pad1(s, w, pad, 'C', padNumber);
      const std::uint16_t net = NetNumber(s, pad.net);
      if (net != 0 && net < netPads.size()) netPads[net].emplace_back(c.index, padNumber);
    }
    w.Line("ENDCOMP");
  }

  for (ObjectHandle h : board.freeObjects[static_cast<std::size_t>(Kind::Polygon)]) {
    const Polygon& p = *s.Get<Polygon>(h);
    const std::size_t n = p.outline.empty() ? 0 : p.outline.size() - 1;
    w.Line("PG");
    f.WriteUnsigned(HostToFileLayer(p.layer));
    f.EndLine();
    w.Number(NetNumber(s, p.net));
    f.EndLine();
    f.Write("0 1 1 0  0 0");
    f.EndLine();
    f.WriteCoord(p.value1);
    w.Coord1(p.trackWidth);
    w.Coord1(p.value3);
    w.Number(0);
    f.EndLine();
    f.EndLine();
    f.WriteUnsigned(n);
    f.EndLine();
    for (std::size_t k = 0; k <= n && !p.outline.empty(); ++k) {
      f.WriteCoord(p.outline[k].X);
      w.Coord1(p.outline[k].Y);
      f.EndLine();
    }
    for (std::size_t k = 0; k <= n && !p.outline.empty(); ++k)
      w.Number(p.outline[(k + n) % (n + 1)].SegmentKind == 1 ? 1 : 0);
    f.EndLine();
    for (std::size_t k = 0; k < n; ++k) {
      const PolygonSegment& segment = p.outline[k];
      if (segment.SegmentKind != 1) continue;
      w.Line("FA");
      f.Write("0 0 ");
      f.WriteCoord(segment.CenterX);
      w.Coord1(segment.CenterY);
      w.Coord1(segment.Radius);
      f.WriteChar(' ');
      f.WriteFixed(segment.StartAngle, 4);
      f.WriteChar(' ');
      f.WriteFixed(segment.EndAngle, 4);
      w.Coord1(p.trackWidth);
      w.Number(HostToFileLayer(p.layer));
      w.Number(NetNumber(s, p.net));
      w.Number(0);
      f.EndLine();
      f.Write(" 0 ");
      f.WriteUnsigned(p.tag);
      f.EndLine();
    }
  }

  for (ObjectHandle h : board.freeObjects[static_cast<std::size_t>(Kind::Track)]) {
    const Track& t = *s.Get<Track>(h);
    if (t.x == t.x2 && t.y == t.y2) continue;
    w.Line("FT");
    f.Write("0 0 ");
    f.WriteCoord(t.x);
    w.Coord1(t.y);
    w.Coord1(t.x2);
    w.Coord1(t.y2);
    w.Coord1(t.width);
    w.Number(HostToFileLayer(t.layer));
    w.Number(0);
    w.Number(NetNumber(s, t.net));
    w.Number(0);
    f.EndLine();
    w.Number(0);
    w.Number(0);
    w.Number(t.tag);
    w.Number(0);
    w.Number(0);
    f.EndLine();
  }

  for (ObjectHandle h : board.freeObjects[static_cast<std::size_t>(Kind::Via)]) {
    const Via& v = *s.Get<Via>(h);
    w.Line("FV");
    f.Write("0 0 ");
    f.WriteCoord(v.x);
    w.Coord1(v.y);
    w.Coord1(v.size);
    w.Coord1(v.hole);
    w.Number(0);
    w.Number(ascii28::ViaLayerPairNumber(v.lowLayer, v.highLayer));
    w.Number(NetNumber(s, v.net));
    for (int i = 0; i < 3; ++i) w.Number(0);
    w.Number(v.tag);
    w.Number(0);
    w.Number(0);
    w.Number(HostToFileLayer(v.lowLayer));
    w.Number(HostToFileLayer(v.highLayer));
    f.EndLine();
  }

  for (ObjectHandle h : board.freeObjects[static_cast<std::size_t>(Kind::Net)]) {
    const Net& net = *s.Get<Net>(h);
    w.Line("NETDEF");
    w.String(net.name, 255);
    f.Write("12 50 2 4");
    f.EndLine();
    w.Line("(");
    const auto& pads = netPads[net.index];
    for (const auto& [component, pad] : pads) {
      w.Number(component);
      w.Number(pad);
      f.EndLine();
    }
    w.Line(")");
    w.Line("{");
    for (std::size_t i = 1; i < pads.size(); ++i) {
      f.WriteUnsigned(i);
      w.Number(i + 1);
      f.Write(" 0 0 0");
      f.EndLine();
    }
    w.Line("}");
    w.Line("0 0 0");
    w.Line("0 0 0");
  }
  w.Line("ENDPCB");
  f.Close();
}

}  // namespace pcb28bench
