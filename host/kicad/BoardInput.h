// The input of the stand-in host: a board file (JSON) or a KiCad board,
// told apart by content, loaded into the server.
#pragma once

#include <string>
#include <vector>

namespace kicad {

// Loads the board at `path` into the server. A KiCad board (its first list is
// kicad_pcb, whatever the file is called) is converted to a board-file
// document first; any other file is read as a board file. Both go through
// boardfile::LoadBoardText, so both obey every rule of the board file. When
// `savePath` is not empty the board-file document is also written there. What
// the conversion dropped or approximated goes to `report`, one line each.
bool LoadAnyBoard(const std::string& path, const std::string& savePath,
                  std::vector<std::string>& report, std::string& error);

}  // namespace kicad
