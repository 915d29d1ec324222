#include "params/number_syntax.h"

#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace modalsynth {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A "C" numeric locale of our own, so that conversion never depends on the
// process-wide locale the toolkit sets.
locale_t cLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::optional<long double> parseNumber(std::string_view text, std::string_view separator) {
  if (separator.empty()) separator = ".";
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;

  // Rebuild the number in the form strtold expects in the C locale.
  std::string normal;
  normal.reserve(n + 4);
  if (i < n && (text[i] == '+' || text[i] == '-')) normal.push_back(text[i++]);

  bool anyDigit = false;
  bool separatorSeen = false;
  while (i < n) {
    if (isDigit(text[i])) {
      normal.push_back(text[i++]);
      anyDigit = true;
    } else if (!separatorSeen && text.substr(i).starts_with(separator)) {
      normal.push_back('.');
      separatorSeen = true;
      i += separator.size();
    } else {
      break;
    }
  }
  if (!anyDigit && !separatorSeen) return std::nullopt;
  if (!anyDigit) normal.push_back('0');  // a lone separator reads as zero: ".0"

  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const std::size_t mark = normal.size();
    normal.push_back('e');
    if (i < n && (text[i] == '+' || text[i] == '-')) normal.push_back(text[i++]);
    bool expDigit = false;
    while (i < n && isDigit(text[i])) {
      normal.push_back(text[i++]);
      expDigit = true;
    }
    if (!expDigit) normal.resize(mark);  // a letter without digits: exponent zero
  }

  while (i < n && text[i] == ' ') ++i;
  if (i != n) return std::nullopt;

  errno = 0;
  char* end = nullptr;
  long double value = strtold_l(normal.c_str(), &end, cLocale());
  if (end != normal.c_str() + normal.size()) return std::nullopt;
  if (std::isinf(value) || std::isnan(value)) return std::nullopt;  // beyond the extended range
  return value;
}

std::string decimalSeparatorOf(const std::string& localeName) {
  locale_t loc = newlocale(LC_NUMERIC_MASK, localeName.c_str(), static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return ".";
  std::string separator = nl_langinfo_l(RADIXCHAR, loc);
  freelocale(loc);
  return separator.empty() ? std::string(".") : separator;
}

std::string regionalDecimalSeparator() {
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return decimalSeparatorOf(value);
  }
  return ".";
}

}  // namespace modalsynth
