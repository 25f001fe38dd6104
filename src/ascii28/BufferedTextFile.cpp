#include "ascii28/BufferedTextFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace ascii28 {

namespace {

// The pending I/O error of the text-file layer; the export is single-threaded.
int pendingIoError = 0;

void RecordIoError(int code) { pendingIoError = code != 0 ? code : EIO; }

// Adds one unit in the last place to a run of decimal digits, skipping a
// point. Returns true when the carry runs out of the leftmost digit.
bool IncrementDigits(char* first, char* last) {
  for (char* p = last; p != first;) {
    --p;
    if (*p == '.') continue;
    if (*p != '9') {
      ++*p;
      return false;
    }
    *p = '0';
  }
  return true;
}

// Longest magnitude in fixed notation with three decimals: every integer
// digit of the largest double, the point and the decimals.
constexpr std::size_t kFixedMagnitudeMax = std::numeric_limits<double>::max_exponent10 + 1 + 1 + 3;
// Room in front for a carry digit and a minus sign.
constexpr std::size_t kFixedBufferSize = kFixedMagnitudeMax + 2;

// The exact decimal expansion of a double has at most 767 significant digits;
// with the point, 'e', sign and exponent it fits here.
constexpr int kExactPrecision = 766;
constexpr std::size_t kExactBufferSize = 1 + 1 + kExactPrecision + 5 + 3;

constexpr int kScientificWidth = 23;
constexpr int kScientificDigits = 15;  // significant digits written

// A value whose sixteenfold is an odd integer lies exactly halfway between
// two three-decimal numbers (its fourth decimal is a 5 and nothing follows);
// every other halfway-looking value is decided by its exact binary value.
bool IsFixedHalfway(double magnitude) {
  if (magnitude >= 0x1p49) return false;  // no sixteenths left in the mantissa
  const double sixteenths = magnitude * 16.0;
  return sixteenths == std::floor(sixteenths) && std::fmod(sixteenths, 2.0) == 1.0;
}

std::string_view NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

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

void BufferedTextFile::Close() {
  if (file_ == nullptr) return;
  Flush();
  errno = 0;
  if (std::fclose(file_) != 0) RecordIoError(errno);
  file_ = nullptr;
}

void BufferedTextFile::Flush() {
  if (used_ == 0) return;
  errno = 0;
  if (std::fwrite(buffer_, 1, used_, file_) != used_) RecordIoError(errno);
  // What could not be written is dropped; the pending error reports it.
  used_ = 0;
}

void BufferedTextFile::Put(const char* data, std::size_t n) {
  if (file_ == nullptr) return;
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
  if (file_ == nullptr) return;
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

// Integers are formatted straight into the buffer, flushed first when the
// longest integer might not fit.
template <typename Integer>
void BufferedTextFile::PutInteger(Integer value) {
  constexpr std::size_t kLongest = std::numeric_limits<Integer>::digits10 + 2;
  if (file_ == nullptr) return;
  if (kBufferSize - used_ < kLongest) Flush();
  const auto result = std::to_chars(buffer_ + used_, buffer_ + kBufferSize, value);
  used_ = static_cast<std::size_t>(result.ptr - buffer_);
}

void BufferedTextFile::WriteInt(std::int64_t value) { PutInteger(value); }

void BufferedTextFile::WriteUnsigned(std::uint64_t value) { PutInteger(value); }

// Integer division truncates toward zero; no 32-bit value overflows it.
void BufferedTextFile::WriteCoord(Coord value) { WriteInt(value / 10); }

void BufferedTextFile::WriteFixed(double value, int width) {
  if (!std::isfinite(value)) {
    const std::string_view text = NonFiniteText(value);
    PutBlanks(width - static_cast<int>(text.size()));
    Write(text);
    return;
  }
  const double magnitude = std::fabs(value);
  char text[kFixedBufferSize];
  char* first = text + 2;
  char* last;
  if (IsFixedHalfway(magnitude)) {
    // Four decimals are exact here; drop the final 5 and round away from zero.
    const auto result =
        std::to_chars(first, text + sizeof text, magnitude, std::chars_format::fixed, 4);
    if (result.ec != std::errc{}) return;
    last = result.ptr - 1;
    if (IncrementDigits(first, last)) *--first = '1';
  } else {
    const auto result =
        std::to_chars(first, text + sizeof text, magnitude, std::chars_format::fixed, 3);
    if (result.ec != std::errc{}) return;
    last = result.ptr;
  }
  bool nonZero = false;
  for (const char* p = first; p != last; ++p) nonZero = nonZero || (*p != '0' && *p != '.');
  if (value < 0 && nonZero) *--first = '-';
  const auto length = static_cast<std::size_t>(last - first);
  PutBlanks(width - static_cast<int>(length));
  Put(first, length);
}

void BufferedTextFile::WriteScientific(double value) {
  if (!std::isfinite(value)) {
    const std::string_view text = NonFiniteText(value);
    PutBlanks(kScientificWidth - static_cast<int>(text.size()));
    Write(text);
    return;
  }
  // The exact digits, so that the rounding below sees the true value:
  // d.ddd...e+XX with kExactPrecision digits after the point.
  char exact[kExactBufferSize];
  const auto result = std::to_chars(exact, exact + sizeof exact, std::fabs(value),
                                    std::chars_format::scientific, kExactPrecision);
  if (result.ec != std::errc{}) return;
  char digits[kScientificDigits];
  digits[0] = exact[0];
  std::memcpy(digits + 1, exact + 2, kScientificDigits - 1);
  const char* exponentText = exact + 2 + kExactPrecision + 1;  // the sign after 'e'
  int exponent = 0;
  std::from_chars(exponentText + 1, result.ptr, exponent);
  if (*exponentText == '-') exponent = -exponent;
  // Round half away from zero on the first dropped digit.
  if (exact[1 + kScientificDigits] >= '5' && IncrementDigits(digits, digits + kScientificDigits)) {
    digits[0] = '1';
    ++exponent;
  }

  char out[kScientificWidth];
  out[0] = value < 0 ? '-' : ' ';  // -0 is written as 0
  out[1] = digits[0];
  out[2] = '.';
  std::memcpy(out + 3, digits + 1, kScientificDigits - 1);
  out[17] = 'E';
  out[18] = exponent < 0 ? '-' : '+';
  int magnitude = exponent < 0 ? -exponent : exponent;  // at most 324
  for (int i = 22; i >= 19; --i) {
    out[i] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  Put(out, sizeof out);
}

}  // namespace ascii28
