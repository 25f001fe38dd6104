// The length-prefixed string of the host: a length byte followed by the
// characters, 8-bit, no terminator. The plug-in, the stand-in server, the
// host program and the tests all read and write it through this header.
//
// A buffer of n bytes holds at most n - 1 characters. Reading never takes
// more characters than the buffer holds, whatever its length byte claims;
// writing cuts the text to what fits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The characters of the string in a buffer of `size` bytes (empty for a null
// buffer or size 0).
inline std::string_view ReadLenString(const std::uint8_t* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return {};
  const std::size_t length = std::min<std::size_t>(buffer[0], size - 1);
  return {reinterpret_cast<const char*>(buffer + 1), length};
}

// Writes as much of `text` as a buffer of `size` bytes holds (255 characters
// at most); nothing for a null buffer or size 0.
inline void WriteLenString(std::uint8_t* buffer, std::size_t size, std::string_view text) {
  if (buffer == nullptr || size == 0) return;
  const std::size_t length = std::min({text.size(), size - 1, std::size_t{255}});
  buffer[0] = static_cast<std::uint8_t>(length);
  if (length != 0) std::memcpy(buffer + 1, text.data(), length);
}

// A buffer of its own: the length byte and room for N characters, the layout
// the host reads and writes (sizeof is N + 1). Room past the length is zero
// until written.
template <std::size_t N>
struct ShortString {
  static_assert(N >= 1 && N <= 255);
  static constexpr std::size_t kCapacity = N;

  ShortString() = default;
  explicit ShortString(std::string_view text) { Assign(text); }

  // A copy of the caller's string in a buffer of N + 1 bytes (a null pointer
  // reads as empty): the length byte as it is, and the characters it claims,
  // at most N.
  static ShortString CopyOf(const std::uint8_t* buffer) {
    ShortString copy;
    if (buffer == nullptr) return copy;
    copy.Length = buffer[0];
    std::memcpy(copy.Chars, buffer + 1, copy.Size());
    return copy;
  }

  std::uint8_t Length = 0;
  std::uint8_t Chars[N] = {};

  // The whole buffer (length byte first), as handed to the host.
  std::uint8_t* Buffer() { return &Length; }
  const std::uint8_t* Buffer() const { return &Length; }

  std::size_t Size() const { return std::min<std::size_t>(Length, N); }
  bool Empty() const { return Size() == 0; }
  std::string_view View() const { return {reinterpret_cast<const char*>(Chars), Size()}; }

  void Clear() { Length = 0; }
  // Stores at most the first N characters of text.
  void Assign(std::string_view text) {
    Clear();
    Append(text);
  }
  // Appends as much of text as still fits.
  void Append(std::string_view text) {
    const std::size_t used = Size();
    const std::size_t n = std::min(text.size(), N - used);
    if (n != 0) std::memcpy(Chars + used, text.data(), n);
    Length = static_cast<std::uint8_t>(used + n);
  }

  friend bool operator==(const ShortString& a, std::string_view b) { return a.View() == b; }
};

// The common case: 255 characters in 256 bytes.
using LenString = ShortString<255>;
static_assert(sizeof(LenString) == 256);
static_assert(sizeof(ShortString<20>) == 21);
