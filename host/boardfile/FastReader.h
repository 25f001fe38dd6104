// The streaming board-file reader: it builds the server's board straight
// from the parse, without a document tree or a staged copy. It only decides
// whether a file is good; the exact reader (ExactReader.h) says why one is
// not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace boardfile {

// Makes the board in `text` the server's current board, replacing the
// server's whole state, and returns true; or, for any file the exact reader
// refuses (and for a few odd ones it takes, such as keys written with
// escapes), leaves the server reset and returns false. `capacity` is the
// size of the buffer `text` starts, at least its size plus
// kBoardTextPadding. When the server refused an object past one of its
// limits, `limit` (when given) gets the server's sentence for it.
bool LoadFast(std::string_view text, std::size_t capacity, std::string* limit = nullptr);

}  // namespace boardfile
