#include "cli/BoardInput.h"

#include "boardfile/BoardFile.h"
#include "kicad/KicadImport.h"

namespace cli {

namespace {

enum class InputKind { BoardFile, KicadBoard, NotABoard };

// A KiCad board starts with (kicad_pcb. Other KiCad files and S-expressions
// are refused with what they are; anything else is read as a board file
// (JSON), so that its faults are told in the board file's terms.
InputKind KindOf(std::string_view text) {
  if (kicad::IsKicadBoard(text)) return InputKind::KicadBoard;
  return kicad::NotABoard(text).empty() ? InputKind::BoardFile : InputKind::NotABoard;
}

}  // namespace

bool LoadBoard(std::string_view text, const std::string& name, const BoardSink& save,
               std::vector<std::string>& notes, std::string& error,
               const std::function<void()>& converted) {
  switch (KindOf(text)) {
    case InputKind::BoardFile:
      if (save && !save(text, error)) return false;
      return boardfile::LoadBoardPadded(text, name, error);
    case InputKind::KicadBoard: {
      std::string project;
      kicad::Conversion conversion;
      if (!kicad::ReadProjectBeside(name, project, error)) return false;
      if (!kicad::ConvertBoard(text, project, conversion, error)) {
        error = name + ": " + error;
        return false;
      }
      notes = std::move(conversion.report);
      if (converted) converted();
      if (save && !save(conversion.document, error)) return false;
      return boardfile::LoadBoardInPlace(conversion.document, name, error);
    }
    case InputKind::NotABoard:
      error = name + ": " + kicad::NotABoard(text);
      return false;
  }
  return false;
}

}  // namespace cli
