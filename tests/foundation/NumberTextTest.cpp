#include "foundation/number_text.h"

#include <gtest/gtest.h>

// The one reader of typed numbers and list cells: the jump dialog's value,
// the reservation cells and the fade-out length.
namespace snipora {
namespace {

TEST(NumberText, ReadsLikeUnsignedConversionAndRefusesSigns) {
  struct Case {
    const char* text;
    std::optional<uint32_t> expected;
  };
  const Case cases[] = {
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"   ", std::nullopt},
      {"-5", std::nullopt},
      {"4294967295", std::nullopt},
      {"99999999999", std::nullopt},
      {"0", 0u},
      {"  42", 42u},
      {"+7", 7u},
      {"12abc", 12u},
      {"1 000", 1u},
      {"4294967294", 4294967294u},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadUnsignedValue(c.text), c.expected) << '"' << c.text << '"';
}

// Frame cells of files past 4 GiB: the same reading up to UINT64_MAX - 1.
TEST(NumberText, Reads64BitFrames) {
  EXPECT_EQ(ReadUnsigned64Value(" +4294967296"), uint64_t{4294967296});
  EXPECT_EQ(ReadUnsigned64Value("18446744073709551614"), UINT64_MAX - 1);
  EXPECT_EQ(ReadUnsigned64Value("18446744073709551615"), std::nullopt);
  EXPECT_EQ(ReadUnsigned64Value("99999999999999999999"), std::nullopt);
  EXPECT_EQ(ReadUnsigned64Value("-1"), std::nullopt);
}

}  // namespace
}  // namespace snipora
