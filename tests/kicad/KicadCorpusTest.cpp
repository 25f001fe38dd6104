// Every demo board of KiCad 6 and KiCad 9 (Debian's kicad-demos of both,
// unpacked by scripts/setup.sh) through pcb28-export: each converts and
// exports, converting twice gives the same bytes, and the output agrees with
// a scan of the KiCad file of its own (a plain walk over the text, not the
// import's reader) that follows the documented mapping: the counts line, the
// copper track records, and the components' designators in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/Platform.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// The ten numbers of the counts line, in its order.
enum Count { kFromTos, kTracks, kNetPads, kNets, kArcs, kVias, kComponents, kFills, kPads, kTexts };
using Counts = std::array<long, 10>;

struct Pt {
  double x = 0, y = 0;  // mm, as written
};

// What the scan expects of one board.
struct Expected {
  Counts counts{};
  long copperTracks = 0;
  // Straight edges shorter than a host unit in both directions but not of
  // length 0: whether they round to one point depends on the origin, so each
  // may or may not have a record.
  long unsure = 0, unsureCopper = 0;
  std::vector<std::string> designators;
};

// One open list of the scan.
struct Frame {
  std::string head;
  std::vector<std::string> atoms;  // raw, quotes and escapes as written
  std::vector<std::string> layers;
  std::vector<Pt> points;              // its (xy) points
  std::map<std::string, Pt> named;     // (start), (end), (mid), (center)
  std::vector<std::array<Pt, 2>> pts;  // a point list: each entry's first and last point
  std::vector<bool> arcs;              // which entries of the point list are arcs
  std::vector<std::vector<Pt>> filled;
  std::vector<std::string> filledLayers;
  long net = 0;
  bool filled_ = false, keepout = false, hidden = false;
};

bool Quoted(const std::string& atom) { return atom.size() >= 2 && atom.front() == '"'; }
std::string Unquote(const std::string& atom) {
  return Quoted(atom) ? atom.substr(1, atom.size() - 2) : atom;
}

// A text's own atom: its first quoted string from `from` on, else its first
// word that is not a flag.
std::string TextAtom(const std::vector<std::string>& atoms, std::size_t from) {
  for (std::size_t i = from; i < atoms.size(); ++i)
    if (Quoted(atoms[i])) return atoms[i];
  for (std::size_t i = from; i < atoms.size(); ++i)
    if (atoms[i] != "locked" && atoms[i] != "unlocked" && atoms[i] != "hide") return atoms[i];
  return {};
}

long Newlines(const std::string& raw) {
  long n = 0;
  for (std::size_t p = 0; (p = raw.find("\\n", p)) != std::string::npos; p += 2) ++n;
  return n;
}

class Scan {
 public:
  Expected Run(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
      const char ch = text[i];
      if (ch == '(') {
        stack_.emplace_back();
        ++i;
      } else if (ch == ')') {
        Frame f = std::move(stack_.back());
        stack_.pop_back();
        ++i;
        if (stack_.empty()) break;
        Close(f, stack_.back());
      } else if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
        ++i;
      } else {
        const std::size_t start = i;
        if (ch == '"') {
          for (++i; i < text.size() && text[i] != '"'; ++i)
            if (text[i] == '\\') ++i;
          ++i;
        } else {
          while (i < text.size() &&
                 std::string_view(" \t\r\n()\"").find(text[i]) == std::string_view::npos)
            ++i;
        }
        Frame& f = stack_.back();
        std::string atom = text.substr(start, i - start);
        // A keyword right after a ')' opens a list whose '(' is missing
        // (teardrop settings of some boards): KiCad reads it so.
        if (atom == "filter_ratio" && text[start - 1] == ')') {
          stack_.emplace_back();
          stack_.back().head = atom;
        } else if (f.head.empty()) {
          f.head = std::move(atom);
        } else {
          f.atoms.push_back(std::move(atom));
        }
      }
    }
    return e_;
  }

 private:
  bool Inside(const char* head) const {
    return std::any_of(stack_.begin(), stack_.end(),
                       [&](const Frame& f) { return f.head == head; });
  }
  bool Copper(const std::string& layer) const { return copper_.count(layer) > 0; }
  bool Kept(const std::string& layer) const {
    static const std::set<std::string> kKept = {"F.SilkS", "B.SilkS",  "F.Paste",   "B.Paste",
                                                "F.Mask",  "B.Mask",   "Edge.Cuts", "F.Fab",
                                                "B.Fab",   "Dwgs.User"};
    return Copper(layer) || kKept.count(layer) > 0;
  }
  // A layer word with its wildcards spelt out.
  std::vector<std::string> Expand(const std::string& word) const {
    if (word == "*.Cu") return copperOrder_;
    if (word == "F&B.Cu")
      return copperOrder_.empty()
                 ? copperOrder_
                 : std::vector<std::string>{copperOrder_.front(), copperOrder_.back()};
    const std::size_t dot = word.find('.');
    if (dot != std::string::npos && (word.substr(0, dot) == "*" || word.substr(0, dot) == "F&B"))
      return {"F" + word.substr(dot), "B" + word.substr(dot)};
    return {word};
  }

  // A straight edge: a track unless it has length 0.
  void Edge(Pt a, Pt b, bool copper) {
    const double d = std::hypot(a.x - b.x, a.y - b.y) * 1e6;  // nm
    if (d == 0) return;
    ++e_.counts[kTracks];
    e_.copperTracks += copper;
    if (d < 2 * 2.54) ++e_.unsure, e_.unsureCopper += copper;
  }
  // Whether the innermost pad around has copper (a custom pad's shapes are
  // drawn on its layer).
  bool PadCopper() const {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
      if (it->head == "pad") {
        if (it->atoms.size() > 1 && (it->atoms[1] == "thru_hole" || it->atoms[1] == "np_thru_hole"))
          return true;
        return std::any_of(it->layers.begin(), it->layers.end(),
                           [&](const std::string& l) { return Copper(l); });
      }
    return false;
  }

  void Close(Frame& f, Frame& parent) {
    const std::string& h = f.head;
    const bool primitive = Inside("primitives");
    const std::string layer = f.layers.empty() ? std::string() : f.layers[0];
    const bool kept = primitive || Kept(layer);
    const bool copper = primitive ? PadCopper() : Copper(layer);
    const bool hidden =
        f.hidden || std::find(f.atoms.begin(), f.atoms.end(), "hide") != f.atoms.end();
    // The layer table: (ordinal name type [user name]). Copper are the
    // entries of a copper type numbered 0 to 31 when B.Cu is 31 (KiCad 8 and
    // before), else the even ones (KiCad 9).
    if (parent.head == "layers" && stack_.size() == 2) {
      static const std::set<std::string> kCopperTypes = {"signal", "power", "mixed", "jumper"};
      if (f.atoms.size() >= 2 && kCopperTypes.count(f.atoms[1]))
        typed_.emplace_back(std::stoi(f.head), Unquote(f.atoms[0]));
      return;
    }
    if (h == "layers" && parent.head == "kicad_pcb") {
      const bool old =
          std::any_of(typed_.begin(), typed_.end(), [](const auto& t) { return t.first == 31; });
      for (const auto& [ordinal, name] : typed_)
        if (old ? ordinal <= 31 : ordinal % 2 == 0) {
          copper_.insert(name);
          copperOrder_.push_back(name);
        }
      return;
    }
    if (h == "layer" || h == "layers") {
      if (parent.head == "filled_polygon" || h == "layer") {
        if (!f.atoms.empty()) parent.layers = Expand(Unquote(f.atoms[0]));
      } else {
        for (const std::string& a : f.atoms)
          for (const std::string& l : Expand(Unquote(a))) parent.layers.push_back(l);
      }
    } else if (h == "xy" && f.atoms.size() >= 2) {
      const Pt p{std::stod(f.atoms[0]), std::stod(f.atoms[1])};
      parent.points.push_back(p);
      parent.pts.push_back({p, p});
      parent.arcs.push_back(false);
    } else if ((h == "start" || h == "end" || h == "mid" || h == "center") && f.atoms.size() >= 2) {
      parent.named[h] = {std::stod(f.atoms[0]), std::stod(f.atoms[1])};
    } else if (h == "arc" && parent.head == "pts") {
      parent.pts.push_back({f.named["start"], f.named["end"]});
      parent.arcs.push_back(true);
    } else if (h == "pts") {
      parent.pts = std::move(f.pts);
      parent.arcs = std::move(f.arcs);
      parent.points = std::move(f.points);
    } else if (h == "filled_polygon") {
      parent.filled.push_back(std::move(f.points));
      parent.filledLayers.push_back(f.layers.empty() ? std::string() : f.layers[0]);
    } else if (h == "keepout") {
      parent.keepout = true;
    } else if (h == "hide") {
      parent.hidden = f.atoms.empty() || f.atoms[0] == "yes";
    } else if (h == "effects") {
      parent.hidden = parent.hidden || hidden;
    } else if (h == "fill" && !f.atoms.empty()) {
      parent.filled_ = f.atoms[0] == "solid" || f.atoms[0] == "yes";
    } else if (h == "net" && parent.head != "kicad_pcb" && !f.atoms.empty()) {
      parent.net = Quoted(f.atoms[0]) ? 0 : std::stol(f.atoms[0]);
    } else if (h == "net" && !f.atoms.empty() && std::stol(f.atoms[0]) != 0) {
      ++e_.counts[kNets];
    } else if ((h == "footprint" || h == "module") && stack_.size() == 1) {
      ++e_.counts[kComponents];
      e_.designators.push_back(reference_);
      reference_.clear();
    } else if (h == "pad") {
      Pad(f);
    } else if (h == "via") {
      ++e_.counts[kVias];
    } else if (h == "segment" && kept) {
      Edge(f.named["start"], f.named["end"], copper);
    } else if ((h == "gr_line" || h == "fp_line") && kept) {
      Edge(f.named["start"], f.named["end"], copper);
    } else if ((h == "arc" || h == "gr_arc" || h == "fp_arc" || h == "gr_circle" ||
                h == "fp_circle") &&
               kept) {
      ++e_.counts[kArcs];
    } else if ((h == "gr_rect" || h == "fp_rect") && kept) {
      if (f.filled_ && layer != "Edge.Cuts") {
        ++e_.counts[kFills];
      } else {
        const Pt s = f.named["start"], n = f.named["end"];
        const Pt corners[4] = {s, {n.x, s.y}, n, {s.x, n.y}};
        for (int i = 0; i < 4; ++i) Edge(corners[i], corners[(i + 1) % 4], copper);
      }
    } else if ((h == "gr_poly" || h == "fp_poly") && kept) {
      // Each arc entry an arc; each straight edge between entries a track.
      const auto& entries = f.pts;
      for (std::size_t i = 0; i < entries.size(); ++i) {
        e_.counts[kArcs] += f.arcs[i];
        Edge(entries[i][1], entries[(i + 1) % entries.size()][0], copper);
      }
    } else if (h == "zone" && !f.keepout) {
      std::set<std::string> layers(f.layers.begin(), f.layers.end());
      for (std::size_t k = 0; k < f.filled.size(); ++k) {
        const std::string l =
            f.filledLayers[k].empty() && !f.layers.empty() ? f.layers[0] : f.filledLayers[k];
        if (!layers.count(l) || !Kept(l)) continue;
        const std::vector<Pt>& p = f.filled[k];
        for (std::size_t i = 0; i < p.size(); ++i) Edge(p[i], p[(i + 1) % p.size()], Copper(l));
      }
    } else if ((h == "gr_text" && !Inside("dimension")) || h == "gr_text_box" ||
               h == "fp_text_box") {
      if (kept) e_.counts[kTexts] += 1 + Newlines(TextAtom(f.atoms, 0));
    } else if (h == "fp_text" && !f.atoms.empty()) {
      if (f.atoms[0] == "reference" || f.atoms[0] == "value") {
        ++e_.counts[kTexts];
        if (f.atoms[0] == "reference") reference_ = Unquote(TextAtom(f.atoms, 1));
      } else if (kept) {
        e_.counts[kTexts] += 1 + Newlines(TextAtom(f.atoms, 1));
      }
    } else if (h == "property" && !f.layers.empty() && f.atoms.size() >= 2) {
      const std::string name = Unquote(f.atoms[0]);
      if (name == "Reference" || name == "Value") {
        ++e_.counts[kTexts];
        if (name == "Reference") reference_ = Unquote(f.atoms[1]);
      } else if (!hidden && kept) {
        e_.counts[kTexts] += 1 + Newlines(f.atoms[1]);
      }
    }
  }

  // A pad: through-hole pads are on every copper layer; a surface pad with
  // no copper is on its first kept layer, without net, and without any kept
  // layer it is left out.
  void Pad(const Frame& f) {
    const std::string type = f.atoms.size() > 1 ? f.atoms[1] : "";
    bool copper = type == "thru_hole" || type == "np_thru_hole";
    bool kept = copper;
    for (const std::string& l : f.layers) {
      copper = copper || Copper(l);
      kept = kept || Kept(l);
    }
    if (!kept) return;
    ++e_.counts[kPads];
    e_.counts[kNetPads] += copper && f.net > 0;
  }

  std::vector<Frame> stack_;
  std::vector<std::pair<int, std::string>> typed_;  // layer table entries of a copper type
  std::set<std::string> copper_;
  std::vector<std::string> copperOrder_;
  std::string reference_;
  Expected e_;
};

// What the export wrote: the counts line, the copper track records (file
// layers 1 to 16) and the designator of each component.
struct Written {
  Counts counts{};
  long trackRecords = 0, copperTracks = 0;
  std::vector<std::string> designators;
};

Written ReadExport(const std::string& pcb) {
  Written w;
  std::vector<std::string> lines;
  std::istringstream in(pcb);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  std::istringstream counts(lines.at(1));
  for (long& v : w.counts) counts >> v;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] == "FT" || lines[i] == "CT") {
      std::istringstream data(lines[i + 1]);
      long field = 0;
      for (int k = 0; k < 8; ++k) data >> field;
      ++w.trackRecords;
      w.copperTracks += field >= 1 && field <= 16;
    } else if (lines[i] == "COMP" && i + 5 < lines.size()) {
      w.designators.push_back(lines[i + 5]);
    }
  }
  return w;
}

std::vector<fs::path> DemoBoards() {
  std::vector<fs::path> boards;
  for (const char* version : {"kicad-demos-6", "kicad-demos-9"}) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(fs::path(PCB28_KICAD_DEMOS) / version, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      if (it->path().extension() == ".kicad_pcb") boards.push_back(it->path());
  }
  std::sort(boards.begin(), boards.end());
  return boards;
}

TEST(KicadCorpus, EveryDemoBoardExportsTheSameTwiceWithWhatItsFileHolds) {
  const std::vector<fs::path> boards = DemoBoards();
  if (boards.empty())
    GTEST_SKIP() << "no KiCad boards under " PCB28_KICAD_DEMOS
                    " (Debian's kicad-demos 6 and 9, unpacked by scripts/setup.sh): skipped";
  const std::string folder = testsupport::TempFolder();
  for (const fs::path& board : boards) {
    SCOPED_TRACE(board.string());
    std::string outputs[2], documents[2];
    for (int run = 0; run < 2; ++run) {
      const std::string pcb = folder + "/out" + std::to_string(run) + ".pcb";
      const std::string json = folder + "/out" + std::to_string(run) + ".json";
      std::string output;
      ASSERT_EQ(testsupport::RunProgram(PCB28_EXPORT_PROGRAM,
                                        {board.string(), "-o", pcb, "--save-board", json}, &output),
                0)
          << output;
      outputs[run] = testsupport::ReadFile(pcb);
      documents[run] = testsupport::ReadFile(json);
    }
    EXPECT_EQ(documents[0], documents[1]);
    EXPECT_EQ(outputs[0], outputs[1]);

    const Expected expected = Scan().Run(testsupport::ReadFile(board.string()));
    const Written written = ReadExport(outputs[0]);
    static const char* kNames[] = {"from-tos", "tracks",     "net pads", "nets", "arcs",
                                   "vias",     "components", "fills",    "pads", "texts"};
    for (int i = 0; i < 10; ++i) {
      if (i == kTracks) continue;
      EXPECT_EQ(written.counts[i], expected.counts[i]) << kNames[i];
    }
    EXPECT_LE(written.counts[kTracks], expected.counts[kTracks]);
    EXPECT_GE(written.counts[kTracks], expected.counts[kTracks] - expected.unsure);
    EXPECT_LE(written.copperTracks, expected.copperTracks);
    EXPECT_GE(written.copperTracks, expected.copperTracks - expected.unsureCopper);
    // Every track counted has its record: none of zero length is counted.
    EXPECT_EQ(written.trackRecords, written.counts[kTracks]);
    // Designators that need no translation to Latin-1 are written as they are.
    ASSERT_EQ(written.designators.size(), expected.designators.size());
    for (std::size_t i = 0; i < expected.designators.size(); ++i) {
      const std::string& d = expected.designators[i];
      const bool plain =
          std::all_of(d.begin(), d.end(), [](char c) { return c > 0x20 && c < 0x7F && c != '\\'; });
      if (plain) {
        EXPECT_EQ(written.designators[i], d) << "component " << i + 1;
      }
    }
  }
}

}  // namespace
