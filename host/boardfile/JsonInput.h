// The JSON syntax of a refused board file, told the way people read it: the
// line and column of the first fault and what the parser expected there.
#pragma once

#include <string>
#include <string_view>

namespace boardfile {

// True when `text` is one well-formed JSON document; otherwise false with
// `place` ("line 3, column 7") and `what`.
bool CheckJsonSyntax(std::string_view text, std::string& place, std::string& what);

}  // namespace boardfile
