#include "shell/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "console/text_values.h"
#include "platform/file_writer.h"

namespace torvex {
namespace {

constexpr size_t npos = std::string::npos;
constexpr char kBom[] = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A value as the profile functions return it: trimmed, and without one pair of
// matching quotes around it.
std::string Unquote(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// Text that must stay on its line: line breaks and NULs become spaces.
std::string OneLine(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  }
  return s;
}

// A value text that Unquote turns back into `value`.
std::string Quoted(std::string_view value) {
  std::string v = OneLine(value);
  const bool needsQuotes =
      !v.empty() &&
      (IsBlank(v.front()) || IsBlank(v.back()) ||
       (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()));
  return needsQuotes ? "\"" + v + "\"" : v;
}

std::string ErrnoText(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

}  // namespace

TKRXIniFile::TKRXIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

TKRXIniFile::Line TKRXIniFile::ParseLine(std::string text) {
  Line line;
  const std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    const size_t close = t.rfind(']');
    if (close != npos && close > 0) {
      line.kind = LineKind::kSection;
      line.name = std::string(Trim(t.substr(1, close - 1)));
    }
  } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
    const size_t equals = t.find('=');
    if (equals != npos) {
      const std::string_view key = Trim(t.substr(0, equals));
      if (!key.empty()) {
        line.kind = LineKind::kKey;
        line.name = std::string(key);
      }
    }
  }
  line.text = std::move(text);
  return line;
}

void TKRXIniFile::Parse(std::string_view text) {
  lines_.clear();
  crlf_ = false;
  bom_ = text.substr(0, 3) == kBom;
  if (bom_) text.remove_prefix(3);
  bool first = true;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == npos ? text.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
      if (first) crlf_ = true;
    }
    first = false;
    lines_.push_back(ParseLine(OneLine(raw)));
  }
  savedText_ = Text();
}

TKRXIniFile::LoadResult TKRXIniFile::Load() {
  lines_.clear();
  loadError_.clear();
  readFailed_ = false;
  hasFile_ = false;
  savedText_.clear();

  const int fd = ::open(fileName_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return LoadResult::kMissing;
    loadError_ = ErrnoText("cannot open", fileName_, errno);
    readFailed_ = true;
    return LoadResult::kUnreadable;
  }
  std::string text;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ok = false;
  }
  char buffer[65536];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else if (n == 0) {
      break;
    } else if (text.size() + static_cast<size_t>(n) > kMaxFileSize) {
      errno = EFBIG;
      ok = false;
    } else {
      text.append(buffer, static_cast<size_t>(n));
    }
  }
  const int readError = errno;
  ::close(fd);
  if (!ok) {
    loadError_ = ErrnoText("cannot read", fileName_, readError);
    readFailed_ = true;
    return LoadResult::kUnreadable;
  }
  Parse(text);
  // What is on the disk, byte for byte: Save compares against it.
  savedText_ = text;
  hasFile_ = true;
  return LoadResult::kLoaded;
}

size_t TKRXIniFile::FindSection(std::string_view section) const {
  section = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && SameTextIgnoringCase(lines_[i].name, section))
      return i;
  }
  return npos;
}

size_t TKRXIniFile::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != LineKind::kSection) ++i;
  return i;
}

size_t TKRXIniFile::FindKey(size_t header, std::string_view key) const {
  key = Trim(key);
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == LineKind::kKey && SameTextIgnoringCase(lines_[i].name, key)) return i;
  }
  return npos;
}

bool TKRXIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != npos;
}

bool TKRXIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const size_t header = FindSection(section);
  return header != npos && FindKey(header, key) != npos;
}

std::string TKRXIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const size_t header = FindSection(section);
  if (header == npos) return std::string(defaultValue);
  const size_t at = FindKey(header, key);
  if (at == npos) return std::string(defaultValue);
  const std::string& text = lines_[at].text;
  return Unquote(std::string_view(text).substr(text.find('=') + 1));
}

int64_t TKRXIniFile::ReadInt64(std::string_view section, std::string_view key,
                               int64_t defaultValue) const {
  if (!ValueExists(section, key)) return defaultValue;
  return ParseInteger(Trim(ReadString(section, key, ""))).value_or(defaultValue);
}

int32_t TKRXIniFile::ReadInteger(std::string_view section, std::string_view key,
                                 int32_t defaultValue) const {
  const int64_t value = ReadInt64(section, key, defaultValue);
  if (value < INT32_MIN || value > INT32_MAX) return defaultValue;
  return static_cast<int32_t>(value);
}

bool TKRXIniFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
  if (!ValueExists(section, key)) return defaultValue;
  const std::string text = ReadString(section, key, "");
  if (const std::optional<bool> value = ParseBoolean(Trim(text))) return *value;
  // The words people write in ini files besides True and False.
  for (const char* word : {"yes", "on"}) {
    if (SameTextIgnoringCase(text, word)) return true;
  }
  for (const char* word : {"no", "off"}) {
    if (SameTextIgnoringCase(text, word)) return false;
  }
  return defaultValue;
}

std::vector<std::pair<std::string, std::string>> TKRXIniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  const size_t header = FindSection(section);
  if (header == npos) return values;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != LineKind::kKey) continue;
    const std::string& text = lines_[i].text;
    values.emplace_back(lines_[i].name, Unquote(std::string_view(text).substr(text.find('=') + 1)));
  }
  return values;
}

void TKRXIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  const std::string sectionName(Trim(OneLine(section)));
  const std::string keyName(Trim(OneLine(key)));
  // A key holding "=" could not be found again, nor could a section name with
  // "]" in it.
  if (sectionName.empty() || keyName.empty() || keyName.find('=') != npos ||
      keyName.front() == '[' || keyName.front() == ';' || keyName.front() == '#' ||
      sectionName.find(']') != npos) {
    return;
  }
  size_t header = FindSection(sectionName);
  if (header == npos) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(ParseLine(""));
    lines_.push_back(ParseLine("[" + sectionName + "]"));
    header = lines_.size() - 1;
  }
  const size_t at = FindKey(header, keyName);
  if (at != npos) {
    lines_[at] = ParseLine(lines_[at].name + "=" + Quoted(value));
    return;
  }
  // After the section's last non-blank line, so that the blank line before the
  // next section stays where it is.
  size_t insert = SectionEnd(header);
  while (insert > header + 1 && Trim(lines_[insert - 1].text).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert),
                ParseLine(keyName + "=" + Quoted(value)));
}

void TKRXIniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void TKRXIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TKRXIniFile::Text() const {
  std::string text = bom_ ? kBom : "";
  const char* eol = crlf_ ? "\r\n" : "\n";
  for (const Line& line : lines_) {
    text += line.text;
    text += eol;
  }
  return text;
}

bool TKRXIniFile::Save(std::string* error) {
  error->clear();
  if (readFailed_) {
    // The caller says what was not saved; LoadError names the file.
    *error = "the file could not be read at start (" + loadError_ + ")";
    return false;
  }
  const std::string text = Text();
  if (hasFile_ && text == savedText_) return true;

  const FileStatus written = WriteWholeFile(fileName_, text);
  if (!written.ok()) {
    *error = written.message();
    return false;
  }
  savedText_ = text;
  hasFile_ = true;
  return true;
}

}  // namespace torvex
