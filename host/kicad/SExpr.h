// A small reader of KiCad's S-expression text: nested lists of atoms, where an
// atom is a bare symbol (keywords, numbers) or a quoted string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kicad {

struct Node {
  enum class Kind : unsigned char { List, Symbol, String };

  Kind kind = Kind::List;
  std::string text;         // an atom's text (a string with its escapes decoded)
  std::vector<Node> items;  // a list's elements
  int line = 0;             // where the atom or the list's '(' starts, 1-based
  int column = 0;

  bool IsList() const { return kind == Kind::List; }
  bool IsAtom() const { return kind != Kind::List; }
  // The head symbol of a list ("footprint" for "(footprint ...)"), or "".
  std::string_view Head() const;
  // The first sub-list with this head, or nullptr.
  const Node* Find(std::string_view head) const;
  // "line L, column C", for messages.
  std::string Place() const;
};

// The deepest nesting accepted; real files stay below 15.
inline constexpr int kMaxDepth = 200;

// Reads one top-level list (whitespace around it is allowed, nothing else).
// On an error returns false and sets `error` to "line L, column C: what".
bool ParseSExpr(std::string_view text, Node& root, std::string& error);

}  // namespace kicad
