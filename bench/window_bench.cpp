// The desktop window under load (offscreen): a sweep of 10^3, 10^5 and 10^6
// degrees, the chart's handover and repaint after it, a resize of the full
// chart, and start-up to the first paint. Peak memory is the process's
// resident high-water mark (run one size per process for its own peak:
// --benchmark_filter='/1000000$').
//
//   build/bin/window_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "params/number_syntax.h"
#include "params/parameter_file.h"
#include "report/chart_view.h"
#include "synthesis/synthesis.h"

using namespace modalsynth;

namespace {

double startUpOfQApplicationMs = 0;

double peakResidentMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The shipped example's plant, swept from 1 to 3 in `degrees` steps (the
// formula for e holds up to 3.08).
void writeParameters(long degrees) {
  std::ofstream(parameterFilePathFor(executablePath()), std::ios::binary)
      << "[Data]\nx1=1\nx2=0.5\nx3=0.2\nf0=1\nKu=2.78\nKf=1\npart=0.05\nu0=5\n"
      << "[L1P]\na2=0.76\na1=2.02\n"
      << "[alfa]\nalfa1=1\nalfa2=3\nalfastep=" << 2.0 / static_cast<double>(degrees) << "\n";
}

std::unique_ptr<TForm1> openWindow() {
  auto form = CreateForm1();
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) std::fprintf(stderr, "window not exposed\n");
  return form;
}

void reportCounters(benchmark::State& state, const TForm1& form) {
  state.counters["points"] = static_cast<double>(form.Chart1->content().series[kSeriesError].points.size());
  state.counters["shown"] = form.Series1->count();
  state.counters["peak_MB"] = peakResidentMb();
}

// A press of Button1 as the user sees it: the sweep, the chart's handover
// and the repaint of the window.
void BM_SweepCommandAndRepaint(benchmark::State& state) {
  writeParameters(state.range(0));
  auto form = openWindow();
  for (auto _ : state) {
    form->Button1Click();
    form->repaint();
  }
  reportCounters(state, *form);
}

// What the window adds to the core's sweep: the chart takes the collected
// points (axis ranges over all, reduction for the plot width) and the window
// repaints. The sweep itself runs untimed.
void BM_RepaintAfterSweep(benchmark::State& state) {
  writeParameters(state.range(0));
  auto form = openWindow();
  ParameterSet ps;
  ParameterFile file(parameterFilePathFor(executablePath()));
  for (auto _ : state) {
    state.PauseTiming();
    auto chart = std::make_unique<ChartCommand>(*form->Chart1);
    LastLineReport report;
    RunSweep(ps, file, regionalDecimalSeparator(), report, *chart);
    state.ResumeTiming();
    chart->finish();
    form->repaint();
    state.PauseTiming();
    chart.reset();
    state.ResumeTiming();
  }
  reportCounters(state, *form);
}

// A resize of the window with the full chart: a new reduction and a repaint.
void BM_ResizeAfterSweep(benchmark::State& state) {
  writeParameters(state.range(0));
  auto form = openWindow();
  form->Button1Click();
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    form->resize(wide ? 1000 : 748, 503);
    form->repaint();
  }
  reportCounters(state, *form);
}

// Creating the window and showing it until the chart has painted once.
class FirstPaint : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

void BM_StartUpToFirstPaint(benchmark::State& state) {
  writeParameters(1000);
  for (auto _ : state) {
    auto form = CreateForm1();
    FirstPaint probe;
    form->Chart1->viewport()->installEventFilter(&probe);
    form->show();
    while (!probe.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.PauseTiming();
    form->Chart1->viewport()->removeEventFilter(&probe);
    form.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["qapplication_ms"] = startUpOfQApplicationMs;
  state.counters["peak_MB"] = peakResidentMb();
}

}  // namespace

BENCHMARK(BM_SweepCommandAndRepaint)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterSweep)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeAfterSweep)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Message boxes would wait for a click: there are none in these runs, but
  // should one come, print it instead.
  setMessageBoxHandler([](QWidget*, MessageKind, const QString& text) {
    std::fprintf(stderr, "message box: %s\n", text.toLocal8Bit().constData());
  });
  QElapsedTimer clock;
  clock.start();
  QApplication application(argc, argv);
  startUpOfQApplicationMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
