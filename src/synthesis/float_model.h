#pragma once
// The floating-point model of every computation.
//
// Expressions are evaluated in x87 extended precision (64-bit significand,
// round to nearest); every store into a single-precision place rounds to
// float. Invalid operation, division by zero and overflow end the running
// command with a FloatError; underflow is silent.
//
// Formulas are written once, over Ext<Policy>:
//  - Ext<Checked> tests every operation as it happens and throws at the
//    first failing one, so the order in which a formula names its
//    operations decides the error;
//  - Ext<Unchecked> is plain long double arithmetic. The hardware's sticky
//    exception flags record whether anything failed; a caller that sees a
//    flag raised evaluates the same formula again with Ext<Checked> to find
//    the first failing operation. Both give bit-identical values.
//
// With the Checked policy no operand is ever infinite or NaN (every way to
// produce one throws first), so a result is an overflow exactly when it is
// infinite.

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace modalsynth {

static_assert(std::numeric_limits<long double>::digits == 64,
              "extended precision needs the x87 80-bit long double");
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

using extended = long double;

enum class FloatFault { InvalidOperation, DivisionByZero, Overflow };

std::string_view floatFaultMessage(FloatFault fault) noexcept;

class FloatError : public std::runtime_error {
 public:
  explicit FloatError(FloatFault fault);
  FloatFault fault() const noexcept { return fault_; }

 private:
  FloatFault fault_;
};

[[noreturn]] void raiseFloatFault(FloatFault fault);

struct Checked {
  static extended result(extended r) {
    if (std::isinf(r)) [[unlikely]]
      raiseFloatFault(FloatFault::Overflow);
    if (std::isnan(r)) [[unlikely]]
      raiseFloatFault(FloatFault::InvalidOperation);
    return r;
  }
  static void divisor(extended dividend, extended divisor) {
    if (divisor == 0) [[unlikely]]
      raiseFloatFault(dividend == 0 ? FloatFault::InvalidOperation : FloatFault::DivisionByZero);
  }
  static float single(extended x) {
    float f = static_cast<float>(x);
    if (std::isinf(f) && !std::isinf(x)) [[unlikely]]
      raiseFloatFault(FloatFault::Overflow);
    return f;
  }
  static double dbl(extended x) {
    double d = static_cast<double>(x);
    if (std::isinf(d) && !std::isinf(x)) [[unlikely]]
      raiseFloatFault(FloatFault::Overflow);
    return d;
  }
  static double exp(double x) {
    double r = std::exp(x);
    if (std::isinf(r)) [[unlikely]]
      raiseFloatFault(FloatFault::Overflow);
    return r;
  }
};

struct Unchecked {
  static extended result(extended r) { return r; }
  static void divisor(extended, extended) {}
  static float single(extended x) { return static_cast<float>(x); }
  static double dbl(extended x) { return static_cast<double>(x); }
  static double exp(double x) { return std::exp(x); }
};

// An extended-precision intermediate. Each operator is one operation of the
// model; a formula that must fail at a given operation first names its
// intermediates in that order.
template <class Policy>
class Ext {
 public:
  constexpr Ext(extended v) : v_(v) {}  // NOLINT: implicit, as the language widens
  constexpr extended value() const { return v_; }

  friend Ext operator+(Ext a, Ext b) { return Policy::result(a.v_ + b.v_); }
  friend Ext operator-(Ext a, Ext b) { return Policy::result(a.v_ - b.v_); }
  friend Ext operator*(Ext a, Ext b) { return Policy::result(a.v_ * b.v_); }
  friend Ext operator/(Ext a, Ext b) {
    Policy::divisor(a.v_, b.v_);
    return Policy::result(a.v_ / b.v_);
  }
  friend Ext operator-(Ext a) { return Ext(-a.v_); }
  friend bool operator<(Ext a, Ext b) { return a.v_ < b.v_; }
  friend bool operator>(Ext a, Ext b) { return a.v_ > b.v_; }
  friend bool operator<=(Ext a, Ext b) { return a.v_ <= b.v_; }
  friend bool operator>=(Ext a, Ext b) { return a.v_ >= b.v_; }

 private:
  extended v_;
};

// A store into a single-precision place.
template <class Policy>
inline float single(Ext<Policy> x) {
  return Policy::single(x.value());
}
// Rounding to double, as for an argument of exp or the result of a reader.
template <class Policy>
inline double dbl(Ext<Policy> x) {
  return Policy::dbl(x.value());
}
template <class Policy>
inline double expOf(double x) {
  return Policy::exp(x);
}

inline float storeSingle(extended x) { return Checked::single(x); }
inline double storeDouble(extended x) { return Checked::dbl(x); }

// The hardware's sticky exception flags (x87 and SSE) for invalid
// operation, division by zero and overflow.
void clearFloatFaultFlags() noexcept;
bool floatFaultFlagsRaised() noexcept;

// Forces the values to be computed before the next flag test: their
// computation cannot move past this point.
template <class T>
inline void floatFenceOne(T& value) noexcept {
  asm volatile("" : "+m"(value));
}
template <class... T>
inline void floatFence(T&... values) noexcept {
  (floatFenceOne(values), ...);
}

}  // namespace modalsynth
