// The single-degree command on an arbitrary typed text, over the example
// parameter file and over no file at all: the echo, then the coefficient
// line, the message that the text is not a number, or exactly one error.

#include <string>
#include <string_view>

#include "command_outcome.h"
#include "fuzz_target.h"

namespace modalsynth::fuzz {

namespace {

constexpr std::string_view kExample =
    "[Data]\nx1=1\nx2=0.5\nx3=0.2\nf0=1\nKu=2.78\nKf=1\npart=0.05\nu0=5\n"
    "[L1P]\na2=0.76\na1=2.02\n[alfa]\nalfa1=1\nalfa2=4\nalfastep=0.02\n";

}  // namespace

int typedDegreeInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFile example("degree");
  static const ParameterFile file(
      example.write(reinterpret_cast<const std::uint8_t*>(kExample.data()), kExample.size()));
  static const ParameterFile missing(example.path().string() + ".missing");

  // The first byte chooses the decimal separator, the rest is the typed text.
  const std::string_view separator = size > 0 && (data[0] & 1) ? "," : ".";
  const std::string_view typed =
      size > 0 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string_view();
  for (const ParameterFile* f : {&file, &missing}) {
    const hardening::DegreeOutcome outcome = hardening::runSingleDegree(*f, separator, typed);
    const std::string problem = hardening::checkSingleDegree(outcome);
    require(problem.empty(), problem);
    if (outcome.converted) require(hardening::isNumberText(typed, separator), "took a text that is not a number");
  }
  return 0;
}

}  // namespace modalsynth::fuzz

MODALSYNTH_FUZZ_ENTRY(typedDegreeInput)
