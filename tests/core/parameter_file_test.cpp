#include "params/parameter_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/messages.h"
#include "support.h"
#include "synthesis/float_model.h"

namespace modalsynth {
namespace {

using testing::CapturedReport;
using testing::TempDir;

std::string lookup(const std::string& text, const char* section, const char* key) {
  std::istringstream in(text);
  return lookupValue(in, section, key);
}

struct LookupCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::string expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class LookupValue : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupValue, FollowsTheLookupRules) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(lookup(c.file, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LookupValue,
    ::testing::Values(
        LookupCase{"plain", "[Data]\nx1=5\n", "Data", "x1", "5"},
        LookupCase{"letter_case", "[DATA]\nKU=2\n", "Data", "Ku", "2"},
        LookupCase{"blanks", "  [ Data ]  \n \t x1 \t=  7.5 \t\n", "Data", "x1", "7.5"},
        LookupCase{"double_quotes", "[Data]\nx1=\"0.25\"\n", "Data", "x1", "0.25"},
        LookupCase{"single_quotes", "[Data]\nx1=' 3 '\n", "Data", "x1", " 3 "},
        LookupCase{"unmatched_quotes", "[Data]\nx1=\"3'\n", "Data", "x1", "\"3'"},
        LookupCase{"first_equals", "[Data]\nx1=a=b\n", "Data", "x1", "a=b"},
        LookupCase{"empty_value", "[Data]\nx1=\n", "Data", "x1", ""},
        LookupCase{"missing_key", "[Data]\nx2=1\n", "Data", "x1", ""},
        LookupCase{"key_in_other_section", "[L1P]\nx1=1\n[Data]\nx2=2\n", "Data", "x1", ""},
        LookupCase{"key_before_any_section", "x1=1\n[Data]\n", "Data", "x1", ""},
        LookupCase{"missing_section", "[Other]\nx1=1\n", "Data", "x1", ""},
        LookupCase{"order_free", "[alfa]\nalfa2=4\n[Data]\nx1=9\n", "alfa", "alfa2", "4"},
        LookupCase{"crlf", "[Data]\r\nx1=1.5\r\nx2=2\r\n", "Data", "x1", "1.5"},
        LookupCase{"byte_order_mark", "\xEF\xBB\xBF[Data]\nx1=4\n", "Data", "x1", "4"},
        LookupCase{"comments", "; [Data]\n[Data]\n# x1=1\n  ;x1=2\nx1=3\n", "Data", "x1", "3"},
        LookupCase{"first_key_wins", "[Data]\nx1=1\nx1=2\n", "Data", "x1", "1"},
        LookupCase{"first_section_wins", "[Data]\nx2=1\n[Data]\nx1=2\n", "Data", "x1", ""},
        LookupCase{"no_final_newline", "[Data]\nx1=8", "Data", "x1", "8"},
        LookupCase{"unclosed_section_line", "[Data]\n[L1P\nx1=6\n", "Data", "x1", "6"},
        LookupCase{"nul_bytes", std::string("[Data]\nx1=1\0" "2\n", 14), "Data", "x1", std::string("1\0" "2", 3)},
        LookupCase{"long_value", "[Data]\nx1=" + std::string(3000, '7') + "\n", "Data", "x1", std::string(2047, '7')}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LookupValueBounds, AHugeLineCountsWithItsFirst64KiB) {
  std::string file = "[Data]\nx1=" + std::string(kMaxLineBytes, ' ') + "5\nx2=2\n";
  EXPECT_EQ(lookup(file, "Data", "x1"), "");
  EXPECT_EQ(lookup(file, "Data", "x2"), "2");
}

TEST(LookupValueBounds, BinaryNoiseGivesNoValue) {
  std::string noise;
  for (int i = 0; i < 200000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
  EXPECT_EQ(lookup(noise, "Data", "x1"), "");
  EXPECT_EQ(lookup(noise + "\n[Data]\nx1=3\n", "Data", "x1"), "3");
}

constexpr const char* kDriveFile =
    "[Data]\nx1=1\nx2=0.5\nx3=0.2\nf0=1\nKu=2.78\nKf=1\npart=0.05\nu0=5\n"
    "[L1P]\na2=0.76\na1=2.02\n[alfa]\nalfa1=1\nalfa2=4\nalfastep=0.02\n";

TEST(LoadParameters, EchoesTenInputsAfterReadingAllThirteen) {
  TempDir dir;
  ParameterFile file(dir.write("p.txt", kDriveFile));
  ParameterSet ps;
  CapturedReport report;
  LoadParameters(ps, file, ".", report);
  EXPECT_EQ(report.lines, (std::vector<std::string>{
                              msg::kEchoHeading,
                              "x1=1.000 x2=0.500 x3=0.200 f0=1.000 Ku=2.780 Kf=1.000 part=0.050 u0=5.000 "
                              "a2=0.760 a1=2.020"}));
  EXPECT_EQ(ps.Ku, 2.78f);
  EXPECT_EQ(ps.alfa1, 1.0f);
  EXPECT_EQ(ps.alfa2, 4.0f);
  EXPECT_EQ(ps.alfastep, 0.02f);
}

TEST(LoadParameters, MissingFileGivesTheDefaultEverywhere) {
  TempDir dir;
  ParameterFile file(dir.path() / "absent.txt");
  ParameterSet ps;
  ps.Ke = 7;  // loading leaves the coefficients alone
  CapturedReport report;
  LoadParameters(ps, file, ".", report);
  EXPECT_EQ(report.lines.at(1),
            "x1=0.100 x2=0.100 x3=0.100 f0=0.100 Ku=0.100 Kf=0.100 part=0.100 u0=0.100 a2=0.100 a1=0.100");
  EXPECT_EQ(ps.alfastep, 0.1f);
  EXPECT_EQ(ps.Ke, 7.0f);
}

struct ValueCase {
  const char* text;
  const char* separator;
  float expected;
};

TEST(LoadParameters, ValuesThatAreNotNumbersTakeTheDefault) {
  const ValueCase cases[] = {
      {"0,5", ",", 0.5f}, {"0.5", ",", 0.1f}, {"0,5", ".", 0.1f}, {"0.5", ".", 0.5f},
      {"5 m", ".", 0.1f}, {"1 000", ".", 0.1f}, {" \"2.5\" ", ".", 2.5f}, {"1e5000", ".", 0.1f},
      {"-1e-50", ".", -0.0f}, {"1e-40", ".", 1e-40f}, {"", ".", 0.1f},
  };
  TempDir dir;
  for (const ValueCase& c : cases) {
    ParameterFile file(dir.write("p.txt", std::string("[Data]\nx1=") + c.text + "\n"));
    ParameterSet ps;
    CapturedReport report;
    LoadParameters(ps, file, c.separator, report);
    EXPECT_EQ(ps.x1, c.expected) << c.text << " with " << c.separator;
    EXPECT_EQ(std::signbit(ps.x1), std::signbit(c.expected)) << c.text;
  }
}

TEST(LoadParameters, NumbersBeyondDoubleOrSingleEndTheLoadWithOverflow) {
  TempDir dir;
  for (const char* text : {"1e39", "-1e39", "1e400", "3.4028236e38"}) {
    ParameterFile file(dir.write("p.txt", std::string("[alfa]\nalfastep=") + text + "\n"));
    ParameterSet ps;
    CapturedReport report;
    EXPECT_EQ(testing::faultOf([&] { LoadParameters(ps, file, ".", report); }), FloatFault::Overflow) << text;
    EXPECT_TRUE(report.lines.empty()) << text;  // the echo comes after all reads
  }
  // The largest single, and a value that rounds to it, load.
  ParameterFile file(dir.write("p.txt", "[Data]\nx1=3.4028235e38\n"));
  ParameterSet ps;
  CapturedReport report;
  LoadParameters(ps, file, ".", report);
  EXPECT_EQ(ps.x1, 3.4028234663852886e38f);
}

TEST(LoadParameters, EveryCommandSeesTheFileAsItIsNow) {
  TempDir dir;
  ParameterFile file(dir.write("p.txt", "[Data]\nx1=1e39\n"));
  ParameterSet ps;
  CapturedReport report;
  EXPECT_THROW(LoadParameters(ps, file, ".", report), FloatError);
  dir.write("p.txt", "[Data]\nx1=2\n");
  LoadParameters(ps, file, ".", report);
  EXPECT_EQ(ps.x1, 2.0f);
  EXPECT_TRUE(report.lines.at(1).starts_with("x1=2.000 ")) << report.lines.at(1);
}

TEST(ParameterFilePath, ReplacesTheExtensionOfTheExecutable) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/modalsynth", "/usr/bin/modalsynth.txt"},
      {"/opt/tool/modalsynth.exe", "/opt/tool/modalsynth.txt"},
      {"/opt/tool.d/modalsynth", "/opt/tool.d/modalsynth.txt"},
      {"/opt/a.b.c", "/opt/a.b.txt"},
      {"modalsynth", "modalsynth.txt"},
  };
  for (auto [exe, expected] : cases) EXPECT_EQ(parameterFilePathFor(exe).string(), expected) << exe;
}

}  // namespace
}  // namespace modalsynth
