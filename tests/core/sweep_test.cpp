#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "report/chart_data.h"
#include "report/messages.h"
#include "support.h"
#include "synthesis/synthesis.h"

namespace modalsynth {
namespace {

using testing::CapturedReport;
using testing::TempDir;

// A chart that records every call, in order.
class CallLog : public RecordingChart {
 public:
  CallLog() : RecordingChart(data) {}
  void clearSeries(int series) override {
    calls.push_back("clear " + std::to_string(series));
    RecordingChart::clearSeries(series);
  }
  void setStatusLine(const std::string& text) override {
    calls.push_back("status " + text);
    RecordingChart::setStatusLine(text);
  }
  std::size_t points(int series) const { return data.series[static_cast<std::size_t>(series)].points.size(); }
  ChartData data;
  std::vector<std::string> calls;
};

class Sweep : public ::testing::Test {
 protected:
  // Runs a sweep on a parameter file; returns the error text, empty if none.
  std::string run(const std::string& fileText) {
    file = ParameterFile(dir.write("p.txt", fileText));
    report.lines.clear();
    try {
      RunSweep(ps, file, ".", report, chart);
    } catch (const FloatError& e) {
      return errorBoxText(e.what());
    }
    return {};
  }
  // The report without the two echo lines.
  std::vector<std::string> results() const {
    return std::vector<std::string>(report.lines.begin() + 2, report.lines.end());
  }
  TempDir dir;
  ParameterFile file{dir.path() / "p.txt"};
  ParameterSet ps;
  CapturedReport report;
  CallLog chart;
};

std::string plant(const std::string& extra) {
  // x1 = f0 = 0 and part = 0: e is 0 at every degree and the formula always
  // applies, so a sweep's course depends on the alfa keys alone.
  return "[Data]\nx1=0\nx2=1\nx3=1\nf0=0\nKu=1\nKf=1\npart=0\nu0=1e30\n[L1P]\na2=1\na1=1\n" + extra;
}

TEST_F(Sweep, GoldenReportsOfTheExamples) {
  for (const char* name : {"modalsynth", "drive_tight", "servo"}) {
    const std::string source = MODALSYNTH_SOURCE_DIR;
    ASSERT_EQ(run(testing::readText(source + "/examples/" + name + ".txt")), "") << name;
    std::string text;
    for (const std::string& line : report.lines) text += line + "\n";
    EXPECT_EQ(text, testing::readText(source + "/tests/golden/" + name + ".txt")) << name;
  }
}

TEST_F(Sweep, DriveStopsAtTheApplicabilityLimit) {
  ASSERT_EQ(run(testing::readText(std::string(MODALSYNTH_SOURCE_DIR) + "/examples/modalsynth.txt")), "");
  const std::string violation = "При alfa=3.080 нарушено условие применимости формулы";
  EXPECT_EQ(chart.data.status, violation);
  // 1.00 .. 3.06 by 0.02 in single precision: the degree at which the test
  // fails gets no points.
  EXPECT_EQ(chart.points(0), 104u);
  EXPECT_EQ(chart.points(1), 104u);
  EXPECT_EQ(chart.points(2), 104u);
  EXPECT_EQ(chart.points(3), 0u);
  const auto& e = chart.data.series[0].points;
  EXPECT_EQ(e.front().x, 1.0);
  for (std::size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(chart.data.series[1].points[i].x, e[i].x);
    EXPECT_EQ(chart.data.series[2].points[i].y, static_cast<double>(5.0f));
    if (i > 0) {
      EXPECT_GT(e[i].x, e[i - 1].x);
    }
  }
  EXPECT_EQ(chart.data.series[0].colourAt(0), kBlue);
  EXPECT_EQ(chart.data.series[1].colourAt(0), kGreen);
  EXPECT_EQ(chart.data.series[2].colourAt(0), kRed);
  EXPECT_NEAR(ps.alfa, 3.08, 1e-5);  // alfa stays at the failing degree
  EXPECT_GT(ps.alfa, e.back().x);
  EXPECT_EQ(report.lines[4], violation);
  EXPECT_TRUE(report.lines[5].starts_with("Минимум e=")) << report.lines[5];
}

TEST_F(Sweep, ChartCallOrder) {
  ASSERT_EQ(run(plant("[alfa]\nalfa1=1\nalfa2=1.5\nalfastep=0.25\n")), "");
  EXPECT_EQ(chart.calls, (std::vector<std::string>{"clear 0", "clear 1", "clear 2",
                                                    std::string("status ") + msg::kStatusSuccess}));
  EXPECT_EQ(chart.points(0), 2u);
}

struct StepCase {
  const char* alfa;
  std::size_t degrees;
  float last;   // 0: not checked
  float after;  // 0: not checked
};

TEST_F(Sweep, DegreesFollowSinglePrecisionAccumulation) {
  const StepCase cases[] = {
      {"alfa1=0.1\nalfa2=1\nalfastep=0.1\n", 9, 0, 1.0000001f},
      {"alfa1=0.01\nalfa2=1\nalfastep=0.01\n", 100, 0.99999934f, 0},
      {"alfa1=0.5\nalfa2=1.5\nalfastep=0.05\n", 21, 1.4999996f, 0},
  };
  for (const StepCase& c : cases) {
    ASSERT_EQ(run(plant(std::string("[alfa]\n") + c.alfa)), "") << c.alfa;
    ASSERT_EQ(chart.points(0), c.degrees) << c.alfa;
    if (c.last != 0) {
      EXPECT_EQ(chart.data.series[0].points.back().x, c.last) << c.alfa;
    }
    if (c.after != 0) {
      EXPECT_EQ(ps.alfa, c.after) << c.alfa;
    }
  }
}

TEST_F(Sweep, EqualErrorsKeepTheEarlierDegree) {
  // e is 0 everywhere: alfa* is the first degree.
  ASSERT_EQ(run(plant("[alfa]\nalfa1=2\nalfa2=3\nalfastep=0.25\n")), "");
  EXPECT_EQ(results()[0], "Минимум e=0.000 достигнут при alfa*=2.000");
}

TEST_F(Sweep, OptimumChoice) {
  struct Case {
    const char* u0;
    std::vector<std::string> tail;
  };
  // u at alfa 2, 2.25, 2.5, 2.75 for this plant; u0 picks the crossing.
  const Case cases[] = {
      // No degree with u above u0.
      {"1e30", {"Минимум e=0.000 достигнут при alfa*=2.000", "Результаты синтеза:",
                "max(u) не превысил u0=1000000015047466219876688855040.000, значит alfaопт=2.000",
                "Минимально возможная ошибка e(2.000)=0.000",
                "Для оптимальной степени устойчивости alfaопт=2.00000 Ke=8.00000 b2=0.62500 b1=1.37500"}},
      // Crossing at the first degree, which is also alfa*: a tie keeps alfa*.
      {"-1", {"При alfa**=2.000 max(u)=", "Также при alfa*=2.000 e=0.000",
              "Минимум e=0.000 достигнут при alfa*=2.000", "Результаты синтеза:",
              "alfa**=2.000 > alfa*=2.000, значит alfaопт=2.000", "Минимально возможная ошибка e(2.000)=0.000",
              "Для оптимальной степени устойчивости alfaопт=2.00000 Ke=8.00000 b2=0.62500 b1=1.37500"}},
  };
  for (const Case& c : cases) {
    std::string text = plant("[alfa]\nalfa1=2\nalfa2=3\nalfastep=0.25\n");
    text.replace(text.find("u0=1e30"), 7, std::string("u0=") + c.u0);
    ASSERT_EQ(run(text), "");
    std::vector<std::string> got = results();
    ASSERT_EQ(got.size(), c.tail.size()) << c.u0;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(got[i].starts_with(c.tail[i])) << got[i];
  }
}

TEST_F(Sweep, UEqualToU0IsNoCrossing) {
  // With f0 = 0 and x1 = x2 = x3 = 0, u is exactly 0.
  std::string text = "[Data]\nx1=0\nx2=0\nx3=0\nf0=0\nKu=1\nKf=1\npart=0\nu0=0\n[L1P]\na2=1\na1=1\n"
                     "[alfa]\nalfa1=1\nalfa2=2\nalfastep=0.5\n";
  ASSERT_EQ(run(text), "");
  EXPECT_EQ(results()[2], "max(u) не превысил u0=0.000, значит alfaопт=1.000");
}

TEST_F(Sweep, NoDegreeEvaluated) {
  // Every input at its default: alfa1 = alfa2.
  ASSERT_EQ(run(""), "");
  const std::string line = "Ни одна степень устойчивости не рассчитана: alfa1=0.100 alfa2=0.100 alfastep=0.100";
  EXPECT_EQ(results(), std::vector<std::string>{line});
  EXPECT_EQ(chart.data.status, line);
  EXPECT_EQ(chart.points(0), 0u);
}

TEST_F(Sweep, ApplicabilityFailingAtTheFirstDegree) {
  std::string text = testing::readText(std::string(MODALSYNTH_SOURCE_DIR) + "/examples/modalsynth.txt");
  text.replace(text.find("part=0.05"), 9, "part=5");
  ASSERT_EQ(run(text), "");
  const std::string violation = "При alfa=1.000 нарушено условие применимости формулы";
  EXPECT_EQ(results(), (std::vector<std::string>{
                           violation,
                           "Ни одна степень устойчивости не рассчитана: alfa1=1.000 alfa2=4.000 alfastep=0.020"}));
  EXPECT_EQ(chart.data.status, violation);
  EXPECT_EQ(chart.points(0), 0u);
}

TEST_F(Sweep, AStepThatDoesNotAdvanceEndsTheSweep) {
  const std::pair<const char*, const char*> cases[] = {
      {"alfa1=1\nalfa2=2\nalfastep=0\n", "Шаг alfastep=0 не увеличивает alfa=1.00000, перебор остановлен"},
      {"alfa1=1\nalfa2=2\nalfastep=-0.5\n", "Шаг alfastep=-0.5 не увеличивает alfa=1.00000, перебор остановлен"},
      {"alfa1=1000\nalfa2=2000\nalfastep=1e-6\n",
       "Шаг alfastep=1e-06 не увеличивает alfa=1000.00000, перебор остановлен"},
  };
  for (auto [alfa, line] : cases) {
    ASSERT_EQ(run(plant(std::string("[alfa]\n") + alfa)), "") << alfa;
    EXPECT_EQ(chart.points(0), 1u) << alfa;
    EXPECT_EQ(chart.data.status, line);
    std::vector<std::string> got = results();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0], line);
    EXPECT_TRUE(got.back().starts_with("Для оптимальной степени устойчивости alfaопт=")) << got.back();
  }
}

TEST_F(Sweep, AtMostAMillionDegrees) {
  // 2^-20 steps from 1: exact accumulation, far more than a million degrees.
  ASSERT_EQ(run(plant("[alfa]\nalfa1=1\nalfa2=100\nalfastep=0.00000095367431640625\n")), "");
  EXPECT_EQ(chart.points(0), kMaxSweepDegrees);
  const std::string line = "Перебор остановлен после 1000000 шагов, последняя alfa=1.95367";
  EXPECT_EQ(results().at(0), line);
  EXPECT_EQ(chart.data.status, line);
  EXPECT_EQ(chart.data.series[0].points.back().x, 1.0 + 999999.0 / 1048576.0);
}

TEST_F(Sweep, ArithmeticErrorAbortsWithAStatusLine) {
  // Degrees 5e12 and 6e12 compute; at 7e12 Ke = alfa³ leaves the single range.
  std::string error = run(plant("[alfa]\nalfa1=5e12\nalfa2=1e13\nalfastep=1e12\n"));
  EXPECT_EQ(error, "Floating point overflow.");
  EXPECT_EQ(chart.data.status, "Расчет прерван: Floating point overflow.");
  EXPECT_EQ(chart.points(0), 2u);  // what was drawn stays
  EXPECT_EQ(report.lines.size(), 2u);  // no final report
}

TEST_F(Sweep, ErrorsFoundByTheFlagsNameTheFirstFailingOperation) {
  struct Case {
    const char* what;
    std::string file;
    const char* error;
  };
  const Case cases[] = {
      {"alfa1 = 0", plant("[alfa]\nalfa1=0\nalfa2=1\nalfastep=0.5\n"), "Floating point division by zero."},
      {"Ku = a2 = 0", "[Data]\nKu=0\n[L1P]\na2=0\n[alfa]\nalfa1=1\nalfa2=2\n", "Invalid floating point operation."},
      {"a2 = a1 = 0", "[Data]\nKu=1\n[L1P]\na2=0\na1=0\n[alfa]\nalfa1=1\nalfa2=2\n",
       "Invalid floating point operation."},
      {"Ke beyond single", plant("[alfa]\nalfa1=1e13\nalfa2=1e14\nalfastep=1e12\n"), "Floating point overflow."},
      {"alfa overflows while stepping", plant("[alfa]\nalfa1=3e38\nalfa2=3.4e38\nalfastep=3e38\n"),
       "Floating point overflow."},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.file), c.error) << c.what;
}

TEST_F(Sweep, ASecondSweepReplacesThePoints) {
  ASSERT_EQ(run(plant("[alfa]\nalfa1=1\nalfa2=2\nalfastep=0.1\n")), "");
  ASSERT_EQ(chart.points(0), 10u);
  ASSERT_EQ(run(plant("[alfa]\nalfa1=5\nalfa2=6\nalfastep=0.5\n")), "");
  EXPECT_EQ(chart.points(0), 2u);
  EXPECT_EQ(chart.data.series[0].points.front().x, 5.0);
  EXPECT_EQ(chart.data.status, msg::kStatusSuccess);
}

}  // namespace
}  // namespace modalsynth
