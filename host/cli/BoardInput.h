// Loading the bytes of a board into the stand-in server. What kind of board
// they hold is told from the content; each kind has its reader.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Makes the board in `text` the server's current board. `name` names the
// input in messages; on failure `error` says where and what. A KiCad board
// is converted to a board file first (its project file is looked for beside
// `name`); what the conversion dropped or approximated goes to `notes`. When
// `save` is given it is handed the board file that is loaded, before it is
// loaded; should it fail (with its message in `error`), nothing is loaded.
// `text` is followed by boardfile::kBoardTextPadding bytes that may be read,
// so that a board file is read where it is (boardfile::LoadBoardPadded).
// `converted`, when given, is called once a KiCad board's text is no longer
// read (it was converted), so that its memory can go before the load.
using BoardSink = std::function<bool(std::string_view document, std::string& error)>;
bool LoadBoard(std::string_view text, const std::string& name, const BoardSink& save,
               std::vector<std::string>& notes, std::string& error,
               const std::function<void()>& converted = {});

}  // namespace cli
