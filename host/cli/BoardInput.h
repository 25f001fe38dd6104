// Loading the bytes of a board into the stand-in server. What kind of board
// they hold is told from the content; each kind has its reader.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// Makes the board in `text` the server's current board. `name` names the
// input in messages; on failure `error` says where and what.
bool LoadBoard(std::string_view text, const std::string& name, std::string& error);

}  // namespace cli
