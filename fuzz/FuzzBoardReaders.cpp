// The streaming board-file reader against the exact one, on any bytes: both
// accept exactly the same files, and on a file both accept they build the
// same model, object for object and handle for handle.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "boardfile/BoardFile.h"
#include "boardfile/ExactReader.h"
#include "boardfile/FastReader.h"
#include "server/StandInBoard.h"
#include "support/ModelSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto& server = standin::TheServer();

  std::string error;
  const bool exact = boardfile::LoadBoardExact(text, "fuzz input", error);
  const modelsnapshot::Snapshot expected = modelsnapshot::Take();

  std::string padded(text);
  padded.append(boardfile::kBoardTextPadding, '\0');
  const bool fast = boardfile::LoadFast(std::string_view(padded.data(), size), padded.size());
  const modelsnapshot::Snapshot got = modelsnapshot::Take();
  server.Reset();

  if (fast && !exact) {
    std::fprintf(stderr, "the streaming reader took a file the exact reader refuses: %s\n",
                 error.c_str());
    std::abort();
  }
  // A refusal leaves the server empty. The streaming reader passes only odd
  // good files on to the exact reader: keys written with escapes, a byte
  // order mark, one layer keyed by name and by code.
  if (!fast && got.currentBoard != 0) std::abort();
  if (exact && !fast && text.find('\\') == std::string_view::npos &&
      !text.starts_with("\xEF\xBB\xBF")) {
    std::fprintf(stderr, "the streaming reader refused a plain good file\n");
    std::abort();
  }
  if (fast && !(got == expected)) {
    std::fprintf(stderr, "the two readers built different models\n");
    std::abort();
  }
  return 0;
}
