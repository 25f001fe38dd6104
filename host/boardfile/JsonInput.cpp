// A SAX handler that builds the document itself, so that a key given twice in
// one object is an error instead of the later value silently winning.
#include "boardfile/JsonInput.h"

#include <utility>
#include <vector>

#include "boardfile/BoardValues.h"

namespace boardfile {

namespace {

using json = nlohmann::json;

class Builder {
 public:
  explicit Builder(json& root) : root_(root) {}

  bool null() { return Put(nullptr); }
  bool boolean(bool value) { return Put(value); }
  bool number_integer(json::number_integer_t value) { return Put(value); }
  bool number_unsigned(json::number_unsigned_t value) { return Put(value); }
  bool number_float(json::number_float_t value, const json::string_t&) { return Put(value); }
  bool string(json::string_t& value) { return Put(std::move(value)); }
  bool binary(json::binary_t& value) { return Put(json::binary_t(std::move(value))); }

  bool start_object(std::size_t) {
    stack_.push_back(Slot(json::object()));
    keys_.emplace_back();
    return true;
  }
  bool key(json::string_t& key) {
    json& object = *stack_.back();
    if (object.contains(key)) {
      duplicate_ = true;
      place_ = Path();
      what_ = "key '" + key + "' given twice";
      return false;
    }
    keys_.back() = std::move(key);
    return true;
  }
  bool end_object() {
    stack_.pop_back();
    keys_.pop_back();
    return true;
  }
  bool start_array(std::size_t) {
    stack_.push_back(Slot(json::array()));
    keys_.emplace_back();
    return true;
  }
  bool end_array() {
    stack_.pop_back();
    keys_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    // The library counts the offending character among those it has read
    // (for a token, its last character).
    position_ = position > 0 ? position - 1 : 0;
    what_ = e.what();
    return false;
  }

  bool duplicate() const { return duplicate_; }
  std::size_t position() const { return position_; }  // byte offset of the fault
  const std::string& place() const { return place_; }
  const std::string& what() const { return what_; }

 private:
  // Stores a value where the document is at and returns where it went.
  json* Slot(json value) {
    if (stack_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    json& parent = *stack_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    json& slot = parent[keys_.back()];
    slot = std::move(value);
    return &slot;
  }
  template <class V>
  bool Put(V&& value) {
    Slot(json(std::forward<V>(value)));
    return true;
  }
  // The path of the innermost open container.
  std::string Path() const {
    std::string path;
    for (std::size_t i = 1; i < stack_.size(); ++i) {
      const json& parent = *stack_[i - 1];
      if (parent.is_array()) {
        path += "[" + std::to_string(parent.size() - 1) + "]";
      } else {
        if (!path.empty()) path += '.';
        path += keys_[i - 1];
      }
    }
    return path.empty() ? "top level" : path;
  }

  json& root_;
  std::vector<json*> stack_;
  std::vector<std::string> keys_;  // per open container: the key being filled (objects)
  bool duplicate_ = false;
  std::size_t position_ = 0;
  std::string place_, what_;
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

bool ParseJson(std::string_view text, json& out, std::string& place, std::string& what) {
  out = json();
  // The parser takes a zero byte for the end of the text and would pass over
  // whatever follows it; JSON text never holds one.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    place = LineAndColumn(text, zero);
    what = "a zero byte, which a board file never holds (it is text)";
    return false;
  }
  Builder builder(out);
  const bool ok = json::sax_parse(text.begin(), text.end(), &builder);
  if (ok) return true;
  if (builder.duplicate()) {
    place = builder.place();
    what = builder.what();
  } else {
    place = LineAndColumn(text, builder.position());
    what = Explanation(builder.what());
  }
  out = json();
  return false;
}

}  // namespace boardfile
