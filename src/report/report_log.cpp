#include "report/report_log.h"

#include <charconv>
#include <stdexcept>
#include <system_error>

namespace modalsynth {

namespace {

void appendNumber(std::string& out, double value, std::chars_format format, int precision) {
  // Large enough for any double in fixed notation with five decimals.
  char buffer[512];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  if (ec != std::errc{}) throw std::invalid_argument("report value does not fit its conversion");
  out.append(buffer, end);
}

}  // namespace

std::string formatReportLine(std::string_view format, std::span<const double> values) {
  std::string out;
  out.reserve(format.size() + 16 * values.size());
  std::size_t next = 0;
  auto take = [&]() {
    if (next >= values.size()) throw std::invalid_argument("report format has more conversions than values");
    return values[next++];
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out.push_back(format[i]);
      continue;
    }
    std::string_view rest = format.substr(i);
    if (rest.starts_with("%%")) {
      out.push_back('%');
      i += 1;
    } else if (rest.starts_with("%.3f")) {
      appendNumber(out, take(), std::chars_format::fixed, 3);
      i += 3;
    } else if (rest.starts_with("%.5f")) {
      appendNumber(out, take(), std::chars_format::fixed, 5);
      i += 3;
    } else if (rest.starts_with("%g")) {
      appendNumber(out, take(), std::chars_format::general, 6);
      i += 1;
    } else {
      throw std::invalid_argument("unsupported conversion in report format");
    }
  }
  if (next != values.size()) throw std::invalid_argument("report format has fewer conversions than values");
  return out;
}

void AddReportLine(ReportSink& sink, std::string_view format, std::initializer_list<double> values) {
  sink.appendLine(formatReportLine(format, std::span<const double>(values.begin(), values.size())));
}

std::string errorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text.push_back('.');
  return text;
}

}  // namespace modalsynth
