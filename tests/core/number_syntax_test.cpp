#include "params/number_syntax.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "support.h"

namespace modalsynth {
namespace {

struct NumberCase {
  const char* text;
  const char* separator;
  std::optional<long double> expected;
};

std::ostream& operator<<(std::ostream& os, const NumberCase& c) {
  return os << '"' << c.text << "\" with '" << c.separator << "'";
}

class ParseNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumber, FollowsTheNumberSyntax) {
  const NumberCase& c = GetParam();
  std::optional<long double> got = parseNumber(c.text, c.separator);
  ASSERT_EQ(got.has_value(), c.expected.has_value());
  if (got) {
    EXPECT_EQ(*got, *c.expected);
    EXPECT_EQ(std::signbit(*got), std::signbit(*c.expected));
  }
}

constexpr std::optional<long double> no = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumber,
    ::testing::Values(
        NumberCase{"5", ".", 5.0L}, NumberCase{"  5  ", ".", 5.0L}, NumberCase{"+5", ".", 5.0L},
        NumberCase{"-2.5", ".", -2.5L}, NumberCase{"0.1", ".", 0.1L}, NumberCase{"5.", ".", 5.0L},
        NumberCase{".5", ".", 0.5L}, NumberCase{".", ".", 0.0L}, NumberCase{"-.", ".", -0.0L},
        NumberCase{"1e3", ".", 1000.0L}, NumberCase{"1E-2", ".", 0.01L}, NumberCase{"2.5e+1", ".", 25.0L},
        NumberCase{"1e", ".", 1.0L}, NumberCase{"1e+", ".", 1.0L}, NumberCase{".e7", ".", 0.0L},
        NumberCase{"1e400", ".", 1e400L}, NumberCase{"1e-5000", ".", 0.0L},
        NumberCase{"0,5", ",", 0.5L}, NumberCase{" -1,25e1 ", ",", -12.5L}, NumberCase{",", ",", 0.0L},
        // not numbers
        NumberCase{"", ".", no}, NumberCase{"   ", ".", no}, NumberCase{"+", ".", no}, NumberCase{"-", ".", no},
        NumberCase{"e5", ".", no}, NumberCase{"1.2.3", ".", no}, NumberCase{"5 m", ".", no},
        NumberCase{"5m", ".", no}, NumberCase{"1 000", ".", no}, NumberCase{"1,000", ".", no},
        NumberCase{"0x10", ".", no}, NumberCase{"inf", ".", no}, NumberCase{"nan", ".", no},
        NumberCase{"--5", ".", no}, NumberCase{"1e5000", ".", no}, NumberCase{"-1e5000", ".", no},
        NumberCase{"0.5", ",", no}, NumberCase{"0,5", ".", no}, NumberCase{"\t5", ".", no},
        NumberCase{"1e3.5", ".", no}, NumberCase{"1e--3", ".", no}));

TEST(ParseNumberBytes, EmbeddedNulIsNotANumber) {
  EXPECT_FALSE(parseNumber(std::string_view("5\0", 2), "."));
  EXPECT_FALSE(parseNumber(std::string_view("\0" "5", 2), "."));
}

TEST(ParseNumberRounding, RoundsOnceToNearestExtended) {
  // The extended values next to 1 are 2^-63 apart: 1 + 2^-64 ties to 1, and
  // anything above the half goes up.
  EXPECT_EQ(*parseNumber("1.0000000000000000000542101086242752217003726400434970855712890625", "."), 1.0L);
  EXPECT_EQ(*parseNumber("1.00000000000000000005421010862427522170037264004349708557128906251", "."),
            1.0L + 0x1p-63L);
}

TEST(RegionalDecimalSeparator, ReadsLcAllThenLcNumericThenLang) {
  MODALSYNTH_NEED_COMMA_LOCALE();
  using testing::ScopedEnv;
  {
    ScopedEnv all("LC_ALL", testing::kCommaLocale), numeric("LC_NUMERIC", "C"), lang("LANG", "C");
    EXPECT_EQ(regionalDecimalSeparator(), ",");
  }
  {
    ScopedEnv all("LC_ALL", nullptr), numeric("LC_NUMERIC", testing::kCommaLocale), lang("LANG", "C");
    EXPECT_EQ(regionalDecimalSeparator(), ",");
  }
  {
    ScopedEnv all("LC_ALL", ""), numeric("LC_NUMERIC", nullptr), lang("LANG", testing::kCommaLocale);
    EXPECT_EQ(regionalDecimalSeparator(), ",");
  }
  {
    ScopedEnv all("LC_ALL", "C"), lang("LANG", testing::kCommaLocale);
    EXPECT_EQ(regionalDecimalSeparator(), ".");
  }
  {
    ScopedEnv all("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(regionalDecimalSeparator(), ".");
  }
  {
    ScopedEnv all("LC_ALL", nullptr), numeric("LC_NUMERIC", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(regionalDecimalSeparator(), ".");
  }
}

}  // namespace
}  // namespace modalsynth
