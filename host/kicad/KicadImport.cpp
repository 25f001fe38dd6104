#include "kicad/KicadImport.h"

#include <algorithm>
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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the content starts: after a byte-order mark and blanks.
std::size_t ContentStart(std::string_view text, std::size_t i = 0) {
  if (i == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// The head symbol of the S-expression starting at `i` (a '('), or "".
std::string_view HeadAt(std::string_view text, std::size_t i) {
  const std::size_t start = ContentStart(text, i + 1);
  std::size_t end = start;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != '(' && text[end] != ')' &&
         text[end] != '"')
    ++end;
  return text.substr(start, end - start);
}

bool Printable(std::string_view text) {
  for (const char c : text)
    if (c < ' ' || c > '~') return false;
  return true;
}

}  // namespace

bool IsKicadBoard(std::string_view text) {
  const std::size_t i = ContentStart(text);
  return i < text.size() && text[i] == '(' && HeadAt(text, i) == "kicad_pcb";
}

std::string NotABoard(std::string_view text) {
  const std::size_t i = ContentStart(text);
  const std::string_view start = text.substr(i);
  const std::string giveBoard = "give a KiCad board (.kicad_pcb)";
  const std::string giveProjectBoard =
      "give its project's board (the .kicad_pcb file beside the .kicad_pro)";
  // A pointer's first line names the LFS format by its address; the host
  // alone tells it.
  if (start.starts_with("version https://git-lfs.github.com/")) {
    // "size N" on a line of its own gives the size of the file it stands for.
    std::string size;
    if (const std::size_t at = start.find("\nsize "); at != std::string_view::npos) {
      for (std::size_t k = at + 6;
           k < start.size() && k < at + 26 && start[k] >= '0' && start[k] <= '9'; ++k)
        size += start[k];
    }
    return "a git LFS pointer, not the file itself" +
           (size.empty() ? std::string() : " (which has " + size + " bytes)") +
           ": the repository was cloned without its LFS files; run 'git lfs pull' in it and give "
           "the file again";
  }
  if (start.starts_with("PCBNEW-BOARD"))
    return "a KiCad board in the legacy format (PCBNEW-BOARD), which is not read: open it in "
           "KiCad (version 4 or later) and save it, which writes a .kicad_pcb file, then give "
           "that";
  if (start.starts_with("EESchema Schematic File"))
    return "a KiCad schematic in the legacy format, not a board: " + giveProjectBoard;
  if (start.empty() || start[0] != '(') return {};
  const std::string_view head = HeadAt(text, i);
  if (head == "kicad_pcb") return {};
  if (head == "kicad_sch") return "a KiCad schematic, not a board: " + giveProjectBoard;
  if (head == "footprint" || head == "module")
    return "a KiCad footprint ('(" + std::string(head) +
           "'), a part of a library, not a board: " + giveBoard;
  if (head == "kicad_symbol_lib") return "a KiCad symbol library, not a board: " + giveBoard;
  if (head == "fp_lib_table" || head == "sym_lib_table")
    return "a KiCad library table, not a board: " + giveBoard;
  if (head.empty() || head.size() > 40 || !Printable(head))
    return "an S-expression that does not start with '(kicad_pcb', so not a KiCad board: " +
           giveBoard;
  return "an S-expression that starts with '(" + std::string(head) +
         "', not '(kicad_pcb', so not a KiCad board: " + giveBoard;
}

BoardPath FindBoard(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path given(path);
  if (given.extension() == ".kicad_pro") {
    const std::string board = fs::path(given).replace_extension(".kicad_pcb").string();
    if (fs::is_regular_file(board, ec))
      return {board, path + ": a KiCad project file; reading its board " + board};
    return {{},
            path + ": a KiCad project file, and its board " + board +
                " is not there: give the board file (.kicad_pcb)"};
  }
  if (!fs::is_directory(given, ec)) return {path, {}};

  // The boards in the folder, sorted, and its project files. A board KiCad
  // saved on its own while editing (_autosave-*) is not the project's board.
  std::vector<std::string> boards, projects;
  for (fs::directory_iterator it(given, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path name = it->path().filename();
    if (!it->is_regular_file(ec) || name.string().starts_with("_autosave-")) continue;
    if (name.extension() == ".kicad_pcb") boards.push_back(name.string());
    if (name.extension() == ".kicad_pro") projects.push_back(name.stem().string());
  }
  if (ec) return {{}, path + ": cannot read the folder: " + ec.message()};
  std::sort(boards.begin(), boards.end());
  const auto in = [&](const std::string& board) {
    return std::find(boards.begin(), boards.end(), board) != boards.end();
  };
  fs::path folder = fs::absolute(given, ec).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  const std::string named = folder.filename().string() + ".kicad_pcb";
  std::string board, why;
  if (in(named)) {
    board = named;
    why = "the board named like the folder";
  } else if (projects.size() == 1 && in(projects[0] + ".kicad_pcb")) {
    board = projects[0] + ".kicad_pcb";
    why = "the board of its project " + projects[0] + ".kicad_pro";
  } else if (boards.size() == 1) {
    board = boards[0];
    why = "its only board";
  }
  if (board.empty()) {
    if (boards.empty())
      return {{}, path + ": a folder with no KiCad board (.kicad_pcb) in it: give a board file"};
    std::string list;
    for (const std::string& b : boards) list += (list.empty() ? "" : ", ") + b;
    return {{},
            path + ": a folder with " + std::to_string(boards.size()) +
                " KiCad boards and none named like it (" + list + "): give one of them"};
  }
  const std::string full = (given / board).string();
  if (boards.size() > 1) why += ", of " + std::to_string(boards.size()) + " boards in it";
  return {full, path + ": a folder; reading " + why + ", " + full};
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
