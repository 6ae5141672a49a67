// How the program calls the record manager: start and stop, the status texts,
// the error box, the persistent race and class handles, and the version report.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/console.h"

namespace torvex {

// Every call passes a key buffer of this size, except Version (0).
inline constexpr uint8_t kKeyBufferLength = 255;
// Record buffers of files opened for one task, and of persistent handles.
inline constexpr uint32_t kTaskBufferSize = 2048;
inline constexpr uint32_t kHandleBufferSize = 4096;

// Starts the record manager (empty initialisation string); returns its status.
int16_t BtrieveInit();
// Stops it; the status becomes the program's exit code.
int16_t BtrieveStop();

// One Version entry: 5 bytes in the call's buffer.
struct BtrieveVersionEntry {
  uint16_t major = 0;
  uint16_t minor = 0;
  char type = 0;
};
// Asks for lastIndex + 1 version entries; true when the status is 0. `raw`
// receives the bytes returned (at least (lastIndex + 1) * 5 of them).
bool BtrieveVersion(std::vector<uint8_t>* raw, int lastIndex);

// The message for a status code; "Unknown Error." outside 0..51.
const char* BtrieveStatusText(int status);
// The text of the error box, with colour codes.
std::string BtrieveErrorText(int status);
// Shows the error box in the alert style and waits for a key.
void ShowBtrieveError(Console& console, int status);

// The lines of the record manager's version report, with colour codes: a
// heading and one line per entry. Empty when Version fails or returns nothing.
std::vector<std::string> BtrieveVersionReport();
// The same for given Version bytes (for tests and for a report made elsewhere).
std::vector<std::string> BtrieveVersionReportFor(const std::vector<uint8_t>& raw);

// A file kept open between calls, with its own buffers.
struct BtrieveFile {
  std::unique_ptr<uint8_t[]> dataBuffer{new uint8_t[kHandleBufferSize]()};
  uint32_t dataLength = 0;
  std::array<uint8_t, 128> positionBlock{};
  std::array<char, kKeyBufferLength> keyBuffer{};
  uint8_t keyLength = kKeyBufferLength;
  uint8_t keyNumber = 0;
  uint16_t status = 0;
};

// Opens a path with the given open mode into `file` and returns the status.
// The path is cut to 254 characters, as the key buffer of Open allows.
int16_t OpenBtrieveFile(BtrieveFile& file, const std::string& path, int8_t mode);
// The path as Open receives it: at most 254 characters.
std::string CutOpenPath(const std::string& path);

// The race and class files, open with mode 2; null when they cannot be opened.
std::unique_ptr<BtrieveFile> OpenRaceFile();
std::unique_ptr<BtrieveFile> OpenClassFile();
// Get First / Get Next on key 0. On success copies `size` bytes of the record to
// `record` and returns true; otherwise fills `record` with zeros and returns
// false. A null handle returns false without a call (and leaves `record` alone).
bool FirstRecord(BtrieveFile* file, uint8_t* record, size_t size);
bool NextRecord(BtrieveFile* file, uint8_t* record, size_t size);
// Releases the handle without closing the file; false when there was none.
bool FreeBtrieveFile(std::unique_ptr<BtrieveFile>& file);

// Opens a path read-only (mode -2) and closes it again at once; returns the open
// status. The start-up check uses it to find out whether a file can be opened;
// it never changes the file.
int16_t ProbeBtrieveFile(const std::string& path);

}  // namespace torvex
