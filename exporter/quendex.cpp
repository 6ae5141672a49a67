#include "exporter/quendex.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "console/format.h"
#include "database/records/tables.h"
#include "exporter/update_file.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"
#include "platform/program.h"
#include "platform/terminal/cp437.h"

namespace torvex::exporter {

namespace bt = torvex::btrieve;

namespace {

constexpr size_t kTargetCount = 10;
constexpr uint32_t kDataBufferSize = 4096;
constexpr uint16_t kAutoKeyFlags = bt::key_flag::kExtendedType;
constexpr uint16_t kBinaryKeyFlags = bt::key_flag::kExtendedType | bt::key_flag::kBinary;
constexpr uint16_t kFileFlags = 0x1200;
constexpr char kSpinner[4] = {'-', '\\', '|', '/'};

// The template files' extension and the live files' one (the update file's).
const char* TemplateExtension() {
  return kDatabaseExtensions[0].data();
}
const char* LiveExtension() {
  return kDatabaseExtensions[1].data();
}
const char* FileName(size_t fileIndex) {
  return DatabaseFileName(static_cast<int>(fileIndex)).data();
}

// One file kept open for the run, with the buffers each call passes.
struct OpenFile {
  std::array<uint8_t, bt::kPositionBlockSize> position{};
  std::array<char, bt::kMaxKeyLength> key{};
  bool open = false;

  int16_t Call(uint16_t op, void* data, uint32_t* length, int8_t keyNumber) {
    return BTRCALL(op, position.data(), data, length, key.data(), bt::kMaxKeyLength, keyNumber);
  }
};

// Puts `path` into a key buffer, zero-terminated; false when it does not fit.
bool SetPath(std::array<char, bt::kMaxKeyLength>& key, const std::string& path) {
  key.fill(0);
  if (path.size() > bt::kMaxPathLength) return false;
  std::memcpy(key.data(), path.data(), path.size());
  return true;
}

std::string TemplateName(size_t fileIndex) {
  return Format("%s.%s", FileName(fileIndex), TemplateExtension());
}

// What an error line calls the file a code names. Codes past the file-name table have
// no name, so the line shows the code itself.
std::string NameForCode(uint8_t code) {
  const std::string_view name = code == 0 ? "" : DatabaseFileName(FileIndexForCode(code));
  return !name.empty() ? std::string(name) : Format("(code %u)", static_cast<unsigned>(code));
}

int16_t CreateTemplate(const TemplateSpec& spec, const std::string& directory) {
  OpenFile scratch;
  if (!SetPath(scratch.key, directory + TemplateName(spec.fileIndex))) {
    return bt::status::kInvalidFileName;
  }
  std::vector<uint8_t> buffer = CreateBuffer(spec);
  uint32_t length = static_cast<uint32_t>(buffer.size());
  return scratch.Call(bt::op::kCreate, buffer.data(), &length, bt::create_mode::kReplace);
}

int16_t OpenPath(OpenFile& file, const std::string& path, int8_t mode) {
  if (!SetPath(file.key, path)) return bt::status::kInvalidFileName;
  uint32_t length = 0;
  const int16_t st = file.Call(bt::op::kOpen, nullptr, &length, mode);
  file.open = st == bt::status::kSuccess;
  return st;
}

class Exporter {
 public:
  Exporter(OutputSink& out, const std::string& directory) : out_(out), directory_(directory) {}

  // Steps 3 to 7 of a run, without stopping the record manager.
  int ExportAll() {
    OpenAll();
    Export();
    CloseAll();
    return exitCode_;
  }

  int Run() {
    Line(BannerLine());
    Line("");
    out_.Write("  Creating all VIR files...");
    Line(CreateTemplateFiles(directory_) == TemplateSpecs().size() ? "Success!" : "Failure!");
    ExportAll();
    const int16_t stop = WBTRVSTOP();
    if (stop != bt::status::kSuccess) {
      Line(Format("  Failed stopping the record manager (%d)!", stop));
      Fail(stop);
    }
    return exitCode_;
  }

 private:
  void Line(std::string_view text) {
    out_.Write(text);
    out_.Write("\n");
  }
  void Fail(int16_t status) {
    if (exitCode_ == 0) exitCode_ = status;
  }

  void OpenAll() {
    for (size_t i = 0; i < kTargetCount; ++i) {
      const int16_t st =
          OpenPath(targets_[i], directory_ + TemplateName(i), bt::open_mode::kNormal);
      if (st != bt::status::kSuccess) {
        Line(Format("  Failed opening %s.%s (%d)!", FileName(i), TemplateExtension(), st));
      }
    }
  }

  // The error line replaces the spinner's line, then the exporting line starts again.
  void ErrorLine(const std::string& text) {
    out_.Write("\r");
    out_.Write(text);
    out_.Write("      \n");
    out_.Write(exporting_);
  }

  void Export() {
    exporting_ = Format("  Exporting %s.%s...", FileName(kUpdateFile), LiveExtension());
    out_.Write(exporting_);
    OpenFile update;
    const int16_t openStatus = OpenPath(
        update, Format("%s%s.%s", directory_.c_str(), FileName(kUpdateFile), LiveExtension()),
        bt::open_mode::kNormal);
    if (openStatus != bt::status::kSuccess) {
      // Without this line a run in the wrong directory would look like a finished export.
      ErrorLine(Format("! Error %d opening file %s.%s!", openStatus, FileName(kUpdateFile),
                       LiveExtension()));
      Fail(openStatus);
      Line("Done.");
      return;
    }

    // Room for the longest carried text block and its terminator past the record.
    static_assert(kCarriedOffset + kMaxCarriedTextBlock <= kDataBufferSize);
    std::array<uint8_t, kDataBufferSize> buffer;
    uint32_t length = 0;
    auto read = [&](uint16_t op) {
      buffer.fill(0);
      length = kDataBufferSize;
      return update.Call(op, buffer.data(), &length, 0);
    };
    int16_t st = read(bt::op::kGetFirst);
    size_t step = 0;
    for (; st == bt::status::kSuccess; st = read(bt::op::kGetNext)) {
      const char spin[2] = {kSpinner[step++ % 4], '\b'};
      out_.Write(std::string_view(spin, 2));
      out_.Flush();
      InsertCarried(buffer, std::min(length, kDataBufferSize));
    }
    if (st != bt::status::kEndOfFile) {
      // A record the buffer cannot hold, or a damaged file: the rest was not exported.
      ErrorLine(
          Format("! Error %d reading file %s.%s!", st, FileName(kUpdateFile), LiveExtension()));
      Fail(st);
    }
    Line("Done.");
    uint32_t none = 0;
    update.Call(bt::op::kClose, nullptr, &none, 0);
  }

  // `buffer` is the whole zero-filled read buffer, of which `length` bytes were read.
  void InsertCarried(std::span<uint8_t, kDataBufferSize> buffer, uint32_t length) {
    const std::span<const uint8_t> record = buffer.first(length);
    const uint8_t code = FileCode(record);
    const uint32_t carried = CarriedLength(code, record);
    uint8_t* data = buffer.data() + kCarriedOffset;
    if (FileIndexForCode(code) == kTextFile) {
      // The text may have run to the end of the record; it still gets its terminator.
      data[carried - 1] = 0;
    }
    const int index = FileIndexForCode(code);
    OpenFile* target = nullptr;
    OpenFile unknown;  // holds no file, so the record manager refuses the insert
    if (index >= 0 && index < static_cast<int>(kTargetCount)) {
      target = &targets_[index];
    } else {
      target = &unknown;
    }
    uint32_t insertLength = carried;
    const int16_t st = target->Call(bt::op::kInsert, data, &insertLength, 0);
    if (st != bt::status::kSuccess) {
      ErrorLine(Format("! Error %d inserting into file %s.%s!", st, NameForCode(code).c_str(),
                       TemplateExtension()));
    }
  }

  void CloseAll() {
    Line("  Closing files.");
    for (size_t i = 0; i < kTargetCount; ++i) {
      if (!targets_[i].open) continue;
      uint32_t length = 0;
      const int16_t st = targets_[i].Call(bt::op::kClose, nullptr, &length, 0);
      targets_[i].open = false;
      if (st != bt::status::kSuccess) {
        // Close is where the inserted records become durable.
        Line(Format("  Failed closing %s.%s (%d)!", FileName(i), TemplateExtension(), st));
        Fail(st);
      }
    }
    Line("  Finished.");
  }

  OutputSink& out_;
  const std::string& directory_;
  std::array<OpenFile, kTargetCount> targets_;
  std::string exporting_;
  int exitCode_ = 0;
};

}  // namespace

void StdoutSink::Write(std::string_view text) {
  if (utf8_) {
    const std::string converted = Cp437ToUtf8(text);
    std::fwrite(converted.data(), 1, converted.size(), stdout);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
}

void StdoutSink::Flush() {
  std::fflush(stdout);
}

const std::vector<TemplateSpec>& TemplateSpecs() {
  using namespace bt::key_type;
  static const std::vector<TemplateSpec> specs = {
      {0, 126, 4096, 2, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {1, 156, 4096, 2, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {5, 260, 4096, 2, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {4, 1072, 4096, 4, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {6, 756, 1536, 4, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {7, 256, 4096, 4, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {3, 504, 4096, 4, kAutoIncrement, kAutoKeyFlags, kFileFlags},
      {kTextFile, 24, 2048, 18, kUnsignedBinary, kBinaryKeyFlags,
       kFileFlags | bt::file_flag::kVariableLength},
      {2, 1544, 4096, 8, kUnsignedBinary, kBinaryKeyFlags, kFileFlags},
      {9, 1010, 4096, 30, kZString, kAutoKeyFlags, kFileFlags},
  };
  return specs;
}

std::vector<uint8_t> CreateBuffer(const TemplateSpec& spec) {
  namespace cl = bt::create_layout;
  std::vector<uint8_t> b(cl::kFileSpecSize + cl::kKeySpecSize, 0);
  bt::StoreU16(&b[cl::kRecordLength], spec.recordLength);
  bt::StoreU16(&b[cl::kPageSize], spec.pageSize);
  bt::StoreU16(&b[cl::kKeyCount], 1);
  bt::StoreU16(&b[cl::kFileFlags], spec.fileFlags);
  uint8_t* key = &b[cl::kFileSpecSize];
  bt::StoreU16(key + cl::kKeyPosition, 1);
  bt::StoreU16(key + cl::kKeyLength, spec.keyLength);
  bt::StoreU16(key + cl::kKeyFlags, spec.keyFlags);
  key[cl::kKeyType] = spec.keyType;
  return b;
}

bool IsUsageArgument(std::string_view arg) {
  return arg == "-?" || arg == "/?" || arg == "--help" || arg == "/-help";
}

const std::vector<std::string>& UsageLines() {
  static const std::vector<std::string> lines = {
      "Exports a Dunmarrow update file to it's component VIR files.",
      "",
      "QUENDEX [-?]",
      "",
      "  -?,  --help   This help screen.",
      "",
      "USAGE NOTES:",
      "",
      "  The update file exporter always assumes that the update file is named",
      "  wccupda2.dat, and always gives the proper names to the VIR files it creates.",
      "  The VIR files are created automatically and if they already exist, will be",
      "  overwritten by new blank files prior to the update being exported.  There",
      "  is no warning given as to whether or not existing files will be overwritten,",
      "  so care must be taken to run this utility in the correct directory with the",
      "  update file already present.",
      "",
      "  Below is a sample command line--",
      "",
      "    QUENDEX",
      "",
      "  This would export all the updates from wccupda2.dat to the appropriate VIR",
      "  files using INSERT operations on the freshly created VIR files.  If any",
      "  duplicate update entries exist, only the first entry will be added, as the",
      "  future INSERT operations will fail with a duplicate key error.",
      "",
  };
  return lines;
}

std::string BannerLine() {
  return Format("\xFE KRX Dunmarrow Update File Exporter %d.%.2d (Build: %d)", kVersionMajor,
                kVersionMinor, kVersionBuild);
}

size_t CreateTemplateFiles(const std::string& directory) {
  size_t created = 0;
  for (const TemplateSpec& spec : TemplateSpecs()) {
    if (CreateTemplate(spec, directory) == bt::status::kSuccess) ++created;
  }
  return created;
}

int ExportUpdateFile(OutputSink& out, const std::string& directory) {
  Exporter exporter(out, directory);
  const int code = exporter.ExportAll();
  out.Flush();
  return code;
}

int QuendexMain(const std::vector<std::string>& args, OutputSink& out,
                const std::string& directory) {
  for (const std::string& arg : args) {
    if (IsUsageArgument(arg)) {
      for (const std::string& line : UsageLines()) {
        out.Write(line);
        out.Write("\n");
      }
      out.Flush();
      return 0;
    }
  }
  Exporter exporter(out, directory);
  const int code = exporter.Run();
  out.Flush();
  return code;
}

}  // namespace torvex::exporter
