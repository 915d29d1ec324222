#include "report/chart_view.h"

#include <QApplication>
#include <QBrush>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QResizeEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#ifdef MODALSYNTH_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "report/messages.h"

namespace modalsynth {

namespace {

QColor toQColor(Colour c) {
  // 0x00BBGGRR
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void add(double v) {
    if (!std::isfinite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  bool empty() const { return lo > hi; }
};

// An automatic axis range: the values' extent, widened to round tick
// numbers (a single value gets room around it).
void applyRange(QValueAxis* axis, const Range& r) {
  double lo = 0, hi = 1;
  if (!r.empty()) {
    lo = r.lo;
    hi = r.hi;
    if (lo == hi) {
      const double pad = lo == 0 ? 1 : std::abs(lo) * 0.1;
      lo -= pad;
      hi += pad;
    }
  }
  // A step of 1, 2 or 5 times a power of ten giving at most 6 intervals.
  const double raw = (hi - lo) / 6;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) {
      step = m * power;
      break;
    }
  const double niceLo = std::floor(lo / step) * step;
  const double niceHi = std::ceil(hi / step) * step;
  if (std::isfinite(niceLo) && std::isfinite(niceHi) && niceHi > niceLo) {
    lo = niceLo;
    hi = niceHi;
  }
  const int ticks = static_cast<int>(std::lround((hi - lo) / step)) + 1;
  axis->setRange(lo, hi);
  if (ticks >= 2 && ticks <= 12 && axis->tickCount() != ticks) axis->setTickCount(ticks);
}

}  // namespace

QList<QPointF> reduceForDisplay(std::span<const ChartPoint> points, double xMin, double xMax, int columns) {
  QList<QPointF> out;
  const auto finite = [](const ChartPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); };
  if (columns < 1 || !(xMax > xMin) || points.size() <= 4 * static_cast<std::size_t>(columns)) {
    out.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
      if (finite(p)) out.append(QPointF(p.x, p.y));
    return out;
  }
  out.reserve(4 * columns);
  const double scale = columns / (xMax - xMin);
  const double columnWidth = (xMax - xMin) / columns;
  std::size_t i = 0;
  while (i < points.size()) {
    if (!finite(points[i])) {
      ++i;
      continue;
    }
    // One column: the run of points that fall into it.
    const double end = xMin + (std::floor((points[i].x - xMin) * scale) + 1) * columnWidth;
    std::size_t first = i, last = i, low = i, high = i;
    for (++i; i < points.size() && points[i].x < end; ++i) {
      const double y = points[i].y;
      if (!std::isfinite(y)) continue;
      last = i;
      if (y < points[low].y) low = i;
      if (y > points[high].y) high = i;
    }
    std::array<std::size_t, 4> keep{first, low, high, last};
    std::sort(keep.begin(), keep.end());
    std::size_t previous = points.size();
    for (std::size_t k : keep) {
      if (k == previous) continue;
      out.append(QPointF(points[k].x, points[k].y));
      previous = k;
    }
  }
  return out;
}

ChartView::ChartView(QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      axisX_(new QValueAxis),
      axisLeft_(new QValueAxis),
      axisRight_(new QValueAxis) {
  setChart(chart_);  // the view owns the chart, the chart its axes and series
  setObjectName(QStringLiteral("Chart1"));
  setRenderHint(QPainter::Antialiasing, false);
  setFrameShape(QFrame::NoFrame);
  setBackgroundBrush(Qt::white);

  // White everywhere, flat, no legend, no margin frame.
  chart_->setTheme(QChart::ChartThemeLight);
  chart_->setBackgroundBrush(Qt::white);
  chart_->setBackgroundPen(Qt::NoPen);
  chart_->setBackgroundRoundness(0);
  chart_->setPlotAreaBackgroundVisible(false);
  chart_->setDropShadowEnabled(false);
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  chart_->setMargins(QMargins(6, 2, 6, 4));
  chart_->legend()->hide();
  chart_->setAnimationOptions(QChart::NoAnimation);

  axisX_->setTitleText(QString::fromUtf8(msg::kAxisAlfa));
  axisLeft_->setTitleText(QString::fromUtf8(msg::kAxisError));
  axisRight_->setTitleText(QString::fromUtf8(msg::kAxisControl));
  for (QValueAxis* axis : {axisX_, axisLeft_, axisRight_}) {
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setGridLineColor(QColor(0xD0, 0xD0, 0xD0));
  }
  chart_->addAxis(axisX_, Qt::AlignBottom);
  chart_->addAxis(axisLeft_, Qt::AlignLeft);
  chart_->addAxis(axisRight_, Qt::AlignRight);
  axisRight_->setGridLineVisible(false);

  // Series1 e (left), Series2 u (right), Series3 u0 (right), Series4 (left).
  static constexpr std::array<Colour, kSeriesCount> kColours{kBlue, kGreen, kRed, kBlue};
  for (int i = 0; i < kSeriesCount; ++i) {
    auto* s = new QLineSeries;
    s->setObjectName(QStringLiteral("Series%1").arg(i + 1));
    s->setPointsVisible(false);
    chart_->addSeries(s);
    s->attachAxis(axisX_);
    s->attachAxis(i == kSeriesControl || i == kSeriesLevel ? axisRight_ : axisLeft_);
    QPen pen(toQColor(kColours[static_cast<std::size_t>(i)]));
    pen.setWidthF(1.5);
    s->setPen(pen);
    series_[static_cast<std::size_t>(i)] = s;
  }

  connect(chart_, &QChart::plotAreaChanged, this, &ChartView::onPlotAreaChanged);
  updateAxes();
  updateTitle();
}

QString ChartView::heading() const { return QString::fromUtf8(msg::kChartHeading); }

void ChartView::setStatusLine(const QString& text) {
  status_ = text;
  content_.status = text.toStdString();
  updateTitle();
}

void ChartView::updateTitle() {
  // The title renders HTML, not "\n": a centred block with a line break puts
  // the status line under the heading. An empty status line still takes its
  // row, so the plot does not move when a sweep sets it.
  const QString status = status_.isEmpty() ? QStringLiteral("&nbsp;") : status_.toHtmlEscaped();
  chart_->setTitle(QStringLiteral("<div align=\"center\">%1<br>%2</div>").arg(heading().toHtmlEscaped(), status));
}

void ChartView::takeContent(ChartData& incoming, const std::array<bool, kSeriesCount>& replaced) {
  for (std::size_t i = 0; i < kSeriesCount; ++i) {
    if (!replaced[i]) continue;
    content_.series[i] = std::move(incoming.series[i]);
    incoming.series[i].clear();
    // The colour the series' points carry; the sweep gives each series one.
    if (!content_.series[i].colours.empty()) {
      QPen pen = series_[i]->pen();
      pen.setColor(toQColor(content_.series[i].colours.back().colour));
      series_[i]->setPen(pen);
    }
  }
  status_ = QString::fromStdString(incoming.status);
  content_.status = incoming.status;
  updateTitle();
  updateAxes();
  displayColumns_ = 0;
  updateDisplay();
}

void ChartView::releasePoints(int position) {
  // The series' list is not redrawn before takeContent(), which sets it anew.
  std::vector<ChartPoint>().swap(content_.series.at(static_cast<std::size_t>(position)).points);
  content_.series.at(static_cast<std::size_t>(position)).colours.clear();
}

void ChartView::setContent(ChartData incoming) { takeContent(incoming, {true, true, true, true}); }

void ChartView::updateAxes() {
  Range x, left, right;
  for (std::size_t i = 0; i < kSeriesCount; ++i) {
    Range& y = (i == kSeriesControl || i == kSeriesLevel) ? right : left;
    for (const ChartPoint& p : content_.series[i].points) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
      x.add(p.x);
      y.add(p.y);
    }
  }
  applyRange(axisX_, x);
  applyRange(axisLeft_, left);
  applyRange(axisRight_, right);
}

void ChartView::updateDisplay() {
  const int columns = std::max(1, static_cast<int>(std::ceil(chart_->plotArea().width())));
  if (columns == displayColumns_) return;
  displayColumns_ = columns;
  for (std::size_t i = 0; i < kSeriesCount; ++i) {
    const std::vector<ChartPoint>& points = content_.series[i].points;
    if (points.empty() && series_[i]->count() == 0) continue;
    series_[i]->replace(reduceForDisplay(points, axisX_->min(), axisX_->max(), columns));
  }
}

void ChartView::onPlotAreaChanged() { updateDisplay(); }

void ChartView::prepareOffscreen() {
  // A view that is not shown lays itself out only when asked: deliver the
  // pending resize, then let the chart lay out (which reduces the series).
  QResizeEvent resize(size(), QSize());
  resizeEvent(&resize);
  QApplication::sendPostedEvents(chart_, QEvent::LayoutRequest);
  QApplication::processEvents();
}

QImage ChartView::image() {
  QImage picture = grab().toImage();
  return picture.convertToFormat(QImage::Format_RGB32);
}

std::string ChartView::renderToFile(const ChartData& chartData, const std::string& path, int width, int height) {
  if (width < 1 || height < 1) return "the chart size must be positive";
  const QString file = QString::fromStdString(path);
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
    return "the chart file must end in .png or .svg: " + path;

  ChartView view;
  view.resize(width, height);
  view.setContent(chartData);
  view.prepareOffscreen();

  if (suffix == QLatin1String("png")) {
    if (!view.image().save(file, "PNG")) return "cannot write " + path;
    return {};
  }
#ifdef MODALSYNTH_HAVE_SVG
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  svg.setTitle(view.heading());
  {
    QPainter painter;
    if (!painter.begin(&svg)) return "cannot write " + path;
    view.render(&painter, QRectF(0, 0, width, height), QRect(0, 0, width, height));
    if (!painter.end()) return "cannot write " + path;
  }
  if (!QFileInfo(file).isFile()) return "cannot write " + path;
  return {};
#else
  return "this build cannot write SVG";
#endif
}

SeriesData& ChartCommand::at(int series) {
  if (series < 0 || series >= kSeriesCount)
    throw std::out_of_range("List index out of bounds (" + std::to_string(series) + ")");
  const auto i = static_cast<std::size_t>(series);
  if (!touched_[i]) {
    // A series drawn on without being cleared first continues from its points.
    data_.series[i] = view_.content().series[i];
    touched_[i] = true;
  }
  return data_.series[i];
}

void ChartCommand::clearSeries(int series) {
  if (series < 0 || series >= kSeriesCount)
    throw std::out_of_range("List index out of bounds (" + std::to_string(series) + ")");
  const auto i = static_cast<std::size_t>(series);
  data_.series[i].clear();
  touched_[i] = true;
  view_.releasePoints(series);  // a long sweep needs the room
}

void ChartCommand::addPoint(int series, double x, double y, Colour colour) { at(series).add(x, y, colour); }

void ChartCommand::setStatusLine(const std::string& text) {
  data_.status = text;
  statusSet_ = true;
}

void ChartCommand::finish() {
  if (!statusSet_ && std::none_of(touched_.begin(), touched_.end(), [](bool t) { return t; })) return;
  if (!statusSet_) data_.status = view_.content().status;
  view_.takeContent(data_, touched_);
  touched_.fill(false);
  statusSet_ = false;
}

}  // namespace modalsynth
