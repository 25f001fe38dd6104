#include "view/PcbReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace view {

namespace {

constexpr std::string_view kHeader = "PCB FILE 6 VERSION 2.80";
constexpr int kLastFileLayer = 42;
// An outline of a polygon holds at most this many segments.
constexpr std::int64_t kMaxPolygonSegments = 1'000'000;

struct Failure {
  ReadError error;
};

// A line quoted for a message: at most 40 characters, other bytes than
// printable ASCII as \xNN.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  const std::size_t shown = text.size() > 40 ? 40 : text.size();
  for (std::size_t i = 0; i < shown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  out += shown < text.size() ? "...\"" : "\"";
  return out;
}

// The numbers of one data line. A layout is one letter per field:
// i whole number, c coordinate or size (32-bit), b byte (0 to 255),
// l layer (0 to 42), r real number.
struct Numbers {
  std::array<std::int64_t, 40> whole;  // not cleared: only the fields read are used
  std::array<double, 40> real;
  std::int32_t C(std::size_t i) const { return static_cast<std::int32_t>(whole[i]); }
  FileLayer L(std::size_t i) const { return static_cast<FileLayer>(whole[i]); }
  std::uint8_t B(std::size_t i) const { return static_cast<std::uint8_t>(whole[i]); }
};

class Reader {
 public:
  Reader(std::string_view text, PcbDrawing& drawing) : text_(text), d_(drawing) {}

  void Read() {
    std::string_view line;
    if (!Next(line)) Fail(0, true, "not a PCB 2.8 ASCII file: the file is empty");
    if (line != kHeader) {
      const bool otherVersion =
          line.substr(0, 9) == "PCB FILE " && line.find(" VERSION ") != std::string_view::npos;
      Fail(1, true,
           otherVersion ? "a PCB ASCII file of another version: the first line is " + Quoted(line) +
                              ", not \"" + std::string(kHeader) + "\""
                        : "not a PCB 2.8 ASCII file: the first line is " + Quoted(line) +
                              ", not \"" + std::string(kHeader) + "\"");
    }
    Numbers n;
    Data("iiiiiiiiii",
         "the counts line (ten counts: from-tos, tracks, net pads, nets, arcs, vias, "
         "components, fills, pads, texts)",
         n);
    // Room for the records the counts announce, as far as the file could
    // hold them.
    const auto room = [&](std::size_t i) {
      return static_cast<std::size_t>(
          std::clamp<std::int64_t>(n.whole[i], 0, static_cast<std::int64_t>(text_.size() / 32)));
    };
    d_.tracks.reserve(room(1));
    d_.arcs.reserve(room(4));
    d_.vias.reserve(room(5));
    d_.fills.reserve(room(7));
    d_.pads.reserve(room(8));
    d_.texts.reserve(room(9));
    for (;;) {
      if (!Next(line)) Fail(0, false, "the file ends without the line ENDPCB (cut short?)");
      if (line == "ENDPCB") break;
      if (line.size() == 2 && line[0] == 'F' && Primitive(line[1])) continue;
      if (line == "COMP") {
        Component();
      } else if (line == "PG") {
        Polygon();
      } else if (line == "NETDEF") {
        NetDefinition();
      } else if (line == "DEFAULTS") {
        SkipUntil("OPTIONS", "the DEFAULTS block");
        SkipUntil("ENDPCB", "the OPTIONS block");
        break;
      } else {
        Fail(line_, false,
             "expected a record (COMP, PG, FT, FA, FV, FF, FP, FS, NETDEF) or DEFAULTS, found " +
                 Quoted(line));
      }
    }
    while (Next(line))
      if (!line.empty()) Fail(line_, false, "text after ENDPCB: " + Quoted(line));
  }

 private:
  [[noreturn]] void Fail(std::size_t line, bool notPcb, std::string message) {
    throw Failure{ReadError{line, notPcb, std::move(message)}};
  }

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const char* begin = text_.data() + pos_;
    const void* lf = std::memchr(begin, '\n', text_.size() - pos_);
    const std::size_t end =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text_.data()) : text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++line_;
    return true;
  }

  // The next line, which a record needs.
  std::string_view Needed(const char* what) {
    std::string_view line;
    if (!Next(line))
      Fail(line_ + 1, false, std::string("the file ends where ") + what + " was expected");
    return line;
  }

  void Keyword(std::string_view expected, const char* what) {
    const std::string_view line = Needed(what);
    if (line != expected)
      Fail(line_, false, "expected " + std::string(what) + ", found " + Quoted(line));
  }

  // Reads one data line of the given layout into `n`.
  void Data(std::string_view layout, const char* what, Numbers& n) {
    Parse(Needed(what), layout, what, n);
  }

  // The fields of `line`, the line just read; the first 40 go into `n`.
  void Parse(std::string_view line, std::string_view layout, const char* what, Numbers& n) {
    const char* p = line.data();
    const char* end = p + line.size();
    std::size_t field = 0;
    for (;;) {
      while (p < end && (*p == ' ' || *p == '\t')) ++p;
      if (p == end) break;
      const char* start = p;
      while (p < end && *p != ' ' && *p != '\t') ++p;
      if (field == layout.size()) {
        Fail(line_, false,
             "expected " + std::string(what) + ": " + std::to_string(layout.size()) +
                 " fields, found more");
      }
      Field(layout[field], start, p, field, what, n);
      ++field;
    }
    if (field != layout.size())
      Fail(line_, false,
           "expected " + std::string(what) + ": " + std::to_string(layout.size()) +
               " fields, found " + std::to_string(field));
  }

  void Field(char kind, const char* begin, const char* end, std::size_t field, const char* what,
             Numbers& n) {
    const std::string_view token(begin, static_cast<std::size_t>(end - begin));
    auto bad = [&](const char* should) {
      Fail(line_, false,
           "expected " + std::string(what) + ": field " + std::to_string(field + 1) + " is " +
               Quoted(token) + ", not " + should);
    };
    if (kind == 'r') {
      double value = 0;
      const auto [at, ec] = std::from_chars(begin, end, value);
      if (ec != std::errc() || at != end || !std::isfinite(value)) bad("a number");
      if (field < n.real.size()) n.real[field] = value;
      return;
    }
    std::int64_t value = 0;
    const auto [at, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || at != end) bad("a whole number");
    if (kind == 'c' && (value < std::numeric_limits<std::int32_t>::min() ||
                        value > std::numeric_limits<std::int32_t>::max()))
      bad("a coordinate or size (a 32-bit number)");
    if (kind == 'b' && (value < 0 || value > 255)) bad("a byte (0 to 255)");
    if (kind == 'l' && (value < 0 || value > kLastFileLayer)) bad("a layer number (0 to 42)");
    if (field < n.whole.size()) n.whole[field] = value;
  }

  // The record of a primitive whose letter follows the prefix; false for
  // another letter.
  bool Primitive(char letter) {
    Numbers n;
    switch (letter) {
      case 'T': {
        Data("iicccccliii", "a track's data line (0 0 X1 Y1 X2 Y2 WIDTH LAYER 0 NET 0)", n);
        Track& t = d_.tracks.emplace_back();
        t = {{n.C(2), n.C(3)}, {n.C(4), n.C(5)}, n.C(6), n.L(7)};
        Data("iibii", "a track's second data line (POLYGON 0 TAG 0 0)", n);
        return true;
      }
      case 'A': {
        Data("iicccrrclii",
             "an arc's data line (0 0 X Y RADIUS START-ANGLE END-ANGLE WIDTH LAYER NET 0)", n);
        d_.arcs.push_back({{n.C(2), n.C(3)}, n.C(4), n.C(7), n.real[5], n.real[6], n.L(8)});
        Data("ib", "an arc's second data line (POLYGON TAG)", n);
        return true;
      }
      case 'V':
        Data("iicccciiiiiibiill",
             "a via's data line (0 0 X Y SIZE HOLE 0 PAIR NET 0 0 0 TAG 0 0 LOW HIGH)", n);
        d_.vias.push_back({{n.C(2), n.C(3)}, n.C(4), n.C(5), n.L(15), n.L(16)});
        return true;
      case 'F':
        Data("iiccccli", "a fill's data line (0 0 X1 Y1 X2 Y2 LAYER NET)", n);
        d_.fills.push_back({{n.C(2), n.C(3)}, {n.C(4), n.C(5)}, 0, n.L(6)});
        Data("ibr", "a fill's second data line (POLYGON TAG ROTATION)", n);
        d_.fills.back().rotation = n.real[2];
        return true;
      case 'P': {
        Data("iiccccbccbccbcbliircccccibbiiiiii",
             "a pad's data line of 33 fields (0 0 X Y, the top, middle and bottom sizes and "
             "shapes, HOLE PWRGND LAYER NET 0 ROTATION, six rule values, TAG BYTE, 1 1 1 1 1 1)",
             n);
        Pad& p = d_.pads.emplace_back();
        p.centre = {n.C(2), n.C(3)};
        p.top = {n.C(4), n.C(5), n.B(6)};
        p.mid = {n.C(7), n.C(8), n.B(9)};
        p.bottom = {n.C(10), n.C(11), n.B(12)};
        p.hole = n.C(13);
        p.layer = n.L(15);
        p.rotation = n.real[18];
        p.name = Needed("a pad's name line");
        return true;
      }
      case 'S': {
        Data("iicccrbiliiiicbii",
             "a text's data line (0 0 X Y HEIGHT ROTATION FLAG STYLE LAYER 0 0 0 0 WIDTH TAG 0 0)",
             n);
        Text& t = d_.texts.emplace_back();
        t = {{n.C(2), n.C(3)}, n.C(4), n.real[5], n.B(6), n.L(8), {}};
        t.text = Needed("a text's string line");
        return true;
      }
      default:
        return false;
    }
  }

  void Component() {
    const std::size_t start = line_;
    Needed("a component's pattern line");
    Numbers n;
    Data("iiccbbiiiiirbbl",
         "a component's placement line (0 0 X Y BYTE BYTE 0 0 0 0 0 ROTATION TAG BYTE LAYER)", n);
    for (;;) {
      std::string_view line;
      if (!Next(line))
        Fail(line_ + 1, false,
             "the file ends inside the component that starts on line " + std::to_string(start));
      if (line == "ENDCOMP") break;
      if (line.size() == 2 && line[0] == 'C' && Primitive(line[1])) continue;
      Fail(line_, false,
           "expected a component's record (CT, CA, CV, CF, CP, CS) or ENDCOMP, found " +
               Quoted(line));
    }
    ++d_.components;
  }

  void Polygon() {
    Numbers n;
    Data("l", "a polygon's layer line", n);
    view::Polygon& p = d_.polygons.emplace_back();
    p.layer = n.L(0);
    Data("i", "a polygon's net line", n);
    Data("bbbbib", "a polygon's settings line (BYTE FLAG FLAG BYTE 0 BYTE)", n);
    Data("ccci", "a polygon's sizes line (VALUE TRACK-WIDTH VALUE 0)", n);
    p.trackWidth = n.C(1);
    if (const std::string_view empty = Needed("a polygon's empty line"); !empty.empty())
      Fail(line_, false, "expected a polygon's empty line, found " + Quoted(empty));
    Data("i", "a polygon's segment count", n);
    const std::int64_t segments = n.whole[0];
    if (segments < 0 || segments > kMaxPolygonSegments)
      Fail(line_, false,
           "expected a polygon's segment count (0 to " + std::to_string(kMaxPolygonSegments) +
               "), found " + std::to_string(segments));
    p.first = d_.vertices.size();
    p.count = static_cast<std::size_t>(segments) + 1;
    for (std::size_t k = 0; k < p.count; ++k) {
      Data("cc", "a polygon's vertex line (X Y)", n);
      d_.vertices.push_back({n.C(0), n.C(1)});
    }
    const std::string flags(p.count, 'b');
    Data(flags, "a polygon's arc-flag line (one flag per vertex)", n);
  }

  void NetDefinition() {
    Needed("a net's name line");
    Numbers n;
    Data("ccii", "a net's routing line (WIDTH VIA-SIZE TOPOLOGY PRIORITY)", n);
    Keyword("(", "the start of a net's member list, \"(\"");
    std::string_view line;
    while ((line = Needed("a net's member line or \")\"")) != ")")
      Parse(line, "ii", "a net's member line (COMPONENT PAD) or \")\"", n);
    Keyword("{", "the start of a net's connection list, \"{\"");
    while ((line = Needed("a net's connection line or \"}\"")) != "}")
      Parse(line, "iiiii", "a net's connection line (FROM TO 0 0 0) or \"}\"", n);
    Data("iii", "a net's line of three zeros", n);
    Data("lii", "a net's plane line (LAYER VALUE CODE)", n);
    ++d_.nets;
  }

  // Settings blocks that hold nothing to draw: their lines up to `end`.
  void SkipUntil(std::string_view end, const char* what) {
    const std::size_t start = line_;
    std::string_view line;
    do {
      if (!Next(line))
        Fail(line_ + 1, false,
             std::string("the file ends inside ") + what + " that starts on line " +
                 std::to_string(start) + ", without the line " + std::string(end));
    } while (line != end);
  }

  std::string_view text_;
  PcbDrawing& d_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
};

}  // namespace

bool ReadPcb(std::string_view text, PcbDrawing& drawing, ReadError& error) {
  drawing = PcbDrawing{};
  try {
    Reader(text, drawing).Read();
    return true;
  } catch (Failure& failure) {
    error = std::move(failure.error);
    return false;
  }
}

}  // namespace view
