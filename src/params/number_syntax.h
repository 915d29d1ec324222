#pragma once
// The number syntax of the parameter file and of the typed degree.
//
// A number is: optional blanks, an optional sign, decimal digits with at most
// one decimal separator before, among or after them (at least one digit or
// the separator), an optional exponent (E or e, an optional sign, digits; a
// letter without digits is exponent zero), optional blanks. A lone separator
// reads as zero. Anything else is not a number.

#include <optional>
#include <string>
#include <string_view>

namespace modalsynth {

// Converts text to the nearest extended-precision value. nullopt when the text
// is not a number or its magnitude lies beyond the extended range.
std::optional<long double> parseNumber(std::string_view text, std::string_view decimalSeparator);

// The decimal separator of the user's regional settings: the numeric category
// named by LC_ALL, else LC_NUMERIC, else LANG, read now; "." when it cannot
// be determined.
std::string regionalDecimalSeparator();

// The decimal separator of a named locale ("." for an unknown locale).
std::string decimalSeparatorOf(const std::string& localeName);

}  // namespace modalsynth
