#include "report/report_log.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <stdexcept>
#include <vector>

#include "report/messages.h"
#include "support.h"

namespace modalsynth {
namespace {

struct FormatCase {
  const char* format;
  std::vector<double> values;
  const char* expected;
};

class FormatReportLine : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatReportLine, FormatsLikePrintfWithExactTies) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(formatReportLine(c.format, c.values), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatReportLine,
    ::testing::Values(
        FormatCase{"Результаты синтеза:", {}, "Результаты синтеза:"},
        FormatCase{"%.3f", {0.0625}, "0.062"},   // an exact half goes to the even digit
        FormatCase{"%.3f", {0.1875}, "0.188"},
        FormatCase{"%.3f", {0.0005}, "0.001"},   // 0.0005 as a double lies above the half
        FormatCase{"%.3f", {static_cast<double>(0.1f)}, "0.100"},
        FormatCase{"%.5f", {static_cast<double>(0.1f)}, "0.10000"},
        FormatCase{"%.3f", {-0.0001}, "-0.000"},
        FormatCase{"%.3f", {-0.0}, "-0.000"},
        FormatCase{"%.5f", {-74.0}, "-74.00000"},
        FormatCase{"%.3f", {static_cast<double>(3.4028234663852886e38f)},
                   "340282346638528859811704183484516925440.000"},
        FormatCase{"%g", {0.0}, "0"},
        FormatCase{"%g", {static_cast<double>(0.02f)}, "0.02"},
        FormatCase{"%g", {-0.5}, "-0.5"},
        FormatCase{"%g", {static_cast<double>(1e-6f)}, "1e-06"},
        FormatCase{"100%% at %.3f", {1.0}, "100% at 1.000"},
        FormatCase{"e(%.3f)=%.3f", {1.46, 1.603}, "e(1.460)=1.603"}));

TEST(FormatReportLineErrors, MismatchedFormatsThrow) {
  const std::vector<double> one{1.0};
  EXPECT_THROW(formatReportLine("%.3f %.3f", one), std::invalid_argument);
  EXPECT_THROW(formatReportLine("plain", one), std::invalid_argument);
  EXPECT_THROW(formatReportLine("%d", one), std::invalid_argument);
}

TEST(FormatReportLineLength, LongestValuesLineIsNeverCut) {
  const double big = 3.4028234663852886e38;
  std::vector<double> values(10, -big);
  std::string line = formatReportLine(msg::kEchoValues, values);
  EXPECT_GT(line.size(), 255u);
  EXPECT_TRUE(line.ends_with("a1=-340282346638528859811704183484516925440.000")) << line;
}

TEST(FormatReportLineLocale, AlwaysWritesAPoint) {
  MODALSYNTH_NEED_COMMA_LOCALE();
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, testing::kCommaLocale), nullptr);
  const std::vector<double> half{0.5};
  std::string line = formatReportLine("%.3f %g", std::vector<double>{0.5, 0.25});
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(line, "0.500 0.25");
}

TEST(ReportSink, AddReportLineAppendsOneFormattedLine) {
  testing::CapturedReport report;
  AddReportLine(report, msg::kResults);
  AddReportLine(report, msg::kMinimum, {1.603f, 1.46f});
  ASSERT_EQ(report.lines.size(), 2u);
  EXPECT_EQ(report.lastLine(), "Минимум e=1.603 достигнут при alfa*=1.460");
}

TEST(ErrorBoxText, AppendsAFullStopAfterACharacterAboveIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"Invalid floating point operation", "Invalid floating point operation."},
      {"Ends with a stop.", "Ends with a stop."},
      {"", ""},
      {"code 42", "code 42."},
      {"(bracket)", "(bracket)"},  // ')' lies below '.'
      {"ошибка", "ошибка."},
  };
  for (auto [message, shown] : cases) EXPECT_EQ(errorBoxText(message), shown) << message;
}

}  // namespace
}  // namespace modalsynth
