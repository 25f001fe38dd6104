// Conversions of board-file values into the host's forms: lengths with a
// unit, 8-bit strings, layer names, positions in the file text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "PcbApi.h"

namespace boardfile {

// Host units per mil; 1 mil is exactly 0.0254 mm.
inline constexpr int kUnitsPerMil = 10000;

// Converts "12.5mil" or "-0.25mm" (sign, digits with an optional fraction of
// at most 18 digits, then the unit) into host units, rounded to the nearest
// unit with halves away from zero. False with `what` set when the text is no
// such length or the result does not fit a Coord.
bool LengthToHost(std::string_view text, Coord& out, std::string& what);

// Converts a UTF-8 string into the host's 8-bit string: each code point
// U+0000 to U+00FF becomes one byte. False with `what` set for any other
// code point and for a carriage return or line feed.
bool ToHostString(std::string_view utf8, std::string& out, std::string& what);

// The code of a host layer name ("TopLayer", "MidLayer3", ...), or of a
// decimal code "0" to "82"; -1 when it is neither.
int LayerCodeOf(std::string_view name);

// One-based line and column of the character at byte offset `offset` of a
// UTF-8 text (columns count characters, not bytes).
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;
};
TextPosition PositionOf(std::string_view text, std::size_t offset);

// The known word closest to `word` when it is a likely typo of it (at most
// two edits, a swap of neighbours counting as one), else empty.
std::string ClosestWord(std::string_view word, const std::vector<std::string>& known);

}  // namespace boardfile
