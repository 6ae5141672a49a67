#include "platform/btrieve/engine.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"
#include "platform/btrieve/create_spec.h"
#include "platform/btrieve/extended_get.h"
#include "platform/btrieve/native_file.h"

namespace torvex::btrieve {

namespace {

constexpr uint32_t kNoRecord = 0xFFFFFFFF;
// Position block: u32 magic, u32 handle id, u32 id check. The rest stays zero.
constexpr uint32_t kBlockMagic = 0x42585654;  // "TVXB"

struct Args {
  uint8_t* data;
  uint32_t capacity;
  uint32_t* dataLength;
  uint8_t* key;
  uint32_t keyLength;
  int keyNumber;
  void Returned(uint32_t n) const {
    if (dataLength) *dataLength = n;
  }
};

// Reads the zero-terminated path Open and Create carry in the key buffer, cut to the
// longest path the client accepts.
bool ReadPath(const Args& a, std::string& out) {
  if (!a.key) return false;
  uint32_t limit = std::min(a.keyLength, kMaxPathLength);
  uint32_t n = 0;
  while (n < limit && a.key[n] != 0) ++n;
  out.assign(reinterpret_cast<const char*>(a.key), n);
  return !out.empty();
}

// Finds `path`, or when it does not exist as written, a file in its directory whose
// name matches ignoring case (the first in byte order when several do). Returns 0,
// 11 for a directory, 30 for anything else that is not a regular file (a FIFO, a
// device, a socket: opening one could block or consume its data), 12 when nothing
// matches, 46 when the search is denied.
int16_t KindStatus(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return status::kInvalidFileName;
  if (!S_ISREG(st.st_mode)) return status::kNotRecordFile;
  return status::kSuccess;
}

int16_t ResolvePath(const std::string& path, std::string& out) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (int16_t kind = KindStatus(st); kind != status::kSuccess) return kind;
    out = path;
    return status::kSuccess;
  }
  if (errno == EACCES) return status::kAccessDenied;
  if (errno == ENAMETOOLONG) return status::kInvalidFileName;
  if (errno != ENOENT) return status::kFileNotFound;
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* d = opendir(dir.c_str());
  if (!d) return errno == EACCES ? status::kAccessDenied : status::kFileNotFound;
  std::string best;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0 && (best.empty() || best > e->d_name)) {
      best = e->d_name;
    }
  }
  closedir(d);
  if (best.empty()) return status::kFileNotFound;
  out = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + best;
  if (stat(out.c_str(), &st) == 0) return KindStatus(st);
  return status::kSuccess;
}

struct FileEntry {
  std::unique_ptr<RecordTable> table;
  std::unique_ptr<RecordStore> store;
  std::string path;
  FileStamp stamp;
  uint64_t stampSerial = 0;
  int handles = 0;
  bool damaged = false;  // a write may not have reached the file: never reuse the image
  uint64_t lastUse = 0;

  void Restamp() {
    if (store->CommitSerial() == stampSerial) return;
    stampSerial = store->CommitSerial();
    StampFile(path, stamp);
  }
  ~FileEntry() {
    if (store) store->Commit();
  }
};

using FileKey = std::pair<dev_t, ino_t>;

struct Handle {
  std::shared_ptr<FileEntry> file;
  bool readOnly = false;
  int logicalKey = -1;  // -1: no logical position
  RecordTable::Index::const_iterator logical;
  uint32_t physical = kNoRecord;
};

}  // namespace

struct Engine::Impl {
  std::vector<std::unique_ptr<FileLoader>> loaders;
  std::mutex mutex;
  std::unordered_map<uint32_t, Handle> handles;
  std::map<FileKey, std::shared_ptr<FileEntry>> files;
  uint32_t nextId = 1;
  uint32_t salt;
  uint64_t useClock = 0;

  Impl() {
    auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    salt = static_cast<uint32_t>(now ^ (now >> 32) ^ reinterpret_cast<uintptr_t>(this)) | 1;
  }

  // ---- position blocks -------------------------------------------------------------

  void WriteBlock(uint8_t* block, uint32_t id) {
    std::memset(block, 0, kPositionBlockSize);
    StoreU32(block, kBlockMagic);
    StoreU32(block + 4, id);
    StoreU32(block + 8, id ^ salt);
  }
  Handle* FindHandle(const uint8_t* block) {
    if (!block || LoadU32(block) != kBlockMagic) return nullptr;
    uint32_t id = LoadU32(block + 4);
    if ((id ^ salt) != LoadU32(block + 8)) return nullptr;
    auto it = handles.find(id);
    return it == handles.end() ? nullptr : &it->second;
  }

  // ---- loaded files ----------------------------------------------------------------

  int16_t Acquire(const std::string& path, std::shared_ptr<FileEntry>& out) {
    FileStamp stamp;
    if (!StampFile(path, stamp)) {
      return errno == EACCES ? status::kAccessDenied : status::kFileNotFound;
    }
    FileKey key{stamp.device, stamp.inode};
    auto it = files.find(key);
    if (it != files.end()) {
      std::shared_ptr<FileEntry> e = it->second;
      e->Restamp();
      if (!e->damaged && e->stamp == stamp && !e->store->ChangedElsewhere()) {
        out = std::move(e);
        return status::kSuccess;
      }
      files.erase(it);  // open handles keep the old image until they close
    }
    uint8_t head[100];
    // Non-blocking, so that a FIFO put in the file's place since ResolvePath looked
    // cannot hold the open; only a regular file is read.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == EACCES ? status::kAccessDenied : status::kFileNotFound;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      close(fd);
      return status::kNotRecordFile;
    }
    ssize_t n = read(fd, head, sizeof head);
    close(fd);
    if (n < 0) return status::kIoError;
    FileLoader* loader = nullptr;
    for (auto& l : loaders) {
      if (l->Recognizes({head, static_cast<size_t>(n)})) {
        loader = l.get();
        break;
      }
    }
    if (!loader) return status::kNotRecordFile;
    LoadedFile loaded;
    int16_t st = loader->Load(path, true, loaded);
    if (st != status::kSuccess) return st;
    auto e = std::make_shared<FileEntry>();
    e->table = std::move(loaded.table);
    e->store = std::move(loaded.store);
    e->path = path;
    e->stampSerial = e->store->CommitSerial();
    if (!StampFile(path, e->stamp)) return status::kIoError;
    files[FileKey{e->stamp.device, e->stamp.inode}] = e;
    out = std::move(e);
    return status::kSuccess;
  }

  void TrimIdle() {
    size_t idle = 0;
    for (auto& [k, e] : files) idle += e->handles == 0;
    while (idle > kMaxIdleFiles) {
      auto oldest = files.end();
      for (auto it = files.begin(); it != files.end(); ++it) {
        if (it->second->handles == 0 &&
            (oldest == files.end() || it->second->lastUse < oldest->second->lastUse)) {
          oldest = it;
        }
      }
      files.erase(oldest);
      --idle;
    }
  }

  // ---- operations ------------------------------------------------------------------

  int16_t Open(uint8_t* block, const Args& a) {
    if (!block) return status::kInvalidPositionBlock;
    std::string path;
    if (!ReadPath(a, path)) return status::kInvalidFileName;
    bool readOnly;
    switch (a.keyNumber) {
      case open_mode::kNormal:
      case open_mode::kNormalAlternate:
      case -3:  // verify
      case -4:  // exclusive
        readOnly = false;
        break;
      case open_mode::kReadOnlyAccelerated:
      case open_mode::kReadOnly:
        readOnly = true;
        break;
      default:
        return status::kInvalidOperation;
    }
    // A block still holding an open file gives that file up rather than leaking it.
    if (FindHandle(block)) Close(block);
    std::string resolved;
    int16_t st = ResolvePath(path, resolved);
    if (st != status::kSuccess) return st;
    std::shared_ptr<FileEntry> file;
    st = Acquire(resolved, file);
    if (st != status::kSuccess) return st;
    uint32_t id = nextId++;
    if (nextId == 0) nextId = 1;
    file->handles++;
    file->lastUse = ++useClock;
    Handle& h = handles[id];
    h.file = std::move(file);
    h.readOnly = readOnly;
    WriteBlock(block, id);
    return status::kSuccess;
  }

  int16_t Close(uint8_t* block) {
    Handle* h = FindHandle(block);
    if (!h) return status::kFileNotOpen;
    std::shared_ptr<FileEntry> file = h->file;
    handles.erase(LoadU32(block + 4));
    std::memset(block, 0, kPositionBlockSize);
    int16_t st = file->store->Commit();
    if (st != status::kSuccess) file->damaged = true;
    file->Restamp();
    file->handles--;
    file->lastUse = ++useClock;
    if (file->damaged && file->handles == 0) {
      for (auto it = files.begin(); it != files.end(); ++it) {
        if (it->second == file) {
          files.erase(it);
          break;
        }
      }
    }
    TrimIdle();
    return st;
  }

  int16_t Create(const Args& a) {
    std::string path;
    if (!ReadPath(a, path)) return status::kInvalidFileName;
    FileDefinition def;
    int16_t st = ParseCreateSpec({a.data, a.data ? a.capacity : 0}, def);
    if (st != status::kSuccess) return st;
    std::string target;
    st = ResolvePath(path, target);
    bool exists = st == status::kSuccess;
    if (st == status::kFileNotFound) {
      target = path;
    } else if (st != status::kSuccess) {
      return st == status::kInvalidFileName ? status::kCreateError : st;
    }
    if (exists) {
      if (a.keyNumber == create_mode::kFailIfExists) return status::kFileExists;
      FileStamp stamp;
      if (StampFile(target, stamp)) {
        auto it = files.find(FileKey{stamp.device, stamp.inode});
        if (it != files.end()) {
          // Replacing a file this process is using would strand its handles.
          if (it->second->handles > 0) return status::kCreateError;
          files.erase(it);
        }
      }
    }
    return CreateNativeFile(target, def);
  }

  int16_t Version(const Args& a) {
    uint32_t entries = a.data ? a.capacity / version::kEntrySize : 0;
    if (entries == 0) {
      a.Returned(0);
      return status::kDataBufferTooShort;
    }
    std::memset(a.data, 0, entries * version::kEntrySize);
    StoreU16(a.data, version::kMajor);
    StoreU16(a.data + 2, version::kMinor);
    a.data[4] = static_cast<uint8_t>(version::kType);
    a.Returned(entries * version::kEntrySize);
    return status::kSuccess;
  }

  // Copies a record to the caller. A buffer shorter than the record answers 22: a
  // variable-length record then arrives cut to the buffer when its fixed part fits,
  // otherwise nothing is copied.
  static int16_t ReturnRecord(const RecordTable& t, uint32_t record, const Args& a) {
    std::span<const uint8_t> d = t.Data(record);
    uint32_t capacity = a.data ? a.capacity : 0;
    if (d.size() <= capacity) {
      std::memcpy(a.data, d.data(), d.size());
      a.Returned(static_cast<uint32_t>(d.size()));
      return status::kSuccess;
    }
    if (t.definition().VariableLength() && capacity >= t.definition().recordLength) {
      std::memcpy(a.data, d.data(), capacity);
      a.Returned(capacity);
    } else {
      a.Returned(0);
    }
    return status::kDataBufferTooShort;
  }

  static int16_t CheckKey(const Handle& h, const Args& a) {
    const FileDefinition& def = h.file->table->definition();
    if (a.keyNumber < 0 || a.keyNumber >= static_cast<int>(def.keys.size())) {
      return status::kInvalidKeyNumber;
    }
    if (!a.key || a.keyLength < def.keys[a.keyNumber].length) return status::kKeyBufferTooShort;
    return status::kSuccess;
  }

  // Makes `it` the current record on the caller's key and hands it over.
  static int16_t Deliver(Handle& h, RecordTable::Index::const_iterator it, const Args& a) {
    const RecordTable& t = *h.file->table;
    h.logicalKey = a.keyNumber;
    h.logical = it;
    h.physical = *it;
    t.ExtractKey(a.keyNumber, *it, a.key);
    return ReturnRecord(t, *it, a);
  }

  int16_t GetEdge(Handle& h, const Args& a, bool last) {
    int16_t st = CheckKey(h, a);
    if (st != status::kSuccess) return st;
    const RecordTable::Index& index = h.file->table->index(a.keyNumber);
    if (index.empty()) return status::kEndOfFile;
    return Deliver(h, last ? std::prev(index.end()) : index.begin(), a);
  }

  int16_t GetEqual(Handle& h, const Args& a) {
    int16_t st = CheckKey(h, a);
    if (st != status::kSuccess) return st;
    const RecordTable& t = *h.file->table;
    uint8_t packed[kMaxKeyLength];
    std::memcpy(packed, a.key, t.definition().keys[a.keyNumber].length);
    const RecordTable::Index& index = t.index(a.keyNumber);
    auto it = index.lower_bound(PackedKey{packed});
    if (it == index.end() || t.CompareWithPacked(a.keyNumber, *it, packed) != 0) {
      h.logicalKey = -1;
      return status::kKeyNotFound;
    }
    return Deliver(h, it, a);
  }

  int16_t GetAdjacent(Handle& h, const Args& a, bool next) {
    int16_t st = CheckKey(h, a);
    if (st != status::kSuccess) return st;
    if (h.logicalKey < 0) return status::kInvalidPositioning;
    if (h.logicalKey != a.keyNumber) return status::kDifferentKeyNumber;
    const RecordTable::Index& index = h.file->table->index(a.keyNumber);
    auto it = h.logical;
    if (next) {
      if (++it == index.end()) return status::kEndOfFile;
    } else {
      if (it == index.begin()) return status::kEndOfFile;
      --it;
    }
    return Deliver(h, it, a);
  }

  int16_t Step(Handle& h, const Args& a, bool next) {
    const RecordTable& t = *h.file->table;
    uint32_t n = t.size();
    uint32_t r;
    if (h.physical == kNoRecord) {
      if (n == 0) return status::kEndOfFile;
      r = next ? 0 : n - 1;
    } else if (next) {
      if (h.physical + 1 >= n) return status::kEndOfFile;
      r = h.physical + 1;
    } else {
      if (h.physical == 0) return status::kEndOfFile;
      r = h.physical - 1;
    }
    h.physical = r;
    h.logicalKey = -1;
    return ReturnRecord(t, r, a);
  }

  int16_t Insert(Handle& h, const Args& a) {
    FileEntry& file = *h.file;
    if (h.readOnly || !file.store->Writable()) return status::kAccessDenied;
    if (file.damaged) return status::kIoError;
    RecordTable& t = *file.table;
    const FileDefinition& def = t.definition();
    uint32_t length = a.data ? a.capacity : 0;
    if (length < def.recordLength) return status::kDataBufferTooShort;
    if (!def.VariableLength()) length = def.recordLength;
    if (length > kMaxRecordLength) return status::kInvalidRecordLength;
    bool keyed = !def.keys.empty();
    if (keyed) {
      int16_t st = CheckKey(h, a);
      if (st != status::kSuccess) return st;
    }
    std::vector<uint8_t> record(a.data, a.data + length);
    for (size_t k = 0; k < def.keys.size(); ++k) {
      const KeyDefinition& key = def.keys[k];
      if (!key.IsAutoIncrement()) continue;
      const KeySegment& s = key.segments[0];
      if (LoadUnsigned(record.data() + s.offset, s.length) != 0) continue;
      uint64_t highest = t.HighestValue(static_cast<int>(k));
      uint64_t limit = s.length >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * s.length)) - 1;
      if (highest >= limit) return status::kDuplicateKey;  // no value left to give
      StoreUnsigned(record.data() + s.offset, s.length, highest + 1);
    }
    int16_t st = t.CheckDuplicates(record);
    if (st != status::kSuccess) return st;
    int64_t position = t.LastPosition() + 1;
    st = file.store->Append(position, record);
    if (st != status::kSuccess) {
      // The store may have lost earlier uncommitted records with this one.
      file.damaged = true;
      return st;
    }
    file.Restamp();
    uint32_t r = t.Append(position, record);
    // The caller sees the record as stored, with any autoincrement value filled in.
    std::memcpy(a.data, record.data(), length);
    h.physical = r;
    h.logicalKey = -1;
    if (keyed) {
      const RecordTable::Index& index = t.index(a.keyNumber);
      auto it = index.find(r);
      if (it != index.end()) {
        h.logicalKey = a.keyNumber;
        h.logical = it;
      }
      t.ExtractKey(a.keyNumber, r, a.key);
    }
    return status::kSuccess;
  }

  int16_t GetNextExtended(Handle& h, const Args& a) {
    const RecordTable& t = *h.file->table;
    const FileDefinition& def = t.definition();
    ExtendedDescriptor d;
    int16_t st = status::kSuccess;
    if (a.keyNumber < 0 || a.keyNumber >= static_cast<int>(def.keys.size())) {
      st = status::kInvalidKeyNumber;
    } else if (h.logicalKey < 0) {
      st = status::kInvalidPositioning;
    } else if (h.logicalKey != a.keyNumber) {
      st = status::kDifferentKeyNumber;
    } else {
      st = ParseExtendedDescriptor({a.data, a.data ? a.capacity : 0}, d);
      if (st == status::kSuccess && !def.VariableLength() &&
          !DescriptorFitsRecord(d, def.recordLength)) {
        st = status::kIncorrectDescriptor;
      }
    }
    if (st != status::kSuccess) {
      a.Returned(0);
      return st;
    }
    const RecordTable::Index& index = t.index(a.keyNumber);
    ExtendedResultWriter out(a.data, a.capacity);
    uint32_t limit = d.rejectCount ? d.rejectCount : extended::kDefaultRejectCount;
    uint32_t rejects = 0;
    auto it = h.logical;
    auto examined = index.end();
    if (!d.includeCurrent) ++it;
    st = status::kSuccess;
    for (;; ++it) {
      if (it == index.end()) {
        st = status::kEndOfFile;
        break;
      }
      std::span<const uint8_t> record = t.Data(*it);
      if (!MatchesFilter(d, record)) {
        examined = it;
        if (++rejects >= limit) {
          st = status::kRejectCountReached;
          break;
        }
        continue;
      }
      bool appended;
      st = out.Add(d, record, static_cast<uint32_t>(t.Position(*it)), appended);
      // A record that did not fit stays ahead of the position for the next call.
      if (appended || st == status::kIncorrectFieldOffset) examined = it;
      if (st != status::kSuccess || out.count() == d.recordCount) break;
    }
    if (examined != index.end()) {
      h.logical = examined;
      h.physical = *examined;
    }
    a.Returned(out.Finish());
    return st;
  }

  int16_t Call(uint16_t op, void* positionBlock, const Args& a) {
    auto* block = static_cast<uint8_t*>(positionBlock);
    switch (op) {
      case op::kOpen:
        return Open(block, a);
      case op::kCreate:
        return Create(a);
      case op::kVersion:
        return Version(a);
      case op::kClose:
        return Close(block);
      case op::kInsert:
      case op::kGetEqual:
      case op::kGetNext:
      case op::kGetPrevious:
      case op::kGetFirst:
      case op::kGetLast:
      case op::kStepNext:
      case op::kStepPrevious:
      case op::kGetNextExtended:
        break;
      default:
        return status::kInvalidOperation;
    }
    Handle* h = FindHandle(block);
    if (!h) return status::kFileNotOpen;
    h->file->lastUse = ++useClock;
    switch (op) {
      case op::kInsert:
        return Insert(*h, a);
      case op::kGetEqual:
        return GetEqual(*h, a);
      case op::kGetNext:
        return GetAdjacent(*h, a, true);
      case op::kGetPrevious:
        return GetAdjacent(*h, a, false);
      case op::kGetFirst:
        return GetEdge(*h, a, false);
      case op::kGetLast:
        return GetEdge(*h, a, true);
      case op::kStepNext:
        return Step(*h, a, true);
      case op::kStepPrevious:
        return Step(*h, a, false);
      default:
        return GetNextExtended(*h, a);
    }
  }

  int16_t Stop() {
    int16_t first = status::kSuccess;
    for (auto& [id, h] : handles) {
      int16_t st = h.file->store->Commit();
      if (first == status::kSuccess) first = st;
    }
    handles.clear();
    for (auto& [k, e] : files) {
      int16_t st = e->store->Commit();
      if (first == status::kSuccess) first = st;
    }
    files.clear();
    return first;
  }
};

Engine::Engine(std::vector<std::unique_ptr<FileLoader>> loaders) : impl_(std::make_unique<Impl>()) {
  impl_->loaders = std::move(loaders);
}

Engine::~Engine() {
  impl_->Stop();
}

int16_t Engine::Call(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
                     void* keyBuffer, uint8_t keyLength, int8_t keyNumber) {
  Args a{static_cast<uint8_t*>(dataBuffer),
         dataLength ? *dataLength : 0,
         dataLength,
         static_cast<uint8_t*>(keyBuffer),
         keyLength,
         keyNumber};
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->Call(op, positionBlock, a);
}

int16_t Engine::Stop() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->Stop();
}

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

}  // namespace torvex::btrieve
