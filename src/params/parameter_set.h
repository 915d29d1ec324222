#pragma once
// The working state of a synthesis: thirteen inputs read from the parameter
// file, the three controller coefficients and the current stability degree.
// Every field is single precision; whatever is stored is rounded to float.

namespace modalsynth {

struct ParameterSet {
  // Inputs, in the order they are read.
  float x1 = 0, x2 = 0, x3 = 0, f0 = 0, Ku = 0, Kf = 0, part = 0, u0 = 0;
  float a2 = 0, a1 = 0;
  float alfa1 = 0, alfa2 = 0, alfastep = 0;
  // Controller coefficients for the last degree passed to CalcCoefficients.
  float Ke = 0, b2 = 0, b1 = 0;
  // The current stability degree.
  float alfa = 0;
};

}  // namespace modalsynth
