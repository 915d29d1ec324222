#include "params/parameter_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>

#include "params/number_syntax.h"
#include "report/messages.h"
#include "report/report_log.h"
#include "synthesis/float_model.h"

namespace modalsynth {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNames(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

// Splits a stream into lines, each cut to its first kMaxLineBytes bytes,
// reading no more than kMaxFileBytes in all.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}

  bool next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
      if (pos_ == end_ && !refill()) return any;
      any = true;
      const char* begin = buffer_.data() + pos_;
      const char* stop = buffer_.data() + end_;
      const char* newline = static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(stop - begin)));
      const char* chunkEnd = newline != nullptr ? newline : stop;
      std::size_t room = kMaxLineBytes - std::min(kMaxLineBytes, line.size());
      line.append(begin, std::min(room, static_cast<std::size_t>(chunkEnd - begin)));
      pos_ = static_cast<std::size_t>(chunkEnd - buffer_.data());
      if (newline != nullptr) {
        ++pos_;
        return true;
      }
    }
  }

 private:
  bool refill() {
    if (total_ >= kMaxFileBytes || !in_) return false;
    std::size_t want = std::min(buffer_.size(), kMaxFileBytes - total_);
    in_.read(buffer_.data(), static_cast<std::streamsize>(want));
    end_ = static_cast<std::size_t>(in_.gcount());
    pos_ = 0;
    total_ += end_;
    return end_ > 0;
  }

  std::istream& in_;
  std::array<char, 64 * 1024> buffer_{};
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::size_t total_ = 0;
};

}  // namespace

std::string lookupValue(std::istream& in, std::string_view section, std::string_view key) {
  LineReader reader(in);
  std::string line;
  bool first = true;
  bool inSection = false;  // inside the first occurrence of the section
  bool sectionSeen = false;
  while (reader.next(line)) {
    std::string_view view = line;
    if (first && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
    first = false;
    view = trim(view);
    if (view.empty() || view.front() == ';' || view.front() == '#') continue;
    if (view.front() == '[') {
      std::size_t close = view.find(']');
      if (close == std::string_view::npos) continue;
      if (inSection) return {};  // the section ended without the key
      if (!sectionSeen && equalNames(trim(view.substr(1, close - 1)), section)) {
        inSection = true;
        sectionSeen = true;
      }
      continue;
    }
    if (!inSection) continue;
    std::size_t equals = view.find('=');
    if (equals == std::string_view::npos) continue;
    if (!equalNames(trim(view.substr(0, equals)), key)) continue;
    std::string_view value = trim(view.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
  }
  return {};
}

std::string ParameterFile::readString(std::string_view section, std::string_view key) const {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return {};
  return lookupValue(in, section, key);
}

double ParameterFile::readFloat(std::string_view section, std::string_view key, double defaultValue,
                                std::string_view decimalSeparator) const {
  std::string text = readString(section, key);
  if (text.empty()) return defaultValue;
  std::optional<long double> value = parseNumber(text, decimalSeparator);
  if (!value) return defaultValue;
  return storeDouble(*value);
}

void LoadParameters(ParameterSet& ps, const ParameterFile& file, std::string_view sep, ReportSink& report) {
  auto read = [&](const char* section, const char* key, float& field) {
    field = storeSingle(file.readFloat(section, key, kDefaultValue, sep));
  };
  read("Data", "x1", ps.x1);
  read("Data", "x2", ps.x2);
  read("Data", "x3", ps.x3);
  read("Data", "f0", ps.f0);
  read("Data", "Ku", ps.Ku);
  read("Data", "Kf", ps.Kf);
  read("Data", "part", ps.part);
  read("Data", "u0", ps.u0);
  read("L1P", "a2", ps.a2);
  read("L1P", "a1", ps.a1);
  read("alfa", "alfa1", ps.alfa1);
  read("alfa", "alfa2", ps.alfa2);
  read("alfa", "alfastep", ps.alfastep);
  AddReportLine(report, msg::kEchoHeading);
  AddReportLine(report, msg::kEchoValues,
                {ps.x1, ps.x2, ps.x3, ps.f0, ps.Ku, ps.Kf, ps.part, ps.u0, ps.a2, ps.a1});
}

std::filesystem::path parameterFilePathFor(const std::string& exe) {
  std::size_t mark = exe.find_last_of("./");
  std::string base = (mark != std::string::npos && exe[mark] == '.') ? exe.substr(0, mark) : exe;
  return base + ".txt";
}

std::string executablePath() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace modalsynth
