#include "foundation/number_text.h"

#include <gtest/gtest.h>

// The one reader of typed numbers and list cells: the jump dialog's value,
// the reservation cells and the fade-out length; and of typed times.
namespace snipora {
namespace {

TEST(NumberText, ANumberOrATimeIsTakenWholeOrNotAtAll) {
  constexpr std::nullopt_t no = std::nullopt;
  struct Case {
    const char* text;
    std::optional<uint32_t> number;
    std::optional<uint64_t> milliseconds;
  };
  const Case cases[] = {
      {"", no, no},
      {"abc", no, no},
      {"   ", no, no},
      {"-5", no, no},
      {"4294967295", no, 4294967295u},
      {"99999999999", no, 99999999999u},
      {"0", 0u, 0u},
      {"  42 ", 42u, 42u},
      {"+7", 7u, no},
      {"4294967294", 4294967294u, 4294967294u},
      // Trailing text is an error, not the end of the number.
      {"12abc", no, no},
      {"1 000", no, no},
      {"1.5", no, no},
      // The clock forms the window shows.
      {"1:23.500", no, 83500u},
      {"1:23.5", no, 83500u},
      {"0:01:23.05", no, 83050u},
      {" 2:00:00 ", no, 7200000u},
      {"90:00", no, 5400000u},
      {"1:60", no, no},
      {"1:5", no, 65000u},
      {"1:00:60.000", no, no},
      {"1:23.", no, no},
      {"1:23.5000", no, no},
      {"1:234", no, no},
      {"1:2:3:04", no, no},
      {":30", no, no},
      {"1:23.500x", no, no},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadUnsignedValue(c.text), c.number) << '"' << c.text << '"';
    EXPECT_EQ(ReadMillisecondsText(c.text), c.milliseconds) << '"' << c.text << '"';
  }
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
