#pragma once
// The command-line tool over the core:
//   modalsynth-cli [--params FILE] sweep [--csv FILE] [--plot FILE.png|FILE.svg [--size WxH]]
//   modalsynth-cli [--params FILE] coefficients DEGREE
//   modalsynth-cli --help | --version
// Report lines go to out, one per line; errors to err. Exit status: 0 done,
// 1 an arithmetic or output error, 2 a degree that is not a number or a
// usage error.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "report/chart_data.h"

namespace modalsynth::cli {

// Renders a sweep's chart to an image file; set by a build that has the
// chart view. Returns an error text, empty on success.
using PlotFunction = std::function<std::string(const ChartData&, const std::string& path, int width, int height)>;

struct Options {
  PlotFunction plot;  // empty: --plot is refused
};

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Options& options = {});

// modalsynth.txt in the folder of the running executable.
std::string defaultParameterFile();

}  // namespace modalsynth::cli
