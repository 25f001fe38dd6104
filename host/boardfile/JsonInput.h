// Parsing the board file's JSON text, refusing duplicate keys.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace boardfile {

// Parses `text` into `out`. On failure sets `place` ("line 3, column 7" for
// a syntax error, the key path for a duplicate key) and `what`.
bool ParseJson(std::string_view text, nlohmann::json& out, std::string& place, std::string& what);

}  // namespace boardfile
