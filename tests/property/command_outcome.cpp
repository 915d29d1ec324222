#include "command_outcome.h"

#include <cmath>
#include <sstream>

#include "report/messages.h"
#include "report/report_log.h"

namespace modalsynth::hardening {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a number as the conversion at the front of format prints it; false
// when the line does not hold one at i.
bool readNumber(std::string_view format, std::string_view line, std::size_t& i) {
  auto digits = [&]() {
    const std::size_t start = i;
    while (i < line.size() && isDigit(line[i])) ++i;
    return i - start;
  };
  if (i < line.size() && line[i] == '-') ++i;
  if (format.starts_with("%g")) {
    if (digits() == 0) return false;
    if (i < line.size() && line[i] == '.') {
      ++i;
      if (digits() == 0) return false;
    }
    if (i + 1 < line.size() && line[i] == 'e' && (line[i + 1] == '-' || line[i + 1] == '+')) {
      i += 2;
      return digits() >= 2;
    }
    return true;
  }
  const std::size_t decimals = format.starts_with("%.3f") ? 3 : 5;
  if (digits() == 0 || i >= line.size() || line[i] != '.') return false;
  ++i;
  return digits() == decimals;
}

// A line as a report line format prints it: the format's text literally and,
// for each conversion, a number in its form.
class Line {
 public:
  explicit Line(const char* format) : format_(format) {}
  const char* format() const { return format_; }
  bool matches(std::string_view line) const {
    const std::string_view format = format_;
    std::size_t i = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
      const std::string_view rest = format.substr(f);
      if (rest.starts_with("%g") || rest.starts_with("%.3f") || rest.starts_with("%.5f")) {
        if (!readNumber(rest, line, i)) return false;
        f += rest.starts_with("%g") ? 1 : 3;
      } else if (i >= line.size() || line[i++] != format[f]) {
        return false;
      }
    }
    return i == line.size();
  }

 private:
  const char* format_;
};

struct Lines {
  Line heading{msg::kEchoHeading};
  Line values{msg::kEchoValues};
  Line limitCrossed{msg::kLimitCrossed};
  Line limitError{msg::kLimitError};
  Line notApplicable{msg::kNotApplicable};
  Line stepStalled{msg::kStepStalled};
  Line stepLimit{msg::kStepLimit};
  Line noDegree{msg::kNoDegree};
  Line minimum{msg::kMinimum};
  Line results{msg::kResults};
  Line limitFirst{msg::kLimitFirst};
  Line minimumFirst{msg::kMinimumFirst};
  Line limitNeverCrossed{msg::kLimitNeverCrossed};
  Line leastError{msg::kLeastError};
  Line optimum{msg::kOptimumCoefficients};
  Line degree{msg::kDegreeCoefficients};
};

const Lines& lines() {
  static const Lines all;
  return all;
}

// Collects the first thing found wrong, with the context to see it.
class Verdict {
 public:
  explicit Verdict(const std::vector<std::string>& lines) : lines_(lines) {}
  bool expect(bool ok, const std::string& what) {
    if (!ok && problem_.empty()) problem_ = what;
    return ok;
  }
  bool expectLine(std::size_t i, const Line& line) {
    return expect(i < lines_.size() && line.matches(lines_[i]),
                  "line " + std::to_string(i + 1) + " is not \"" + line.format() + "\"");
  }
  std::string result(const std::string& extra = {}) const {
    if (problem_.empty()) return {};
    std::ostringstream out;
    out << problem_ << extra << "\n-- report:\n";
    for (const std::string& l : lines_) out << l << '\n';
    return out.str();
  }

 private:
  const std::vector<std::string>& lines_;
  std::string problem_;
};

std::string abortedStatus(FloatFault fault) {
  return std::string(msg::kStatusAborted) + errorBoxText(floatFaultMessage(fault));
}

std::string faultName(const std::optional<FloatFault>& fault) {
  return fault ? std::string(floatFaultMessage(*fault)) : std::string("none");
}

}  // namespace

void CheckingChart::clearSeries(int series) {
  if (points[0] + points[1] + points[2] != 0) faults.push_back("a series cleared after points were added");
  clears.push_back(series);
}

void CheckingChart::addPoint(int series, double x, double y, Colour colour) {
  static constexpr Colour kColours[3] = {kBlue, kGreen, kRed};
  if (series != nextSeries_) {
    faults.push_back("point for series " + std::to_string(series) + " out of turn");
    return;
  }
  nextSeries_ = (series + 1) % 3;
  if (colour != kColours[series]) faults.push_back("wrong colour on series " + std::to_string(series));
  if (!std::isfinite(x) || !std::isfinite(y)) faults.push_back("a point that is not finite");
  if (series == 0 && points[0] != 0 && !(x > lastX_[0])) faults.push_back("alfa did not increase");
  if (series != 0 && x != lastX_[0]) faults.push_back("series of one degree with different alfa");
  if (series == 2) {
    if (points[2] == 0) firstLevel_ = y;
    if (y != firstLevel_) faults.push_back("the u0 line is not constant");
  }
  lastX_[series] = x;
  ++points[series];
}

SweepOutcome runSweep(const ParameterFile& file, std::string_view separator) {
  SweepOutcome outcome;
  CollectingReport report;
  try {
    RunSweep(outcome.ps, file, separator, report, outcome.chart);
  } catch (const FloatError& error) {
    outcome.error = error.fault();
  }
  outcome.lines = std::move(report.lines);
  return outcome;
}

DegreeOutcome runSingleDegree(const ParameterFile& file, std::string_view separator, std::string_view typed) {
  DegreeOutcome outcome;
  CollectingReport report;
  ParameterSet ps;
  try {
    outcome.converted = RunSingleDegree(ps, file, separator, typed, report);
  } catch (const FloatError& error) {
    outcome.error = error.fault();
  }
  outcome.lines = std::move(report.lines);
  return outcome;
}

std::string checkSweep(const SweepOutcome& o) {
  const Lines& m = lines();
  const std::vector<std::string>& l = o.lines;
  const CheckingChart& chart = o.chart;
  Verdict v(l);
  const std::string context = " (error: " + faultName(o.error) + ", degrees: " + std::to_string(chart.points[0]) +
                              ", status: \"" + chart.status + "\")";
  for (const std::string& fault : chart.faults) v.expect(false, "chart: " + fault);

  // An overflow while loading ends the command before anything is written.
  if (l.empty()) {
    v.expect(o.error == FloatFault::Overflow, "no report lines without a loading overflow");
    v.expect(chart.clears.empty() && chart.status.empty(), "the chart was touched before the load ended");
    return v.result(context);
  }

  v.expectLine(0, m.heading);
  v.expectLine(1, m.values);
  v.expect(chart.clears == std::vector<int>{0, 1, 2}, "series 0, 1, 2 are not cleared once each, in order");
  v.expect(chart.points[0] == chart.points[1] && chart.points[1] == chart.points[2],
           "the three series differ in their number of points");
  const std::size_t degrees = chart.points[0];
  v.expect(degrees <= kMaxSweepDegrees, "more degrees than the sweep's bound");

  std::size_t i = 2;
  bool crossed = false;
  if (i < l.size() && m.limitCrossed.matches(l[i])) {
    v.expectLine(i + 1, m.limitError);
    crossed = true;
    i += 2;
  }
  std::optional<std::string> stop;
  if (i < l.size() && (m.notApplicable.matches(l[i]) || m.stepStalled.matches(l[i]) || m.stepLimit.matches(l[i]))) {
    if (m.stepLimit.matches(l[i])) v.expect(degrees == kMaxSweepDegrees, "step limit line before the bound");
    stop = l[i++];
  }

  if (o.error) {
    v.expect(!stop, "an error after the sweep had stopped");
    v.expect(i == l.size(), "an error after part of the final report");
    v.expect(chart.status == abortedStatus(*o.error), "the status line does not tell the error");
    return v.result(context);
  }

  if (degrees == 0) {
    v.expect(!crossed, "a crossing without an evaluated degree");
    v.expectLine(i, m.noDegree);
    v.expect(l.size() == i + 1, "lines after the no-degree line");
    v.expect(chart.status == (stop ? *stop : l.back()), "the status line is not the line that ended the sweep");
    return v.result(context);
  }
  v.expectLine(i, m.minimum);
  v.expectLine(i + 1, m.results);
  if (crossed) {
    v.expect(i + 2 < l.size() && (m.limitFirst.matches(l[i + 2]) || m.minimumFirst.matches(l[i + 2])),
             "line " + std::to_string(i + 3) + " does not choose between alfa* and alfa**");
  } else {
    v.expectLine(i + 2, m.limitNeverCrossed);
  }
  v.expectLine(i + 3, m.leastError);
  v.expectLine(i + 4, m.optimum);
  v.expect(l.size() == i + 5, "lines after the final report");
  v.expect(chart.status == (stop ? *stop : std::string(msg::kStatusSuccess)), "unexpected status line");
  return v.result(context);
}

std::string checkSingleDegree(const DegreeOutcome& o) {
  const Lines& m = lines();
  Verdict v(o.lines);
  const std::string context = " (error: " + faultName(o.error) + ")";
  if (o.lines.empty()) {
    v.expect(o.error == FloatFault::Overflow, "no report lines without a loading overflow");
    return v.result(context);
  }
  v.expectLine(0, m.heading);
  v.expectLine(1, m.values);
  if (o.error || !o.converted) {
    v.expect(o.lines.size() == 2, "lines after the echo although the command failed");
  } else {
    v.expectLine(2, m.degree);
    v.expect(o.lines.size() == 3, "more than one coefficient line");
  }
  return v.result(context);
}

bool isNumberText(std::string_view text, std::string_view separator) {
  if (separator.empty()) separator = ".";
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  if (text[i] == '+' || text[i] == '-') ++i;
  std::size_t digits = 0;
  std::size_t separators = 0;
  for (;;) {
    if (i < text.size() && digit(text[i])) {
      ++digits;
      ++i;
    } else if (separators == 0 && text.compare(i, separator.size(), separator) == 0) {
      ++separators;
      i += separator.size();
    } else {
      break;
    }
  }
  if (digits == 0 && separators == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && digit(text[i])) ++i;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  return i == text.size();
}

}  // namespace modalsynth::hardening
