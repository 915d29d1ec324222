#pragma once
// The synthesis formulas, written once over the floating-point model's
// policies (float_model.h). Each step names its intermediates in the order in
// which the operations happen; that order decides which error a failing
// computation reports.

#include "params/parameter_set.h"
#include "synthesis/float_model.h"

namespace modalsynth::formulas {

// Ke, b2, b1 for a degree, stored in that order; alfa is not touched.
template <class P>
void calcCoefficients(ParameterSet& ps, float degree) {
  using X = Ext<P>;
  const X d = degree;
  const X cube = d * d * d;                   // (degree·degree)·degree
  const X gain = X(ps.a2) / X(ps.Ku);
  ps.Ke = single(cube * gain);

  const X t1 = X(3.0L) / (d * d);
  const X kuKe = X(ps.Ku) * X(ps.Ke);
  const X t2 = X(ps.a1) / kuKe;
  ps.b2 = single(t1 - t2);

  const X kuKe1 = X(ps.Ku) * X(ps.Ke);
  const X q = X(1.0L) / kuKe1;
  const X t3 = X(3.0L) / d;
  ps.b1 = single(t3 - q);
}

// alfa² times the total variation of the unit-step response of
// (c2·s² + c1·s + c0) / (s + alfa)², with alfa read from the set.
template <class P>
extended totalVariation(const ParameterSet& ps, float c2, float c1, float c0) {
  using X = Ext<P>;
  const X a = ps.alfa;
  const X aa = a * a;

  const float delta = single(X(c0) / aa - X(c2));

  const X s1 = X(c1) / aa;
  const X twoC2 = X(2.0L) * X(c2);
  const X s2 = twoC2 / a;
  const float slope = single(s1 - s2);

  const X slopeAlfa = X(slope) * a;
  const X p = slopeAlfa - X(delta);
  const X t = p * X(slope);

  float peak;
  float sign;
  if (t >= X(0.0L)) {
    const X numerator = X(slope) * a;
    const X denominator = X(delta) - X(slope) * a;
    const double x = dbl(numerator / denominator);
    peak = single(X(expOf<P>(x)) * p);
    sign = 1;
    if (!(p > X(0.0L))) {
      peak = -peak;
      sign = -1;
    }
  } else {
    peak = 0;
    const double wide = delta;
    sign = single(X(std::fabs(wide)) / X(wide));
  }

  const X jump = std::fabs(static_cast<double>(c2));
  const X r1 = jump + X(2.0L) * X(peak);
  const X r2 = r1 + X(sign) * X(delta);
  return (r2 * aa).value();
}

// What one degree of the sweep gives: either not applicable, or e and u.
struct DegreeValues {
  bool applicable = false;
  float e = 0;
  float u = 0;
};

// One degree of the sweep at ps.alfa: the coefficients, the three variation
// terms, the applicability test and, where it passes, e and u.
template <class P>
DegreeValues evaluateDegree(ParameterSet& ps) {
  using X = Ext<P>;
  calcCoefficients<P>(ps, ps.alfa);
  const X a = ps.alfa;

  const X keKu = X(ps.Ke) * X(ps.Ku);
  const float kfRatio = single(X(ps.Kf) / keKu);

  const float varB = single(X(totalVariation<P>(ps, ps.b2, ps.b1, 1.0f)));

  const float c1 = single(X(1.0L) / (a * a) - X(ps.b2));
  const float c0 = single(X(2.0L) / a - X(ps.b1));
  const X tv = totalVariation<P>(ps, 0.0f, c1, c0);
  const X reciprocal = X(1.0L) / a;
  const float errFactor = single(tv * reciprocal + X(1.0L));

  const X twoKf = X(2.0L) * X(ps.Kf);
  const X aaA2 = (a * a) * X(ps.a2);
  const float kfFactor = single(twoKf / aaA2);

  const float varA = single(X(totalVariation<P>(ps, ps.a2, ps.a1, 1.0f)));

  const float applFactor = single(X(2.0L) * a * X(varB));
  const X applMargin = X(1.0L) - X(ps.part) * X(applFactor);

  DegreeValues v;
  if (!(applMargin >= X(0.0L))) return v;
  v.applicable = true;

  // e: the two leading terms first, then the quotient.
  const X ratio1 = X(ps.Kf) / (X(ps.Ke) * X(ps.Ku));
  const X lead = ratio1 * X(kfRatio) * X(ps.f0) + X(ps.x1) * X(errFactor);
  const X b1 = (X(1.0L) + X(varB)) * X(ps.x1);
  const X ratio2 = X(ps.Kf) / (X(ps.Ke) * X(ps.Ku));
  const X bracket = b1 + ratio2 * X(kfFactor) * X(ps.f0);
  const X weight = X(ps.part) * X(varB);
  const X tail = bracket * weight / applMargin;
  v.e = single(lead + tail);

  // u
  const X sum = X(ps.x2) * X(ps.b1) + X(ps.x1) + X(ps.x3) * X(ps.b2);
  const X inv = X(1.0L) / X(ps.Ku);
  const X factor = inv * X(varA);
  const X first = sum * factor;
  const X kuKe = X(ps.Ku) * X(ps.Ke);
  const X last = X(ps.Kf) / kuKe * X(varB) * X(ps.f0);
  v.u = single(first + last);
  return v;
}

}  // namespace modalsynth::formulas
