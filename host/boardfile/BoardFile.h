// Reading a board file (JSON) into the stand-in server.
#pragma once

#include <string>
#include <string_view>

namespace boardfile {

// Reads the board file at `path` and makes it the server's current board.
// A bad file is refused whole: nothing is loaded, and `error` names the file,
// the place (line and column, or the path of the key) and what was expected.
bool LoadBoardFile(const std::string& path, std::string& error);

// The same for a board file already in memory; `name` is used in messages.
bool LoadBoardText(std::string_view text, const std::string& name, std::string& error);

}  // namespace boardfile
