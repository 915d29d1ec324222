#pragma once
// What a command left behind, and the shape every run of it must have
// whatever the parameter file holds: the echo lines first, then either the
// complete final report or exactly one arithmetic error; never more than
// kMaxSweepDegrees degrees. Shared by the property tests and the fuzz targets.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "params/parameter_file.h"
#include "synthesis/float_model.h"
#include "synthesis/synthesis.h"

namespace modalsynth::hardening {

// Keeps every appended line.
class CollectingReport : public ReportSink {
 public:
  void appendLine(const std::string& line) override { lines.push_back(line); }
  std::string lastLine() const override { return lines.empty() ? std::string() : lines.back(); }
  std::vector<std::string> lines;
};

// Records the chart calls the sweep makes, keeping only what the checks need.
class CheckingChart : public ChartSink {
 public:
  void clearSeries(int series) override;
  void addPoint(int series, double x, double y, Colour colour) override;
  void setStatusLine(const std::string& text) override { status = text; }

  std::vector<int> clears;                // series cleared, in call order
  std::size_t points[3] = {0, 0, 0};      // points per series
  std::vector<std::string> faults;        // what went wrong on the way
  std::string status;

 private:
  double lastX_[3] = {0, 0, 0};
  double firstLevel_ = 0;
  int nextSeries_ = 0;
};

struct SweepOutcome {
  std::vector<std::string> lines;
  std::optional<FloatFault> error;
  CheckingChart chart;
  ParameterSet ps;
};

struct DegreeOutcome {
  std::vector<std::string> lines;
  std::optional<FloatFault> error;
  bool converted = false;  // the typed text was a number
};

SweepOutcome runSweep(const ParameterFile& file, std::string_view separator);
DegreeOutcome runSingleDegree(const ParameterFile& file, std::string_view separator, std::string_view typed);

// An empty string when the outcome has the shape every run must have;
// otherwise what is wrong with it, followed by the lines.
std::string checkSweep(const SweepOutcome& outcome);
std::string checkSingleDegree(const DegreeOutcome& outcome);

// True when text is a number of the parameter file's syntax with the given
// decimal separator; written independently of the reader, to compare with it.
bool isNumberText(std::string_view text, std::string_view separator);

}  // namespace modalsynth::hardening
