#include "ascii28/BufferedTextFile.h"

#include <cerrno>
#include <cstring>

namespace ascii28 {

namespace {

// The pending I/O error of the text-file layer; the export is single-threaded.
int pendingIoError = 0;

void RecordIoError(int code) { pendingIoError = code != 0 ? code : EIO; }

}  // namespace

int TakeIoError() {
  const int code = pendingIoError;
  pendingIoError = 0;
  return code;
}

BufferedTextFile::~BufferedTextFile() { Close(); }

void BufferedTextFile::Open(const char* path) {
  Close();
  used_ = 0;
  if (path == nullptr) {
    RecordIoError(EINVAL);
    return;
  }
  errno = 0;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    RecordIoError(errno);
    return;
  }
  // Our own buffer does the buffering; stdio passes every flush straight on.
  // Should this fail, stdio keeps a buffer of its own and the output is the same.
  std::setvbuf(file, nullptr, _IONBF, 0);
  file_ = file;
}

void BufferedTextFile::OpenMemory(std::string& target) {
  Close();
  used_ = 0;
  memory_ = &target;
}

void BufferedTextFile::Close() {
  if (memory_ != nullptr) {
    Flush();
    memory_ = nullptr;
    return;
  }
  if (file_ == nullptr) return;
  Flush();
  errno = 0;
  if (std::fclose(file_) != 0) RecordIoError(errno);
  file_ = nullptr;
}

void BufferedTextFile::Flush() {
  if (used_ == 0) return;
  if (memory_ != nullptr) {
    memory_->append(buffer_, used_);
    used_ = 0;
    return;
  }
  errno = 0;
  if (std::fwrite(buffer_, 1, used_, file_) != used_) RecordIoError(errno);
  // What could not be written is dropped; the pending error reports it.
  used_ = 0;
}

void BufferedTextFile::Put(const char* data, std::size_t n) {
  if (!IsOpen()) return;
  while (n > 0) {
    if (used_ == kBufferSize) Flush();
    const std::size_t room = kBufferSize - used_;
    const std::size_t chunk = n < room ? n : room;
    std::memcpy(buffer_ + used_, data, chunk);
    used_ += chunk;
    data += chunk;
    n -= chunk;
  }
}

void BufferedTextFile::PutBlanks(int count) {
  static constexpr char kBlanks[] = "                                ";
  constexpr int kBlankCount = sizeof kBlanks - 1;
  while (count > 0) {
    const int chunk = count < kBlankCount ? count : kBlankCount;
    Put(kBlanks, static_cast<std::size_t>(chunk));
    count -= chunk;
  }
}

void BufferedTextFile::Write(std::string_view text) { Put(text.data(), text.size()); }

void BufferedTextFile::PutCharAfterFlush(char c) {
  if (!IsOpen()) return;
  Flush();
  buffer_[used_++] = c;
}

void BufferedTextFile::WriteBytes(const std::uint8_t* data, std::size_t n) {
  if (data == nullptr) return;
  Put(reinterpret_cast<const char*>(data), n);
}

void BufferedTextFile::WriteShortString(const std::uint8_t* s, std::size_t capacity) {
  if (s == nullptr) return;
  const std::size_t claimed = s[0];
  WriteBytes(s + 1, claimed < capacity ? claimed : capacity);
}

void BufferedTextFile::EndLine() { Put("\r\n", 2); }

void BufferedTextFile::WriteFixed(double value, int width) {
  char text[kFixedChars];
  const auto length = static_cast<std::size_t>(FormatFixed(text, value) - text);
  PutBlanks(width - static_cast<int>(length));
  Put(text, length);
}

void BufferedTextFile::WriteScientific(double value) {
  char text[kScientificChars];
  Put(text, static_cast<std::size_t>(FormatScientific(text, value) - text));
}

}  // namespace ascii28
