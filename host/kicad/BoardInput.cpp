#include "kicad/BoardInput.h"

#include <fstream>
#include <sstream>

#include "boardfile/BoardFile.h"
#include "kicad/KicadImport.h"

namespace kicad {

bool LoadAnyBoard(const std::string& path, const std::string& savePath,
                  std::vector<std::string>& report, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  if (in) content << in.rdbuf();
  if (!in || in.bad()) return boardfile::LoadBoardFile(path, error);  // its message names the fault

  std::string document = content.str();
  if (IsKicadBoard(document)) {
    Conversion conversion;
    if (!ConvertBoardFile(path, conversion, error)) return false;
    document = std::move(conversion.document);
    report = std::move(conversion.report);
  }
  if (!savePath.empty()) {
    std::ofstream out(savePath, std::ios::binary | std::ios::trunc);
    out << document;
    out.close();
    if (!out) {
      error = savePath + ": cannot write the board file";
      return false;
    }
  }
  return boardfile::LoadBoardText(document, path, error);
}

}  // namespace kicad
