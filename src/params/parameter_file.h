#pragma once
// The parameter file: an INI text read afresh at every lookup.
//
// Lookup rules: a section starts at a line "[name]" and runs to the next
// section line; section and key names match without regard to ASCII letter
// case; blanks (spaces, tabs) around names and values are ignored; a value in
// one pair of matching single or double quotes loses them; the value is the
// text after the first '=' of the line, at most 2047 characters of it. Also:
// a UTF-8 byte-order mark at the start is skipped, a line whose first
// non-blank character is ';' or '#' is a comment, the first occurrence of a
// section and of a key wins, and lines may end in LF or CR LF.
//
// Reading is bounded on any input: a line counts with its first 64 KiB only,
// and only the first 64 MiB of a file are looked at.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

#include "params/parameter_set.h"

namespace modalsynth {

class ReportSink;

inline constexpr std::size_t kMaxValueLength = 2047;
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;
inline constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;
inline constexpr double kDefaultValue = 0.1;

// The value text of section/key in an INI text; empty when the file, the
// section or the key is missing.
std::string lookupValue(std::istream& in, std::string_view section, std::string_view key);

class ParameterFile {
 public:
  explicit ParameterFile(std::filesystem::path path) : path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }

  // The value text as the file on disk holds it now; empty when missing.
  std::string readString(std::string_view section, std::string_view key) const;

  // The number in section/key rounded to double; the default for a missing,
  // empty or malformed value (or one beyond the extended range); a
  // FloatError (overflow) for a number beyond the double range.
  double readFloat(std::string_view section, std::string_view key, double defaultValue,
                   std::string_view decimalSeparator) const;

 private:
  std::filesystem::path path_;
};

// Reads the thirteen inputs into the set and echoes ten of them as two report
// lines. An overflow ends it (FloatError) before the values line.
void LoadParameters(ParameterSet& ps, const ParameterFile& file, std::string_view decimalSeparator,
                    ReportSink& report);

// The parameter file of an executable: its full path with the extension (the
// name's part from its last point on) replaced by ".txt"; a name without a
// point gets ".txt" appended.
std::filesystem::path parameterFilePathFor(const std::string& executablePath);

// The full path of the running executable.
std::string executablePath();

}  // namespace modalsynth
