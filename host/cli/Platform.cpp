// What the POSIX and Windows versions of the host program's system calls
// share.
#include <cerrno>
#include <vector>

#include "boardfile/BoardFile.h"
#include "cli/Platform.h"

namespace cli {

bool BoardInput::ReadAll(std::string& text, std::string& error,
                         const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
  constexpr std::size_t kChunk = 1 << 20;
  text.clear();
  // Room for the board-file reader to read the text in place.
  text.reserve(static_cast<std::size_t>(size_) + boardfile::kBoardTextPadding);
  AdviseHugePages(text.data(), text.capacity());
  std::vector<char> chunk(kChunk);
  for (;;) {
    const long long n = ReadSome(chunk.data(), kChunk);
    if (n < 0) {
      error = name_ + ": cannot read the board file: " + SystemReason(errno);
      return false;
    }
    if (n == 0) return true;
    if (text.size() + static_cast<std::uint64_t>(n) > limit_) {
      error = name_ + ": too large for a board file (more than " + std::to_string(limit_ >> 20) +
              " MiB)";
      return false;
    }
    text.append(chunk.data(), static_cast<std::size_t>(n));
    if (progress) progress(text.size(), size_);
  }
}

}  // namespace cli
