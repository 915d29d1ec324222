#pragma once
// Small helpers shared by the core and CLI tests.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "report/report_log.h"
#include "synthesis/float_model.h"

namespace modalsynth::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "modalsynth-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path write(const std::string& name, const std::string& content) const {
    std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class CapturedReport : public ReportSink {
 public:
  void appendLine(const std::string& line) override { lines.push_back(line); }
  std::string lastLine() const override { return lines.empty() ? std::string() : lines.back(); }
  std::vector<std::string> lines;
};

// The fault a call ends with, or nullopt when it returns normally.
template <class F>
std::optional<FloatFault> faultOf(F&& call) {
  try {
    call();
  } catch (const FloatError& e) {
    return e.fault();
  }
  return std::nullopt;
}

inline std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    had_ = std::getenv(name) != nullptr;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_) setenv(name_.c_str(), old_.c_str(), 1); else unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool had_ = false;
};

// The comma-separator locale the tests use; scripts/test generates it and
// sets MODALSYNTH_REQUIRE_TEST_LOCALE so that a missing one fails there.
inline constexpr const char* kCommaLocale = "ru_RU.UTF-8";
bool commaLocaleAvailable();

}  // namespace modalsynth::testing

#define MODALSYNTH_NEED_COMMA_LOCALE()                                                   \
  do {                                                                                   \
    if (!::modalsynth::testing::commaLocaleAvailable()) {                                \
      if (std::getenv("MODALSYNTH_REQUIRE_TEST_LOCALE")) FAIL() << "locale ru_RU.UTF-8 missing"; \
      GTEST_SKIP() << "locale ru_RU.UTF-8 not installed";                                \
    }                                                                                    \
  } while (0)
