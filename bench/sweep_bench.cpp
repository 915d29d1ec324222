// Degrees per second of the sweep, beside the floor: the same formulas as a
// plain long double loop with no error checks at all.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "report/chart_data.h"
#include "report/report_log.h"
#include "synthesis/formulas.h"
#include "synthesis/synthesis.h"

namespace modalsynth {
namespace {

// A drive with part = 0 (the formula always applies), a1² < 4·a2 (the
// variation term has no singular degree) and a step of 2^-10,
// which accumulates exactly: degrees = (alfa2 - alfa1) * 1024.
ParameterSet plant(long degrees) {
  ParameterSet ps;
  ps.x1 = 1, ps.x2 = 0.5f, ps.x3 = 0.2f, ps.f0 = 1, ps.Ku = 2.78f, ps.Kf = 1, ps.part = 0, ps.u0 = 5;
  ps.a2 = 0.76f, ps.a1 = 1.5f;
  ps.alfa1 = 1;
  ps.alfastep = 0x1p-10f;
  ps.alfa2 = 1 + static_cast<float>(degrees) * ps.alfastep;
  return ps;
}

using ld = long double;

ld plainVariation(float alfa, float c2, float c1, float c0) {
  const ld a = alfa, aa = a * a;
  const float delta = static_cast<float>(c0 / aa - c2);
  const float slope = static_cast<float>(c1 / aa - 2.0L * c2 / a);
  const ld p = slope * a - delta;
  float peak, sign;
  if (p * slope >= 0) {
    peak = static_cast<float>(std::exp(static_cast<double>(slope * a / (delta - slope * a))) * p);
    sign = 1;
    if (!(p > 0)) peak = -peak, sign = -1;
  } else {
    peak = 0;
    sign = static_cast<float>(std::fabs(static_cast<double>(delta)) / static_cast<double>(delta));
  }
  return (std::fabs(static_cast<double>(c2)) + 2.0L * peak + static_cast<ld>(sign) * delta) * aa;
}

// One sweep of the plain loop; returns the smallest e (kept so the work stays).
float plainSweep(const ParameterSet& in) {
  ParameterSet ps = in;
  float eMin = 9999999827968.0f;
  for (float alfa = ps.alfa1; alfa < ps.alfa2; alfa = static_cast<float>(static_cast<ld>(alfa) + ps.alfastep)) {
    const ld d = alfa;
    ps.Ke = static_cast<float>(d * d * d * (static_cast<ld>(ps.a2) / ps.Ku));
    ps.b2 = static_cast<float>(3.0L / (d * d) - ps.a1 / (static_cast<ld>(ps.Ku) * ps.Ke));
    ps.b1 = static_cast<float>(3.0L / d - 1.0L / (static_cast<ld>(ps.Ku) * ps.Ke));
    const float kfRatio = static_cast<float>(ps.Kf / (static_cast<ld>(ps.Ke) * ps.Ku));
    const float varB = static_cast<float>(plainVariation(alfa, ps.b2, ps.b1, 1));
    const float c1 = static_cast<float>(1.0L / (d * d) - ps.b2);
    const float c0 = static_cast<float>(2.0L / d - ps.b1);
    const float errFactor = static_cast<float>(plainVariation(alfa, 0, c1, c0) * (1.0L / d) + 1);
    const float kfFactor = static_cast<float>(2.0L * ps.Kf / (d * d * ps.a2));
    const float varA = static_cast<float>(plainVariation(alfa, ps.a2, ps.a1, 1));
    const float applFactor = static_cast<float>(2.0L * d * varB);
    const ld margin = 1.0L - ps.part * static_cast<ld>(applFactor);
    if (!(margin >= 0)) break;
    const ld r = ps.Kf / (static_cast<ld>(ps.Ke) * ps.Ku);
    const float e = static_cast<float>(r * kfRatio * ps.f0 + static_cast<ld>(ps.x1) * errFactor +
                                       ((1.0L + varB) * ps.x1 + r * kfFactor * ps.f0) * (ps.part * static_cast<ld>(varB)) /
                                           margin);
    const float u = static_cast<float>((static_cast<ld>(ps.x2) * ps.b1 + ps.x1 + static_cast<ld>(ps.x3) * ps.b2) *
                                           ((1.0L / ps.Ku) * varA) +
                                       r * varB * ps.f0);
    benchmark::DoNotOptimize(u);
    if (e < eMin) eMin = e;
  }
  return eMin;
}

void BM_PlainLoop(benchmark::State& state) {
  const ParameterSet ps = plant(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(plainSweep(ps));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The sweep as the commands run it: fast evaluation, flag test per degree.
void BM_Sweep(benchmark::State& state) {
  const ParameterSet start = plant(state.range(0));
  LastLineReport report;
  NullChart chart;
  for (auto _ : state) {
    ParameterSet ps = start;
    RunLoadedSweep(ps, report, chart);
    benchmark::DoNotOptimize(ps.Ke);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every operation checked as it happens, for comparison.
void BM_CheckedEveryOperation(benchmark::State& state) {
  const ParameterSet start = plant(state.range(0));
  for (auto _ : state) {
    ParameterSet ps = start;
    float eMin = 9999999827968.0f;
    for (ps.alfa = ps.alfa1; ps.alfa < ps.alfa2; ps.alfa = single(Ext<Checked>(ps.alfa) + Ext<Checked>(ps.alfastep))) {
      formulas::DegreeValues v = formulas::evaluateDegree<Checked>(ps);
      if (v.e < eMin) eMin = v.e;
    }
    benchmark::DoNotOptimize(eMin);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_PlainLoop)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sweep)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckedEveryOperation)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace modalsynth

BENCHMARK_MAIN();
