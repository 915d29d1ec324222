// The command-line tool, run as a separate process.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support.h"

namespace modalsynth {
namespace {

using testing::TempDir;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

Result runCli(const std::string& args, const std::string& env = "") {
  TempDir dir;
  const std::string errFile = (dir.path() / "err").string();
  const std::string command = env + " " + MODALSYNTH_CLI + " " + args + " 2>" + errFile;
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) r.out.append(buffer.data(), n);
  int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = testing::readText(errFile);
  return r;
}

const std::string kExamples = std::string(MODALSYNTH_SOURCE_DIR) + "/examples/";

TEST(Cli, SweepPrintsTheReportExactly) {
  for (const char* name : {"modalsynth", "servo"}) {
    Result r = runCli("--params " + kExamples + name + ".txt sweep");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, testing::readText(std::string(MODALSYNTH_SOURCE_DIR) + "/tests/golden/" + name + ".txt"));
    EXPECT_EQ(r.err, "");
  }
}

TEST(Cli, ExitStatusAndMessages) {
  TempDir dir;
  const std::string file = dir.write("p.txt", "[Data]\nKu=1\n").string();
  struct Case {
    std::string args;
    int status;
    std::string err;      // the start of standard error
    std::size_t outLines;  // report lines that stay on stdout
  };
  const Case cases[] = {
      {"--params " + file + " coefficients 2", 0, "", 3},
      {"--params " + file + " coefficients -1", 0, "", 3},
      {"coefficients 2 --params " + file, 0, "", 3},
      {"--params " + file + " coefficients abc", 2, "Надо указать степень устойчивости\n", 2},
      {"--params " + file + " coefficients ''", 2, "Надо указать степень устойчивости\n", 2},
      {"--params " + file + " coefficients 0", 1, "Floating point division by zero.\n", 2},
      {"--params " + file + " coefficients 1e39", 1, "Floating point overflow.\n", 2},
      {"--params " + dir.write("big.txt", "[Data]\nx1=1e400\n").string() + " sweep", 1,
       "Floating point overflow.\n", 0},
      {"", 2, "modalsynth-cli: no command given", 0},
      {"frobnicate", 2, "modalsynth-cli: unexpected argument", 0},
      {"coefficients", 2, "modalsynth-cli: coefficients needs a degree", 0},
      {"sweep --csv", 2, "modalsynth-cli: --csv needs a file", 0},
      {"--params " + file + " sweep --csv " + (dir.path() / "no/such/dir.csv").string(), 1,
       "modalsynth-cli: cannot write", 3},
  };
  for (const Case& c : cases) {
    Result r = runCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_TRUE(r.err.starts_with(c.err)) << c.args << "\n" << r.err;
    EXPECT_EQ(testing::splitLines(r.out).size(), c.outLines) << c.args << "\n" << r.out;
  }
}

TEST(Cli, HelpAndVersion) {
  Result help = runCli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("coefficients DEGREE"), std::string::npos);
  Result version = runCli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("modalsynth-cli ")) << version.out;
}

TEST(Cli, CsvHasOneRowPerDegreeWithNineDigits) {
  TempDir dir;
  const std::string csv = (dir.path() / "out.csv").string();
  Result r = runCli("--params " + kExamples + "modalsynth.txt sweep --csv " + csv, "LC_ALL=C");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> rows = testing::splitLines(testing::readText(csv));
  ASSERT_EQ(rows.size(), 105u);
  EXPECT_EQ(rows[0], "alfa,e,u,u0");
  EXPECT_TRUE(rows[1].starts_with("1,")) << rows[1];
  EXPECT_TRUE(rows[1].ends_with(",5")) << rows[1];
  // 1.02 in single precision needs nine digits to come back exactly.
  EXPECT_TRUE(rows[2].starts_with("1.01999998,")) << rows[2];
}

TEST(Cli, CommaLocaleEndToEnd) {
  MODALSYNTH_NEED_COMMA_LOCALE();
  TempDir dir;
  const std::string file = dir.write("p.txt", "[Data]\nx1=0,5\nx2=0.5\n").string();
  const std::string env = std::string("LC_ALL=") + testing::kCommaLocale;
  Result r = runCli("--params " + file + " coefficients 0,5", env);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = testing::splitLines(r.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[1].starts_with("x1=0.500 x2=0.100 ")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("Для степени устойчивости alfa=0.50000 ")) << lines[2];
  EXPECT_EQ(runCli("--params " + file + " coefficients 0.5", env).status, 2);
  // With a point the same file reads the other way round.
  Result point = runCli("--params " + file + " coefficients 0.5", "LC_ALL=C");
  EXPECT_TRUE(testing::splitLines(point.out).at(1).starts_with("x1=0.100 x2=0.500 ")) << point.out;
}

TEST(Cli, DefaultParameterFileLiesBesideTheProgram) {
  Result r = runCli("sweep");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(r.out.empty());
}

}  // namespace
}  // namespace modalsynth
