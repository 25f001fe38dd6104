// A minimal streaming writer of JSON text: the board-file document of a large
// board holds hundreds of thousands of objects, and building a DOM first
// costs several times more than writing the text.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kicad {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // A key of the object being written, a plain name (no character to
  // escape); its value follows.
  JsonWriter& Key(std::string_view key) {
    Separate();
    out_ += '"';
    out_.append(key);
    out_.append("\":", 2);
    afterKey_ = true;
    return *this;
  }

  void Value(std::int64_t v) {
    Separate();
    char buf[24];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  }
  void Value(int v) { Value(static_cast<std::int64_t>(v)); }
  // Reals in their shortest form that reads back to the same double.
  void Value(double v) {
    Separate();
    char buf[32];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  }
  void Value(std::string_view s) {
    Separate();
    String(s);
  }
  void Value(const char* s) { Value(std::string_view(s)); }

  template <typename T>
  void Field(std::string_view key, const T& v) {
    Key(key).Value(v);
  }

  // Room for a document of about `size` bytes, made up front.
  void Reserve(std::size_t size) { out_.reserve(size); }

  // The document written, handed over without a copy; the writer is done.
  std::string Take() { return std::move(out_); }

 private:
  void Open(char c) {
    Separate();
    out_ += c;
    first_.push_back(true);
  }
  void Close(char c) {
    out_ += c;
    first_.pop_back();
  }
  // A comma before every element but the first of its object or array.
  void Separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
  // A quoted string; the runs of characters that need no escape go in whole.
  void String(std::string_view s) {
    out_ += '"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const unsigned char u = static_cast<unsigned char>(s[i]);
      if (u >= 0x20 && u != '"' && u != '\\') continue;
      out_.append(s.data() + run, i - run);
      run = i + 1;
      if (u >= 0x20) {
        out_ += '\\';
        out_ += static_cast<char>(u);
      } else {
        static constexpr char kHex[] = "0123456789abcdef";
        out_ += "\\u00";
        out_ += kHex[u >> 4];
        out_ += kHex[u & 15];
      }
    }
    out_.append(s.data() + run, s.size() - run);
    out_ += '"';
  }

  std::string out_;
  std::vector<bool> first_;
  bool afterKey_ = false;
};

}  // namespace kicad
