#pragma once
// The two commands of the tool, free of any user interface: the
// single-degree command and the stability-degree sweep. They talk to the
// report box and to the chart only through ReportSink and ChartSink.

#include <cstdint>
#include <string>
#include <string_view>

#include "params/parameter_file.h"
#include "params/parameter_set.h"
#include "report/report_log.h"
#include "synthesis/float_model.h"

namespace modalsynth {

// Colours in 0x00BBGGRR order.
using Colour = std::uint32_t;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kGreen = 0x008000;
inline constexpr Colour kRed = 0x0000FF;

// Series positions on the chart.
inline constexpr int kSeriesError = 0;    // e, left axis
inline constexpr int kSeriesControl = 1;  // u, right axis
inline constexpr int kSeriesLevel = 2;    // u0, right axis

// What the sweep draws on.
class ChartSink {
 public:
  virtual ~ChartSink() = default;
  virtual void clearSeries(int series) = 0;
  virtual void addPoint(int series, double x, double y, Colour colour) = 0;
  virtual void setStatusLine(const std::string& text) = 0;
};

// The checked formulas (float_model.h).
void CalcCoefficients(ParameterSet& ps, float degree);
extended TotalVariation(const ParameterSet& ps, float c2, float c1, float c0);

// The most degrees one sweep evaluates.
inline constexpr std::uint32_t kMaxSweepDegrees = 1000000;

// The single-degree command: load and echo, convert the typed text, report
// the coefficients. Returns false, after the echo and with nothing else
// reported, when the text is not a number. A FloatError ends it otherwise.
bool RunSingleDegree(ParameterSet& ps, const ParameterFile& file, std::string_view decimalSeparator,
                     std::string_view typedDegree, ReportSink& report);

// The stability-degree sweep with its final report: loads the parameters,
// then runs RunLoadedSweep.
void RunSweep(ParameterSet& ps, const ParameterFile& file, std::string_view decimalSeparator,
              ReportSink& report, ChartSink& chart);

// The sweep over parameters already loaded: clears the chart's series, sets
// its status line, steps alfa and writes the final report. A FloatError ends
// it, after the status line has been set to say so.
void RunLoadedSweep(ParameterSet& ps, ReportSink& report, ChartSink& chart);

}  // namespace modalsynth
