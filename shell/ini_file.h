// The ini file with the semantics of the classic private-profile functions:
// "[section]" headers and "key=value" lines, section names and keys matched
// without regard to (ASCII) case, the first matching section and the first
// matching key winning, surrounding blanks of keys and values ignored, and a
// value wrapped in a pair of matching quotes read without them. Every line the
// program does not understand (comments, garbage, keys of other sections,
// duplicates) is kept as it was and written back in place.
//
// Why not a library: the ini readers packaged for the platform (inih among
// them) are read-only callback parsers. This file is also written back by the
// program, and a rewrite must keep the user's comments, unknown keys and line
// order, change values in place and append new keys where the profile
// functions would. That needs the whole file held as lines, which is what this
// class is.
//
// The file is read once by Load and written only by Save, whole or not at all:
// the new text goes to a temporary file beside it, is flushed to the disk, and
// then renamed over the old file (platform/file_writer.h), so a failure at any
// step leaves the old file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvex {

class TKRXIniFile {
 public:
  enum class LoadResult {
    kLoaded,      // the file was read
    kMissing,     // there is no file yet: every value takes its default
    kUnreadable,  // the file exists but cannot be read; Save will not replace it
  };

  // Files larger than this are not read (kUnreadable): an ini file of the
  // program never comes near it, so such a file is something else.
  static constexpr size_t kMaxFileSize = 16 * 1024 * 1024;

  // No file is touched until Load or Save.
  explicit TKRXIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  // Reads the file, replacing whatever was held. After kUnreadable the object
  // starts empty and `LoadError()` says why.
  LoadResult Load();
  const std::string& LoadError() const { return loadError_; }
  // Replaces the held text as if it had been read from the file (for tests and
  // the fuzz target); marks the object unmodified.
  void Parse(std::string_view text);

  // --- Reading. `section` and `key` are matched case-insensitively. ---
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // A decimal integer with an optional sign; `defaultValue` when the key is
  // missing, the value is not such a number, or it does not fit.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  int64_t ReadInt64(std::string_view section, std::string_view key, int64_t defaultValue) const;
  // Any integer (non-zero is true), or true/false, yes/no, on/off in any case;
  // `defaultValue` otherwise.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // The key lines of a section in file order, duplicates included, as (key,
  // value) with the same trimming and quote rules as ReadString.
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;

  // --- Writing: changes the held text only; Save writes it out. ---
  // Replaces the value of the first matching key (keeping the key's spelling),
  // or adds the key after the last entry of the first matching section, or adds
  // the section at the end of the file. Line breaks and NUL characters in any
  // argument become spaces; a value that would read back differently
  // (surrounding blanks or quotes) is written in double quotes. Empty sections
  // or keys are ignored.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);
  // Written as 1 or 0.
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The file's text as Save would write it.
  std::string Text() const;

  // Writes the file whole or not at all. Does nothing when the text is what was
  // read. Returns false, with the reason in `error`, when the file could not be
  // written; the old file is then left as it was. Refuses to replace a file that
  // Load found unreadable, so that a file the program never saw is not lost.
  bool Save(std::string* error);

 private:
  enum class LineKind : uint8_t { kOther, kSection, kKey };
  struct Line {
    std::string text;
    LineKind kind = LineKind::kOther;
    std::string name;  // section name or key, trimmed
  };

  static Line ParseLine(std::string text);
  // Index of the first header of `section`, or npos.
  size_t FindSection(std::string_view section) const;
  // End of the section whose header is at `header`: the next header or the end.
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;

  std::string fileName_;
  std::vector<Line> lines_;
  std::string loadError_;
  std::string savedText_;  // the text as last read or saved
  bool hasFile_ = false;   // savedText_ is on the disk
  bool readFailed_ = false;
  bool crlf_ = false;  // the file's lines end in CR LF
  bool bom_ = false;   // the file starts with a UTF-8 byte-order mark
};

}  // namespace torvex
