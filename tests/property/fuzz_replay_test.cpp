// Replays the fuzz targets' seed corpus and every input a fuzzer found
// (fuzz/regressions) through the same targets, with the same invariants, in
// the normal and the sanitizer builds.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_target.h"

namespace modalsynth::fuzz {
namespace {

struct Target {
  const char* name;
  int (*input)(const std::uint8_t*, std::size_t);
  bool examples;  // the example parameter files are inputs too
};

void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

class FuzzReplay : public testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EveryStoredInputKeepsTheInvariants) {
  const Target& target = GetParam();
  const std::filesystem::path root = MODALSYNTH_SOURCE_DIR;
  std::vector<std::filesystem::path> dirs = {root / "fuzz/corpus" / target.name, root / "fuzz/regressions" / target.name};
  if (target.examples) dirs.push_back(root / "examples");
  int replayed = 0;
  for (const auto& dir : dirs) {
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file() || entry.path().filename().string().starts_with(".")) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_NO_THROW(target.input(bytes.data(), bytes.size())) << entry.path();
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no stored inputs for " << target.name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         testing::Values(Target{"parameter_file", parameterFileInput, true},
                                         Target{"typed_degree", typedDegreeInput, false},
                                         Target{"sweep", sweepInput, true}),
                         [](const testing::TestParamInfo<Target>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace modalsynth::fuzz
