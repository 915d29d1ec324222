#pragma once
// The report log: printf-style formatting of report lines and the sink that
// receives them (the window's report box, the command-line tool's stdout).

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace modalsynth {

// Where report lines go. The sweep reads back the line it has just appended
// to put it on the chart's status line.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void appendLine(const std::string& line) = 0;
  virtual std::string lastLine() const = 0;
};

// A sink that keeps only the line appended last, for runs that need no report.
class LastLineReport : public ReportSink {
 public:
  void appendLine(const std::string& line) override { last_ = line; }
  std::string lastLine() const override { return last_; }

 private:
  std::string last_;
};

// Formats one report line. The conversions "%.3f" and "%.5f" print fixed
// point with that many decimals, the value rounded to nearest with an exact
// half going to the even digit; "%g" prints as printf's "%g"; "%%" is a
// percent sign. Numbers always use a point, whatever the locale. There is no
// length limit. A format that does not match its values throws
// std::invalid_argument.
std::string formatReportLine(std::string_view format, std::span<const double> values);

// Formats a line and appends it to the sink.
void AddReportLine(ReportSink& sink, std::string_view format, std::initializer_list<double> values = {});

// The text the error box shows for an error message: the message with a full
// stop appended when it is not empty and its last character has a code above
// that of the full stop.
std::string errorBoxText(std::string_view message);

}  // namespace modalsynth
