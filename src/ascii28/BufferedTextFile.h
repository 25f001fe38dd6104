// The output text file of the export: one file, buffered in the object itself,
// with the number formats of the file. Single writes never report errors: a
// failing open, flush or close records a pending I/O error code, which the
// export fetches once at the end with TakeIoError(). Writes to a file that is
// not open do nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "PcbApi.h"

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
  // Writes out the buffer and closes the file. Closing a file that is not
  // open does nothing, so an error of the open is not replaced.
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  void Write(std::string_view text);
  void WriteChar(char c) {
    if (file_ != nullptr && used_ < kBufferSize) {
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

  void WriteInt(std::int64_t value);
  void WriteUnsigned(std::uint64_t value);
  // The host value divided by 10, truncated toward zero.
  void WriteCoord(Coord value);
  // Three decimals, left-padded with blanks to at least `width` characters.
  // Rounds the exact binary value to nearest, halfway cases away from zero
  // (0.0625 -> 0.063). A result that rounds to zero carries no minus sign.
  // Every finite value is written in full; NaN is written "NAN" and the
  // infinities "INF" and "-INF", padded the same way.
  void WriteFixed(double value, int width);
  // Exactly 23 characters: blank or '-', d.dddddddddddddd, 'E', exponent sign
  // and four exponent digits. Rounded like WriteFixed, to 15 significant
  // digits. NaN and the infinities are written as in WriteFixed, right-aligned
  // in 23 characters.
  void WriteScientific(double value);

 private:
  void Put(const char* data, std::size_t n);
  void PutCharAfterFlush(char c);
  template <typename Integer>
  void PutInteger(Integer value);
  void PutBlanks(int count);
  void Flush();

  std::FILE* file_ = nullptr;
  std::size_t used_ = 0;
  char buffer_[kBufferSize];
};

}  // namespace ascii28
