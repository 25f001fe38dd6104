// What the POSIX and Windows versions of the host program's system calls
// share.
#include <cerrno>
#include <filesystem>
#include <vector>

#include "boardfile/BoardFile.h"
#include "cli/Platform.h"

namespace cli {

bool SameFile(const std::string& a, const std::string& b) {
  const FileIdentity ia = IdentityOfPath(a), ib = IdentityOfPath(b);
  if (ia.known && ib.known) return ia.device == ib.device && ia.inode == ib.inode;
  std::error_code ec1, ec2;
  const std::filesystem::path pa = std::filesystem::weakly_canonical(a, ec1);
  const std::filesystem::path pb = std::filesystem::weakly_canonical(b, ec2);
  return ec1 || ec2 ? a == b : pa == pb;
}

bool BoardInput::ReadAll(BoardText& board, std::string& error,
                         const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
  if (Map(board)) {
    if (progress) progress(board.size_, board.size_);
    return true;
  }
  constexpr std::size_t kChunk = 1 << 20;
  std::string& text = board.read_;
  text.clear();
  text.reserve(static_cast<std::size_t>(size_) + boardfile::kBoardTextPadding);
  AdviseHugePages(text.data(), text.capacity());
  std::vector<char> chunk(kChunk);
  for (;;) {
    const long long n = ReadSome(chunk.data(), kChunk);
    if (n < 0) {
      error = name_ + ": cannot read the board file: " + SystemReason(errno);
      return false;
    }
    if (n == 0) {
      board.size_ = text.size();
      text.append(boardfile::kBoardTextPadding, '\0');
      board.data_ = text.data();
      return true;
    }
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
