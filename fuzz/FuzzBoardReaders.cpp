// The board-file reader against a second JSON parser, on any bytes: a file
// the reader takes is well-formed JSON, and the same document with every
// object's keys in reverse order builds the same model, object for object
// and handle for handle. A refused file leaves no board behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "boardfile/BoardFile.h"
#include "boardfile/BoardValues.h"
#include "server/StandInBoard.h"
#include "support/ModelSnapshot.h"

namespace {

using Json = nlohmann::ordered_json;

// Reverses the keys of every object but the layer maps, whose later key
// wins when two name one layer.
Json Reversed(const Json& value) {
  if (value.is_array()) {
    Json out = Json::array();
    for (const Json& item : value) out.push_back(Reversed(item));
    return out;
  }
  if (!value.is_object()) return value;
  const bool layerMap =
      std::all_of(value.items().begin(), value.items().end(),
                  [](const auto& item) { return boardfile::LayerCodeOf(item.key()) >= 0; });
  std::vector<std::pair<std::string, Json>> fields;
  for (const auto& item : value.items()) fields.emplace_back(item.key(), Reversed(item.value()));
  if (!layerMap) std::reverse(fields.begin(), fields.end());
  Json out = Json::object();
  for (auto& [key, field] : fields) out[key] = std::move(field);
  return out;
}

[[noreturn]] void Abort(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto& server = standin::TheServer();

  std::string error;
  const bool taken = boardfile::LoadBoardText(text, "fuzz input", error);
  const modelsnapshot::Snapshot model = modelsnapshot::Take();
  server.Reset();
  if (!taken) {
    if (model.currentBoard != 0) Abort("a refused file left a board behind");
    if (error.empty()) Abort("a refused file got no message");
    return 0;
  }
  const Json document = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) Abort("the reader took a file that is not JSON");
  const std::string reversed = Reversed(document).dump();
  if (!boardfile::LoadBoardText(reversed, "reversed", error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    Abort("the reader refused the same file with its keys reversed");
  }
  if (!(modelsnapshot::Take() == model)) Abort("reversing the keys changed the model");
  server.Reset();
  return 0;
}
