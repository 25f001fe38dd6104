// Value conversions of the board-file reader.
#include "boardfile/BoardValues.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "HostLayers.h"

namespace boardfile {

namespace {

constexpr std::size_t kMaxFractionDigits = 18;
constexpr std::size_t kMaxIntegerDigits = 12;  // far beyond any Coord in either unit

std::uint64_t PowerOfTen(std::size_t n) {
  std::uint64_t result = 1;
  for (std::size_t i = 0; i < n; ++i) result *= 10;
  return result;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string CodePointName(std::uint32_t cp) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
  return buffer;
}

}  // namespace

bool LengthToHost(std::string_view text, Coord& out, std::string& what) {
  const auto bad = [&] {
    what = "expected a length such as \"12.5mil\" or \"0.25mm\"";
    return false;
  };
  const auto outOfRange = [&] {
    what = "length out of range: a coordinate is a signed 32-bit number of host units";
    return false;
  };
  std::string_view rest = text;
  // The text is integer + fraction / 10^fractionDigits; 12 and 18 digits fit in 64 bits.
  std::uint64_t integer = 0, fraction = 0;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::size_t integerDigits = 0, fractionDigits = 0;  // integer digits after leading zeros
  bool hadInteger = false;
  while (!rest.empty() && IsDigit(rest.front())) {
    hadInteger = true;
    if (integerDigits > 0 || rest.front() != '0') ++integerDigits;
    if (integerDigits > kMaxIntegerDigits) return outOfRange();
    integer = integer * 10 + static_cast<std::uint64_t>(rest.front() - '0');
    rest.remove_prefix(1);
  }
  bool hadFraction = false;
  if (!rest.empty() && rest.front() == '.') {
    rest.remove_prefix(1);
    while (!rest.empty() && IsDigit(rest.front())) {
      if (++fractionDigits > kMaxFractionDigits) {
        what = "a length takes at most 18 decimals";
        return false;
      }
      fraction = fraction * 10 + static_cast<std::uint64_t>(rest.front() - '0');
      rest.remove_prefix(1);
      hadFraction = true;
    }
  }
  if (!hadInteger && !hadFraction) return bad();
  // Host units = (value * 10^scaleDigits) / divisor: 1 mil is 10^4 units,
  // 1 mm is 10^8 / 254 units.
  std::size_t scaleDigits;
  std::uint64_t divisor;
  if (rest == "mil") {
    scaleDigits = 4;
    divisor = 1;
  } else if (rest == "mm") {
    scaleDigits = 8;
    divisor = 254;
  } else {
    return bad();
  }
  static_assert(kUnitsPerMil == 10000);
  if (integer > std::numeric_limits<std::uint32_t>::max()) return outOfRange();
  // scaled = whole + rest / 10^restDigits, with whole integral and the rest below 1.
  std::uint64_t whole = integer * PowerOfTen(scaleDigits);
  std::uint64_t restValue = 0;
  std::size_t restDigits = 0;
  if (fractionDigits <= scaleDigits) {
    whole += fraction * PowerOfTen(scaleDigits - fractionDigits);
  } else {
    restDigits = fractionDigits - scaleDigits;
    whole += fraction / PowerOfTen(restDigits);
    restValue = fraction % PowerOfTen(restDigits);
  }
  // Halves away from zero: the remainder (whole % divisor + rest) against divisor / 2.
  std::uint64_t magnitude = whole / divisor;
  const std::uint64_t remainder = whole % divisor;
  if (2 * remainder >= divisor ||
      (2 * remainder + 1 == divisor && 2 * restValue >= PowerOfTen(restDigits)))
    ++magnitude;
  const std::uint64_t limit = std::uint64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  if (magnitude > limit) return outOfRange();
  const std::int64_t value = static_cast<std::int64_t>(magnitude);
  out = static_cast<Coord>(negative ? -value : value);
  return true;
}

bool ToHostString(std::string_view utf8, std::string& out, std::string& what) {
  out.clear();
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = lead;
    std::size_t length = 1;
    if (lead >= 0xF0) {
      cp = lead & 0x07u;
      length = 4;
    } else if (lead >= 0xE0) {
      cp = lead & 0x0Fu;
      length = 3;
    } else if (lead >= 0xC0) {
      cp = lead & 0x1Fu;
      length = 2;
    } else if (lead >= 0x80) {
      what = "the string is not valid UTF-8";
      return false;
    }
    if (i + length > utf8.size()) {
      what = "the string is not valid UTF-8";
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    if (cp > 0xFF) {
      what = "character " + CodePointName(cp) + " at character " + std::to_string(out.size() + 1) +
             " cannot be held: host strings take only U+0000 to U+00FF";
      return false;
    }
    if (cp == '\r' || cp == '\n') {
      what = std::string("a ") + (cp == '\r' ? "carriage return" : "line feed") + " at character " +
             std::to_string(out.size() + 1) + " cannot be held: host strings are single lines";
      return false;
    }
    out.push_back(static_cast<char>(cp));
    i += length;
  }
  return true;
}

int LayerCodeOf(std::string_view name) {
  for (int code = 0; code < kHostLayerCount; ++code) {
    if (kHostLayerNames[code] == name) return code;
  }
  if (!name.empty() && name.size() <= 2 && std::all_of(name.begin(), name.end(), IsDigit)) {
    int code = 0;
    std::from_chars(name.data(), name.data() + name.size(), code);
    if (code <= kLastHostLayer) return code;
  }
  return -1;
}

TextPosition PositionOf(std::string_view text, std::size_t offset) {
  TextPosition position;
  offset = std::min(offset, text.size());
  for (std::size_t i = 0; i < offset; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++position.line;
      position.column = 1;
    } else if ((c & 0xC0u) != 0x80u) {  // continuation bytes are part of the previous character
      ++position.column;
    }
  }
  return position;
}

std::string ClosestWord(std::string_view word, const std::vector<std::string>& known) {
  std::string best;
  std::size_t bestDistance = 3;
  for (const std::string& candidate : known) {
    // Optimal string alignment distance.
    const std::size_t n = word.size(), m = candidate.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
      for (std::size_t j = 1; j <= m; ++j) {
        const std::size_t cost = word[i - 1] == candidate[j - 1] ? 0 : 1;
        d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
        if (i > 1 && j > 1 && word[i - 1] == candidate[j - 2] && word[i - 2] == candidate[j - 1]) {
          d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
      }
    }
    if (d[n][m] < bestDistance && d[n][m] < std::max<std::size_t>(n, 2)) {
      bestDistance = d[n][m];
      best = candidate;
    }
  }
  return best;
}

}  // namespace boardfile
