// The whole sweep command on an arbitrary parameter file: load, sweep and
// final report end, in bounded time, with the echo lines first and then the
// complete final report or exactly one error; the command-line tool prints
// the same lines and at most that one error.

#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "command_outcome.h"
#include "fuzz_target.h"
#include "report/report_log.h"

namespace modalsynth::fuzz {

namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + '\n';
  return out;
}

}  // namespace

int sweepInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFile scratch("sweep");
  static const bool pointSeparator = ::setenv("LC_ALL", "C", 1) == 0;  // the tool reads the separator from here
  require(pointSeparator, "cannot set LC_ALL");
  const ParameterFile file(scratch.write(data, size));

  const hardening::SweepOutcome outcome = hardening::runSweep(file, ".");
  const std::string problem = hardening::checkSweep(outcome);
  require(problem.empty(), problem);

  // The tool over the same file, with a point as the decimal separator.
  std::ostringstream out, err;
  const int status = cli::run({"--params", file.path().string(), "sweep"}, out, err);
  require(out.str() == joined(outcome.lines), "the tool's report differs from the sweep's");
  if (outcome.error) {
    require(status == 1, "an error without exit status 1");
    require(err.str() == errorBoxText(floatFaultMessage(*outcome.error)) + "\n", "not exactly one error message");
  } else {
    require(status == 0 && err.str().empty(), "a message or a failing status after a complete report");
  }

  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.find(',') != std::string_view::npos) {
    const std::string commaProblem = hardening::checkSweep(hardening::runSweep(file, ","));
    require(commaProblem.empty(), commaProblem);
  }
  return 0;
}

}  // namespace modalsynth::fuzz

MODALSYNTH_FUZZ_ENTRY(sweepInput)
