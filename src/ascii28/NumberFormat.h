// The number formats of the file as pure functions: each writes the
// characters of one value into a caller's buffer and returns the end of what
// it wrote. Nothing here knows about files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "PcbApi.h"

namespace ascii28 {

// Room for any 64-bit integer with its sign.
inline constexpr std::size_t kIntegerChars = std::numeric_limits<std::uint64_t>::digits10 + 2;
// Room for any finite value with three decimals, and a minus sign.
inline constexpr std::size_t kFixedChars =
    std::numeric_limits<double>::max_exponent10 + 1 + 1 + 3 + 1;
// The scientific format is always this wide.
inline constexpr std::size_t kScientificChars = 23;

// Decimal, a minus sign for negative values; out holds kIntegerChars.
char* FormatInt(char* out, std::int64_t value);
char* FormatUnsigned(char* out, std::uint64_t value);
// The host value divided by 10, truncated toward zero; out holds kIntegerChars.
char* FormatCoord(char* out, Coord value);

// Three decimals, no padding; out holds kFixedChars. Rounds the exact binary
// value to nearest, halfway cases away from zero (0.0625 -> 0.063). A result
// that rounds to zero carries no minus sign. Every finite value is written in
// full; NaN is written "NAN" and the infinities "INF" and "-INF".
char* FormatFixed(char* out, double value);

// Exactly kScientificChars characters: blank or '-', d.dddddddddddddd, 'E',
// exponent sign and four exponent digits. Rounded like FormatFixed, to 15
// significant digits. NaN and the infinities are written as in FormatFixed,
// right-aligned.
char* FormatScientific(char* out, double value);

}  // namespace ascii28
