// The parameter-file reader and the number syntax on arbitrary bytes: every
// key's lookup stays within its bounds, and the number syntax accepts exactly
// the texts an independent recogniser accepts, with the same value whatever
// the decimal separator.

#include <cmath>
#include <sstream>
#include <string>
#include <string_view>

#include "command_outcome.h"
#include "fuzz_target.h"
#include "params/number_syntax.h"
#include "params/parameter_file.h"

namespace modalsynth::fuzz {

namespace {

constexpr std::string_view kSeparators[] = {".", ",", "\xD9\xAB"};  // the last: a two-byte separator

std::string swapped(std::string_view text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  if (at == std::string_view::npos) return std::string(text);
  std::string out(text.substr(0, at));
  out.append(to).append(text.substr(at + from.size()));
  return out;
}

void checkNumber(std::string_view text) {
  std::optional<long double> withPoint;
  for (std::string_view separator : kSeparators) {
    const std::optional<long double> value = parseNumber(text, separator);
    const bool syntax = hardening::isNumberText(text, separator);
    if (value) {
      require(syntax, "parsed a text that is not a number: \"" + std::string(text) + "\"");
      require(std::isfinite(*value), "a number that is not finite");
    } else if (syntax) {
      // Only a magnitude beyond the extended range may refuse a well-formed number.
      require(text.find_first_of("eE") != std::string_view::npos || text.size() > 4900,
              "refused the number \"" + std::string(text) + "\"");
    }
    if (separator == ".") withPoint = value;
  }
  // The same number written with another separator reads the same.
  if (withPoint && text.find(',') == std::string_view::npos) {
    const std::optional<long double> withComma = parseNumber(swapped(text, ".", ","), ",");
    require(withComma && *withComma == *withPoint, "the comma changes \"" + std::string(text) + "\"");
  }
}

}  // namespace

int parameterFileInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  static constexpr const char* kKeys[][2] = {
      {"Data", "x1"}, {"Data", "x2"},   {"Data", "x3"}, {"Data", "f0"},    {"Data", "Ku"},
      {"Data", "Kf"}, {"Data", "part"}, {"Data", "u0"}, {"L1P", "a2"},     {"L1P", "a1"},
      {"alfa", "alfa1"}, {"alfa", "alfa2"}, {"alfa", "alfastep"}};
  for (const auto& [section, key] : kKeys) {
    std::istringstream in(bytes);
    const std::string value = lookupValue(in, section, key);
    require(value.size() <= kMaxValueLength, "a value longer than the value limit");
    require(value.find('\n') == std::string::npos, "a value runs over a line end");
    checkNumber(value);
  }
  checkNumber(bytes.substr(0, 4096));
  return 0;
}

}  // namespace modalsynth::fuzz

MODALSYNTH_FUZZ_ENTRY(parameterFileInput)
