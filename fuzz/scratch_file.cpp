#include <unistd.h>

#include <fstream>

#include "fuzz_target.h"

namespace modalsynth::fuzz {

ScratchFile::ScratchFile(const char* name)
    : path_(std::filesystem::temp_directory_path() /
            ("modalsynth-fuzz-" + std::to_string(::getpid()) + "-" + name + ".txt")) {}

ScratchFile::~ScratchFile() {
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

const std::filesystem::path& ScratchFile::write(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  require(static_cast<bool>(out), "cannot write the scratch file " + path_.string());
  return path_;
}

}  // namespace modalsynth::fuzz
