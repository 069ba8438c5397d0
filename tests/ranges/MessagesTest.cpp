#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ranges/messages.h"

namespace snipora::ranges {
namespace {

// A translation that puts the values in the other order, as a language may.
std::string Reordering(const char* text) {
  return std::strcmp(text, "range %1 after range %2") == 0 ? "%2 の後に %1" : text;
}

TEST(RangeMessages, ValuesFillTheTranslatedTemplateOnce) {
  struct Case {
    const char* name;
    MessageTranslator translator;
    const char* text;
    std::initializer_list<std::string> values;
    std::string expected;
  };
  const Case cases[] = {
      {"English as written",
       nullptr,
       "range %1 after range %2",
       {"3", "2"},
       "range 3 after range 2"},
      {"translated and reordered", Reordering, "range %1 after range %2", {"3", "2"}, "2 の後に 3"},
      {"a value is not scanned again",
       nullptr,
       "list %1: %2",
       {"%2.csv", "bad"},
       "list %2.csv: bad"},
      {"a placeholder without a value stays", nullptr, "%1 and %3", {"a"}, "a and %3"},
      {"a lone percent sign stays", nullptr, "100%", {}, "100%"},
  };
  for (const Case& c : cases) {
    SetMessageTranslator(c.translator);
    EXPECT_EQ(Say(c.text, c.values), c.expected) << c.name;
  }
  SetMessageTranslator(nullptr);
}

}  // namespace
}  // namespace snipora::ranges
