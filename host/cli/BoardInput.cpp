#include "cli/BoardInput.h"

#include "boardfile/BoardFile.h"

namespace cli {

namespace {

enum class InputKind { BoardFile };

// A board file is JSON; anything not recognised is read as one, so that its
// faults are told in the board file's terms.
InputKind KindOf(std::string_view) { return InputKind::BoardFile; }

}  // namespace

bool LoadBoard(std::string_view text, const std::string& name, std::string& error) {
  switch (KindOf(text)) {
    case InputKind::BoardFile:
      return boardfile::LoadBoardText(text, name, error);
  }
  return false;
}

}  // namespace cli
