#include "database/btrieve_layer.h"

#include <algorithm>
#include <cstring>

#include "console/format.h"
#include "console/input_manager.h"
#include "database/settings.h"
#include "platform/btrieve/btrieve.h"

namespace torvex {
namespace {

constexpr const char* kStatusTexts[] = {
    "The API completed successfully.",
    "The operation parameter is invalid.",
    "The application encountered an I/O error.",
    "The file is not open.",
    "The application cannot find the key value.",
    "The record has a key field containing a duplicate key value.",
    "The key number parameter is invalid.",
    "The key number has changed.",
    "The current positioning is invalid.",
    "The operation encountered an end-of-file mark.",
    "The key field is not modifiable.",
    "The specified filename is invalid.",
    "The MKDE cannot find the specified file.",
    "Extended file error.",
    "The MKDE cannot create or open the pre-image file.",
    "The application encountered an I/O error during pre-imaging.",
    "The application encountered an expansion error.",
    "The application encountered a close error.",
    "The disk is full.",
    "The application encountered an unrecoverable error.",
    "The MKDE or Btrieve Requester is inactive.",
    "The key buffer parameter is too short.",
    "The data buffer parameter is too short.",
    "The position block parameter is not 128 bytes long.",
    "The page size or data buffer size is invalid.",
    "The application cannot create the specified file.",
    "The number of keys specified is invalid.",
    "The key position is invalid.",
    "The record length is invalid.",
    "The key length is invalid.",
    "The file specified is not a Btrieve compatible file.",
    "The file is already extended.",
    "The file cannot be extended.",
    "The MKDE cannot unload.",
    "The specified extension name is invalid.",
    "The application encountered a directory error.",
    "The application encountered a transaction error.",
    "Another transaction is active.",
    "The MKDE encountered a transaction control file I/O error.",
    "A Begin Transaction operation must precede an End/Abort Transaction operation.",
    "The file access request exceeds the maximum number of files allowed.",
    "The MKDE does not allow the attempted operation.",
    "A file previously opened in Accelerated mode was not closed.",
    "The specified record address is invalid.",
    "The specified key path is invalid.",
    "The specified key flags are invalid.",
    "Access to the requested file is denied.",
    "The number of files opened exceeds the maximum allowed.",
    "The alternate collating sequence definition is invalid.",
    "The extended key type is invalid.",
    "The file owner is already set.",
    "The owner name is invalid.",
};
static_assert(std::size(kStatusTexts) == 52);

// The version report line for each type character.
// clang-format off
const char* VersionLineFormat(char type) {
  switch (type) {
    case 'W': return "  |07Windows Workstation v%d.%d (%c)";
    case 'N': return "  |07Client Requester v%d.%d (%c)";
    case 'D': return "  |07DOS Workstation v%d.%d (%c)";
    case 'P': return "  |070S/2 MicroKernel v%d.%d (%c)";
    case 'S': return "  |07NetWare Server v%d.%d (%c)";
    case 'T': return "  |07Windows 32-bit Server v%d.%d (%c)";
    case 'U': return "  |07Linux Server v%d.%d (%c)";
    case '9': return "  |07Windows 32-bit Workstation/Workgroup v%d.%d (%c)";
    default: return "  |07MicroKernel v%d.%d (%c)";
  }
}
// clang-format on

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool ReadFirstOrNext(BtrieveFile* file, uint16_t operation, uint8_t* record, size_t size) {
  if (!file) return false;
  file->dataLength = kHandleBufferSize;
  file->status =
      static_cast<uint16_t>(BTRCALL(operation, file->positionBlock.data(), file->dataBuffer.get(),
                                    &file->dataLength, file->keyBuffer.data(), file->keyLength, 0));
  if (file->status != 0) {
    std::memset(record, 0, size);
    return false;
  }
  std::memcpy(record, file->dataBuffer.get(), std::min<size_t>(size, kHandleBufferSize));
  return true;
}

std::unique_ptr<BtrieveFile> OpenPersistent(const char* baseName) {
  auto file = std::make_unique<BtrieveFile>();
  const std::string path = DatabasePath(CurrentDatabaseSettings(), baseName);
  if (OpenBtrieveFile(*file, path, btrieve::open_mode::kNormalAlternate) != 0) return nullptr;
  return file;
}

}  // namespace

int16_t BtrieveInit() {
  return WBTRVINIT("");
}

int16_t BtrieveStop() {
  return WBTRVSTOP();
}

bool BtrieveVersion(std::vector<uint8_t>* raw, int lastIndex) {
  uint8_t positionBlock[128] = {};
  uint8_t key[1] = {0};
  uint32_t length = static_cast<uint32_t>((lastIndex + 1) * 5);
  raw->assign(length, 0);
  return BTRCALL(btrieve::op::kVersion, positionBlock, raw->data(), &length, key, 0, 0) == 0;
}

const char* BtrieveStatusText(int status) {
  if (status < 0 || status >= static_cast<int>(std::size(kStatusTexts))) return "Unknown Error.";
  return kStatusTexts[status];
}

std::string BtrieveErrorText(int status) {
  return Format("%s\r\n\r\nStatus|08: |12%d |08(|120x%.8x|08)", BtrieveStatusText(status), status,
                static_cast<unsigned>(status));
}

void ShowBtrieveError(Console& console, int status) {
  TInputManager box(console);
  ApplyWindowStyle(box, kAlertStyle);
  box.Title = "Error";
  box.Prompt = BtrieveErrorText(status);
  box.ShowMessage();
}

std::vector<std::string> BtrieveVersionReportFor(const std::vector<uint8_t>& raw) {
  std::vector<std::string> lines;
  if (raw.empty() || raw[0] == 0) return lines;
  lines.push_back("|16|14* |07Btrieve Versions");
  for (size_t at = 0; at + 5 <= raw.size() && lines.size() <= 3; at += 5) {
    const char type = static_cast<char>(raw[at + 4]);
    if (type == 0) break;
    lines.push_back(Format(VersionLineFormat(type), U16(&raw[at]), U16(&raw[at + 2]), type));
  }
  return lines;
}

std::vector<std::string> BtrieveVersionReport() {
  std::vector<uint8_t> raw;
  if (!BtrieveVersion(&raw, 2)) return {};
  return BtrieveVersionReportFor(raw);
}

std::string CutOpenPath(const std::string& path) {
  return path.substr(0, btrieve::kMaxPathLength);
}

int16_t OpenBtrieveFile(BtrieveFile& file, const std::string& path, int8_t mode) {
  const std::string cut = CutOpenPath(path);
  file.keyBuffer.fill(0);
  std::memcpy(file.keyBuffer.data(), cut.data(), cut.size());
  file.keyNumber = static_cast<uint8_t>(mode);
  file.dataLength = 0;  // no owner name
  const int16_t status =
      BTRCALL(btrieve::op::kOpen, file.positionBlock.data(), file.dataBuffer.get(),
              &file.dataLength, file.keyBuffer.data(), file.keyLength, mode);
  file.status = static_cast<uint16_t>(status);
  return status;
}

std::unique_ptr<BtrieveFile> OpenRaceFile() {
  return OpenPersistent("WCCRACE2");
}

std::unique_ptr<BtrieveFile> OpenClassFile() {
  return OpenPersistent("WCCCLAS2");
}

bool FirstRecord(BtrieveFile* file, uint8_t* record, size_t size) {
  return ReadFirstOrNext(file, btrieve::op::kGetFirst, record, size);
}

bool NextRecord(BtrieveFile* file, uint8_t* record, size_t size) {
  return ReadFirstOrNext(file, btrieve::op::kGetNext, record, size);
}

bool FreeBtrieveFile(std::unique_ptr<BtrieveFile>& file) {
  if (!file) return false;
  file.reset();
  return true;
}

int16_t ProbeBtrieveFile(const std::string& path) {
  BtrieveFile file;
  const int16_t status = OpenBtrieveFile(file, path, btrieve::open_mode::kReadOnly);
  if (status == 0) {
    uint32_t length = 0;
    BTRCALL(btrieve::op::kClose, file.positionBlock.data(), file.dataBuffer.get(), &length,
            file.keyBuffer.data(), file.keyLength, 0);
  }
  return status;
}

}  // namespace torvex
