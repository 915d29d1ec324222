#include "synthesis/synthesis.h"

#include <optional>

#include "params/number_syntax.h"
#include "report/messages.h"
#include "synthesis/formulas.h"

namespace modalsynth {

void CalcCoefficients(ParameterSet& ps, float degree) { formulas::calcCoefficients<Checked>(ps, degree); }

extended TotalVariation(const ParameterSet& ps, float c2, float c1, float c0) {
  return formulas::totalVariation<Checked>(ps, c2, c1, c0);
}

bool RunSingleDegree(ParameterSet& ps, const ParameterFile& file, std::string_view sep, std::string_view typed,
                     ReportSink& report) {
  LoadParameters(ps, file, sep, report);
  std::optional<long double> degree = parseNumber(typed, sep);
  if (!degree) return false;
  ps.alfa = storeSingle(*degree);
  CalcCoefficients(ps, ps.alfa);
  AddReportLine(report, msg::kDegreeCoefficients, {ps.alfa, ps.Ke, ps.b2, ps.b1});
  return true;
}

namespace {

// The degree loop: evaluates at full speed and, when the hardware flags say an
// operation failed, evaluates the degree again operation by operation, which
// throws at the first failing one.
formulas::DegreeValues evaluate(ParameterSet& ps) {
  formulas::DegreeValues v = formulas::evaluateDegree<Unchecked>(ps);
  floatFence(v, ps);
  if (floatFaultFlagsRaised()) [[unlikely]] {
    v = formulas::evaluateDegree<Checked>(ps);
    clearFloatFaultFlags();
  }
  return v;
}

void sweepBody(ParameterSet& ps, ReportSink& report, ChartSink& chart) {
  std::uint32_t evaluated = 0;
  bool stoppedEarly = false;  // the status line already tells why
  float eMin = 9999999827968.0f;
  float alfaMin = 0;
  bool limitPending = true;
  float alfaLimit = 0;
  float eLimit = 0;

  ps.alfa = ps.alfa1;
  clearFloatFaultFlags();
  while (ps.alfa < ps.alfa2) {
    const formulas::DegreeValues v = evaluate(ps);
    if (!v.applicable) {
      AddReportLine(report, msg::kNotApplicable, {ps.alfa});
      chart.setStatusLine(report.lastLine());
      stoppedEarly = true;
      break;
    }
    ++evaluated;
    if (evaluated == 1 || v.e < eMin) {
      eMin = v.e;
      alfaMin = ps.alfa;
    }
    if (v.u > ps.u0 && limitPending) {
      alfaLimit = ps.alfa;
      eLimit = v.e;
      limitPending = false;
      AddReportLine(report, msg::kLimitCrossed, {ps.alfa, v.u, ps.u0});
      AddReportLine(report, msg::kLimitError, {ps.alfa, v.e});
    }
    chart.addPoint(kSeriesError, ps.alfa, v.e, kBlue);
    chart.addPoint(kSeriesControl, ps.alfa, v.u, kGreen);
    chart.addPoint(kSeriesLevel, ps.alfa, ps.u0, kRed);

    const float current = ps.alfa;
    const float next = single(Ext<Checked>(ps.alfa) + Ext<Checked>(ps.alfastep));
    if (!(next > current)) {
      AddReportLine(report, msg::kStepStalled, {ps.alfastep, current});
      chart.setStatusLine(report.lastLine());
      stoppedEarly = true;
      break;
    }
    ps.alfa = next;
    if (evaluated == kMaxSweepDegrees && ps.alfa < ps.alfa2) {
      AddReportLine(report, msg::kStepLimit, {current});
      chart.setStatusLine(report.lastLine());
      stoppedEarly = true;
      break;
    }
  }

  if (evaluated == 0) {
    AddReportLine(report, msg::kNoDegree, {ps.alfa1, ps.alfa2, ps.alfastep});
    if (!stoppedEarly) chart.setStatusLine(report.lastLine());
    return;
  }

  AddReportLine(report, msg::kMinimum, {eMin, alfaMin});
  AddReportLine(report, msg::kResults);
  float alfaOpt;
  float eOpt;
  if (limitPending) {
    AddReportLine(report, msg::kLimitNeverCrossed, {ps.u0, alfaMin});
    alfaOpt = alfaMin;
    eOpt = eMin;
  } else if (alfaMin > alfaLimit) {
    AddReportLine(report, msg::kLimitFirst, {alfaLimit, alfaMin, alfaLimit});
    alfaOpt = alfaLimit;
    eOpt = eLimit;
  } else {
    AddReportLine(report, msg::kMinimumFirst, {alfaLimit, alfaMin, alfaMin});
    alfaOpt = alfaMin;
    eOpt = eMin;
  }
  AddReportLine(report, msg::kLeastError, {alfaOpt, eOpt});
  CalcCoefficients(ps, alfaOpt);
  AddReportLine(report, msg::kOptimumCoefficients, {alfaOpt, ps.Ke, ps.b2, ps.b1});
}

}  // namespace

void RunSweep(ParameterSet& ps, const ParameterFile& file, std::string_view sep, ReportSink& report,
              ChartSink& chart) {
  LoadParameters(ps, file, sep, report);
  RunLoadedSweep(ps, report, chart);
}

void RunLoadedSweep(ParameterSet& ps, ReportSink& report, ChartSink& chart) {
  chart.clearSeries(kSeriesError);
  chart.clearSeries(kSeriesControl);
  chart.clearSeries(kSeriesLevel);
  chart.setStatusLine(msg::kStatusSuccess);
  try {
    sweepBody(ps, report, chart);
  } catch (const FloatError& error) {
    chart.setStatusLine(std::string(msg::kStatusAborted) + errorBoxText(error.what()));
    throw;
  }
}

}  // namespace modalsynth
