// Any bytes as a board file: the reader either loads a board or refuses the
// text with a message, and never crashes, leaks or hangs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "boardfile/BoardFile.h"
#include "server/StandInBoard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const bool loaded = boardfile::LoadBoardText(text, "fuzz input", error);
  auto& server = standin::TheServer();
  if (loaded) {
    // A loaded file leaves a current board behind.
    if (server.CurrentBoard() == nullptr) std::abort();
  } else {
    // A refusal says why and leaves nothing half loaded.
    if (error.empty() || server.CurrentBoard() != nullptr) std::abort();
  }
  server.Reset();
  return 0;
}
