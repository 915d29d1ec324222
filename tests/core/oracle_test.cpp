// The compiled arithmetic against an independent model of it: the rows of
// tests/golden/degree_oracle.csv were computed by tests/tools/degree_oracle.py
// in exact rational arithmetic with the roundings written out (extended at
// every operation, single at every store). Values are single-precision bit
// patterns in hexadecimal; "-" where the formula for e does not apply.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support.h"
#include "synthesis/formulas.h"

namespace modalsynth {
namespace {

float fromBits(const std::string& hex) { return std::bit_cast<float>(static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16))); }

std::vector<std::string> cells(const std::string& row) {
  std::vector<std::string> out;
  std::istringstream in(row);
  for (std::string cell; std::getline(in, cell, ',');) out.push_back(cell);
  return out;
}

TEST(DegreeOracle, EveryRoundingAsModelled) {
  const std::vector<std::string> rows =
      testing::splitLines(testing::readText(std::string(MODALSYNTH_SOURCE_DIR) + "/tests/golden/degree_oracle.csv"));
  ASSERT_GT(rows.size(), 1u);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::vector<std::string> c = cells(rows[i]);
    ASSERT_EQ(c.size(), 15u) << "row " << i;
    ParameterSet ps;
    float* inputs[] = {&ps.x1, &ps.x2, &ps.x3, &ps.f0, &ps.Ku, &ps.Kf, &ps.part, &ps.a2, &ps.a1, &ps.alfa};
    for (std::size_t k = 0; k < 10; ++k) *inputs[k] = fromBits(c[k]);
    const formulas::DegreeValues v = formulas::evaluateDegree<Checked>(ps);
    auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
    EXPECT_EQ(bits(ps.Ke), bits(fromBits(c[10]))) << "Ke, row " << i;
    EXPECT_EQ(bits(ps.b2), bits(fromBits(c[11]))) << "b2, row " << i;
    EXPECT_EQ(bits(ps.b1), bits(fromBits(c[12]))) << "b1, row " << i;
    EXPECT_EQ(v.applicable, c[13] != "-") << "row " << i;
    if (v.applicable && c[13] != "-") {
      EXPECT_EQ(bits(v.e), bits(fromBits(c[13]))) << "e, row " << i;
      EXPECT_EQ(bits(v.u), bits(fromBits(c[14]))) << "u, row " << i;
    }
  }
}

}  // namespace
}  // namespace modalsynth
