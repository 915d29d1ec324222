#pragma once
// The fuzz targets' common parts. Each target is a function over one input;
// built with libFuzzer (MODALSYNTH_LIBFUZZER) it becomes the fuzzer's entry
// point, otherwise the normal test suite replays the corpus through it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace modalsynth::fuzz {

// A broken invariant: the fuzzer reports it as a crash with the input; the
// replaying test sees an exception.
[[noreturn]] inline void fail(const std::string& what) {
#ifdef MODALSYNTH_LIBFUZZER
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
#else
  throw std::logic_error(what);
#endif
}

inline void require(bool ok, const std::string& what) {
  if (!ok) fail(what);
}

// A file of this process's own for inputs that must lie on disk; removed
// when the process ends normally.
class ScratchFile {
 public:
  explicit ScratchFile(const char* name);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::filesystem::path& write(const std::uint8_t* data, std::size_t size);
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

int parameterFileInput(const std::uint8_t* data, std::size_t size);
int typedDegreeInput(const std::uint8_t* data, std::size_t size);
int sweepInput(const std::uint8_t* data, std::size_t size);

}  // namespace modalsynth::fuzz

#ifdef MODALSYNTH_LIBFUZZER
#define MODALSYNTH_FUZZ_ENTRY(function)                                            \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    return modalsynth::fuzz::function(data, size);                                 \
  }
#else
#define MODALSYNTH_FUZZ_ENTRY(function)
#endif
