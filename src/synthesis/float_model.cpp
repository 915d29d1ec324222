#include "synthesis/float_model.h"

#include "report/messages.h"

namespace modalsynth {

namespace {
// Invalid operation, zero divide and overflow, in the x87 status word and in
// MXCSR alike.
constexpr std::uint32_t kFaultBits = 0x01 | 0x04 | 0x08;
}  // namespace

std::string_view floatFaultMessage(FloatFault fault) noexcept {
  switch (fault) {
    case FloatFault::InvalidOperation:
      return msg::kInvalidOperation;
    case FloatFault::DivisionByZero:
      return msg::kDivisionByZero;
    case FloatFault::Overflow:
      return msg::kOverflow;
  }
  return msg::kInvalidOperation;
}

FloatError::FloatError(FloatFault fault) : std::runtime_error(std::string(floatFaultMessage(fault))), fault_(fault) {}

void raiseFloatFault(FloatFault fault) { throw FloatError(fault); }

void clearFloatFaultFlags() noexcept {
  std::uint32_t csr = 0;
  asm volatile("fnclex\n\tstmxcsr %0" : "=m"(csr));
  csr &= ~std::uint32_t{0x3F};
  asm volatile("ldmxcsr %0" : : "m"(csr));
}

bool floatFaultFlagsRaised() noexcept {
  std::uint16_t status = 0;
  std::uint32_t csr = 0;
  asm volatile("fnstsw %0\n\tstmxcsr %1" : "=m"(status), "=m"(csr));
  return ((status | csr) & kFaultBits) != 0;
}

}  // namespace modalsynth
