// What is not quite a KiCad board: other KiCad files, a project file or folder
// given for its board, and a '(' never closed deep in a board.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kicad/KicadImport.h"
#include "kicad/SExpr.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RunExportProgram;
using testsupport::TempFolder;
using testsupport::WriteFile;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

const std::string kBoard =
    "(kicad_pcb (version 20211014) (generator pcbnew)\n"
    "  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (44 \"Edge.Cuts\" user))\n"
    "  (net 0 \"\")\n"
    "  (gr_rect (start 0 0) (end 50 40) (layer \"Edge.Cuts\") (width 0.1))\n"
    "  (segment (start 1 1) (end 9 1) (width 0.25) (layer \"F.Cu\") (net 0))\n"
    ")\n";

TEST(NearMiss, FilesTakenForABoardAreToldWhatTheyAreAndWhatToGive) {
  struct Case {
    std::string text, says, gives;
  };
  const Case cases[] = {
      {"(kicad_sch (version 20231120) (generator \"eeschema\"))", "KiCad schematic", ".kicad_pcb"},
      {"EESchema Schematic File Version 4\n", "schematic in the legacy format", ".kicad_pcb"},
      {"version https://git-lfs.github.com/v1\noid sha256:4d7a21\nsize 184467\n",
       "git LFS pointer, not the file itself (which has 184467 bytes)", "git lfs pull"},
      {"PCBNEW-BOARD Version 1 date 2014-03-01\n", "legacy format", "version 4 or later"},
      {"\xEF\xBB\xBF (footprint \"R_0603\" (layer \"F.Cu\"))", "footprint ('(footprint')",
       ".kicad_pcb"},
      {"(module R_0603 (layer F.Cu))", "footprint ('(module')", ".kicad_pcb"},
      {"(fp_lib_table (lib (name x)))", "library table", ".kicad_pcb"},
      {"\n(export (version D))", "starts with '(export', not '(kicad_pcb'", ".kicad_pcb"},
      {"(\x01\x02)", "does not start with '(kicad_pcb'", ".kicad_pcb"},
  };
  for (const Case& c : cases) {
    const std::string message = kicad::NotABoard(c.text);
    EXPECT_TRUE(Has(message, c.says)) << message;
    EXPECT_TRUE(Has(message, c.gives)) << message;
    EXPECT_FALSE(kicad::IsKicadBoard(c.text));
  }
  // A board, and what is read as a board file, are not near misses.
  EXPECT_EQ(kicad::NotABoard(kBoard), "");
  EXPECT_EQ(kicad::NotABoard(" {\"pcb28_board\": 1}"), "");
  EXPECT_EQ(kicad::NotABoard("version 2"), "");

  // The program says it instead of a board file's JSON fault, as a bad board.
  const std::string folder = TempFolder();
  WriteFile(folder + "/lfs.kicad_pcb", cases[2].text);
  const auto run = RunExportProgram("-q " + Quoted(folder + "/lfs.kicad_pcb"));
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Has(run.output, "lfs.kicad_pcb: a git LFS pointer")) << run.output;
  EXPECT_FALSE(Has(run.output, "JSON")) << run.output;
}

TEST(NearMiss, AProjectFileOrFolderStandsForItsBoard) {
  namespace fs = std::filesystem;
  const std::string root = TempFolder();
  const std::string project = root + "/proj";
  fs::create_directory(project);
  WriteFile(project + "/proj.kicad_pcb", kBoard);
  WriteFile(project + "/proj.kicad_pro", "{}");
  WriteFile(project + "/old.kicad_pcb", kBoard);

  // The project file: its board is read, and the output goes beside the board.
  auto run = RunExportProgram("-q " + Quoted(project + "/proj.kicad_pro"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run.output, "proj.kicad_pro: a KiCad project file; reading its board " + project +
                                  "/proj.kicad_pcb"))
      << run.output;
  EXPECT_TRUE(fs::exists(project + "/proj.pcb"));

  // The folder: the board named like it, of the two.
  run = RunExportProgram("-q " + Quoted(project + "/") + " -o " + Quoted(root + "/f.pcb"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run.output, "reading the board named like the folder, of 2 boards in it, " +
                                  project + "/proj.kicad_pcb"))
      << run.output;
  EXPECT_TRUE(fs::exists(root + "/f.pcb"));

  // Else the board of its one project file, else its only board.
  fs::rename(project + "/proj.kicad_pcb", project + "/main.kicad_pcb");
  fs::rename(project + "/proj.kicad_pro", project + "/main.kicad_pro");
  kicad::BoardPath found = kicad::FindBoard(project);
  EXPECT_EQ(fs::path(found.board), fs::path(project) / "main.kicad_pcb");
  EXPECT_TRUE(Has(found.message, "its project main.kicad_pro")) << found.message;
  fs::remove(project + "/main.kicad_pro");
  found = kicad::FindBoard(project);
  EXPECT_EQ(found.board, "");
  EXPECT_TRUE(Has(found.message,
                  "2 KiCad boards and none named like it (main.kicad_pcb, "
                  "old.kicad_pcb): give one of them"))
      << found.message;
  fs::remove(project + "/old.kicad_pcb");
  EXPECT_EQ(fs::path(kicad::FindBoard(project).board), fs::path(project) / "main.kicad_pcb");

  // Nothing to read: refused as a bad board, and the other boards still go.
  fs::remove(project + "/main.kicad_pcb");
  WriteFile(root + "/lone.kicad_pro", "{}");
  WriteFile(root + "/b.kicad_pcb", kBoard);
  run = RunExportProgram("-q " + Quoted(project) + " " + Quoted(root + "/lone.kicad_pro") + " " +
                         Quoted(root + "/b.kicad_pcb"));
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Has(run.output, project + ": a folder with no KiCad board (.kicad_pcb) in it"))
      << run.output;
  EXPECT_TRUE(Has(run.output, "lone.kicad_pro: a KiCad project file, and its board " + root +
                                  "/lone.kicad_pcb is not there"))
      << run.output;
  EXPECT_TRUE(fs::exists(root + "/b.pcb"));
  // Any other path stands for itself, and says nothing.
  found = kicad::FindBoard(root + "/b.kicad_pcb");
  EXPECT_EQ(found.board, root + "/b.kicad_pcb");
  EXPECT_EQ(found.message, "");
}

TEST(NearMiss, AnExtraOpeningDeepInABoardIsFoundByItsIndentation) {
  const auto errorOf = [](const std::string& text) {
    kicad::Tree tree;
    std::string error;
    EXPECT_FALSE(kicad::ParseSExpr(text, tree, error));
    return error;
  };
  // Laid out with tabs, lists closed on lines of their own; the extra '(' opens
  // line 6, and line 9 goes on at its indentation.
  EXPECT_EQ(errorOf("(kicad_pcb (version 20240108) (generator \"pcbnew\")\n"
                    "\t(net 0 \"\")\n"
                    "\t(footprint \"R_0603\"\n"
                    "\t\t(layer \"F.Cu\")\n"
                    "\t\t(at 10 20)\n"
                    "\t\t((property \"Reference\" \"R1\" (at 0 -1.5 0)\n"
                    "\t\t\t(effects (font (size 1 1) (thickness 0.15)))\n"
                    "\t\t)\n"
                    "\t\t(pad \"1\" smd rect (at -0.8 0) (size 0.9 0.9) (layers \"F.Cu\"))\n"
                    "\t)\n"
                    "\t(segment (start 1 1) (end 2 1) (width 0.25) (layer \"F.Cu\") (net 0))\n"
                    ")\n"),
            "line 6, column 3: this '(' is never closed, judging by the indentation of line 9");
  // Laid out with spaces, some lists closed at the end of a line; '(at' on
  // line 8 lacks its ')', so the list of line 8 takes in the next lines.
  EXPECT_EQ(errorOf("(kicad_pcb (version 20171130) (host pcbnew 5.1.5)\n"
                    "  (layers\n"
                    "    (0 F.Cu signal)\n"
                    "  )\n"
                    "  (net 1 GND)\n"
                    "  (module R_0603 (layer F.Cu) (tedit 5B301BBD)\n"
                    "    (at 10 20)\n"
                    "    (fp_text reference R1 (at 0 -1.43 (layer F.SilkS)\n"
                    "      (effects (font (size 1 1) (thickness 0.15)))\n"
                    "    )\n"
                    "    (pad 1 smd rect (at -0.8 0) (size 0.9 0.9) (layers F.Cu)\n"
                    "      (net 1 GND))\n"
                    "  )\n"
                    ")\n"),
            "line 8, column 5: this '(' is never closed, judging by the indentation of line 11");
  // A list laid out oddly but closed is no suspect; a file cut short ends
  // inside its innermost list.
  EXPECT_EQ(errorOf("(a\n  (b\n  c)\n  (d\n    (e f)\n"),
            "line 4, column 3: this '(' is never closed");
}

}  // namespace
