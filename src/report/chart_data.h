#pragma once
// The chart's content as plain data: the points of the four series and the
// status line. RecordingChart collects a sweep's points into it, so that a
// view can take each series' points at once when the command is done.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "synthesis/synthesis.h"

namespace modalsynth {

struct ChartPoint {
  double x = 0;
  double y = 0;
};

struct SeriesData {
  std::vector<ChartPoint> points;
  // Colour changes: from point index first on, segments end in colour.
  struct ColourRun {
    std::size_t first;
    Colour colour;
  };
  std::vector<ColourRun> colours;

  void clear() {
    points.clear();
    colours.clear();
  }
  void add(double x, double y, Colour colour) {
    if (colours.empty() || colours.back().colour != colour) colours.push_back({points.size(), colour});
    points.push_back({x, y});
  }
  // The colour of the segment that ends at point i.
  Colour colourAt(std::size_t i) const;
};

inline constexpr int kSeriesCount = 4;

struct ChartData {
  std::array<SeriesData, kSeriesCount> series;
  std::string status;
};

class RecordingChart : public ChartSink {
 public:
  explicit RecordingChart(ChartData& data) : data_(data) {}
  void clearSeries(int series) override;
  void addPoint(int series, double x, double y, Colour colour) override;
  void setStatusLine(const std::string& text) override { data_.status = text; }

 private:
  SeriesData& at(int series);
  ChartData& data_;
};

// A chart that draws nothing, for runs that need only the report.
class NullChart : public ChartSink {
 public:
  void clearSeries(int) override {}
  void addPoint(int, double, double, Colour) override {}
  void setStatusLine(const std::string& text) override { status = text; }
  std::string status;
};

}  // namespace modalsynth
