// Reading a board file (JSON) into the stand-in server.
#pragma once

#include <cstddef>
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

// Room a board text should have after its end (reserve size plus this) so
// that LoadBoardInPlace reads it where it is, without a copy.
inline constexpr std::size_t kBoardTextPadding = 64;

// The same as LoadBoardText for a text followed in memory by at least
// kBoardTextPadding bytes that may be read: read where it is, without a copy.
bool LoadBoardPadded(std::string_view text, const std::string& name, std::string& error);

// The same for a text in a string, read in place: the string is lengthened
// for the time of the reading and then given back as it was.
bool LoadBoardInPlace(std::string& text, const std::string& name, std::string& error);

}  // namespace boardfile
