// The exact board-file reader: a document tree checked into a staged board,
// with the place and reason of the first fault. Where the streaming reader
// is built in, it runs only on files the streaming reader refused, to tell
// why; without it, it reads every file.
#pragma once

#include <string>
#include <string_view>

namespace boardfile {

// As LoadBoardText.
bool LoadBoardExact(std::string_view text, const std::string& name, std::string& error);

}  // namespace boardfile
