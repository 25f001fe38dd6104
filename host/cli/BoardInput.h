// Loading the bytes of a board into the stand-in server. What kind of board
// they hold is told from the content; each kind has its reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Makes the board in `text` the server's current board. `name` names the
// input in messages; on failure `error` says where and what. A KiCad board
// is converted to a board file first (its project file is looked for beside
// `name`); what the conversion dropped or approximated goes to `notes`. When
// `saveBoard` is not empty the board file that was loaded is written there.
// `text` is followed by boardfile::kBoardTextPadding bytes that may be read,
// so that a board file is read where it is (boardfile::LoadBoardPadded).
bool LoadBoard(std::string_view text, const std::string& name, const std::string& saveBoard,
               std::vector<std::string>& notes, std::string& error);

}  // namespace cli
