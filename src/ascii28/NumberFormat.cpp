#include "ascii28/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace ascii28 {

namespace {

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

// The exact decimal expansion of a double has at most 767 significant digits;
// with the point, 'e', sign and exponent it fits here.
constexpr int kExactPrecision = 766;
constexpr std::size_t kExactBufferSize = 1 + 1 + kExactPrecision + 5 + 3;

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

char* Copy(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

}  // namespace

char* FormatInt(char* out, std::int64_t value) {
  return std::to_chars(out, out + kIntegerChars, value).ptr;
}

char* FormatUnsigned(char* out, std::uint64_t value) {
  return std::to_chars(out, out + kIntegerChars, value).ptr;
}

// Integer division truncates toward zero; no 32-bit value overflows it.
char* FormatCoord(char* out, Coord value) { return FormatInt(out, value / 10); }

char* FormatFixed(char* out, double value) {
  if (!std::isfinite(value)) return Copy(out, NonFiniteText(value));
  const double magnitude = std::fabs(value);
  // Room in front for a carry digit and a minus sign.
  char text[kFixedChars + 1];
  char* first = text + 2;
  char* last;
  if (IsFixedHalfway(magnitude)) {
    // Four decimals are exact here; drop the final 5 and round away from zero.
    const auto result =
        std::to_chars(first, text + sizeof text, magnitude, std::chars_format::fixed, 4);
    if (result.ec != std::errc{}) return out;
    last = result.ptr - 1;
    if (IncrementDigits(first, last)) *--first = '1';
  } else {
    const auto result =
        std::to_chars(first, text + sizeof text, magnitude, std::chars_format::fixed, 3);
    if (result.ec != std::errc{}) return out;
    last = result.ptr;
  }
  bool nonZero = false;
  for (const char* p = first; p != last; ++p) nonZero = nonZero || (*p != '0' && *p != '.');
  if (value < 0 && nonZero) *--first = '-';
  return Copy(out, std::string_view(first, static_cast<std::size_t>(last - first)));
}

char* FormatScientific(char* out, double value) {
  if (!std::isfinite(value)) {
    const std::string_view text = NonFiniteText(value);
    std::memset(out, ' ', kScientificChars - text.size());
    return Copy(out + kScientificChars - text.size(), text);
  }
  // The exact digits, so that the rounding below sees the true value:
  // d.ddd...e+XX with kExactPrecision digits after the point.
  char exact[kExactBufferSize];
  const auto result = std::to_chars(exact, exact + sizeof exact, std::fabs(value),
                                    std::chars_format::scientific, kExactPrecision);
  if (result.ec != std::errc{}) return out;
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
  return out + kScientificChars;
}

}  // namespace ascii28
