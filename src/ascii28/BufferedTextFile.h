// The output text file of the export: a sink for characters, buffered in the
// object itself, that writes out to one file or, for measurements and tests,
// into a string in memory. The number formats come from NumberFormat.h.
// Single writes never report errors: a failing open, flush or close records a
// pending I/O error code, which the export fetches once at the end with
// TakeIoError(). Writes to a sink that is not open do nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "PcbApi.h"
#include "ascii28/NumberFormat.h"

namespace ascii28 {

// Fetches and clears the pending I/O error code of the text-file layer
// (0 = none). The code is an errno value; a failure that left errno at 0 is
// recorded as EIO. A later failure replaces an earlier one.
int TakeIoError();

class BufferedTextFile {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  BufferedTextFile() = default;
  ~BufferedTextFile();
  BufferedTextFile(const BufferedTextFile&) = delete;
  BufferedTextFile& operator=(const BufferedTextFile&) = delete;

  // Creates or truncates the file. A file already open is closed first. On
  // failure the error is recorded and the file stays closed.
  void Open(const char* path);
  // Opens on a string in memory instead: every flush appends to target, which
  // must outlive the sink until Close. A file already open is closed first.
  void OpenMemory(std::string& target);
  // Writes out the buffer and closes the file. Closing a file that is not
  // open does nothing, so an error of the open is not replaced.
  void Close();
  bool IsOpen() const { return file_ != nullptr || memory_ != nullptr; }

  void Write(std::string_view text);
  void WriteChar(char c) {
    if (IsOpen() && used_ < kBufferSize) {
      buffer_[used_++] = c;
    } else {
      PutCharAfterFlush(c);
    }
  }
  void WriteBytes(const std::uint8_t* data, std::size_t n);
  // A length-prefixed string: s[0] is the length, the characters follow.
  // `capacity` is the number of character bytes the buffer holds after the
  // length byte; no more than that is read, whatever the length byte claims.
  void WriteShortString(const std::uint8_t* s, std::size_t capacity);
  void EndLine();  // CR LF

  // The formats of NumberFormat.h; integers go straight into the buffer.
  void WriteInt(std::int64_t value) { PutFormatted(&FormatInt, value); }
  void WriteUnsigned(std::uint64_t value) { PutFormatted(&FormatUnsigned, value); }
  void WriteCoord(Coord value) { PutFormatted(&FormatCoord, value); }
  // FormatFixed, left-padded with blanks to at least `width` characters.
  void WriteFixed(double value, int width);
  void WriteScientific(double value);

 private:
  void Put(const char* data, std::size_t n);
  void PutCharAfterFlush(char c);
  template <typename Value>
  void PutFormatted(char* (*format)(char*, Value), Value value) {
    if (!IsOpen()) return;
    if (kBufferSize - used_ < kIntegerChars) Flush();
    used_ = static_cast<std::size_t>(format(buffer_ + used_, value) - buffer_);
  }
  void PutBlanks(int count);
  void Flush();

  std::FILE* file_ = nullptr;
  std::string* memory_ = nullptr;
  std::size_t used_ = 0;
  char buffer_[kBufferSize];
};

}  // namespace ascii28
