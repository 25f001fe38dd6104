#include "kicad/KicadImport.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kicad/Importer.h"
#include "kicad/SExpr.h"

namespace kicad {

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

}  // namespace

bool IsKicadBoard(std::string_view text) {
  std::size_t i = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // a byte-order mark
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
    ++i;
  if (i >= text.size() || text[i] != '(') return false;
  ++i;
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
    ++i;
  const std::string_view head = "kicad_pcb";
  return text.substr(i, head.size()) == head &&
         (i + head.size() == text.size() ||
          !std::isalnum(static_cast<unsigned char>(text[i + head.size()])));
}

bool ConvertBoard(std::string_view text, std::string_view project, Conversion& out,
                  std::string& error) {
  out = Conversion{};
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Tree tree;
  if (!ParseSExpr(text, tree, error)) return false;
  const Node& root = tree.root();
  if (root.Head() != "kicad_pcb") {
    error = tree.Place(root) + ": not a KiCad board: the file starts with '(" +
            std::string(root.Head()) + "', not '(kicad_pcb'";
    return false;
  }
  try {
    detail::Importer importer(tree, project);
    out.document = importer.Run(out.report);
  } catch (const detail::ImportError& e) {
    error = (e.place.empty() ? tree.PlaceAt(e.offset) : e.place) + ": " + e.what;
    return false;
  }
  return true;
}

bool ReadProjectBeside(const std::string& path, std::string& project, std::string& error) {
  project.clear();
  const std::filesystem::path pro = std::filesystem::path(path).replace_extension(".kicad_pro");
  std::error_code ec;
  if (std::filesystem::is_regular_file(pro, ec) && !ReadWholeFile(pro.string(), project)) {
    error = pro.string() + ": cannot read the file";
    return false;
  }
  return true;
}

bool ConvertBoardFile(const std::string& path, Conversion& out, std::string& error) {
  std::string text, project;
  if (!ReadWholeFile(path, text)) {
    error = path + ": cannot read the file";
    return false;
  }
  if (!ReadProjectBeside(path, project, error)) return false;
  if (!ConvertBoard(text, project, out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace kicad
