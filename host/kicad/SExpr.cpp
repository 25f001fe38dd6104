#include "kicad/SExpr.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kicad {

std::string_view Node::Head() const {
  if (!IsList() || size() == 0 || items_[0].kind() != Kind::Symbol) return {};
  return items_[0].text();
}

const Node* Node::Find(std::string_view head) const {
  for (const Node& item : items())
    if (item.Head() == head) return &item;
  return nullptr;
}

std::string Tree::PlaceAt(std::size_t offset) const {
  if (lineStarts_.empty()) {
    lineStarts_.push_back(0);
    const char* const begin = text_.data();
    const char* const end = begin + text_.size();
    for (const char* p = begin; p < end; ++p) {
      p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      if (p == nullptr) break;
      lineStarts_.push_back(static_cast<std::size_t>(p - begin) + 1);
    }
  }
  offset = std::min(offset, text_.size());
  const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  const auto line = next - lineStarts_.begin();
  std::size_t column = 1;
  for (std::size_t i = *(next - 1); i < offset; ++i)
    if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++column;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

namespace {

// An extra '(' deep in a file is closed by the ')' meant for its parent, and so
// on outwards: at the end only the first list is open, which says nothing.
// KiCad indents its files, so the culprit shows where a line starts no deeper
// than the line of a list still open: that list goes on with lines at its
// own indentation, or a ')' at the start of a line closes it from further
// out. Of the lists then open from lines no shallower, the outermost is the
// suspect (never the first list, which holds everything). A suspect closed on
// a line as deep as its own was only laid out oddly; so was one whose
// enclosing list is then closed as KiCad lays it out, by a ')' starting a
// line at that list's indentation (with a list too many, the ')' meant for
// each list closes the one inside it). Either way the search goes on. Without
// a suspect, the innermost list open at the end (`innermost`) is reported.
// Run only after the reader failed, so the reading itself is no slower.
struct Unclosed {
  std::size_t at = 0;                             // the '('
  std::size_t evidence = std::string_view::npos;  // the line that shows it; npos: none
};

Unclosed LikeliestUnclosed(std::string_view text, std::size_t innermost) {
  struct Open {
    std::size_t at;
    std::size_t indent;  // of the line the '(' is on
  };
  std::vector<Open> open;
  Unclosed suspect{innermost};
  std::size_t suspectDepth = 0;  // 0: none; else the suspect is or was open[suspectDepth - 1]
  std::size_t enclosing = 0;     // once the suspect is closed: how many lists around it are open
  bool suspectClosed = false;
  std::size_t indent = 0;     // of the line read
  std::size_t lineFirst = 0;  // its first character
  bool lineStart = true;
  const auto clear = [&] {
    suspect = {innermost};
    suspectDepth = 0;
    suspectClosed = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      lineStart = true;
      indent = 0;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      if (lineStart) ++indent;
      continue;
    }
    const bool closing = c == ')';
    if (lineStart) {
      lineStart = false;
      lineFirst = i;
      if (suspectDepth == 0 && !open.empty() &&
          (closing ? indent < open.back().indent : indent <= open.back().indent)) {
        std::size_t k = open.size();
        while (k > 1 && (closing ? open[k - 1].indent > indent : open[k - 1].indent >= indent)) --k;
        if (k < open.size()) {
          suspect = {open[k].at, i};
          suspectDepth = k + 1;
        }
      }
    }
    if (c == '(') {
      open.push_back({i, indent});
    } else if (closing) {
      if (open.empty()) break;
      const Open& list = open.back();
      if (suspectDepth != 0 && !suspectClosed && open.size() == suspectDepth) {
        if (indent < list.indent) {
          suspectClosed = true;
          enclosing = suspectDepth - 1;
        } else {
          clear();
        }
      } else if (suspectClosed && open.size() <= enclosing) {
        enclosing = open.size() - 1;
        if (lineFirst == i && indent == list.indent) clear();
      }
      open.pop_back();
    } else if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i)
        if (text[i] == '\\') ++i;
    }
  }
  return suspect;
}

}  // namespace

// Reads the text into a tree. The elements of a list gather in the scratch
// list of its depth (one per depth, made up front so that none moves, reused
// from list to list) and, at its ')', are copied side by side into the
// tree's current block.
class Reader {
 public:
  Reader(std::string_view text, Tree& tree) : text_(text), tree_(tree), scratch_(kMaxDepth) {}

  bool Parse(std::string& error) {
    tree_.text_ = text_;
    if (text_.size() >= kMaxText) {
      error = "line 1, column 1: the file is larger than 1 GiB, the most that is read";
      return false;
    }
    SkipBlanks();
    if (AtEnd()) return Fail("the file is empty; expected '('", error);
    if (Peek() != '(') return Fail("expected '(' at the start of the file", error);
    if (!ReadList(tree_.root_, 1, error)) return false;
    SkipBlanks();
    if (!AtEnd()) return Fail("unexpected text after the closing ')' of the file", error);
    return true;
  }

 private:
  // Blocks grow from 16 KiB to 1 MiB: small texts stay small, and large
  // ones are not held in one huge allocation (measured: more page faults
  // later, as the allocator then keeps less memory for reuse).
  static constexpr std::size_t kFirstBlock = 1024;  // nodes
  static constexpr std::size_t kLargestBlock = 65536;

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  // What a byte is to the reader: blanks separate elements; '(', ')' and
  // '"' end a symbol too.
  enum ByteClass : unsigned char { kSymbolByte, kBlank, kDelimiter };
  static constexpr std::array<ByteClass, 256> kClasses = [] {
    std::array<ByteClass, 256> classes{};
    for (unsigned char c : {' ', '\t', '\n', '\r'}) classes[c] = kBlank;
    for (unsigned char c : {'(', ')', '"'}) classes[c] = kDelimiter;
    return classes;
  }();
  ByteClass ClassAt(std::size_t pos) const {
    return kClasses[static_cast<unsigned char>(text_[pos])];
  }

  void SkipBlanks() {
    while (!AtEnd() && ClassAt(pos_) == kBlank) ++pos_;
  }

  bool Fail(std::string what, std::string& error) const {
    return FailAt(pos_, std::move(what), error);
  }
  bool FailAt(std::size_t offset, std::string what, std::string& error) const {
    error = tree_.PlaceAt(offset) + ": " + what;
    return false;
  }

  // The text ends with `innermost` and the lists around it open.
  bool FailUnclosed(std::size_t innermost, std::string& error) const {
    const Unclosed unclosed = LikeliestUnclosed(text_, innermost);
    std::string what = "this '(' is never closed";
    if (unclosed.evidence != std::string_view::npos) {
      const std::string line = tree_.PlaceAt(unclosed.evidence);
      what += ", judging by the indentation of " + line.substr(0, line.find(','));
    }
    return FailAt(unclosed.at, std::move(what), error);
  }

  void Start(Node& node, Node::Kind kind) const {
    node.offset_ = static_cast<std::uint32_t>(pos_);
    node.bits_ = static_cast<std::uint32_t>(kind) << Node::kSizeBits;
  }
  static void SetText(Node& atom, const char* chars, std::size_t size) {
    atom.chars_ = chars;
    atom.bits_ |= static_cast<std::uint32_t>(size);
  }

  // Room for `count` nodes side by side in the tree's blocks.
  Node* Allocate(std::size_t count) {
    if (count > left_) {
      const std::size_t size = std::max(blockSize_, count);
      tree_.blocks_.emplace_back(static_cast<Node*>(::operator new(size * sizeof(Node))));
      next_ = tree_.blocks_.back().get();
      left_ = size;
      blockSize_ = std::min(blockSize_ * 2, kLargestBlock);
    }
    Node* at = next_;
    next_ += count;
    left_ -= count;
    return at;
  }

  // At '(': reads the list up to its ')'. `opened` false: the '(' is
  // missing, and the list starts here (see UnopenedList).
  bool ReadList(Node& list, int depth, std::string& error, bool opened = true) {
    Start(list, Node::Kind::List);
    if (depth > kMaxDepth)
      return Fail("lists nested deeper than " + std::to_string(kMaxDepth), error);
    if (opened) ++pos_;
    std::vector<Node>& items = scratch_[static_cast<std::size_t>(depth) - 1];
    items.clear();
    if (!opened) {
      Node head;
      ReadSymbol(head);
      items.push_back(head);
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) return FailUnclosed(list.offset_, error);
      const char c = Peek();
      if (c == ')') {
        ++pos_;
        if (!items.empty()) {
          Node* const at = Allocate(items.size());
          std::uninitialized_copy(items.begin(), items.end(), at);
          list.items_ = at;
          list.bits_ |= static_cast<std::uint32_t>(items.size());
        }
        items.clear();
        return true;
      }
      Node item;
      if (c == '(') {
        if (!ReadList(item, depth + 1, error)) return false;
      } else if (c == '"') {
        if (!ReadString(item, error)) return false;
      } else if (UnopenedList()) {
        if (!ReadList(item, depth + 1, error, false)) return false;
        ++tree_.repaired_;
      } else {
        ReadSymbol(item);
      }
      items.push_back(item);
    }
  }

  // Some KiCad boards hold "(curved_edges no)filter_ratio 0.9)" in their
  // teardrop settings, a fault of the program that wrote them; KiCad reads a
  // keyword there as if its '(' were written, and so does this reader: this
  // keyword only, right after a ')'.
  bool UnopenedList() const {
    constexpr std::string_view kKeyword = "filter_ratio";
    return pos_ > 0 && text_[pos_ - 1] == ')' &&
           text_.compare(pos_, kKeyword.size(), kKeyword) == 0 &&
           pos_ + kKeyword.size() < text_.size() && ClassAt(pos_ + kKeyword.size()) == kBlank;
  }

  void ReadSymbol(Node& atom) {
    Start(atom, Node::Kind::Symbol);
    const std::size_t start = pos_;
    while (!AtEnd() && ClassAt(pos_) == kSymbolByte) ++pos_;
    SetText(atom, text_.data() + start, pos_ - start);
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

  // At '"': reads a quoted string. Without escapes its text is a view into
  // the file's; with them it is decoded into a string of the tree.
  bool ReadString(Node& atom, std::string& error) {
    Start(atom, Node::Kind::String);
    const std::size_t start = pos_ + 1;
    std::size_t end = start;
    while (end < text_.size() && text_[end] != '"' && text_[end] != '\\') ++end;
    if (end >= text_.size()) return FailAt(atom.offset_, "this string is never closed", error);
    if (text_[end] == '"') {
      SetText(atom, text_.data() + start, end - start);
      pos_ = end + 1;
      return true;
    }
    std::string& decoded = tree_.decoded_.emplace_back(text_.substr(start, end - start));
    pos_ = end;
    if (!Decode(atom.offset_, decoded, error)) return false;
    SetText(atom, decoded.data(), decoded.size());
    return true;
  }

  // The rest of a string from its first backslash, with its escapes decoded:
  // \" \\ \' \? \a \b \f \n \r \t \v, \x with one or two hex digits, and one
  // to three octal digits. Any other escaped character stands for itself.
  bool Decode(std::size_t stringAt, std::string& out, std::string& error) {
    for (;;) {
      if (AtEnd()) return FailAt(stringAt, "this string is never closed", error);
      const char c = Peek();
      if (c == '"') {
        ++pos_;
        return true;
      }
      ++pos_;
      if (c != '\\') {
        out += c;
        continue;
      }
      const std::size_t escAt = pos_ - 1;
      if (AtEnd()) return FailAt(stringAt, "this string is never closed", error);
      const char e = Peek();
      ++pos_;
      switch (e) {
        case 'a':
          out += '\a';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'v':
          out += '\v';
          break;
        case 'x': {
          int value = 0, digits = 0;
          for (int d; digits < 2 && !AtEnd() && (d = DigitValue(Peek(), 16)) >= 0; ++digits) {
            value = value * 16 + d;
            ++pos_;
          }
          if (digits == 0) return FailAt(escAt, "'\\x' without a hexadecimal digit", error);
          out += static_cast<char>(value);
          break;
        }
        default:
          if (DigitValue(e, 8) >= 0) {
            int value = DigitValue(e, 8);
            for (int digits = 1, d; digits < 3 && !AtEnd() && (d = DigitValue(Peek(), 8)) >= 0;
                 ++digits) {
              value = value * 8 + d;
              ++pos_;
            }
            if (value > 0xFF) return FailAt(escAt, "octal escape above \\377", error);
            out += static_cast<char>(value);
          } else {
            out += e;
          }
      }
    }
  }

  std::string_view text_;
  Tree& tree_;
  std::vector<std::vector<Node>> scratch_;
  std::size_t pos_ = 0;
  Node* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t blockSize_ = kFirstBlock;
};

bool ParseSExpr(std::string_view text, Tree& tree, std::string& error) {
  tree = Tree{};
  return Reader(text, tree).Parse(error);
}

}  // namespace kicad
