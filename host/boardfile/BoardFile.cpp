// Loading a board file: the reader builds the board in the server as it
// walks the text; a refused file leaves the server without a board, and the
// message says where and why (a fault of the JSON syntax first, by its line
// and column).
#include "boardfile/BoardFile.h"

#include <cstdio>
#include <memory>

#include "boardfile/BoardReader.h"
#include "boardfile/JsonInput.h"

namespace boardfile {

namespace {

// A board past a limit of the server: refused whole, saying which limit.
std::string LimitMessage(const std::string& name, const std::string& limit) {
  if (limit.empty()) return name + ": the server refused the board";
  return name + ": " + limit + " (the limits keep every export within its bounds; see " +
         "docs/host-data-bounds.md)";
}

}  // namespace

bool LoadBoardPadded(std::string_view text, const std::string& name, std::string& error) {
  static_assert(kBoardTextPadding >= simdjson::SIMDJSON_PADDING);
  standin::Server& server = standin::TheServer();
  server.Reset();
  error.clear();
  // A byte-order mark is not part of the document.
  std::string_view body = text;
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  // The parser outlives the reading: the place of a fault may name a key
  // it unescaped.
  od::parser parser;
  Reader reader(server);
  std::string place, what, limit;
  try {
    if (server.CreateBoard() == 0) Fail("the server could not make a board");
    od::document doc = parser.iterate(body.data(), body.size(), body.size() + kBoardTextPadding);
    reader.Document(doc);
    return true;
  } catch (const Fault& fault) {
    place = fault.place.empty() ? reader.Place(fault.key) : fault.place;
    what = fault.what;
    limit = server.LimitReached();
  } catch (const simdjson::simdjson_error& e) {
    place = reader.Place();
    what = std::string("the JSON text cannot be read: ") + e.what();
  } catch (...) {
    server.Reset();  // out of memory: nothing half-loaded either
    throw;
  }
  // No board at all rather than part of one: a caller that misses the error
  // must not go on with it.
  server.Reset();
  std::string syntaxPlace, syntax;
  if (!limit.empty()) {
    error = LimitMessage(name, limit);
  } else if (!CheckJsonSyntax(text, syntaxPlace, syntax)) {
    // A fault of the JSON itself is told first, wherever it is.
    error = name + ": " + syntaxPlace + ": " + syntax;
  } else {
    error = name + ": " + place + ": " + what;
  }
  return false;
}

bool LoadBoardInPlace(std::string& text, const std::string& name, std::string& error) {
  const std::size_t size = text.size();
  text.append(kBoardTextPadding, '\0');  // no new buffer when the caller reserved the room
  const bool loaded = LoadBoardPadded(std::string_view(text.data(), size), name, error);
  text.resize(size);
  return loaded;
}

bool LoadBoardText(std::string_view text, const std::string& name, std::string& error) {
  std::string copy;
  copy.reserve(text.size() + kBoardTextPadding);
  copy.assign(text);
  return LoadBoardInPlace(copy, name, error);
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
