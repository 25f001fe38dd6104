#include "kicad/SExpr.h"

#include <cstdint>
#include <iterator>

namespace kicad {

std::string_view Node::Head() const {
  if (!IsList() || items.empty() || items[0].kind != Kind::Symbol) return {};
  return items[0].text;
}

const Node* Node::Find(std::string_view head) const {
  for (const Node& item : items)
    if (item.Head() == head) return &item;
  return nullptr;
}

std::string Node::Place() const {
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text), scratch_(kMaxDepth) {}

  bool Parse(Node& root, std::string& error) {
    SkipBlanks();
    if (AtEnd()) return Fail("the file is empty; expected '('", error);
    if (Peek() != '(') return Fail("expected '(' at the start of the file", error);
    if (!ReadList(root, 1, error)) return false;
    SkipBlanks();
    if (!AtEnd()) return Fail("unexpected text after the closing ')' of the file", error);
    return true;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  void Advance() {
    if (text_[pos_] == '\n') {
      ++line_;
      column_ = 1;
    } else if ((static_cast<unsigned char>(text_[pos_]) & 0xC0) != 0x80) {
      ++column_;  // columns count characters, not the continuation bytes of UTF-8
    }
    ++pos_;
  }

  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Peek())) Advance();
  }

  bool Fail(std::string what, std::string& error) const {
    return FailAt(line_, column_, std::move(what), error);
  }
  static bool FailAt(int line, int column, std::string what, std::string& error) {
    error = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
    return false;
  }

  // At '(': reads the list up to its ')'. The elements gather in the scratch
  // list of this depth (one per depth, made up front so that none moves),
  // reused from list to list, and move into the node in one allocation.
  bool ReadList(Node& list, int depth, std::string& error) {
    list.kind = Node::Kind::List;
    list.line = line_;
    list.column = column_;
    if (depth > kMaxDepth)
      return Fail("lists nested deeper than " + std::to_string(kMaxDepth), error);
    Advance();
    std::vector<Node>& items = scratch_[static_cast<std::size_t>(depth) - 1];
    items.clear();
    for (;;) {
      SkipBlanks();
      if (AtEnd()) return FailAt(list.line, list.column, "this '(' is never closed", error);
      const char c = Peek();
      if (c == ')') {
        Advance();
        list.items.reserve(items.size());
        list.items.insert(list.items.end(), std::make_move_iterator(items.begin()),
                          std::make_move_iterator(items.end()));
        items.clear();
        return true;
      }
      Node item;
      if (c == '(') {
        if (!ReadList(item, depth + 1, error)) return false;
      } else if (c == '"') {
        if (!ReadString(item, error)) return false;
      } else {
        ReadSymbol(item);
      }
      items.push_back(std::move(item));
    }
  }

  void ReadSymbol(Node& atom) {
    atom.kind = Node::Kind::Symbol;
    atom.line = line_;
    atom.column = column_;
    const std::size_t start = pos_;
    while (!AtEnd() && !IsBlank(Peek()) && Peek() != '(' && Peek() != ')' && Peek() != '"')
      Advance();
    atom.text.assign(text_.substr(start, pos_ - start));
  }

  static int DigitValue(char c, int base) {
    int v = 99;
    if (c >= '0' && c <= '9')
      v = c - '0';
    else if (c >= 'a' && c <= 'f')
      v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      v = c - 'A' + 10;
    return v < base ? v : -1;
  }

  // At '"': reads a quoted string and decodes its escapes: \" \\ \' \? \a \b
  // \f \n \r \t \v, \x with one or two hex digits, and one to three octal
  // digits. Any other escaped character stands for itself.
  bool ReadString(Node& atom, std::string& error) {
    atom.kind = Node::Kind::String;
    atom.line = line_;
    atom.column = column_;
    Advance();
    for (;;) {
      if (AtEnd()) return FailAt(atom.line, atom.column, "this string is never closed", error);
      const char c = Peek();
      if (c == '"') {
        Advance();
        return true;
      }
      if (c != '\\') {
        atom.text += c;
        Advance();
        continue;
      }
      const int escLine = line_, escColumn = column_;
      Advance();
      if (AtEnd()) return FailAt(atom.line, atom.column, "this string is never closed", error);
      const char e = Peek();
      Advance();
      switch (e) {
        case 'a':
          atom.text += '\a';
          break;
        case 'b':
          atom.text += '\b';
          break;
        case 'f':
          atom.text += '\f';
          break;
        case 'n':
          atom.text += '\n';
          break;
        case 'r':
          atom.text += '\r';
          break;
        case 't':
          atom.text += '\t';
          break;
        case 'v':
          atom.text += '\v';
          break;
        case 'x': {
          int value = 0, digits = 0;
          for (int d; digits < 2 && !AtEnd() && (d = DigitValue(Peek(), 16)) >= 0; ++digits) {
            value = value * 16 + d;
            Advance();
          }
          if (digits == 0)
            return FailAt(escLine, escColumn, "'\\x' without a hexadecimal digit", error);
          atom.text += static_cast<char>(value);
          break;
        }
        default:
          if (DigitValue(e, 8) >= 0) {
            int value = DigitValue(e, 8);
            for (int digits = 1, d; digits < 3 && !AtEnd() && (d = DigitValue(Peek(), 8)) >= 0;
                 ++digits) {
              value = value * 8 + d;
              Advance();
            }
            if (value > 0xFF) return FailAt(escLine, escColumn, "octal escape above \\377", error);
            atom.text += static_cast<char>(value);
          } else {
            atom.text += e;
          }
      }
    }
  }

  std::string_view text_;
  std::vector<std::vector<Node>> scratch_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int column_ = 1;
};

}  // namespace

bool ParseSExpr(std::string_view text, Node& root, std::string& error) {
  root = Node{};
  return Reader(text).Parse(root, error);
}

}  // namespace kicad
