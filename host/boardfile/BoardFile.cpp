// The board-file reader. The whole document is read and checked into a staged
// board first; only a document without any fault reaches the server, which is
// then reset and given the staged board in one go.
#include "boardfile/BoardFile.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "boardfile/BoardReader.h"
#include "boardfile/JsonInput.h"

namespace boardfile {

bool LoadBoardText(std::string_view text, const std::string& name, std::string& error) {
  error.clear();
  json root;
  std::string place, what;
  if (!ParseJson(text, root, place, what)) {
    standin::TheServer().Reset();
    error = name + ": " + place + ": " + what;
    return false;
  }
  auto staged = std::make_unique<StagedBoard>();
  try {
    Reader(*staged).Document(root);
  } catch (const LoadError& e) {
    // No board at all rather than the one before: a caller that misses the
    // error must not go on with a stale board.
    standin::TheServer().Reset();
    error = name + ": " + e.place + ": " + e.what;
    return false;
  }
  if (!CommitStagedBoard(*staged)) {
    error = name + ": the server refused the board";
    return false;
  }
  return true;
}

bool LoadBoardFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    standin::TheServer().Reset();
    error = path + ": cannot open the board file";
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    standin::TheServer().Reset();
    error = path + ": cannot read the board file";
    return false;
  }
  return LoadBoardText(content.str(), path, error);
}

}  // namespace boardfile