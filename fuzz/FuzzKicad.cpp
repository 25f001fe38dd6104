// Any bytes as a KiCad board: told from a near miss; the S-expression reader either reads a list or
// says where it stopped; what it reads is converted or refused with a message,
// and a converted board is offered to the board-file reader. Nothing crashes,
// leaks or hangs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "boardfile/BoardFile.h"
#include "kicad/KicadImport.h"
#include "kicad/SExpr.h"
#include "server/StandInBoard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // A text is a board, a near miss or neither, never two of them.
  if (kicad::IsKicadBoard(text) && !kicad::NotABoard(text).empty()) std::abort();
  kicad::Tree tree;
  std::string error;
  if (!kicad::ParseSExpr(text, tree, error)) {
    if (!error.starts_with("line ")) std::abort();  // a fault always says where
    return 0;
  }
  if (!tree.root().IsList()) std::abort();

  kicad::Conversion conversion;
  if (!kicad::ConvertBoard(text, "", conversion, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (conversion.document.empty()) std::abort();
  // The document may break a limit of the board file (a coordinate out of
  // range); then the reader refuses it, but it must always be well-formed JSON.
  if (!boardfile::LoadBoardText(conversion.document, "fuzz input", error) &&
      error.find("syntax error") != std::string::npos)
    std::abort();
  standin::TheServer().Reset();
  return 0;
}
