#include "file_generator.h"

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace modalsynth::hardening {

namespace {

struct Plant {
  std::array<double, kKeyCount> values;
};

// The shipped examples: drive, drive_tight, servo.
constexpr Plant kPlants[] = {
    {{1, 0.5, 0.2, 1, 2.78, 1, 0.05, 5, 0.76, 2.02, 1, 4, 0.02}},
    {{1, 0.5, 0.2, 1, 2.78, 1, 0.05, 1.85, 0.76, 2.02, 1.2, 2.5, 0.01}},
    {{1, 10, 50, 0.5, 50, 5, 0.002, 0.45, 0.002, 0.12, 18, 100, 1}},
};

const char* const kSectionNames[] = {"Data", "L1P", "alfa"};
constexpr int kSectionOf[kKeyCount] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2, 2};

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

bool GeneratedFile::overflows() const {
  return std::any_of(expected.begin(), expected.end(), [](const Expected& e) { return e.kind == Expected::Overflow; });
}

Expected expectedOf(const std::string& canonical) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const long double extendedValue = strtold_l(canonical.c_str(), nullptr, c);  // "." alone: zero
  if (std::isinf(extendedValue)) return {Expected::Default, 0};
  const double d = static_cast<double>(extendedValue);
  if (std::isinf(d)) return {Expected::Overflow, 0};
  const float f = static_cast<float>(d);
  if (std::isinf(f)) return {Expected::Overflow, 0};
  return {Expected::Value, f};
}

std::string FileGenerator::blanks() {
  static const char* const kBlanks[] = {"", "", "", "", " ", "  ", "\t", " \t "};
  return kBlanks[pick(8)];
}

std::string FileGenerator::oddCase(const std::string& name) {
  std::string s = name;
  switch (pick(6)) {
    case 0:
      std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
      break;
    case 1:
      std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
      break;
    case 2:
      for (char& ch : s)
        if (chance(0.5)) ch = static_cast<char>(std::isupper(static_cast<unsigned char>(ch)) ? std::tolower(ch) : std::toupper(ch));
      break;
    default:
      break;
  }
  return s;
}

// A number near the realistic value in one of the forms people write.
std::string FileGenerator::number(double realistic, const std::string& separator, std::string& canonical) {
  char buffer[64];
  switch (pick(6)) {
    case 0:
      std::snprintf(buffer, sizeof buffer, "%.*e", pick(8), realistic);
      break;
    case 1:
      std::snprintf(buffer, sizeof buffer, "%.*E", pick(8), realistic);
      break;
    default:
      std::snprintf(buffer, sizeof buffer, "%.*g", 1 + pick(9), realistic);
      break;
  }
  canonical = buffer;
  if (canonical.starts_with("0.") && chance(0.3)) canonical.erase(0, 1);  // ".5"
  if (canonical.find_first_of(".eE") == std::string::npos && chance(0.3)) canonical += '.';  // "5."
  if (canonical.find_first_of(".eE") == std::string::npos && chance(0.1)) canonical += 'e';  // "5e": exponent 0
  if (!std::signbit(realistic) && chance(0.15)) canonical = "+" + canonical;
  if (chance(0.05)) {
    const bool signed_ = canonical.front() == '+' || canonical.front() == '-';
    canonical = canonical.substr(0, signed_ ? 1 : 0) + "00" + canonical.substr(signed_ ? 1 : 0);
  }
  return replaceAll(canonical, ".", separator);
}

GeneratedText FileGenerator::value(double realistic, const std::string& separator, int chaos) {
  std::string canonical;
  const std::string other = separator == "." ? "," : ".";
  if (pick(100) >= chaos) {
    std::string text = number(realistic, separator, canonical);
    return {text, expectedOf(canonical)};
  }
  auto fixed = [&](std::initializer_list<const char*> forms) {
    canonical = forms.begin()[pick(static_cast<int>(forms.size()))];
    return GeneratedText{replaceAll(canonical, ".", separator), expectedOf(canonical)};
  };
  auto unreadable = [&](std::string text) { return GeneratedText{std::move(text), {Expected::Default, 0}}; };
  switch (pick(12)) {
    case 0:
      return fixed({"0", "0.0", ".", "0e5", "-0", "000"});
    case 1: {
      std::string text = number(-realistic, separator, canonical);
      return {text, expectedOf(canonical)};
    }
    case 2: {
      std::string text = number(std::clamp(realistic * 1e30, -3.3e38, 3.3e38), separator, canonical);
      return {text, expectedOf(canonical)};
    }
    case 3:
      return fixed({"1e39", "-3.5e38", "3.4028236e38", "1e300", "-1e308", "1e400", "-2.5e1000", "1.8e308"});
    case 4:
      return fixed({"1e5000", "-7e99999", "1e4933", "9e999999999999999999"});
    case 5:
      return fixed({"1e-40", "-1e-45", "1e-50", "1e-400", "1e-5000", "1.4e-45"});
    case 6: {
      static const char* const kTails[] = {" m", "abc", ";x", " 5", "%", "e5e", "..", "/2"};
      return unreadable(number(realistic, separator, canonical) + kTails[pick(8)]);
    }
    case 7: {
      std::string text = number(realistic, separator, canonical);
      if (canonical.find('.') == std::string::npos) return unreadable(text + other + "5");
      return unreadable(replaceAll(canonical, ".", other));
    }
    case 8: {
      static const char* const kWords[] = {"1,000.5", "1.000,5", "1 000", "inf",  "nan", "0x10",   "abc",
                                           "",        "--1",     "+-1",   "e5",   "1e5.5", "\"\"", "2.5.1"};
      return unreadable(kWords[pick(14)]);
    }
    case 9: {
      const char quote = chance(0.5) ? '"' : '\'';
      const std::string pad = chance(0.3) ? " " : "";
      std::string text = number(realistic, separator, canonical);
      return {quote + pad + text + pad + quote, expectedOf(canonical)};
    }
    case 10: {
      std::string text = number(realistic, separator, canonical);
      static const char* const kForms[] = {"\"%s", "%s'", "'%s\"", "\"%s\"\"", "'%s"};
      return unreadable(replaceAll(kForms[pick(5)], "%s", text));
    }
    default:
      return {"\x01", {Expected::Default, 0}};  // the key is missing
  }
}

GeneratedFile FileGenerator::anyFile() {
  GeneratedFile f;
  f.separator = chance(0.5) ? "." : ",";
  const Plant& plant = kPlants[pick(3)];
  std::array<double, kKeyCount> realistic{};
  const bool degenerate = chance(0.1);  // a plant with some parameters zero
  for (int k = 0; k < 10; ++k) realistic[k] = degenerate && chance(0.3) ? 0 : plant.values[k] * uniform(0.5, 2);

  // The sweep's range and step, shaped so that most sweeps are short.
  double a1 = plant.values[10] * uniform(0.5, 1.5);
  double a2 = a1 + (plant.values[11] - plant.values[10]) * uniform(0.2, 3);
  double step = (a2 - a1) / uniform(5, 600);
  switch (pick(10)) {
    case 0:
      a2 = a1 * uniform(0.3, 1);
      break;
    case 1:
      step = chance(0.5) ? 0 : -step;
      break;
    case 2:
      step = a1 * 1e-9;
      break;
    case 3:
      a1 = chance(0.5) ? 0 : -a1;
      break;
    default:
      break;
  }
  realistic[10] = a1;
  realistic[11] = a2;
  realistic[12] = step;

  std::array<GeneratedText, kKeyCount> values;
  for (int k = 0; k < kKeyCount; ++k) {
    values[k] = value(realistic[k], f.separator, k < 10 ? 12 : 8);
    f.expected[k] = values[k].expected;
  }

  const std::string eol = chance(0.3) ? "\r\n" : "\n";
  std::string& t = f.text;
  if (chance(0.1)) t += "\xEF\xBB\xBF";
  if (chance(0.3)) t += "; generated parameter file" + eol;
  if (chance(0.1)) t += "x1=999" + eol;  // before any section: ignored
  if (chance(0.1)) t += "[Other]" + eol + "Ku=0" + eol + "alfastep=0" + eol;

  std::vector<int> order = {0, 1, 2};
  if (chance(0.2)) std::shuffle(order.begin(), order.end(), rng_);
  for (int section : order) {
    t += blanks() + "[" + (chance(0.1) ? " " : "") + oddCase(kSectionNames[section]) + "]" + blanks() + eol;
    std::vector<int> keys;
    for (int k = 0; k < kKeyCount; ++k)
      if (kSectionOf[k] == section) keys.push_back(k);
    if (chance(0.3)) std::shuffle(keys.begin(), keys.end(), rng_);
    std::vector<int> repeated;
    for (int k : keys) {
      if (chance(0.05)) t += eol;
      if (chance(0.05)) t += blanks() + (chance(0.5) ? "; " : "# ") + kKeys[k] + "=12345" + eol;
      if (values[k].text == "\x01") continue;
      t += blanks() + oddCase(kKeys[k]) + blanks() + "=" + blanks() + values[k].text + blanks() + eol;
      if (chance(0.05)) repeated.push_back(k);
    }
    if (chance(0.05)) t += "note=x1 is the error weight" + eol + "x1x=3" + eol;
    for (int k : repeated) t += std::string(kKeys[k]) + "=777" + eol;  // the first occurrence wins
  }
  if (chance(0.05)) t += "[" + oddCase("data") + "]" + eol + "x1=4242" + eol;  // a repeated section: ignored
  if (chance(0.2) && t.ends_with(eol)) t.resize(t.size() - eol.size());      // no line end at the end
  return f;
}

GeneratedFile FileGenerator::file(double maxDegrees) {
  for (;;) {
    GeneratedFile f = anyFile();
    if (f.overflows()) return f;
    const float a1 = f.alfa1(), a2 = f.alfa2(), step = f.alfastep();
    if (!(a1 < a2)) return f;
    const float next = static_cast<float>(static_cast<long double>(a1) + step);
    if (!(next > a1) || std::isinf(next)) return f;
    if ((static_cast<double>(a2) - a1) / step <= maxDegrees) return f;
  }
}

GeneratedText FileGenerator::typedDegree(const std::string& separator) {
  for (;;) {
    GeneratedText t = value(uniform(0.01, 100), separator, 40);
    // The typed degree loses no quotes; the file's blanks are not ours.
    if (t.text == "\x01" || t.text.find_first_of("\"'") != std::string::npos) continue;
    if (chance(0.2)) t.text = " " + t.text + " ";
    return t;
  }
}

}  // namespace modalsynth::hardening
