// The seam between the operations and the files behind them. A FileLoader turns a file
// of its format into a RecordTable plus a RecordStore that takes the writes; the engine
// picks the loader by the file's first bytes and never looks at formats itself. A reader
// of another format (for example files written by the genuine record manager) is one
// more FileLoader in the list that DefaultLoaders() returns.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/btrieve/record_table.h"

namespace torvex::btrieve {

// Where a loaded image's writes go. Owned by the engine together with the image.
class RecordStore {
 public:
  virtual ~RecordStore() = default;
  // False for formats that are only read, and for files the process may not write.
  virtual bool Writable() const = 0;
  // Adds a record to the file. It is durable after the next Commit; a store may commit
  // on its own earlier. On failure nothing of the record reaches the file.
  virtual int16_t Append(int64_t position, std::span<const uint8_t> data) = 0;
  // Makes every appended record durable. On failure the appended records since the last
  // successful commit are lost and the caller must not keep using the image.
  virtual int16_t Commit() = 0;
  // Counts successful commits, so the caller knows when the file on disk moved under its
  // own hand.
  virtual uint64_t CommitSerial() const = 0;
  // Whether another writer changed the file since it was loaded. Stores that cannot tell
  // answer false and rely on the caller's size and time check.
  virtual bool ChangedElsewhere() = 0;
};

struct LoadedFile {
  std::unique_ptr<RecordTable> table;
  std::unique_ptr<RecordStore> store;
};

class FileLoader {
 public:
  virtual ~FileLoader() = default;
  // Whether `head` (up to the first 100 bytes of the file) belongs to this format.
  virtual bool Recognizes(std::span<const uint8_t> head) const = 0;
  // Builds the image of the file at `path`. `wantWrite` asks for a writable store when
  // the format and the file's permissions allow it. Returns 0 and fills `out`, or the
  // status to answer Open with (2 damaged, 30 not a record file, 46 denied, ...).
  virtual int16_t Load(const std::string& path, bool wantWrite, LoadedFile& out) = 0;
};

// The loaders Open tries, in order: the native format, then genuine files.
std::vector<std::unique_ptr<FileLoader>> DefaultLoaders();

// A file's identity and last change as the file system reports them.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t mtimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// Returns false (and sets errno) when the file cannot be examined.
bool StampFile(const std::string& path, FileStamp& out);

}  // namespace torvex::btrieve
