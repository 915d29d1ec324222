#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "synthesis/formulas.h"
#include "support.h"
#include "synthesis/synthesis.h"

namespace modalsynth {
namespace {

ParameterSet at(float alfa) {
  ParameterSet ps;
  ps.alfa = alfa;
  return ps;
}

struct VariationCase {
  const char* what;
  float c2, c1, c0, alfa;
  long double expected;
  long double tolerance;  // 0: exact
};

TEST(TotalVariation, ClosedFormCases) {
  const VariationCase cases[] = {
      {"no slope, T = 0, x = 0", 0, 0, 1, 2, 1.0L, 0},
      {"minimum at tau 2", 1, 0, 0, 1, 2.0L + 2.0L * std::exp(-2.0L), 1e-7L},
      {"maximum at tau 1", 0, 1, 0, 1, 2.0L / std::exp(1.0L), 1e-7L},
      {"monotone rising", 0, 1, 2, 1, 2.0L, 0},
      {"monotone falling", 0, -1, -2, 1, 2.0L, 0},
      {"negative degree, monotone", 1, 2, 3, -1, 3.0L, 0},
  };
  for (const VariationCase& c : cases) {
    ParameterSet ps = at(c.alfa);
    const long double r = TotalVariation(ps, c.c2, c.c1, c.c0);
    if (c.tolerance == 0)
      EXPECT_EQ(r, c.expected) << c.what;
    else
      EXPECT_NEAR(static_cast<double>(r), static_cast<double>(c.expected), static_cast<double>(c.tolerance)) << c.what;
  }
}

TEST(TotalVariation, ResultIsReturnedUnrounded) {
  ParameterSet ps = at(3);
  const long double r = TotalVariation(ps, 0.3f, 0.7f, 1.1f);
  EXPECT_NE(r, static_cast<long double>(static_cast<float>(r)));
}

struct VariationFailure {
  const char* what;
  float c2, c1, c0, alfa;
  FloatFault fault;
};

TEST(TotalVariation, FailuresStopAtTheFirstFailingOperation) {
  const VariationFailure cases[] = {
      {"alfa 0, c0 != 0", 1, 1, 1, 0, FloatFault::DivisionByZero},
      {"alfa 0, c0 = 0", 1, 1, 0, 0, FloatFault::InvalidOperation},
      {"slope*alfa = delta", 0, 1, 1, 1, FloatFault::DivisionByZero},
      {"all coefficients 0", 0, 0, 0, 1, FloatFault::InvalidOperation},
      {"monotone with delta 0 at a negative degree", 1, 0, 1, -1, FloatFault::InvalidOperation},
      {"delta beyond single", 0, 0, 1e30f, 1e-10f, FloatFault::Overflow},
      // At a negative degree the exponential can overflow; that ends the
      // command like every other overflow.
      {"exp beyond double", 0, -1, 1.001f, -1, FloatFault::Overflow},
  };
  for (const VariationFailure& c : cases) {
    ParameterSet ps = at(c.alfa);
    EXPECT_EQ(testing::faultOf([&] { TotalVariation(ps, c.c2, c.c1, c.c0); }), c.fault) << c.what;
  }
}

// The fast evaluation and the checked one give the same bits, and the
// hardware flags are raised exactly when the checked one throws.
TEST(FloatModel, FastAndCheckedEvaluationsAgree) {
  std::mt19937 rng(20261211);
  std::uniform_real_distribution<float> mag(-3, 3);
  std::uniform_int_distribution<int> pick(0, 9);
  auto value = [&]() {
    if (pick(rng) == 0) return 0.0f;
    float v = std::pow(10.0f, mag(rng));
    return pick(rng) < 2 ? -v : v;
  };
  int failures = 0, clean = 0;
  for (int i = 0; i < 20000; ++i) {
    ParameterSet ps;
    ps.x1 = value(), ps.x2 = value(), ps.x3 = value(), ps.f0 = value();
    ps.Ku = value(), ps.Kf = value(), ps.part = value() * 0.01f, ps.u0 = value();
    ps.a2 = value(), ps.a1 = value(), ps.alfa = value();
    ParameterSet fast = ps, checked = ps;
    clearFloatFaultFlags();
    formulas::DegreeValues f = formulas::evaluateDegree<Unchecked>(fast);
    floatFence(f, fast);
    const bool raised = floatFaultFlagsRaised();
    try {
      formulas::DegreeValues c = formulas::evaluateDegree<Checked>(checked);
      ++clean;
      EXPECT_FALSE(raised) << "flags raised for a clean evaluation, case " << i;
      EXPECT_EQ(f.applicable, c.applicable);
      if (f.applicable && c.applicable) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(f.e), std::bit_cast<std::uint32_t>(c.e)) << i;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(f.u), std::bit_cast<std::uint32_t>(c.u)) << i;
      }
      EXPECT_EQ(fast.Ke, checked.Ke);
      EXPECT_EQ(fast.b2, checked.b2);
      EXPECT_EQ(fast.b1, checked.b1);
    } catch (const FloatError&) {
      ++failures;
      EXPECT_TRUE(raised) << "checked evaluation failed but no flag was raised, case " << i;
    }
  }
  clearFloatFaultFlags();
  // The generator must exercise both outcomes for the comparison to mean anything.
  EXPECT_GT(failures, 100);
  EXPECT_GT(clean, 100);
}

}  // namespace
}  // namespace modalsynth
