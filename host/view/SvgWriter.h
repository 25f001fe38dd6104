// Drawing a PcbDrawing as one SVG document: every record one element whose
// class names its kind (track, arc, via, pad, fill, text, polygon), grouped
// by layer (<g id="layer-N">), the board's y axis up, with a legend of the
// layers present and the board's size.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "view/PcbDrawing.h"

namespace view {

// Where the document goes, piece by piece.
using SvgSink = std::function<void(std::string_view)>;

// Writes the SVG document into `sink`.
void WriteSvg(const PcbDrawing& drawing, const SvgSink& sink);

// The text of a string of the file (Latin-1) as XML character data (UTF-8),
// appended to `out`: markup characters escaped, control characters that XML
// does not allow shown as U+FFFD.
void AppendLatin1AsXml(std::string_view text, std::string& out);

}  // namespace view
