// The S-expression reader: its grammar, its escapes and where it says a fault is.
#include <gtest/gtest.h>

#include <string>

#include "kicad/SExpr.h"

namespace {

using kicad::Node;
using kicad::ParseSExpr;
using kicad::Tree;

std::string ErrorOf(const std::string& text) {
  Tree tree;
  std::string error;
  EXPECT_FALSE(ParseSExpr(text, tree, error)) << text;
  return error;
}

TEST(SExpr, ReadsNestedListsOfSymbolsAndStringsWithTheirPlaces) {
  Tree tree;
  std::string error;
  ASSERT_TRUE(
      ParseSExpr("  (kicad_pcb (version 20211014)\n\t(net 1 \"a b\") ()\r\n  )\n", tree, error))
      << error;
  const Node& root = tree.root();
  EXPECT_EQ(root.Head(), "kicad_pcb");
  ASSERT_EQ(root.items().size(), 4u);
  const Node& net = root.items()[2];
  EXPECT_EQ(net.Head(), "net");
  EXPECT_EQ(tree.Place(net), "line 2, column 2");  // after a tab
  ASSERT_EQ(net.items().size(), 3u);
  EXPECT_EQ(net.items()[1].kind(), Node::Kind::Symbol);
  EXPECT_EQ(net.items()[1].text(), "1");
  EXPECT_EQ(net.items()[2].kind(), Node::Kind::String);
  EXPECT_EQ(net.items()[2].text(), "a b");
  EXPECT_EQ(tree.Place(net.items()[2]), "line 2, column 9");
  EXPECT_TRUE(root.items()[3].IsList());
  EXPECT_TRUE(root.items()[3].items().empty());
  EXPECT_EQ(root.Find("version")->items()[1].text(), "20211014");
  EXPECT_EQ(root.Find("missing"), nullptr);
  EXPECT_EQ(tree.Place(root.items()[3]), "line 2, column 16");
  EXPECT_EQ(tree.PlaceAt(1000), "line 4, column 1");  // past the end: the end
}

TEST(SExpr, DecodesEveryEscapeOfQuotedStrings) {
  Tree tree;
  std::string error;
  ASSERT_TRUE(ParseSExpr(R"((t "\"\\\a\b\f\n\r\t\v" "\x41\x4a\x7" "\101\60\0" "\q\(" "(a) x"))",
                         tree, error))
      << error;
  const Node& root = tree.root();
  EXPECT_EQ(root.items()[1].text(), std::string("\"\\\a\b\f\n\r\t\v"));
  EXPECT_EQ(root.items()[2].text(), std::string("AJ\x07"));
  EXPECT_EQ(root.items()[3].text(), std::string("A0\0", 3));
  EXPECT_EQ(root.items()[4].text(), "q(");  // an unknown escape stands for its character
  EXPECT_EQ(root.items()[5].text(), "(a) x");
  // Columns count characters, not bytes: "é" is two bytes of UTF-8.
  ASSERT_TRUE(ParseSExpr("(t \"\xC3\xA9\" x)", tree, error));
  EXPECT_EQ(tree.Place(tree.root().items()[2]), "line 1, column 8");
}

TEST(SExpr, DecodedStringsAndLargeTreesStayInPlaceWhileMoreIsRead) {
  // Many lists, more than one block of nodes, each with an escaped string:
  // every text read early must still be intact at the end.
  std::string text = "(board";
  constexpr int kLists = 20000;
  for (int i = 0; i < kLists; ++i)
    text += " (item " + std::to_string(i) + " \"n\\\"" + std::to_string(i) + "\")";
  text += ")";
  Tree tree;
  std::string error;
  ASSERT_TRUE(ParseSExpr(text, tree, error)) << error;
  const Tree moved = std::move(tree);
  const auto items = moved.root().items();
  ASSERT_EQ(items.size(), kLists + 1u);
  for (int i = 0; i < kLists; ++i) {
    const Node& item = items[static_cast<std::size_t>(i) + 1];
    ASSERT_EQ(item.items()[1].text(), std::to_string(i));
    ASSERT_EQ(item.items()[2].text(), "n\"" + std::to_string(i));
  }
}

TEST(SExpr, FaultsSayWhereAndWhat) {
  EXPECT_EQ(ErrorOf(""), "line 1, column 1: the file is empty; expected '('");
  EXPECT_EQ(ErrorOf("kicad_pcb"), "line 1, column 1: expected '(' at the start of the file");
  EXPECT_EQ(ErrorOf("(a\n  (b c)\n  (d"), "line 3, column 3: this '(' is never closed");
  EXPECT_EQ(ErrorOf("(a \"bc)\n"), "line 1, column 4: this string is never closed");
  EXPECT_EQ(ErrorOf("(a) (b)"),
            "line 1, column 5: unexpected text after the closing ')' of the file");
  EXPECT_EQ(ErrorOf("(a \"\\xg\")"), "line 1, column 5: '\\x' without a hexadecimal digit");
  EXPECT_EQ(ErrorOf("(a \"\\777\")"), "line 1, column 5: octal escape above \\377");
  const std::string deep =
      std::string(kicad::kMaxDepth + 1, '(') + std::string(kicad::kMaxDepth + 1, ')');
  EXPECT_NE(ErrorOf(deep).find("nested deeper than"), std::string::npos);
  Tree tree;
  std::string error;
  const std::string ok = std::string(kicad::kMaxDepth, '(') + std::string(kicad::kMaxDepth, ')');
  EXPECT_TRUE(ParseSExpr(ok, tree, error)) << error;
  EXPECT_EQ(ErrorOf("(a\n \"b\\"), "line 2, column 2: this string is never closed");
}

// "(curved_edges no)filter_ratio 0.9)", as some boards hold it: the keyword
// right after a ')' opens the list whose '(' is missing; anywhere else a
// word is a word.
TEST(SExpr, ReadsTheTeardropKeywordWhoseOpeningIsMissing) {
  Tree tree;
  std::string error;
  ASSERT_TRUE(
      ParseSExpr("(teardrops (curved_edges no)filter_ratio 0.9) (enabled yes))", tree, error))
      << error;
  const auto items = tree.root().items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[2].Head(), "filter_ratio");
  EXPECT_EQ(items[2].items()[1].text(), "0.9");
  EXPECT_EQ(items[3].Head(), "enabled");
  EXPECT_EQ(tree.repaired(), 1u);
  ASSERT_TRUE(ParseSExpr("(a (b) filter_ratio 0.9)", tree, error)) << error;
  EXPECT_EQ(tree.root().items().size(), 4u);
  EXPECT_EQ(tree.repaired(), 0u);
}

}  // namespace
