// Reading a KiCad board file (.kicad_pcb, the formats of KiCad 5 and 6) into
// a board-file document (JSON), so that it is built and checked exactly like a
// board file (boardfile::LoadBoardText).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kicad {

struct Conversion {
  std::string document;             // the board-file document (JSON text)
  std::vector<std::string> report;  // what was dropped or approximated, with counts
};

// True when `text` is a KiCad board: its first list is (kicad_pcb ...).
bool IsKicadBoard(std::string_view text);

// When `text` is not a KiCad board but may be taken for one (a KiCad
// schematic, footprint or library, a board in KiCad's legacy format, a git
// LFS pointer saved in place of the file, any other S-expression): what it
// is and what to give instead. Empty for anything else.
std::string NotABoard(std::string_view text);

// The board a path given as a board stands for. A KiCad project file
// (X.kicad_pro) stands for the board beside it (X.kicad_pcb); a project
// folder for the board in it named like the folder, else the board of its
// only project file, else its only board. Any other path stands for itself.
struct BoardPath {
  std::string board;    // the file to read; empty when there is none
  std::string message;  // which board a project file or folder stands for, or
                        // why none; empty when the path stands for itself
};
BoardPath FindBoard(const std::string& path);

// Converts a KiCad board. `project` is the text of the project file
// (.kicad_pro, JSON) or empty; its net classes replace those of the board.
// On an error returns false and sets `error` to "<place>: <what>".
bool ConvertBoard(std::string_view text, std::string_view project, Conversion& out,
                  std::string& error);

// The project file beside the board at `path` (the same name with the
// extension .kicad_pro): its text in `project`, empty when there is none.
bool ReadProjectBeside(const std::string& path, std::string& project, std::string& error);

// Reads the board at `path` and the project file beside it (the same name
// with the extension .kicad_pro) when there is one. Messages start with the
// name of the file they are about.
bool ConvertBoardFile(const std::string& path, Conversion& out, std::string& error);

}  // namespace kicad
