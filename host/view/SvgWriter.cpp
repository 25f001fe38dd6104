#include "view/SvgWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string_view>
#include <utility>

#include "ascii28/FileLayers.h"

namespace view {

namespace {

constexpr int kLayers = 43;          // file layers 0 to 42
constexpr FileLayer kViaLayer = 34;  // MultiLayer: vias are drawn with the pads through the board
constexpr double kUnitsPerMm = 1e6 / 25.4;

// Colours on a dark background: top copper red, bottom copper blue, overlays
// yellow, keep-out magenta, mechanical layers cyan, pads through the board
// silver.
constexpr std::array<std::string_view, kLayers> kColours = {
    "#808080",                                                         // 0 no layer
    "#e03030",                                                         // 1 top
    "#d09000", "#30b030", "#30a0a0", "#a040c0", "#909000", "#c06060",  // 2-7 mid
    "#608030", "#4060a0", "#c06000", "#80c000", "#a08060", "#c00070",  // 8-13
    "#70a0ff", "#ff9070",                                              // 14-15
    "#3060ff",                                                         // 16 bottom
    "#ffff40", "#d0b030",                                              // 17-18 overlays
    "#909090", "#806868",                                              // 19-20 pastes
    "#a040a0", "#7a3a8a",                                              // 21-22 solders
    "#20a020", "#50c050", "#108010", "#40e040",                        // 23-26 planes
    "#a05000",                                                         // 27 drill guide
    "#ff40ff",                                                         // 28 keep-out
    "#00e0e0", "#a0ffff", "#00a0a0", "#60c0c0",                        // 29-32 mechanical
    "#ff8040",                                                         // 33 drill drawing
    "#c8c8c8",                                                         // 34 multi-layer
    "#808080", "#808080", "#ff2020", "#ffffff", "#606060", "#a0a0a0",  // 35-40
    "#b0b0b0", "#b0b0b0"};                                             // 41-42

// Back to front: what lies under the board first, the top side, then the
// outlines over everything.
constexpr std::array<FileLayer, kLayers> kDrawOrder = {
    0,  35, 36, 37, 38, 39, 40, 41, 42, 33, 27, 18, 20, 22, 16, 26, 25, 24, 23, 15, 14, 13,
    12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  21, 19, 1,  34, 17, 28, 29, 30, 31, 32};

std::string_view LayerName(FileLayer layer) {
  return kHostLayerNames[ascii28::FileToHostLayer(layer)];
}

// The records of one kind in drawing order: by layer, in file order within
// a layer.
struct ByLayer {
  std::vector<std::uint32_t> order;
  std::array<std::uint32_t, kLayers + 1> start{};

  template <class T, class LayerOf>
  ByLayer(const std::vector<T>& records, LayerOf layerOf) : order(records.size()) {
    for (const T& r : records) ++start[layerOf(r) + 1];
    for (int l = 0; l < kLayers; ++l) start[l + 1] += start[l];
    std::array<std::uint32_t, kLayers + 1> next = start;
    for (std::uint32_t i = 0; i < records.size(); ++i) order[next[layerOf(records[i])]++] = i;
  }
  std::uint32_t Count(FileLayer layer) const { return start[layer + 1] - start[layer]; }
};

// The box of everything drawn, in file units.
struct Box {
  std::int64_t minX = std::numeric_limits<std::int64_t>::max(), minY = minX;
  std::int64_t maxX = std::numeric_limits<std::int64_t>::min(), maxY = maxX;
  void Add(std::int64_t x, std::int64_t y, std::int64_t r = 0) {
    minX = std::min(minX, x - r);
    maxX = std::max(maxX, x + r);
    minY = std::min(minY, y - r);
    maxY = std::max(maxY, y + r);
  }
  bool Empty() const { return minX > maxX; }
};

// The box of the shapes: the board's size.
Box BoxOf(const PcbDrawing& d) {
  Box b;
  for (const Track& t : d.tracks) {
    b.Add(t.from.x, t.from.y, t.width / 2);
    b.Add(t.to.x, t.to.y, t.width / 2);
  }
  for (const Arc& a : d.arcs) b.Add(a.centre.x, a.centre.y, std::int64_t{a.radius} + a.width / 2);
  for (const Via& v : d.vias) b.Add(v.centre.x, v.centre.y, v.size / 2);
  for (const Fill& f : d.fills) {
    b.Add(f.corner1.x, f.corner1.y);
    b.Add(f.corner2.x, f.corner2.y);
  }
  for (const Pad& p : d.pads)
    b.Add(p.centre.x, p.centre.y, std::max(std::max(p.top.xSize, p.top.ySize), p.hole) / 2);
  for (const Polygon& p : d.polygons)
    for (std::size_t k = p.first; k < p.first + p.count; ++k)
      b.Add(d.vertices[k].x, d.vertices[k].y, p.trackWidth / 2);
  return b;
}

// The box of the shapes and the texts: the picture's.
Box WithTexts(Box b, const PcbDrawing& d) {
  // A text's box, its letters taken as 0.85 of its height wide (mirrored
  // texts run the other way).
  for (const Text& t : d.texts) {
    const double along = t.rotation * std::numbers::pi / 180;
    const double length = 0.85 * t.height * static_cast<double>(t.text.size()) * (t.flag ? -1 : 1);
    const double ax = length * std::cos(along), ay = length * std::sin(along);
    const double ux = -t.height * std::sin(along), uy = t.height * std::cos(along);
    for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {ax, ay}, {ux, uy}, {ax + ux, ay + uy}})
      b.Add(t.at.x + std::llround(dx), t.at.y + std::llround(dy));
  }
  return b;
}

// Numbers and text of the document, handed to the sink in pieces of about
// half a megabyte.
class Out {
 public:
  explicit Out(const SvgSink& sink) : sink_(sink) { s_.reserve(kPiece + 65536); }
  ~Out() { sink_(s_); }
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;
  // Called between elements.
  void Spill() {
    if (s_.size() < kPiece) return;
    sink_(s_);
    s_.clear();
  }
  Out& operator<<(std::string_view text) {
    s_.append(text);
    return *this;
  }
  Out& operator<<(char c) {
    s_.push_back(c);
    return *this;
  }
  Out& operator<<(std::int64_t v) {
    char buffer[24];
    s_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
    return *this;
  }
  Out& operator<<(int v) { return *this << std::int64_t{v}; }
  std::string& Buffer() { return s_; }
  // An angle in degrees, turned into -360 to 360 first.
  Out& operator<<(double degrees) {
    char buffer[48];
    s_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, std::fmod(degrees, 360.0),
                                    std::chars_format::fixed, 3)
                          .ptr);
    return *this;
  }

 private:
  static constexpr std::size_t kPiece = std::size_t{1} << 19;
  const SvgSink& sink_;
  std::string s_;
};

// Board coordinates to picture coordinates: x from the left edge, y down
// from the top edge, in hundredths of a file unit (0.01 mil). Browsers
// draw no font larger than about 10,000 units, which in file units would be
// 0.01 inch.
class Sheet {
 public:
  static constexpr double kFileUnits = 100;  // per picture unit
  Sheet(const Box& box, std::int64_t margin) : left_(box.minX - margin), top_(box.maxY + margin) {}
  std::int64_t X(double x) const { return S(x - static_cast<double>(left_)); }
  std::int64_t Y(double y) const { return S(static_cast<double>(top_) - y); }
  // A length.
  static std::int64_t S(double length) {
    return static_cast<std::int64_t>(std::llround(length / kFileUnits));
  }

 private:
  std::int64_t left_, top_;
};

// A rotation counterclockwise on the board is clockwise in the picture.
void Rotation(Out& o, double degrees, std::int64_t x, std::int64_t y) {
  if (degrees != 0) o << " transform=\"rotate(" << -degrees << ' ' << x << ' ' << y << ")\"";
}

// A circle as a closed subpath, so that a hole can be cut out of a shape in
// the same path.
void CirclePath(Out& o, std::int64_t x, std::int64_t y, std::int64_t r) {
  o << 'M' << (x - r) << ' ' << y << "a" << r << ' ' << r << " 0 1 0 " << 2 * r << " 0a" << r << ' '
    << r << " 0 1 0 " << -2 * r << " 0Z";
}

void PadOutline(Out& o, std::int64_t x, std::int64_t y, const PadLevel& level) {
  const std::int64_t w = Sheet::S(level.xSize), h = Sheet::S(level.ySize);
  if (level.shape == 1) {  // round: a circle, or a slot with round ends
    if (w >= h) {
      const std::int64_t r = h / 2;
      o << 'M' << (x - w / 2 + r) << ' ' << (y - r) << 'h' << (w - 2 * r) << 'a' << r << ' ' << r
        << " 0 0 1 0 " << 2 * r << 'h' << (2 * r - w) << 'a' << r << ' ' << r << " 0 0 1 0 "
        << -2 * r << 'Z';
    } else {
      const std::int64_t r = w / 2;
      o << 'M' << (x - r) << ' ' << (y - h / 2 + r) << 'a' << r << ' ' << r << " 0 0 1 " << 2 * r
        << " 0v" << (h - 2 * r) << 'a' << r << ' ' << r << " 0 0 1 " << -2 * r << " 0Z";
    }
  } else if (level.shape == 3) {  // octagonal: corners cut as in a regular octagon
    const auto c = static_cast<std::int64_t>(
        std::llround(static_cast<double>(std::min(w, h)) / (2 + std::numbers::sqrt2)));
    const std::int64_t l = x - w / 2, r = l + w, t = y - h / 2, b = t + h;
    o << 'M' << (l + c) << ' ' << t << 'L' << (r - c) << ' ' << t << ' ' << r << ' ' << (t + c)
      << ' ' << r << ' ' << (b - c) << ' ' << (r - c) << ' ' << b << ' ' << (l + c) << ' ' << b
      << ' ' << l << ' ' << (b - c) << ' ' << l << ' ' << (t + c) << 'Z';
  } else {  // rectangle
    o << 'M' << (x - w / 2) << ' ' << (y - h / 2) << 'h' << w << 'v' << h << 'h' << -w << 'Z';
  }
}

// The pad stack level seen on the pad's layer.
const PadLevel& LevelOn(const Pad& p) {
  if (p.layer == 16) return p.bottom;
  if (p.layer >= 2 && p.layer <= 15) return p.mid;
  return p.top;
}

class Painter {
 public:
  Painter(const PcbDrawing& d, const Sheet& s, Out& o) : d_(d), s_(s), o_(o) {}

  void Track(const view::Track& t) {
    o_ << "<line class=\"track\" x1=\"" << s_.X(t.from.x) << "\" y1=\"" << s_.Y(t.from.y)
       << "\" x2=\"" << s_.X(t.to.x) << "\" y2=\"" << s_.Y(t.to.y) << "\" stroke-width=\""
       << Sheet::S(t.width) << "\"/>\n";
  }

  void Arc(const view::Arc& a) {
    double sweep = std::fmod(a.endAngle - a.startAngle, 360.0);
    if (sweep <= 0) sweep += 360;
    if (sweep >= 360 - 1e-9) {
      o_ << "<circle class=\"arc\" cx=\"" << s_.X(a.centre.x) << "\" cy=\"" << s_.Y(a.centre.y)
         << "\" r=\"" << Sheet::S(a.radius) << "\" stroke-width=\"" << Sheet::S(a.width)
         << "\"/>\n";
      return;
    }
    const double k = std::numbers::pi / 180;
    const double r = a.radius;
    const double x0 = a.centre.x + r * std::cos(a.startAngle * k);
    const double y0 = a.centre.y + r * std::sin(a.startAngle * k);
    const double x1 = a.centre.x + r * std::cos(a.endAngle * k);
    const double y1 = a.centre.y + r * std::sin(a.endAngle * k);
    // Counterclockwise on the board is the negative sweep in the picture.
    o_ << "<path class=\"arc\" d=\"M" << s_.X(x0) << ' ' << s_.Y(y0) << 'A' << Sheet::S(r) << ' '
       << Sheet::S(r) << " 0 " << (sweep > 180 ? 1 : 0) << " 0 " << s_.X(x1) << ' ' << s_.Y(y1)
       << "\" stroke-width=\"" << Sheet::S(a.width) << "\"/>\n";
  }

  void Via(const view::Via& v) {
    const std::int64_t x = s_.X(v.centre.x), y = s_.Y(v.centre.y);
    o_ << "<path class=\"via\" d=\"";
    CirclePath(o_, x, y, Sheet::S(v.size / 2.0));
    if (v.hole > 0) CirclePath(o_, x, y, Sheet::S(v.hole / 2.0));
    o_ << "\"/>\n";
  }

  void Fill(const view::Fill& f) {
    const std::int64_t x1 = s_.X(f.corner1.x), x2 = s_.X(f.corner2.x);
    const std::int64_t y1 = s_.Y(f.corner1.y), y2 = s_.Y(f.corner2.y);
    o_ << "<rect class=\"fill\" x=\"" << std::min(x1, x2) << "\" y=\"" << std::min(y1, y2)
       << "\" width=\"" << (std::max(x1, x2) - std::min(x1, x2)) << "\" height=\""
       << (std::max(y1, y2) - std::min(y1, y2)) << '"';
    Rotation(o_, f.rotation, (x1 + x2) / 2, (y1 + y2) / 2);
    o_ << "/>\n";
  }

  void Pad(const view::Pad& p) {
    const std::int64_t x = s_.X(p.centre.x), y = s_.Y(p.centre.y);
    o_ << "<path class=\"pad\" d=\"";
    PadOutline(o_, x, y, LevelOn(p));
    if (p.hole > 0) CirclePath(o_, x, y, Sheet::S(p.hole / 2.0));
    o_ << '"';
    Rotation(o_, p.rotation, x, y);
    o_ << "/>\n";
  }

  void Text(const view::Text& t) {
    const std::int64_t x = s_.X(t.at.x), y = s_.Y(t.at.y);
    // The height is that of the capitals; a sans-serif font's capitals are
    // about 0.72 of its size.
    o_ << "<text class=\"text\" x=\"" << x << "\" y=\"" << y << "\" font-size=\""
       << Sheet::S(t.height / 0.72) << '"';
    if (t.flag != 0) {  // mirrored about the anchor's vertical
      o_ << " transform=\"";
      if (t.rotation != 0) o_ << "rotate(" << -t.rotation << ' ' << x << ' ' << y << ") ";
      o_ << "matrix(-1 0 0 1 " << 2 * x << " 0)\"";
    } else {
      Rotation(o_, t.rotation, x, y);
    }
    o_ << '>';
    AppendLatin1AsXml(t.text, o_.Buffer());
    o_ << "</text>\n";
  }

  void Polygon(const view::Polygon& p) {
    o_ << "<polygon class=\"polygon\" points=\"";
    for (std::size_t k = 0; k < p.count; ++k) {
      const Point& v = d_.vertices[p.first + k];
      if (k > 0) o_ << ' ';
      o_ << s_.X(v.x) << ',' << s_.Y(v.y);
    }
    o_ << "\" stroke-width=\"" << Sheet::S(p.trackWidth) << "\"/>\n";
  }

 private:
  const PcbDrawing& d_;
  const Sheet& s_;
  Out& o_;
};

constexpr std::string_view kStyle =
    "<style>\n"
    ".layer .track,.layer .arc{fill:none;stroke-linecap:round;stroke-linejoin:round}\n"
    ".layer .via,.layer .pad{stroke:none;fill-rule:evenodd}\n"
    ".layer .fill,.layer .text{stroke:none}\n"
    ".text{font-family:'DejaVu Sans',Arial,sans-serif;white-space:pre}\n"
    ".layer .polygon{fill-opacity:0.2;stroke-linejoin:round}\n"
    ".legend{font-family:'DejaVu Sans',Arial,sans-serif;fill:#e0e0e0}\n"
    "</style>\n";

}  // namespace

void AppendLatin1AsXml(std::string_view text, std::string& out) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c < 0x20 && c != '\t') {
      out += "\xEF\xBF\xBD";
    } else if (c >= 0x80) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += ch;
    }
  }
}

void WriteSvg(const PcbDrawing& d, const SvgSink& sink) {
  const Box board = BoxOf(d);
  Box box = WithTexts(board, d);
  if (box.Empty()) box.Add(0, 0, 50000);
  const std::int64_t width = box.maxX - box.minX, height = box.maxY - box.minY;
  const std::int64_t boardWidth = board.Empty() ? 0 : board.maxX - board.minX;
  const std::int64_t boardHeight = board.Empty() ? 0 : board.maxY - board.minY;
  const std::int64_t margin = std::max<std::int64_t>(std::max(width, height) / 30, 1000);
  const Sheet sheet(box, margin);

  const ByLayer tracks(d.tracks, [](const view::Track& t) { return t.layer; });
  const ByLayer arcs(d.arcs, [](const view::Arc& a) { return a.layer; });
  const ByLayer vias(d.vias, [](const view::Via&) { return kViaLayer; });
  const ByLayer fills(d.fills, [](const view::Fill& f) { return f.layer; });
  const ByLayer pads(d.pads, [](const view::Pad& p) { return p.layer; });
  const ByLayer texts(d.texts, [](const view::Text& t) { return t.layer; });
  const ByLayer polygons(d.polygons, [](const view::Polygon& p) { return p.layer; });
  std::array<std::uint32_t, kLayers> counts{};
  int present = 0;
  for (FileLayer l = 0; l < kLayers; ++l) {
    counts[l] = tracks.Count(l) + arcs.Count(l) + vias.Count(l) + fills.Count(l) + pads.Count(l) +
                texts.Count(l) + polygons.Count(l);
    if (counts[l] > 0) ++present;
  }

  // The legend under the board: the board's size, then four layers a row.
  const std::int64_t pictureWidth = Sheet::S(static_cast<double>(width + 2 * margin));
  const std::int64_t font = std::max<std::int64_t>(pictureWidth / 60, 10);
  const std::int64_t row = font * 8 / 5;
  const int columns = 4;
  const std::int64_t legendHeight = row * (2 + (present + columns - 1) / columns);
  const std::int64_t boardBottom = Sheet::S(static_cast<double>(height + 2 * margin));
  const std::int64_t left = Sheet::S(static_cast<double>(margin));
  const std::int64_t pictureHeight = boardBottom + legendHeight;

  Out o(sink);
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 "
    << pictureWidth << ' ' << pictureHeight << "\">\n"
    << kStyle << "<rect class=\"background\" x=\"0\" y=\"0\" width=\"" << pictureWidth
    << "\" height=\"" << pictureHeight << "\" fill=\"#101018\"/>\n";

  Painter paint(d, sheet, o);
  auto each = [&o](const ByLayer& by, FileLayer l, auto draw) {
    for (std::uint32_t i = by.start[l]; i < by.start[l + 1]; ++i) {
      draw(by.order[i]);
      o.Spill();
    }
  };
  for (const FileLayer l : kDrawOrder) {
    if (counts[l] == 0) continue;
    o << "<g id=\"layer-" << int{l} << "\" class=\"layer\" data-name=\"" << LayerName(l)
      << "\" fill=\"" << kColours[l] << "\" stroke=\"" << kColours[l] << "\">\n";
    each(polygons, l, [&](std::uint32_t i) { paint.Polygon(d.polygons[i]); });
    each(fills, l, [&](std::uint32_t i) { paint.Fill(d.fills[i]); });
    each(tracks, l, [&](std::uint32_t i) { paint.Track(d.tracks[i]); });
    each(arcs, l, [&](std::uint32_t i) { paint.Arc(d.arcs[i]); });
    each(pads, l, [&](std::uint32_t i) { paint.Pad(d.pads[i]); });
    each(vias, l, [&](std::uint32_t i) { paint.Via(d.vias[i]); });
    each(texts, l, [&](std::uint32_t i) { paint.Text(d.texts[i]); });
    o << "</g>\n";
  }

  o << "<g id=\"legend\" class=\"legend\" font-size=\"" << font << "\">\n";
  char size[160];
  std::snprintf(size, sizeof size, "Board %.2f \xC3\x97 %.2f mm (%.3f \xC3\x97 %.3f in)",
                static_cast<double>(boardWidth) / kUnitsPerMm,
                static_cast<double>(boardHeight) / kUnitsPerMm,
                static_cast<double>(boardWidth) / 1e6, static_cast<double>(boardHeight) / 1e6);
  o << "<text x=\"" << left << "\" y=\"" << (boardBottom + row) << "\">" << std::string_view(size)
    << ", " << static_cast<std::int64_t>(d.components) << " components, "
    << static_cast<std::int64_t>(d.nets) << " nets</text>\n";
  int item = 0;
  for (FileLayer l = 0; l < kLayers; ++l) {
    if (counts[l] == 0) continue;
    const std::int64_t x = left + (pictureWidth - 2 * left) / columns * (item % columns);
    const std::int64_t y = boardBottom + row * (2 + item / columns);
    o << "<rect x=\"" << x << "\" y=\"" << (y - font) << "\" width=\"" << font << "\" height=\""
      << font << "\" fill=\"" << kColours[l] << "\"/><text x=\"" << (x + font * 3 / 2) << "\" y=\""
      << y << "\">" << LayerName(l) << " (" << std::int64_t{counts[l]} << ")</text>\n";
    ++item;
  }
  o << "</g>\n</svg>\n";
}

}  // namespace view
