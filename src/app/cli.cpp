#include "app/cli.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>

#include "params/number_syntax.h"
#include "params/parameter_file.h"
#include "report/messages.h"
#include "synthesis/synthesis.h"

namespace modalsynth::cli {

namespace {

constexpr const char* kUsage =
    "usage: modalsynth-cli [--params FILE] sweep [--csv FILE] [--plot FILE.png|FILE.svg [--size WxH]]\n"
    "       modalsynth-cli [--params FILE] coefficients DEGREE\n"
    "       modalsynth-cli --help | --version\n";

constexpr const char* kHelp =
    "Modal synthesis of a controller: coefficients Ke, b2, b1 placing a triple root at -alfa.\n"
    "\n"
    "  sweep              step alfa from alfa1 towards alfa2 by alfastep, report the optimum\n"
    "  coefficients DEGREE  report Ke, b2, b1 for one stability degree\n"
    "  --params FILE      the parameter file (default: modalsynth.txt beside this program)\n"
    "  --csv FILE         with sweep: write alfa,e,u,u0 for every evaluated degree\n"
    "  --plot FILE        with sweep: render the chart as PNG or SVG (by the file's extension)\n"
    "  --size WxH         with --plot: the image size in pixels (default 748x337)\n"
    "\n"
    "Report lines go to standard output; errors to standard error.\n";

// Writes each report line as it is appended, so that lines written before an
// error stay on the output.
class StreamReport : public ReportSink {
 public:
  explicit StreamReport(std::ostream& out) : out_(out) {}
  void appendLine(const std::string& line) override {
    out_ << line << '\n';
    last_ = line;
  }
  std::string lastLine() const override { return last_; }

 private:
  std::ostream& out_;
  std::string last_;
};

std::string shortest(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
  return ec == std::errc{} ? std::string(buffer, end) : std::string("nan");
}

std::string writeCsv(const ChartData& data, const std::string& path) {
  std::ofstream csv(path, std::ios::binary | std::ios::trunc);
  if (!csv) return "cannot write " + path;
  csv << "alfa,e,u,u0\n";
  const auto& e = data.series[kSeriesError].points;
  const auto& u = data.series[kSeriesControl].points;
  const auto& level = data.series[kSeriesLevel].points;
  for (std::size_t i = 0; i < e.size() && i < u.size() && i < level.size(); ++i)
    csv << shortest(e[i].x) << ',' << shortest(e[i].y) << ',' << shortest(u[i].y) << ',' << shortest(level[i].y)
        << '\n';
  csv.flush();
  return csv ? std::string() : "cannot write " + path;
}

bool parseSize(const std::string& text, int& width, int& height) {
  std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  auto number = [](std::string_view s, int& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc{} && end == s.data() + s.size() && v > 0 && v <= 16384;
  };
  return number(std::string_view(text).substr(0, x), width) && number(std::string_view(text).substr(x + 1), height);
}

int usage(std::ostream& err, const std::string& problem) {
  if (!problem.empty()) err << "modalsynth-cli: " << problem << '\n';
  err << kUsage;
  return 2;
}

}  // namespace

std::string defaultParameterFile() {
  std::filesystem::path exe = executablePath();
  return (exe.parent_path() / "modalsynth.txt").string();
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Options& options) {
  std::string params;
  std::optional<std::string> command;
  std::optional<std::string> degree;
  std::string csvPath, plotPath;
  int width = 748, height = 337;
  bool sizeGiven = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (!command && (a == "--help" || a == "-h")) {
      out << kUsage << '\n' << kHelp;
      return 0;
    }
    if (!command && a == "--version") {
      out << "modalsynth-cli " << MODALSYNTH_VERSION << '\n';
      return 0;
    }
    if (a == "--params") {
      if (!value(params)) return usage(err, "--params needs a file");
    } else if (!command && (a == "sweep" || a == "coefficients")) {
      command = a;
      if (a == "coefficients") {
        if (i + 1 >= args.size()) return usage(err, "coefficients needs a degree");
        degree = args[++i];
      }
    } else if (command == "sweep" && a == "--csv") {
      if (!value(csvPath)) return usage(err, "--csv needs a file");
    } else if (command == "sweep" && a == "--plot") {
      if (!value(plotPath)) return usage(err, "--plot needs a file");
    } else if (command == "sweep" && a == "--size") {
      std::string size;
      if (!value(size) || !parseSize(size, width, height)) return usage(err, "--size takes WxH, e.g. 748x337");
      sizeGiven = true;
    } else {
      return usage(err, "unexpected argument '" + a + "'");
    }
  }
  if (!command) return usage(err, "no command given");
  if (sizeGiven && plotPath.empty()) return usage(err, "--size goes with --plot");
  if (!plotPath.empty() && !options.plot) {
    err << "modalsynth-cli: this build has no chart view; --plot is not available\n";
    return 2;
  }
  if (params.empty()) params = defaultParameterFile();

  ParameterFile file(params);
  ParameterSet ps;
  StreamReport report(out);
  const std::string sep = regionalDecimalSeparator();

  if (*command == "coefficients") {
    try {
      if (!RunSingleDegree(ps, file, sep, *degree, report)) {
        out.flush();
        err << msg::kDegreeRequired << '\n';
        return 2;
      }
    } catch (const FloatError& error) {
      out.flush();
      err << errorBoxText(error.what()) << '\n';
      return 1;
    }
    return 0;
  }

  const bool record = !csvPath.empty() || !plotPath.empty();
  ChartData data;
  RecordingChart recording(data);
  NullChart null;
  ChartSink& chart = record ? static_cast<ChartSink&>(recording) : null;
  int status = 0;
  try {
    RunSweep(ps, file, sep, report, chart);
  } catch (const FloatError& error) {
    out.flush();
    err << errorBoxText(error.what()) << '\n';
    status = 1;
  }
  out.flush();
  if (!csvPath.empty()) {
    if (std::string problem = writeCsv(data, csvPath); !problem.empty()) {
      err << "modalsynth-cli: " << problem << '\n';
      status = 1;
    }
  }
  if (!plotPath.empty()) {
    if (std::string problem = options.plot(data, plotPath, width, height); !problem.empty()) {
      err << "modalsynth-cli: " << problem << '\n';
      status = 1;
    }
  }
  return status;
}

}  // namespace modalsynth::cli
