// The board-file reader. The streaming reader (where it is built in) reads a
// good file straight into the server; a file it refuses is read again by the
// exact reader, which checks the whole document into a staged board first
// and says what is wrong and where. Only a document without any fault
// reaches the server.
#include "boardfile/BoardFile.h"

#include <cstdio>
#include <memory>

#include "boardfile/BoardReader.h"
#include "boardfile/ExactReader.h"
#include "boardfile/JsonInput.h"
#if PCB28_FAST_BOARDFILE
#include "boardfile/FastReader.h"
#endif

namespace boardfile {

namespace {

// A board past a limit of the server: refused whole, saying which limit.
std::string LimitMessage(const std::string& name, const std::string& limit) {
  if (limit.empty()) return name + ": the server refused the board";
  return name + ": " + limit + " (the limits keep every export within its bounds; see " +
         "docs/host-data-bounds.md)";
}

}  // namespace

bool LoadBoardExact(std::string_view text, const std::string& name, std::string& error) {
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
  std::string limit;
  if (!CommitStagedBoard(*staged, limit)) {
    error = LimitMessage(name, limit);
    return false;
  }
  return true;
}

bool LoadBoardPadded(std::string_view text, const std::string& name, std::string& error) {
#if PCB28_FAST_BOARDFILE
  std::string limit;
  if (LoadFast(text, text.size() + kBoardTextPadding, &limit)) {
    error.clear();
    return true;
  }
  // A board past a limit is refused here, without the exact reader's
  // document tree of a board that large.
  if (!limit.empty()) {
    error = LimitMessage(name, limit);
    return false;
  }
#endif
  return LoadBoardExact(text, name, error);
}

bool LoadBoardInPlace(std::string& text, const std::string& name, std::string& error) {
  const std::size_t size = text.size();
  text.append(kBoardTextPadding, '\0');  // no new buffer when the caller reserved the room
  const bool loaded = LoadBoardPadded(std::string_view(text.data(), size), name, error);
  text.resize(size);
  return loaded;
}

bool LoadBoardText(std::string_view text, const std::string& name, std::string& error) {
#if PCB28_FAST_BOARDFILE
  std::string copy;
  copy.reserve(text.size() + kBoardTextPadding);
  copy.assign(text);
  return LoadBoardInPlace(copy, name, error);
#else
  return LoadBoardExact(text, name, error);
#endif
}

bool LoadBoardFile(const std::string& path, std::string& error) {
  // Read once, into a buffer with room for the reader.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (file == nullptr) {
    standin::TheServer().Reset();
    error = path + ": cannot open the board file";
    return false;
  }
  std::string text;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long size = std::ftell(file.get());
    if (size > 0) text.reserve(static_cast<std::size_t>(size) + kBoardTextPadding);
    std::rewind(file.get());
  }
  char chunk[1 << 16];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, n);
  if (std::ferror(file.get())) {
    standin::TheServer().Reset();
    error = path + ": cannot read the board file";
    return false;
  }
  return LoadBoardInPlace(text, path, error);
}

}  // namespace boardfile
