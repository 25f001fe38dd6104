// Every board of Debian's kicad-demos through pcb28-export: each converts and
// exports, converting twice gives the same bytes, and the counts line of the
// output agrees with counts taken straight from the KiCad file by a counter of
// its own (a plain scan of the text, not the import's reader), which follows
// the documented mapping: what is kept, what one KiCad object becomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
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

struct Frame {
  std::string head;
  std::vector<std::string> atoms;  // raw, quotes and escapes as written
  std::string layer;
  long xy = 0, filledXy = 0, net = 0;
  bool filled = false, keepout = false;
};

std::string Unquote(const std::string& atom) {
  return atom.size() >= 2 && atom.front() == '"' ? atom.substr(1, atom.size() - 2) : atom;
}

bool KeptLayer(const std::string& layer) {
  static const char* kKept[] = {"F.SilkS", "B.SilkS",   "F.Paste", "B.Paste", "F.Mask",
                                "B.Mask",  "Edge.Cuts", "F.Fab",   "B.Fab",   "Dwgs.User"};
  if (layer.size() > 3 && layer.compare(layer.size() - 3, 3, ".Cu") == 0) return true;
  return std::find(std::begin(kKept), std::end(kKept), layer) != std::end(kKept);
}

long Newlines(const std::string& raw) {
  long n = 0;
  for (std::size_t p = 0; (p = raw.find("\\n", p)) != std::string::npos; p += 2) ++n;
  return n;
}

Counts CountKicad(const std::string& text) {
  Counts c{};
  std::vector<Frame> stack;
  auto inside = [&](const char* head) {
    return std::any_of(stack.begin(), stack.end(), [&](const Frame& f) { return f.head == head; });
  };
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (ch == '(') {
      stack.emplace_back();
      ++i;
    } else if (ch == ')') {
      Frame f = std::move(stack.back());
      stack.pop_back();
      ++i;
      if (stack.empty()) break;
      Frame& parent = stack.back();
      const bool primitive = inside("primitives");
      const bool kept = primitive || KeptLayer(f.layer);
      const std::string& h = f.head;
      if (h == "layer" && !f.atoms.empty())
        parent.layer = Unquote(f.atoms[0]);
      else if (h == "xy")
        ++parent.xy;
      else if (h == "pts")
        parent.xy = f.xy;
      else if (h == "filled_polygon")
        parent.filledXy += f.xy;
      else if (h == "keepout")
        parent.keepout = true;
      else if (h == "fill" && !f.atoms.empty())
        parent.filled = f.atoms[0] == "solid" || f.atoms[0] == "yes";
      else if (h == "net" && parent.head != "kicad_pcb" && !f.atoms.empty())
        parent.net = std::stol(f.atoms[0]);
      else if (h == "net" && !f.atoms.empty() && std::stol(f.atoms[0]) != 0)
        ++c[kNets];
      else if ((h == "footprint" || h == "module") && stack.size() == 1)
        ++c[kComponents];
      else if (h == "pad")
        ++c[kPads], c[kNetPads] += f.net > 0;
      else if (h == "via")
        ++c[kVias];
      else if (h == "segment" && kept)
        ++c[kTracks];
      else if ((h == "gr_line" || h == "fp_line") && kept)
        ++c[kTracks];
      else if ((h == "arc" || h == "gr_arc" || h == "fp_arc" || h == "gr_circle" ||
                h == "fp_circle") &&
               kept)
        ++c[kArcs];
      else if ((h == "gr_rect" || h == "fp_rect") && kept) {
        if (f.filled && f.layer != "Edge.Cuts")
          ++c[kFills];
        else
          c[kTracks] += 4;
      } else if ((h == "gr_poly" || h == "fp_poly") && kept)
        c[kTracks] += f.xy;
      else if (h == "zone" && !f.keepout)
        c[kTracks] += f.filledXy;
      else if (h == "gr_text" && kept && !inside("dimension"))
        c[kTexts] += 1 + Newlines(f.atoms.at(0));
      else if (h == "fp_text") {
        const bool named = f.atoms.at(0) == "reference" || f.atoms.at(0) == "value";
        if (named)
          ++c[kTexts];
        else if (kept)
          c[kTexts] += 1 + Newlines(f.atoms.at(1));
      }
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
      Frame& f = stack.back();
      std::string atom = text.substr(start, i - start);
      if (f.head.empty())
        f.head = std::move(atom);
      else
        f.atoms.push_back(std::move(atom));
    }
  }
  return c;
}

Counts CountsLine(const std::string& pcb) {
  const std::size_t first = pcb.find("\r\n");
  std::istringstream line(pcb.substr(first + 2, pcb.find("\r\n", first + 2) - first - 2));
  Counts c{};
  for (long& v : c) line >> v;
  return c;
}

TEST(KicadCorpus, EveryDemoBoardExportsTheSameTwiceWithTheCountsOfItsFile) {
  std::vector<fs::path> boards;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(PCB28_KICAD_DEMOS, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->path().extension() == ".kicad_pcb") boards.push_back(it->path());
  if (boards.empty())
    GTEST_SKIP() << "no KiCad boards under " PCB28_KICAD_DEMOS
                    " (Debian package kicad-demos, "
                    "installed by scripts/setup.sh): the corpus test is skipped";
  std::sort(boards.begin(), boards.end());
  const std::string folder = testsupport::TempFolder();
  for (const fs::path& board : boards) {
    SCOPED_TRACE(board.string());
    std::string outputs[2], documents[2];
    for (int run = 0; run < 2; ++run) {
      const std::string pcb = folder + "/out" + std::to_string(run) + ".pcb";
      const std::string json = folder + "/out" + std::to_string(run) + ".json";
      testsupport::ProgramOutcome outcome;
      outcome.status = testsupport::RunProgram(
          PCB28_EXPORT_PROGRAM, {board.string(), "-o", pcb, "--save-board", json}, &outcome.output);
      ASSERT_EQ(outcome.status, 0) << outcome.output;
      outputs[run] = testsupport::ReadFile(pcb);
      documents[run] = testsupport::ReadFile(json);
    }
    EXPECT_EQ(documents[0], documents[1]);
    EXPECT_EQ(outputs[0], outputs[1]);
    const Counts expected = CountKicad(testsupport::ReadFile(board.string()));
    const Counts written = CountsLine(outputs[0]);
    static const char* kNames[] = {"from-tos", "tracks",     "net pads", "nets", "arcs",
                                   "vias",     "components", "fills",    "pads", "texts"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(written[i], expected[i]) << kNames[i];
  }
}

}  // namespace
