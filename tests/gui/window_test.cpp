// The desktop window, driven as a user drives it: buttons, edit box, context
// menu, clipboard, resizing and closing. Runs headless (QT_QPA_PLATFORM=offscreen).
//
// The window reads the parameter file named after its executable, so every
// test writes its fixture there before it presses a button.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QValueAxis>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "params/number_syntax.h"
#include "params/parameter_file.h"
#include "report/chart_data.h"
#include "report/chart_view.h"
#include "report/messages.h"
#include "synthesis/synthesis.h"

using namespace modalsynth;

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string& exampleParameters() {
  static const std::string text = readFile(MODALSYNTH_SOURCE_DIR "/examples/modalsynth.txt");
  return text;
}

// The example with another sweep range.
std::string exampleWithSweep(const std::string& alfaSection) {
  std::string text = exampleParameters();
  text = text.substr(0, text.find("[alfa]"));
  return text + "[alfa]\n" + alfaSection;
}

std::string parameterPath() { return parameterFilePathFor(executablePath()).string(); }

void writeParameters(const std::string& text) { std::ofstream(parameterPath(), std::ios::binary) << text; }

class ReportLines : public ReportSink {
 public:
  void appendLine(const std::string& line) override { lines.push_back(QString::fromStdString(line)); }
  std::string lastLine() const override { return lines.empty() ? "" : lines.back().toStdString(); }
  QStringList lines;
};

// What the core itself reports and draws for the current parameter file.
struct CoreSweep {
  ReportLines report;
  ChartData chart;
  std::optional<std::string> error;
};
CoreSweep coreSweep() {
  CoreSweep result;
  RecordingChart recording(result.chart);
  ParameterSet ps;
  ParameterFile file(parameterPath());
  try {
    RunSweep(ps, file, regionalDecimalSeparator(), result.report, recording);
  } catch (const FloatError& error) {
    result.error = error.what();
  }
  return result;
}

QStringList memoLines(const TForm1& form) {
  QStringList lines = form.Memo1->toPlainText().split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

// The widget that Tab moves the focus to.
QWidget* nextTabStop(QWidget* from) {
  QWidget* w = from->nextInFocusChain();
  while (w != from && !((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy()))
    w = w->nextInFocusChain();
  return w;
}

struct ShownBox {
  MessageKind kind;
  QString text;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::vector<ShownBox> boxes_;
  MessageBoxHandler previousHandler_;

  std::unique_ptr<TForm1> openWindow() {
    auto form = CreateForm1();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) qWarning("window not exposed");
    return form;
  }
  void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

 private slots:
  void initTestCase() {
    previousHandler_ = setMessageBoxHandler(
        [this](QWidget*, MessageKind kind, const QString& text) { boxes_.push_back({kind, text}); });
  }
  void cleanupTestCase() {
    setMessageBoxHandler(previousHandler_);
    QFile::remove(QString::fromStdString(parameterPath()));
  }
  void init() {
    boxes_.clear();
    writeParameters(exampleParameters());
  }

  void startsWithTheStoredLayout_data() {
    QTest::addColumn<QString>("component");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Chart1") << "Chart1" << QRect(0, 0, 748, 337);
    QTest::newRow("Button1") << "Button1" << QRect(8, 344, 137, 25);
    QTest::newRow("Button2") << "Button2" << QRect(152, 344, 145, 25);
    QTest::newRow("Edit1") << "Edit1" << QRect(304, 344, 121, 21);
    QTest::newRow("Memo1") << "Memo1" << QRect(0, 374, 748, 129);
  }
  void startsWithTheStoredLayout() {
    QFETCH(QString, component);
    QFETCH(QRect, geometry);
    auto form = openWindow();
    auto* widget = form->findChild<QWidget*>(component, Qt::FindDirectChildrenOnly);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
  }

  void startsEmptyWithItsTexts() {
    auto form = openWindow();
    QCOMPARE(Form1, form.get());
    QCOMPARE(form->windowTitle(), u8("Модальный метод ситеза"));
    QCOMPARE(form->size(), QSize(748, 503));
    QCOMPARE(form->pos(), QPoint(272, 225));
    QCOMPARE(form->Button1->text(), u8("Построить график"));
    QCOMPARE(form->Button2->text(), u8("Рассчитать параметры"));
    QCOMPARE(form->N1->text(), u8("Скопировать график в буфер"));
    QCOMPARE(form->PopupMenu1->actions().size(), 1);
    QVERIFY(form->Edit1->text().isEmpty());
    QVERIFY(form->Memo1->toPlainText().isEmpty());
    QCOMPARE(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!form->Memo1->isReadOnly());

    ChartView* chart = form->Chart1;
    QCOMPARE(chart->heading(), u8("Зависимость e(alfa)"));
    QVERIFY(chart->statusLine().isEmpty());
    QVERIFY(!chart->chart()->legend()->isVisible());
    QCOMPARE(chart->axisX()->titleText(), u8("alfa"));
    QCOMPARE(chart->axisLeft()->titleText(), u8("e(alfa)"));
    QCOMPARE(chart->axisRight()->titleText(), u8("u(alfa)"));
    const std::vector<QLineSeries*> series{form->Series1, form->Series2, form->Series3, form->Series4};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(series[static_cast<std::size_t>(i)], chart->series(i));
      QCOMPARE(series[static_cast<std::size_t>(i)]->count(), 0);
    }
    // e on the left axis, u and u0 on the right one.
    QVERIFY(form->Series1->attachedAxes().contains(chart->axisLeft()));
    QVERIFY(form->Series2->attachedAxes().contains(chart->axisRight()));
    QVERIFY(form->Series3->attachedAxes().contains(chart->axisRight()));
    QVERIFY(form->Series4->attachedAxes().contains(chart->axisLeft()));

    // Tab order 0 to 4.
    QCOMPARE(nextTabStop(form->Chart1), form->Button1);
    QCOMPARE(nextTabStop(form->Button1), form->Button2);
    QCOMPARE(nextTabStop(form->Button2), form->Edit1);
    QCOMPARE(nextTabStop(form->Edit1), form->Memo1);
  }

  void resizingStretchesChartAndReportOnly() {
    auto form = openWindow();
    form->resize(1000, 650);
    QCOMPARE(form->Chart1->geometry(), QRect(0, 0, 1000, 337));
    QCOMPARE(form->Memo1->geometry(), QRect(0, 650 - 129, 1000, 129));
    QCOMPARE(form->Button1->geometry(), QRect(8, 344, 137, 25));
    QCOMPARE(form->Button2->geometry(), QRect(152, 344, 145, 25));
    QCOMPARE(form->Edit1->geometry(), QRect(304, 344, 121, 21));
  }

  // The example sweep: the window shows what the core reports and draws.
  void sweepShowsReportPointsAndStatus() {
    const CoreSweep expected = coreSweep();
    auto form = openWindow();
    click(form->Button1);

    QVERIFY(boxes_.empty());
    QCOMPARE(memoLines(*form), expected.report.lines);
    QCOMPARE(memoLines(*form).back(),
             u8("Для оптимальной степени устойчивости alfaопт=1.46000 Ke=0.85080 b2=0.55335 b1=1.63200"));
    QCOMPARE(form->Chart1->statusLine(), u8("При alfa=3.080 нарушено условие применимости формулы"));

    const std::vector<QLineSeries*> series{form->Series1, form->Series2, form->Series3};
    for (std::size_t i = 0; i < series.size(); ++i) {
      const std::vector<ChartPoint>& points = expected.chart.series[i].points;
      QCOMPARE(points.size(), std::size_t{104});  // 1.00 to 3.06 by 0.02
      QCOMPARE(series[i]->count(), static_cast<int>(points.size()));
      for (std::size_t k = 0; k < points.size(); ++k) {
        QCOMPARE(series[i]->at(static_cast<int>(k)).x(), points[k].x);
        QCOMPARE(series[i]->at(static_cast<int>(k)).y(), points[k].y);
      }
    }
    QCOMPARE(form->Series4->count(), 0);
    QCOMPARE(form->Series1->color(), QColor(Qt::blue));
    QCOMPARE(form->Series2->color(), QColor(0, 0x80, 0));
    QCOMPARE(form->Series3->color(), QColor(Qt::red));

    // Axis ranges cover the points drawn against them.
    const ChartView* chart = form->Chart1;
    for (const ChartPoint& p : expected.chart.series[kSeriesError].points) {
      QVERIFY(p.x >= chart->axisX()->min() && p.x <= chart->axisX()->max());
      QVERIFY(p.y >= chart->axisLeft()->min() && p.y <= chart->axisLeft()->max());
    }
    for (const ChartPoint& p : expected.chart.series[kSeriesControl].points)
      QVERIFY(p.y >= chart->axisRight()->min() && p.y <= chart->axisRight()->max());
  }

  void secondSweepReplacesPointsAndReportAccumulates() {
    auto form = openWindow();
    click(form->Button1);
    const QStringList first = memoLines(*form);
    QCOMPARE(form->Series1->count(), 104);

    writeParameters(exampleWithSweep("alfa1=1\nalfa2=1.5\nalfastep=0.1\n"));
    const CoreSweep expected = coreSweep();
    click(form->Button1);
    QCOMPARE(memoLines(*form), first + expected.report.lines);
    QCOMPARE(form->Series1->count(), 5);
    QCOMPARE(form->Series3->count(), 5);
    QCOMPARE(form->Series1->at(0).x(), expected.chart.series[0].points[0].x);
    QCOMPARE(form->Chart1->content().series[0].points.size(), std::size_t{5});
    QCOMPARE(form->Chart1->statusLine(), u8("Расчет проведен успешно"));
    QVERIFY(boxes_.empty());
  }

  void sweepStatusLineWhenItStops_data() {
    QTest::addColumn<QString>("alfaSection");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("errorBox");
    QTest::newRow("formula fails at the first degree")
        << "alfa1=3.1\nalfa2=4\nalfastep=0.02\n" << 0 << u8("При alfa=3.100 нарушено условие применимости формулы")
        << QString();
    QTest::newRow("arithmetic error after two degrees")
        << "alfa1=-1\nalfa2=1\nalfastep=0.5\n" << 2 << u8("Расчет прерван: Floating point division by zero.")
        << "Floating point division by zero.";
  }
  void sweepStatusLineWhenItStops() {
    QFETCH(QString, alfaSection);
    QFETCH(int, points);
    QFETCH(QString, status);
    QFETCH(QString, errorBox);
    auto form = openWindow();
    click(form->Button1);  // the example first: its points must go
    boxes_.clear();

    writeParameters(exampleWithSweep(alfaSection.toStdString()));
    const CoreSweep expected = coreSweep();
    click(form->Button1);
    QCOMPARE(form->Chart1->statusLine(), status);
    for (QLineSeries* s : {form->Series1, form->Series2, form->Series3}) QCOMPARE(s->count(), points);
    QCOMPARE(memoLines(*form).mid(memoLines(*form).size() - expected.report.lines.size()), expected.report.lines);
    if (errorBox.isEmpty()) {
      QVERIFY(boxes_.empty());
    } else {
      QCOMPARE(boxes_.size(), std::size_t{1});
      QCOMPARE(boxes_[0].kind, MessageKind::Critical);
      QCOMPARE(boxes_[0].text, errorBox);
    }
    // The window stays usable.
    writeParameters(exampleParameters());
    click(form->Button1);
    QCOMPARE(form->Series1->count(), 104);
  }

  void degreeCommand_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("boxKind");  // -1: no box
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("reportLine");  // after the two echo lines; empty: none
    const QString required = u8("Надо указать степень устойчивости");
    const int info = static_cast<int>(MessageKind::Information);
    const int critical = static_cast<int>(MessageKind::Critical);
    QTest::newRow("empty") << "" << info << required << QString();
    QTest::newRow("not a number") << "1.5x" << info << required << QString();
    QTest::newRow("zero") << "0" << critical << "Floating point division by zero." << QString();
    QTest::newRow("valid") << " 1.5 " << -1 << QString()
                           << u8("Для степени устойчивости alfa=1.50000 Ke=0.92266 b2=0.54581 b1=1.61014");
  }
  void degreeCommand() {
    QFETCH(QString, typed);
    QFETCH(int, boxKind);
    QFETCH(QString, boxText);
    QFETCH(QString, reportLine);
    auto form = openWindow();
    click(form->Button1);
    const QString status = form->Chart1->statusLine();
    const int lines = static_cast<int>(memoLines(*form).size());

    QTest::keyClicks(form->Edit1, typed);
    click(form->Button2);
    const QStringList added = memoLines(*form).mid(lines);
    QCOMPARE(added.value(0), u8("Расчет выполнен для следующих исходных данных:"));
    QVERIFY(added.value(1).startsWith(QLatin1String("x1=1.000 x2=0.500")));
    QCOMPARE(added.size(), reportLine.isEmpty() ? 2 : 3);
    if (!reportLine.isEmpty()) QCOMPARE(added[2], reportLine);
    if (boxKind < 0) {
      QVERIFY(boxes_.empty());
    } else {
      QCOMPARE(boxes_.size(), std::size_t{1});
      QCOMPARE(static_cast<int>(boxes_[0].kind), boxKind);
      QCOMPARE(boxes_[0].text, boxText);
    }
    // The chart is not the command's business.
    QCOMPARE(form->Chart1->statusLine(), status);
    QCOMPARE(form->Series1->count(), 104);
  }

  // QApplication switches the C library to the user's locale; report lines
  // keep the point, typed numbers and the file take the regional separator.
  void commaLocaleReadsCommasAndWritesPoints() {
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    const bool comma = regionalDecimalSeparator() == ",";
    if (!comma) {
      if (saved.isNull()) qunsetenv("LC_ALL"); else qputenv("LC_ALL", saved);
      if (qEnvironmentVariableIsSet("MODALSYNTH_REQUIRE_TEST_LOCALE")) QFAIL("ru_RU.UTF-8 is not installed");
      QSKIP("ru_RU.UTF-8 is not installed");
    }
    writeParameters("[Data]\nu0=2,5\n");
    auto form = openWindow();
    QTest::keyClicks(form->Edit1, "1,5");
    click(form->Button2);
    if (saved.isNull()) qunsetenv("LC_ALL"); else qputenv("LC_ALL", saved);
    const QStringList lines = memoLines(*form);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].contains(QLatin1String("u0=2.500")));
    QVERIFY(lines[2].startsWith(u8("Для степени устойчивости alfa=1.50000 Ke=")));
    QVERIFY(boxes_.empty());
  }

  void contextMenuOpensAtPointerAndCopiesChart() {
    auto form = openWindow();
    click(form->Button1);
    QGuiApplication::clipboard()->clear();

    const QPoint pointer(120, 60);
    QWidget* surface = form->Chart1->viewport();
    QContextMenuEvent request(QContextMenuEvent::Mouse, pointer, surface->mapToGlobal(pointer));
    QApplication::sendEvent(surface, &request);
    QVERIFY(form->PopupMenu1->isVisible());
    QCOMPARE(form->PopupMenu1->pos(), form->Chart1->mapToGlobal(pointer));

    QTest::mouseClick(form->PopupMenu1, Qt::LeftButton, {}, form->PopupMenu1->actionGeometry(form->N1).center());
    QTRY_VERIFY(!form->PopupMenu1->isVisible());
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(748, 337));
    // White to the edges, with the curves on it.
    QCOMPARE(copied.pixelColor(0, 0), QColor(Qt::white));
    QCOMPARE(copied.pixelColor(747, 336), QColor(Qt::white));
    bool blue = false;
    for (int y = 0; y < copied.height() && !blue; ++y)
      for (int x = 0; x < copied.width() && !blue; ++x) blue = copied.pixelColor(x, y) == QColor(Qt::blue);
    QVERIFY(blue);
  }

  void copiedChartHasItsCurrentSize_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("image");
    QTest::newRow("stored size") << QSize(748, 503) << QSize(748, 337);
    QTest::newRow("wider and taller") << QSize(960, 700) << QSize(960, 337);
    QTest::newRow("narrower") << QSize(500, 503) << QSize(500, 337);
  }
  void copiedChartHasItsCurrentSize() {
    QFETCH(QSize, window);
    QFETCH(QSize, image);
    auto form = openWindow();  // an empty chart: background, titles and axes
    form->resize(window);
    form->N1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), image);
  }

  // Many points: the series show a reduction for the plot's width, the chart
  // keeps every point, and the reduction follows a resize.
  void manyPointsAreReducedForDisplayAndKept() {
    writeParameters(exampleWithSweep("alfa1=1\nalfa2=3\nalfastep=0.0001\n"));
    const CoreSweep expected = coreSweep();
    const std::vector<ChartPoint>& all = expected.chart.series[kSeriesError].points;
    QVERIFY(all.size() > 19000);

    auto form = openWindow();
    click(form->Button1);
    ChartView* chart = form->Chart1;
    QCOMPARE(chart->content().series[kSeriesError].points.size(), all.size());
    const auto bounded = [&] {
      const int columns = static_cast<int>(std::ceil(chart->chart()->plotArea().width()));
      for (QLineSeries* s : {form->Series1, form->Series2, form->Series3}) {
        if (s->count() > 4 * columns || s->count() < columns) return false;
      }
      return true;
    };
    QVERIFY(bounded());
    // The extremes survive the reduction.
    double lo = all[0].y, hi = all[0].y;
    for (const ChartPoint& p : all) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
    double shownLo = lo + 1, shownHi = hi - 1;
    for (const QPointF& p : form->Series1->points()) shownLo = std::min(shownLo, p.y()), shownHi = std::max(shownHi, p.y());
    QCOMPARE(shownLo, lo);
    QCOMPARE(shownHi, hi);
    QCOMPARE(form->Series1->at(0).x(), all.front().x);
    QCOMPARE(form->Series1->at(form->Series1->count() - 1).x(), all.back().x);

    const int before = form->Series1->count();
    form->resize(1400, 503);
    QTRY_VERIFY(form->Series1->count() > before);
    QVERIFY(bounded());
    QCOMPARE(chart->content().series[kSeriesError].points.size(), all.size());
  }

  void destroyingReleasesTheParameterFileOnce() {
    auto form = openWindow();
    QVERIFY(form->ParamFile);
    QCOMPARE(form->ParamFile->path().string(), parameterPath());
    int seen = 0;
    bool hidden = false, released = false;
    TForm1* window = form.get();
    connect(window, &TForm1::destroying, this, [&](QObject*) {
      ++seen;
      hidden = !window->isVisible();
      released = !window->ParamFile;
    });
    form.reset();
    QCOMPARE(seen, 1);
    QVERIFY(hidden);
    QVERIFY(released);
    QCOMPARE(Form1, nullptr);
  }

  void formDestroyTwiceIsHarmless() {
    auto form = openWindow();
    form->FormDestroy(form.get());
    QVERIFY(!form->ParamFile);
    form->FormDestroy(form.get());
    form.reset();  // and once more from the destructor
    QCOMPARE(Form1, nullptr);
  }

  void startUpErrorShowsBoxAndEndsWithZero() {
    const int result = runGuarded([] { throw FloatError(FloatFault::Overflow); });
    QCOMPARE(result, 0);
    QCOMPARE(boxes_.size(), std::size_t{1});
    QCOMPARE(boxes_[0].kind, MessageKind::Critical);
    QCOMPARE(boxes_[0].text, QStringLiteral("Floating point overflow."));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
