#pragma once
// The chart view: e(alfa) against the left axis, u(alfa) and the level u0
// against the right axis, over alfa, under a two-line title whose second line
// is the status line.
//
// The view keeps every point of the last sweep (ChartData) and shows a
// display reduction of them: per pixel column of the plot area the first,
// lowest, highest and last point of each series, recomputed whenever the plot
// area changes its width. On screen this looks the same as drawing all points,
// and it keeps painting fast for a million points per series. The axis ranges
// always come from all points.
//
// The sweep draws through ChartCommand, which collects a command's points and
// hands every series its list once, when the command is done.

#include <QChartView>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <string>

#include "report/chart_data.h"
#include "synthesis/synthesis.h"

class QChart;
class QLineSeries;
class QValueAxis;

namespace modalsynth {

// The chart's size in the stored layout.
inline constexpr int kChartWidth = 748;
inline constexpr int kChartHeight = 337;

// The points to draw for a series of points in ascending x, so that a line
// through them, drawn columnWidth units per pixel column, covers the same
// pixels as the line through all of them: per column the first, lowest,
// highest and last point, in their order.
QList<QPointF> reduceForDisplay(std::span<const ChartPoint> points, double xMin, double xMax, int columns);

class ChartView : public QChartView {
  Q_OBJECT

 public:
  explicit ChartView(QWidget* parent = nullptr);

  // The series at a position of the series list (0 to 3).
  QLineSeries* series(int position) const { return series_.at(static_cast<std::size_t>(position)); }
  QValueAxis* axisX() const { return axisX_; }
  QValueAxis* axisLeft() const { return axisLeft_; }
  QValueAxis* axisRight() const { return axisRight_; }

  QString heading() const;
  QString statusLine() const { return status_; }
  void setStatusLine(const QString& text);

  // Every point the chart holds (the series show a reduction of them).
  const ChartData& content() const { return content_; }
  // Replaces the content: the status line, and the points of the series
  // whose flag is set. The replaced series' data is moved from.
  void takeContent(ChartData& incoming, const std::array<bool, kSeriesCount>& replaced);
  void setContent(ChartData incoming);
  // Frees the held points of a series that a running command has cleared.
  void releasePoints(int position);

  // The chart drawn at its current size, as on screen.
  QImage image();
  // Lays out a view that is not shown, so that image() draws it complete.
  void prepareOffscreen();

  // Draws the chart at a size into an image file: PNG or SVG, chosen by the
  // extension. Returns an error text, empty on success. Needs a QApplication.
  static std::string renderToFile(const ChartData& chartData, const std::string& path, int width, int height);

 private:
  void updateAxes();
  void updateDisplay();
  void updateTitle();
  void onPlotAreaChanged();

  QChart* chart_;
  std::array<QLineSeries*, kSeriesCount> series_{};
  QValueAxis* axisX_;
  QValueAxis* axisLeft_;
  QValueAxis* axisRight_;
  ChartData content_;
  QString status_;
  int displayColumns_ = 0;  // the plot width the series' reduction was made for
};

// The chart side of one command: a ChartSink that collects what the command
// draws and hands it to the view in finish(), once. What the command has not
// touched stays as it was.
class ChartCommand : public ChartSink {
 public:
  explicit ChartCommand(ChartView& view) : view_(view) {}
  ChartCommand(const ChartCommand&) = delete;
  ChartCommand& operator=(const ChartCommand&) = delete;

  void clearSeries(int series) override;
  void addPoint(int series, double x, double y, Colour colour) override;
  void setStatusLine(const std::string& text) override;

  // Shows the collected points and status on the view. A command ended by an
  // error calls it too, so the view shows what it had drawn so far.
  void finish();

 private:
  SeriesData& at(int series);

  ChartView& view_;
  ChartData data_;
  std::array<bool, kSeriesCount> touched_{};
  bool statusSet_ = false;
};

}  // namespace modalsynth
