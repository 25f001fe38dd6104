// Reading a board file (JSON) into the stand-in server.
#pragma once

#include <string>
#include <string_view>

namespace boardfile {

// Reads the board file at `path` and makes it the server's current board,
// replacing the server's whole state (it is reset). A bad file is refused
// whole: the server is left reset, without any board, and `error` names the
// file, the place (line and column, or the path of the key) and what was
// expected.
bool LoadBoardFile(const std::string& path, std::string& error);

// The same for a board file already in memory; `name` is used in messages.
bool LoadBoardText(std::string_view text, const std::string& name, std::string& error);

}  // namespace boardfile
