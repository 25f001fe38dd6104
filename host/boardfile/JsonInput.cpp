// The syntax of a refused board file, checked by a second parser whose
// messages say where and what.
#include "boardfile/JsonInput.h"

#include <nlohmann/json.hpp>

#include "boardfile/BoardValues.h"

namespace boardfile {

namespace {

using json = nlohmann::json;

// Takes every value and keeps only the first syntax fault: no document is
// built, since the reader has already walked the text.
class SyntaxCheck {
 public:
  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(json::number_integer_t) { return true; }
  bool number_unsigned(json::number_unsigned_t) { return true; }
  bool number_float(json::number_float_t, const json::string_t&) { return true; }
  bool string(json::string_t&) { return true; }
  bool binary(json::binary_t&) { return true; }
  bool start_object(std::size_t) { return true; }
  bool key(json::string_t&) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t) { return true; }
  bool end_array() { return true; }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    // The library counts the offending character among those it has read
    // (for a token, its last character).
    position_ = position > 0 ? position - 1 : 0;
    what_ = e.what();
    return false;
  }

  std::size_t position() const { return position_; }  // byte offset of the fault
  const std::string& what() const { return what_; }

 private:
  std::size_t position_ = 0;
  std::string what_;
};

// "[json.exception.parse_error.101] parse error at line 1, column 2: syntax
// error while parsing value - unexpected ','; expected ..." -> the part after
// the library's own prefix and position. A number past the range of a double
// ("[json.exception.out_of_range.406] number overflow parsing '1e999'") is
// told in the board file's terms.
std::string Explanation(const std::string& message) {
  constexpr std::string_view kOverflow = "number overflow parsing '";
  if (const std::size_t at = message.find(kOverflow); at != std::string::npos) {
    std::string number = message.substr(at + kOverflow.size());
    if (!number.empty() && number.back() == '\'') number.pop_back();
    return "the number " + number + " is out of range: no value of a board file comes near it";
  }
  if (message.rfind("[json.exception.", 0) == 0) {
    const std::size_t colon = message.find(": ");
    if (colon != std::string::npos) return message.substr(colon + 2);
    const std::size_t bracket = message.find("] ");
    if (bracket != std::string::npos) return message.substr(bracket + 2);
  }
  return message;
}

std::string LineAndColumn(std::string_view text, std::size_t offset) {
  const TextPosition at = PositionOf(text, offset);
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

}  // namespace

bool CheckJsonSyntax(std::string_view text, std::string& place, std::string& what) {
  // The parser takes a zero byte for the end of the text and would pass over
  // whatever follows it; JSON text never holds one.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    place = LineAndColumn(text, zero);
    what = "a zero byte, which a board file never holds (it is text)";
    return false;
  }
  SyntaxCheck check;
  if (json::sax_parse(text.begin(), text.end(), &check)) return true;
  place = LineAndColumn(text, check.position());
  what = Explanation(check.what());
  return false;
}

}  // namespace boardfile
