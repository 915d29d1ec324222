// Properties of both commands over generated parameter files and typed
// degrees: each run ends with its complete report or exactly one error, the
// echo lines come first and show what the file holds, and the sweep's
// hardware-flag fast path agrees with the operation-by-operation check.

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "command_outcome.h"
#include "file_generator.h"
#include "report/messages.h"
#include "report/report_log.h"
#include "synthesis/formulas.h"

namespace modalsynth::hardening {
namespace {

constexpr std::uint32_t kSeed = 20261211;
constexpr int kFiles = 3000;
// Sweeps of generated files stay short; the long ones are the fixed cases below.
constexpr double kMaxDegreesPerFile = 2000;

class TempFile {
 public:
  TempFile()
      : path_(std::filesystem::temp_directory_path() /
              ("modalsynth-property-" + std::to_string(::getpid()) + ".txt")) {}
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  const std::filesystem::path& write(const std::string& text) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    return path_;
  }

 private:
  std::filesystem::path path_;
};

// The file as a C string literal, so a failing case can be pasted into a test.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n\"\n\"";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X\"\"", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string expectedEcho(const GeneratedFile& f) {
  std::vector<double> values;
  for (int k = 0; k < 10; ++k) values.push_back(f.expected[k].loaded());
  return formatReportLine(msg::kEchoValues, values);
}

std::string describe(const GeneratedFile& f) {
  return "separator '" + f.separator + "', file:\n" + quoted(f.text);
}

TEST(CommandProperty, SweepOfAnyFileEndsInItsFinalReportOrOneError) {
  FileGenerator generator(kSeed);
  TempFile temp;
  std::map<std::string, int> seen;  // how the runs ended, to show the generator reaches every ending
  for (int n = 0; n < kFiles; ++n) {
    const GeneratedFile f = generator.file(kMaxDegreesPerFile);
    const SweepOutcome outcome = runSweep(ParameterFile(temp.write(f.text)), f.separator);
    SCOPED_TRACE("file " + std::to_string(n) + ", " + describe(f));
    const std::string problem = checkSweep(outcome);
    ASSERT_EQ(problem, "");
    if (f.overflows()) {
      ASSERT_TRUE(outcome.error == FloatFault::Overflow && outcome.lines.empty()) << "a value beyond the range loaded";
      ++seen["load overflow"];
      continue;
    }
    ASSERT_EQ(outcome.lines[1], expectedEcho(f));
    ASSERT_EQ(outcome.ps.alfa1, f.alfa1());
    ASSERT_EQ(outcome.ps.alfa2, f.alfa2());
    ASSERT_EQ(std::bit_cast<std::uint32_t>(outcome.ps.alfastep), std::bit_cast<std::uint32_t>(f.alfastep()));
    if (outcome.error) {
      ++seen[std::string(floatFaultMessage(*outcome.error))];
    } else if (outcome.chart.points[0] == 0) {
      ++seen["no degree"];
    } else {
      const std::string& status = outcome.chart.status;
      ++seen[status == msg::kStatusSuccess                ? "to alfa2"
             : status.starts_with("При alfa=")            ? "not applicable"
             : status.starts_with("Шаг alfastep=")        ? "step stalled"
                                                          : status];
    }
  }
  for (const auto& [ending, count] : seen) std::cout << ending << ": " << count << '\n';
  for (const char* ending : {"load overflow", "no degree", "to alfa2", "not applicable", "step stalled",
                             "Floating point division by zero", "Invalid floating point operation",
                             "Floating point overflow"})
    EXPECT_GT(seen[ending], 0) << "no generated sweep ended with: " << ending;
}

TEST(CommandProperty, SingleDegreeOfAnyTextEndsInItsLineOrOneError) {
  FileGenerator generator(kSeed + 1);
  TempFile temp;
  for (int n = 0; n < kFiles; ++n) {
    const GeneratedFile f = generator.file(HUGE_VAL);
    const GeneratedText typed = generator.typedDegree(f.separator);
    const DegreeOutcome outcome = runSingleDegree(ParameterFile(temp.write(f.text)), f.separator, typed.text);
    SCOPED_TRACE("file " + std::to_string(n) + ", degree " + quoted(typed.text) + ", " + describe(f));
    ASSERT_EQ(checkSingleDegree(outcome), "");
    if (f.overflows()) {
      ASSERT_TRUE(outcome.error == FloatFault::Overflow && outcome.lines.empty());
      continue;
    }
    ASSERT_EQ(outcome.lines[1], expectedEcho(f));
    switch (typed.expected.kind) {
      case Expected::Default:
        ASSERT_FALSE(outcome.converted || outcome.error) << "a text that is not a number was taken";
        break;
      case Expected::Overflow:
        ASSERT_EQ(outcome.error, FloatFault::Overflow);
        break;
      case Expected::Value:
        if (typed.expected.value == 0) {
          ASSERT_TRUE(outcome.error == FloatFault::DivisionByZero || outcome.error == FloatFault::InvalidOperation);
        } else if (outcome.converted) {
          const double degree = typed.expected.value;
          ASSERT_TRUE(outcome.lines[2].starts_with(
              formatReportLine("Для степени устойчивости alfa=%.5f ", std::span<const double>(&degree, 1))));
        } else {
          ASSERT_TRUE(outcome.error) << "a number was refused";
        }
        break;
    }
  }
}

// The sweep evaluates each degree at full speed and reads the hardware's
// sticky flags; only when one is raised does it evaluate again operation by
// operation. That must find an error exactly when the flags say so, and give
// the same bits otherwise, in every build (sanitizers included).
TEST(CommandProperty, FlagTestAgreesWithTheOperationByOperationCheck) {
  FileGenerator generator(kSeed + 2);
  TempFile temp;
  std::mt19937 rng(kSeed + 3);
  int failures = 0;
  for (int n = 0; n < kFiles; ++n) {
    const GeneratedFile f = generator.file(HUGE_VAL);
    if (f.overflows()) continue;
    ParameterSet loaded;
    CollectingReport report;
    LoadParameters(loaded, ParameterFile(temp.write(f.text)), f.separator, report);
    const float a1 = loaded.alfa1, step = loaded.alfastep;
    const float degrees[] = {a1,
                             static_cast<float>(a1 + step * std::uniform_int_distribution<int>(1, 300)(rng)),
                             -a1,
                             0.0f,
                             1e-30f,
                             1e20f};
    for (float degree : degrees) {
      ParameterSet fast = loaded;
      fast.alfa = degree;
      clearFloatFaultFlags();
      formulas::DegreeValues v = formulas::evaluateDegree<Unchecked>(fast);
      floatFence(v, fast);
      const bool raised = floatFaultFlagsRaised();
      clearFloatFaultFlags();

      ParameterSet checked = loaded;
      checked.alfa = degree;
      std::optional<FloatFault> fault;
      formulas::DegreeValues w;
      try {
        w = formulas::evaluateDegree<Checked>(checked);
      } catch (const FloatError& error) {
        fault = error.fault();
      }
      SCOPED_TRACE("degree " + std::to_string(degree) + ", " + describe(f));
      ASSERT_EQ(raised, fault.has_value()) << "flags and check disagree" << (fault ? " (check found an error)" : "");
      if (fault) {
        ++failures;
        continue;
      }
      auto bits = [](float x) { return std::bit_cast<std::uint32_t>(x); };
      ASSERT_EQ(v.applicable, w.applicable);
      ASSERT_EQ(bits(v.e), bits(w.e));
      ASSERT_EQ(bits(v.u), bits(w.u));
      ASSERT_EQ(bits(fast.Ke), bits(checked.Ke));
      ASSERT_EQ(bits(fast.b2), bits(checked.b2));
      ASSERT_EQ(bits(fast.b1), bits(checked.b1));
    }
  }
  EXPECT_GT(failures, 0);
}

// The expensive sweeps, bounded: 10^6 degrees at most, and a step that
// advances alfa for tens of thousands of degrees before it stops doing so.
TEST(CommandProperty, LongSweepsEndAtTheirBound) {
  struct Case {
    const char* alfa;
    const char* lastLine;
  };
  const Case cases[] = {
      {"alfa1=20\nalfa2=30\nalfastep=1e-6\n", "Перебор остановлен после 1000000 шагов, последняя alfa=21.90735"},
      {"alfa1=63.9\nalfa2=100\nalfastep=2e-6\n", "Шаг alfastep=2e-06 не увеличивает alfa=64.00000, перебор остановлен"},
  };
  // The servo example: its sweep applies up to alfa=74.
  const std::string plant =
      "[Data]\nx1=1\nx2=10\nx3=50\nf0=0.5\nKu=50\nKf=5\npart=0.002\nu0=0.45\n[L1P]\na2=0.002\na1=0.12\n[alfa]\n";
  TempFile temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alfa);
    const SweepOutcome outcome = runSweep(ParameterFile(temp.write(plant + c.alfa)), ".");
    ASSERT_EQ(checkSweep(outcome), "");
    ASSERT_FALSE(outcome.error);
    EXPECT_EQ(outcome.chart.status, c.lastLine);
    EXPECT_LE(outcome.chart.points[0], kMaxSweepDegrees);
  }
}

}  // namespace
}  // namespace modalsynth::hardening
