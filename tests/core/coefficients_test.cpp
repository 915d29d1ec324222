#include <gtest/gtest.h>

#include <cmath>

#include "report/messages.h"
#include "support.h"
#include "synthesis/formulas.h"
#include "synthesis/synthesis.h"

namespace modalsynth {
namespace {

using testing::CapturedReport;
using testing::TempDir;

ParameterSet plant(float Ku, float a2, float a1) {
  ParameterSet ps;
  ps.Ku = Ku;
  ps.a2 = a2;
  ps.a1 = a1;
  return ps;
}

std::string coefficientLine(const ParameterSet& ps, float degree) {
  return formatReportLine(msg::kDegreeCoefficients,
                          std::vector<double>{degree, ps.Ke, ps.b2, ps.b1});
}

struct CoefficientCase {
  float Ku, a2, a1, degree;
  const char* line;
};

TEST(CalcCoefficients, KnownDegrees) {
  const CoefficientCase cases[] = {
      {0.1f, 0.1f, 0.1f, 1.0f, "Для степени устойчивости alfa=1.00000 Ke=1.00000 b2=2.00000 b1=-7.00000"},
      {0.1f, 0.1f, 0.1f, 2.0f, "Для степени устойчивости alfa=2.00000 Ke=8.00000 b2=0.62500 b1=0.25000"},
      {0.1f, 0.1f, 0.1f, 0.5f, "Для степени устойчивости alfa=0.50000 Ke=0.12500 b2=4.00000 b1=-74.00000"},
      // Negative degrees compute like positive ones: Ke = -a2/Ku.
      {0.1f, 0.1f, 0.1f, -1.0f, "Для степени устойчивости alfa=-1.00000 Ke=-1.00000 b2=4.00000 b1=7.00000"},
      // The cube is rounded once to extended: a cube rounded to double
      // would give b2=-514.50568.
      {0.001953125f, 0.00317281019f, 1.0f, 0.847f,
       "Для степени устойчивости alfa=0.84700 Ke=0.98711 b2=-514.50562 b1=-515.14545"},
  };
  for (const CoefficientCase& c : cases) {
    ParameterSet ps = plant(c.Ku, c.a2, c.a1);
    CalcCoefficients(ps, c.degree);
    EXPECT_EQ(coefficientLine(ps, c.degree), c.line);
  }
}

TEST(CalcCoefficients, UsesTheStoredSinglePrecisionKe) {
  ParameterSet ps = plant(2.78f, 0.76f, 2.02f);
  CalcCoefficients(ps, 0.08f);
  const long double deg = 0.08f;
  const long double exactKe = deg * deg * deg * (static_cast<long double>(0.76f) / 2.78f);
  EXPECT_EQ(ps.Ke, static_cast<float>(exactKe));
  EXPECT_NE(static_cast<long double>(ps.Ke), exactKe);
  const float b2FromStored = static_cast<float>(3.0L / (deg * deg) - 2.02f / (2.78f * static_cast<long double>(ps.Ke)));
  const float b2FromExact = static_cast<float>(3.0L / (deg * deg) - 2.02f / (2.78f * exactKe));
  EXPECT_EQ(ps.b2, b2FromStored);
  EXPECT_NE(ps.b2, b2FromExact);
  EXPECT_TRUE(coefficientLine(ps, 0.08f).starts_with("Для степени устойчивости alfa=0.08000 Ke=0.00014 "));
}

// s·(a2·s²+a1·s+1) + Ku·Ke·(b2·s²+b1·s+1) = a2·(s+alfa)³: the s², s and 1
// coefficients agree up to the single-precision roundings of Ke, b2 and b1.
TEST(CalcCoefficients, PlaceATripleRootAtMinusTheDegree) {
  const float plants[][3] = {{2.78f, 0.76f, 2.02f}, {50.f, 0.002f, 0.12f}, {0.5f, 3.f, 0.1f}, {1e3f, 1e-4f, 5.f}};
  const float degrees[] = {0.3f, 1.0f, 1.46f, 7.5f, 33.f, 120.f};
  for (const auto& p : plants)
    for (float d : degrees) {
      ParameterSet ps = plant(p[0], p[1], p[2]);
      CalcCoefficients(ps, d);
      const double g = static_cast<double>(ps.Ku) * ps.Ke;
      const double a2 = ps.a2, a = d;
      const double eps = 4e-7;
      EXPECT_NEAR(g / (a2 * a * a * a), 1.0, eps) << p[0] << " " << d;
      EXPECT_NEAR((ps.a1 + g * ps.b2) / (3 * a2 * a), 1.0, eps * (1 + std::fabs(ps.a1 / (3 * a2 * a))) * 4);
      EXPECT_NEAR((1 + g * ps.b1) / (3 * a2 * a * a), 1.0, eps * (1 + 1 / (3 * a2 * a * a)) * 4);
    }
}

TEST(CalcCoefficients, LeavesTheCurrentDegreeAlone) {
  ParameterSet ps = plant(1, 1, 1);
  ps.alfa = 5;
  CalcCoefficients(ps, 2);
  EXPECT_EQ(ps.alfa, 5.0f);
}

struct FailureCase {
  const char* what;
  float Ku, a2, a1, degree;
  FloatFault fault;
};

TEST(CalcCoefficients, FirstFailingOperationDecidesTheError) {
  const FailureCase cases[] = {
      {"Ku=0, a2!=0: a2/Ku", 0, 1, 1, 1, FloatFault::DivisionByZero},
      {"Ku=0, a2=0: a2/Ku", 0, 0, 1, 1, FloatFault::InvalidOperation},
      {"degree 0: 3/degree^2 before a1/(Ku*Ke)", 1, 1, 0, 0, FloatFault::DivisionByZero},
      {"Ke=0 from a2=0: a1/(Ku*Ke)", 1, 0, 1, 1, FloatFault::DivisionByZero},
      {"Ke=0 from a2=0, a1=0: 0/0", 1, 0, 0, 1, FloatFault::InvalidOperation},
      {"Ke too small for single", 1e30f, 1e-30f, 1, 1e-3f, FloatFault::DivisionByZero},
      {"Ke beyond single", 1, 1, 1, 1e13f, FloatFault::Overflow},
      {"b2 beyond single", 1, 1, 1, 1e-15f, FloatFault::Overflow},
  };
  for (const FailureCase& c : cases) {
    ParameterSet ps = plant(c.Ku, c.a2, c.a1);
    EXPECT_EQ(testing::faultOf([&] { CalcCoefficients(ps, c.degree); }), c.fault) << c.what;
  }
}

class SingleDegreeCommand : public ::testing::Test {
 protected:
  bool run(const std::string& typed, const char* sep = ".") {
    report.lines.clear();
    return RunSingleDegree(ps, file, sep, typed, report);
  }
  TempDir dir;
  ParameterFile file{dir.path() / "none.txt"};  // every input 0.1
  ParameterSet ps;
  CapturedReport report;
};

TEST_F(SingleDegreeCommand, ReportsTheCoefficientsAfterTheEcho) {
  ASSERT_TRUE(run(" 1 "));
  ASSERT_EQ(report.lines.size(), 3u);
  EXPECT_EQ(report.lines[0], msg::kEchoHeading);
  EXPECT_EQ(report.lines[2], "Для степени устойчивости alfa=1.00000 Ke=1.00000 b2=2.00000 b1=-7.00000");
  ASSERT_TRUE(run("0.1"));
  EXPECT_EQ(ps.alfa, 0.1f);
  EXPECT_TRUE(report.lines[2].starts_with("Для степени устойчивости alfa=0.10000 ")) << report.lines[2];
  ASSERT_TRUE(run("0,5", ","));
  EXPECT_EQ(ps.alfa, 0.5f);
}

TEST_F(SingleDegreeCommand, TextThatIsNotANumberLeavesOnlyTheEcho) {
  ASSERT_TRUE(run("2"));
  const float Ke = ps.Ke;
  for (const char* text : {"", "abc", "1e5000", "2 m"}) {
    EXPECT_FALSE(run(text)) << text;
    EXPECT_EQ(report.lines.size(), 2u) << text;
  }
  EXPECT_FALSE(run("0.5", ","));
  EXPECT_FALSE(run("0,5", "."));
  EXPECT_EQ(ps.alfa, 2.0f);
  EXPECT_EQ(ps.Ke, Ke);
}

TEST_F(SingleDegreeCommand, ArithmeticErrorsEndTheCommandAfterTheEcho) {
  const std::pair<const char*, FloatFault> cases[] = {
      {"0", FloatFault::DivisionByZero},
      {"1e39", FloatFault::Overflow},  // the store into alfa, not the message box
      {"1e400", FloatFault::Overflow},
  };
  for (auto [text, fault] : cases) {
    EXPECT_EQ(testing::faultOf([&] { run(text); }), fault) << text;
    EXPECT_EQ(report.lines.size(), 2u) << text;
  }
}

}  // namespace
}  // namespace modalsynth
