#include "report/chart_data.h"

#include <algorithm>
#include <stdexcept>

namespace modalsynth {

Colour SeriesData::colourAt(std::size_t i) const {
  auto run = std::upper_bound(colours.begin(), colours.end(), i,
                              [](std::size_t index, const ColourRun& r) { return index < r.first; });
  if (run == colours.begin()) throw std::out_of_range("no colour for this point");
  return std::prev(run)->colour;
}

SeriesData& RecordingChart::at(int series) {
  if (series < 0 || series >= kSeriesCount) throw std::out_of_range("List index out of bounds (" + std::to_string(series) + ")");
  return data_.series[static_cast<std::size_t>(series)];
}

void RecordingChart::clearSeries(int series) { at(series).clear(); }

void RecordingChart::addPoint(int series, double x, double y, Colour colour) { at(series).add(x, y, colour); }

}  // namespace modalsynth
