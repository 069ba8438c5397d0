#include <gtest/gtest.h>

#include <string>

#include "foundation/regex.h"
#include "tests/foundation/encoding_scope.h"

// The compiled form of patterns: each row gives a pattern and its tree.
namespace snipora {
namespace {

using test::EncodingScope;

// Tree notation: "text" literal, (..) group, {..} capturing group,
// [..] alternation, %c command letter, -xy range; a node's quantifier
// follows as @ prefix c count i index m max (only fields that are set).
std::string Describe(const CStrRegexStruct& node);

std::string DescribeMembers(const CStrRegexStruct& node) {
  std::string members;
  for (uint32_t i = 0; i < node.children.Count(); ++i) {
    if (i > 0) members += ' ';
    members += Describe(node.children[i]);
  }
  return members;
}

std::string Describe(const CStrRegexStruct& node) {
  std::string text;
  switch (node.kind) {
    case kRegexLiteral:
      text = std::string("\"") + node.text.Buffer() + "\"";
      break;
    case kRegexGroup:
      text = "(" + DescribeMembers(node) + ")";
      break;
    case kRegexCapture:
      text = "{" + DescribeMembers(node) + "}";
      break;
    case kRegexAlternation:
      text = "[" + DescribeMembers(node) + "]";
      break;
    case kRegexCommand:
      text = std::string("%") + node.letter;
      if (node.letter == 'z') text += "(" + DescribeMembers(node) + ")";
      break;
    case kRegexRange:
      text = std::string("-") + node.low + node.high;
      break;
    default:
      text = "?";
  }
  std::string quantifier;
  if (node.prefix != ' ') quantifier += node.prefix;
  if (node.count >= 0) quantifier += "c" + std::to_string(node.count);
  if (node.index >= 0) quantifier += "i" + std::to_string(node.index);
  if (node.max >= 0) quantifier += "m" + std::to_string(node.max);
  return quantifier.empty() ? text : text + "@" + quantifier;
}

std::string Compiled(const char* pattern) {
  CStrRegexStruct root;
  CompileRegex(pattern, root);
  EXPECT_EQ(root.kind, kRegexGroup);
  EXPECT_EQ(root.prefix, ' ');
  EXPECT_EQ(root.count, -1);
  return DescribeMembers(root);
}

struct CompileCase {
  const char* pattern;
  const char* tree;
};

void ExpectTrees(const CompileCase* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(Compiled(cases[i].pattern), cases[i].tree) << "pattern " << cases[i].pattern;
  }
}

TEST(PatternCompileTest, LiteralsAndDroppedConstructs) {
  const CompileCase cases[] = {
      {"", ""},
      {"abc", "\"abc\""},
      {"a%%b", "\"a%b\""},
      {"%+0\"", "\"\"\""},
      {"%9=", "\"=\""},
      {"%q", "\"q\""},
      {"ab%q", "\"ab\" \"q\""},  // a construct ends the pending literal
      {"ab%", "\"ab\""},
      {"%+%d", "%d"},  // the dropped construct's '%' starts the next one
      {"%-a", "\"a\""},
      {"%-", ""},
      {"abc%)def", "\"abc\""},
      {"a%]b%(c", "\"a\""},
      {"%(ab", "(\"ab\")"},  // an unclosed group closes at the end
  };
  ExpectTrees(cases, std::size(cases));
}

TEST(PatternCompileTest, GroupsAndAlternations) {
  const CompileCase cases[] = {
      {"%{a%{b%}%}", "{\"a\" {\"b\"}}"}, {"%[ab%%%(cd%)%]", "[\"a\" \"b\" \"%\" (\"cd\")]"},
      {"%(a%}b%]c", "(\"a\") \"b\""},  // any closer closes any group
      {"%(a%+3)b", "(\"a\") \"b\""},   // a closer's prefix and numbers are ignored
      {"%*2,5(x%)", "(\"x\")@*c2m5"},    {"%!{%[x%]%}", "{[\"x\"]}@!"},
  };
  ExpectTrees(cases, std::size(cases));
}

TEST(PatternCompileTest, QuantifiersAndCommandLetters) {
  const CompileCase cases[] = {
      {"%5d", "%d@c5"},
      {"%/0w", "%w@/c0"},
      {"%+1.2,3j", "%j@+c1i2m3"},
      {"%.d", "%d"},          // a '.' without digits is dropped
      {"%,d", "%d"},          // so is a ',' without digits
      {"%3,x", "%x@c3"},      // and x is then the letter
      {"%,3.4d", "\".4d\""},  // numbers out of order end the construct at '.'
      {"%2.5v", "%v@c5i2"},   // for U V h t u v the first number names the capture
      {"%3v", "%v@i3"},
      {"%1.2,3U", "%U@c2i1m3"},
      {"%3T", "%T@c3"},
      {"%*3p%+2.1,4$%!e%/P%5^", "%p %$ %e %P %^"},  // never repeated
      {"%99999999999d", "%d@c2147483647"},
  };
  ExpectTrees(cases, std::size(cases));
}

TEST(PatternCompileTest, RangesAndWrappedItems) {
  const CompileCase cases[] = {
      {"%-az", "-az"},
      {"%+0-az", "-az@+c0"},
      {"%-\xe3\x81\x82z", "- z"},  // a multi-byte bound is a space
      {"%-a\xe3\x81\x82", "-a "},
      {"%-\xe3\x81\x82", "\"\xe3\x81\x82\""},  // only one character follows
      {"%0,1z\"x", "%z(\"\"\")@c0m1 \"x\""},
      {"%z%(ab%)c", "%z((\"ab\") \"c\")"},
      {"%(%z%d%)x%)", "(%z(%d) \"x\")"},  // the closer ends the operand scan
      {"%z%%x", "%z(\"%\") \"x\""},
      {"%z", "%z()"},
      {"%[%zab%]", "[%z(\"a\") \"b\"]"},
  };
  ExpectTrees(cases, std::size(cases));
}

TEST(PatternCompileTest, DoubleByteCharactersStayWhole) {
  EncodingScope scope(TextEncoding::CodePage932);
  const CompileCase cases[] = {
      {"\x82\xa0"
       "b",
       "\"\x82\xa0"
       "b\""},
      {"%[\x82\xa0"
       "b%]",
       "[\"\x82\xa0\" \"b\"]"},
      {"\x81%d", "\"\x81%d\""},  // '%' as a second byte is no construct
      {"ab\x82", "\"ab\""},      // a lead byte at the very end ends the pattern
      {"%-\x82\xa0z", "- z"},
      {"%z\x82\xa0"
       "b",
       "%z(\"\x82\xa0\") \"b\""},
  };
  ExpectTrees(cases, std::size(cases));

  EncodingScope utf8(TextEncoding::Utf8);
  EXPECT_EQ(Compiled("\x81%d"), "\"\x81\" %d");  // a stray byte under UTF-8
}

TEST(PatternCompileTest, NestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 3 * kRegexMaxNesting; ++i) deep += "%(";
  deep += "x";
  CStrRegexStruct root;
  CompileRegex(deep.c_str(), root);
  int depth = 0;
  const CStrRegexStruct* node = &root;
  while (node->children.Count() > 0 && node->children[0].kind == kRegexGroup) {
    node = &node->children[0];
    ++depth;
  }
  EXPECT_EQ(depth, kRegexMaxNesting);
  // Openers beyond the limit are read as text.
  ASSERT_GT(node->children.Count(), 0u);
  EXPECT_EQ(node->children[0].kind, kRegexLiteral);
  EXPECT_EQ(node->children[0].text.Buffer()[0], '(');
}

}  // namespace
}  // namespace snipora
