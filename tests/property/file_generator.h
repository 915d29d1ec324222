#pragma once
// Generated parameter files and typed degrees, each with what loading it must
// give: for every key the single-precision value, the default, or an
// overflow. Files mix realistic plants with zeros, negatives, huge and tiny
// magnitudes, unreadable values, quotes, odd letter case, missing and
// repeated keys, comments, byte-order marks and CR LF.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace modalsynth::hardening {

struct Expected {
  enum Kind { Value, Default, Overflow } kind = Default;
  float value = 0;  // for Value
  // The field the load stores.
  float loaded() const { return kind == Value ? value : 0.1f; }
};

inline constexpr int kKeyCount = 13;
inline constexpr std::array<const char*, kKeyCount> kKeys = {"x1", "x2", "x3",   "f0", "Ku",    "Kf",   "part",
                                                               "u0", "a2", "a1", "alfa1", "alfa2", "alfastep"};

struct GeneratedFile {
  std::string text;
  std::string separator;
  std::array<Expected, kKeyCount> expected;
  bool overflows() const;
  // The sweep's range and step as loaded (meaningful when nothing overflows).
  float alfa1() const { return expected[10].loaded(); }
  float alfa2() const { return expected[11].loaded(); }
  float alfastep() const { return expected[12].loaded(); }
};

struct GeneratedText {
  std::string text;
  Expected expected;  // Default: not a number
};

class FileGenerator {
 public:
  explicit FileGenerator(std::uint32_t seed) : rng_(seed) {}

  // A file whose sweep evaluates at most about maxDegrees degrees.
  GeneratedFile file(double maxDegrees);
  // A text typed as the degree, with the given decimal separator.
  GeneratedText typedDegree(const std::string& separator);

 private:
  GeneratedFile anyFile();
  GeneratedText value(double realistic, const std::string& separator, int chaos);
  std::string number(double realistic, const std::string& separator, std::string& canonical);
  std::string blanks();
  std::string oddCase(const std::string& name);
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::mt19937 rng_;
};

// What loading the text gives, from its form with a point as separator.
Expected expectedOf(const std::string& canonical);

}  // namespace modalsynth::hardening
