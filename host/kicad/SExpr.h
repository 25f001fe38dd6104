// A small reader of KiCad's S-expression text: nested lists of atoms, where an
// atom is a bare symbol (keywords, numbers) or a quoted string.
//
// The tree is compact, since a large board has a million nodes: a node is 16
// bytes, the elements of each list sit side by side in a few large blocks, and
// an atom's text is a view into the file's text (a quoted string with escapes:
// into the decoded copy the tree keeps). A node knows only its byte offset;
// the tree turns offsets into lines and columns for messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kicad {

class Node {
 public:
  enum class Kind : unsigned char { List, Symbol, String };

  Kind kind() const { return static_cast<Kind>(bits_ >> kSizeBits); }
  bool IsList() const { return kind() == Kind::List; }
  bool IsAtom() const { return kind() != Kind::List; }
  // An atom's text (a string with its escapes decoded); "" for a list.
  std::string_view text() const {
    return IsAtom() ? std::string_view(chars_, size()) : std::string_view();
  }
  // A list's elements; none for an atom.
  std::span<const Node> items() const {
    return IsList() ? std::span<const Node>(items_, size()) : std::span<const Node>();
  }
  // The head symbol of a list ("footprint" for "(footprint ...)"), or "".
  std::string_view Head() const;
  // The first sub-list with this head, or nullptr.
  const Node* Find(std::string_view head) const;
  // Where the atom or the list's '(' starts: a byte offset into the text.
  std::size_t offset() const { return offset_; }

 private:
  friend class Reader;
  static constexpr int kSizeBits = 30;
  std::size_t size() const { return bits_ & ((std::uint32_t{1} << kSizeBits) - 1); }

  union {
    const char* chars_ = nullptr;  // an atom's text
    const Node* items_;            // a list's elements
  };
  std::uint32_t offset_ = 0;
  std::uint32_t bits_ = 0;  // the kind above, the length of the text or list below
};

// The deepest nesting accepted; real files stay below 15.
inline constexpr int kMaxDepth = 200;
// The largest text read: offsets and sizes of nodes are 32-bit.
inline constexpr std::size_t kMaxText = std::size_t{1} << 30;

// A tree read from a text, which must outlive it.
class Tree {
 public:
  Tree() = default;
  Tree(Tree&&) = default;
  Tree& operator=(Tree&&) = default;

  const Node& root() const { return root_; }
  // "line L, column C" of a node or an offset, 1-based; columns count
  // characters, not the continuation bytes of UTF-8.
  std::string Place(const Node& node) const { return PlaceAt(node.offset()); }
  std::string PlaceAt(std::size_t offset) const;
  // How many lists were read whose '(' was missing (a known writer's fault
  // that KiCad reads through).
  std::size_t repaired() const { return repaired_; }

 private:
  friend class Reader;
  struct FreeBlock {
    void operator()(Node* p) const { ::operator delete(p); }
  };

  std::string_view text_;
  Node root_;
  std::vector<std::unique_ptr<Node, FreeBlock>> blocks_;
  std::deque<std::string> decoded_;              // strings with escapes
  mutable std::vector<std::size_t> lineStarts_;  // made on the first Place
  std::size_t repaired_ = 0;
};

// Reads one top-level list (whitespace around it is allowed, nothing else).
// On an error returns false and sets `error` to "line L, column C: what".
bool ParseSExpr(std::string_view text, Tree& tree, std::string& error);

}  // namespace kicad
