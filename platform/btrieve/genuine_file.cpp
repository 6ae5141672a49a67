#include "platform/btrieve/genuine_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::btrieve {

namespace {

// File control record fields.
constexpr uint32_t kFcrUsage = 0x04;
constexpr uint32_t kFcrPageSize = 0x08;
constexpr uint32_t kFcrDeletedHead = 0x10;  // version 5, word-swapped file offset
constexpr uint32_t kFcrKeyCount = 0x14;
constexpr uint32_t kFcrRecordLength = 0x16;
constexpr uint32_t kFcrPhysicalLength = 0x18;
constexpr uint32_t kFcrRecordCount = 0x1A;     // version 5, word-swapped
constexpr uint32_t kFcrPageCount = 0x26;       // version 5, word-swapped
constexpr uint32_t kFcrVariableByte = 0x38;    // version 5
constexpr uint32_t kFcrVersionWord = 0x4A;     // version 6
constexpr uint32_t kFcrKeyTableOffset = 0x78;  // version 6
constexpr uint32_t kFcrFileFlags = 0x106;
constexpr uint32_t kFcrKeySpecs = 0x110;

// Key segment specification.
constexpr uint32_t kSegmentSize = 30;
constexpr uint32_t kSegFlags = 0x08;
constexpr uint32_t kSegPosition = 0x14;
constexpr uint32_t kSegLength = 0x16;
constexpr uint32_t kSegType = 0x1C;
constexpr uint32_t kSegNull = 0x1D;

// File flags.
constexpr uint16_t kFlagVariable = 0x0001;
constexpr uint16_t kFlagBlankTruncation = 0x0002;
constexpr uint16_t kFlagCompressed = 0x0008;
constexpr uint16_t kFlagVariableTails = 0x0800;

constexpr uint32_t kPageHeader = 6;  // page number (4) and usage count (2)
constexpr uint16_t kDataPageBit = 0x8000;
constexpr uint32_t kVarSlotCount = 0x0A;  // u16 on a variable page
constexpr uint32_t kVarFirstFragment = 0x0C;
constexpr uint32_t kNoPage = 0xFFFFFF;

// Every read of the file goes through here: out-of-range reads come back as "absent".
class Bytes {
 public:
  explicit Bytes(std::span<const uint8_t> b) : b_(b) {}
  uint64_t size() const { return b_.size(); }
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= b_.size() && length <= b_.size() - offset;
  }
  const uint8_t* At(uint64_t offset) const { return b_.data() + offset; }

 private:
  std::span<const uint8_t> b_;
};

// A high word first 32-bit value, as version 5 stores offsets and counts.
uint32_t LoadSwapped(const uint8_t* p) {
  return (static_cast<uint32_t>(LoadU16(p)) << 16) | LoadU16(p + 2);
}

// [page high][page low][page middle] as variable-part pointers carry a page number.
uint32_t PointerPage(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[2]) << 8) | p[1];
}

bool IsValidPageSize(uint32_t pageSize) {
  return pageSize >= 512 && pageSize <= 16384 && pageSize % 512 == 0;
}

struct Layout {
  int version = 0;  // 5 or 6
  uint32_t pageSize = 0;
  uint64_t fcr = 0;  // file offset of the current file control record
  uint16_t recordLength = 0;
  uint16_t physicalLength = 0;
  uint16_t fileFlags = 0;
  uint32_t recordPrefix = 0;  // version 6: the usage count before each record
  // Version 6: physical page of each logical page (index = logical page), kNoPage when
  // the logical page is not mapped.
  std::vector<uint32_t> logicalToPhysical;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> file) : f_(file) {}

  int16_t Read(std::unique_ptr<RecordTable>& out) {
    int16_t st = ReadControlRecord();
    if (st != status::kSuccess) return st;
    FileDefinition def;
    def.recordLength = l_.recordLength;
    def.pageSize = static_cast<uint16_t>(l_.pageSize);
    def.fileFlags = l_.fileFlags;
    if ((st = ReadKeys(def)) != status::kSuccess) return st;
    auto table = std::make_unique<RecordTable>(std::move(def));
    if (l_.version == 6 && (st = ReadPageTable()) != status::kSuccess) return st;
    st = l_.version == 5 ? ReadRecordsV5(*table) : ReadRecordsV6(*table);
    if (st != status::kSuccess) return st;
    out = std::move(table);
    return status::kSuccess;
  }

 private:
  int16_t ReadControlRecord() {
    if (!f_.Has(0, 0x200)) return f_.size() >= 4 ? status::kIoError : status::kNotRecordFile;
    const uint8_t* p = f_.At(0);
    if (p[0] == 'F' && p[1] == 'C' && p[2] == 0 && p[3] == 0) {
      l_.version = 6;
    } else if (LoadU32(p) == 0) {
      l_.version = 5;
    } else {
      return status::kNotRecordFile;
    }
    l_.pageSize = LoadU16(p + kFcrPageSize);
    if (!IsValidPageSize(l_.pageSize)) return status::kIoError;
    if (!f_.Has(0, l_.pageSize)) return status::kIoError;
    l_.fcr = 0;
    if (l_.version == 6) {
      // Two copies; the one used more recently is current. A second copy that is absent
      // or not a control record leaves the first.
      uint64_t second = l_.pageSize;
      if (f_.Has(second, l_.pageSize)) {
        const uint8_t* q = f_.At(second);
        if (q[0] == 'F' && q[1] == 'C' && q[2] == 0 && q[3] == 0 &&
            LoadU16(q + kFcrPageSize) == l_.pageSize &&
            LoadU32(q + kFcrUsage) > LoadU32(p + kFcrUsage)) {
          l_.fcr = second;
        }
      }
      // Later versions keep a different layout behind the same signature.
      if ((LoadU16(f_.At(l_.fcr + kFcrVersionWord)) >> 8) > 6) return status::kNotRecordFile;
      l_.recordPrefix = 2;
    }
    const uint8_t* fcr = f_.At(l_.fcr);
    l_.recordLength = LoadU16(fcr + kFcrRecordLength);
    l_.physicalLength = LoadU16(fcr + kFcrPhysicalLength);
    l_.fileFlags = LoadU16(fcr + kFcrFileFlags);
    if (l_.version == 5) {
      uint8_t v = fcr[kFcrVariableByte];
      if (v == 0xFF || v == 0xFD) l_.fileFlags |= kFlagVariable;
      if (v == 0xFD) l_.fileFlags |= kFlagBlankTruncation;
    }
    if (l_.fileFlags & (kFlagCompressed | kFlagVariableTails | kFlagBlankTruncation)) {
      return status::kNotRecordFile;
    }
    uint32_t least = l_.recordPrefix + l_.recordLength + (Variable() ? 4 : 0);
    if (l_.recordLength == 0 || l_.physicalLength < least ||
        l_.physicalLength > l_.pageSize - kPageHeader) {
      return status::kIoError;
    }
    if (l_.version == 5) {
      // A file shorter than its control record says was cut off.
      uint64_t pages = LoadSwapped(fcr + kFcrPageCount);
      if (pages * l_.pageSize > f_.size()) return status::kIoError;
    }
    return status::kSuccess;
  }

  bool Variable() const { return l_.fileFlags & kFlagVariable; }

  // Reads the segments of one key starting at `at` in the control record page.
  int16_t ReadKey(uint64_t at, KeyDefinition& key) {
    uint64_t pageEnd = l_.fcr + l_.pageSize;
    for (;;) {
      if (at + kSegmentSize > pageEnd || !f_.Has(at, kSegmentSize)) return status::kIoError;
      const uint8_t* s = f_.At(at);
      KeySegment seg;
      seg.flags = LoadU16(s + kSegFlags);
      uint32_t position = LoadU16(s + kSegPosition);
      if (position < l_.recordPrefix) return status::kIoError;
      position -= l_.recordPrefix;
      seg.offset = static_cast<uint16_t>(position);
      seg.length = LoadU16(s + kSegLength);
      seg.declaredType = s[kSegType];
      seg.nullValue = s[kSegNull];
      // Types the engine does not compare by value are ordered byte by byte.
      if ((seg.flags & key_flag::kExtendedType) && !IsSupportedKeyType(seg.declaredType)) {
        seg.declaredType = key_type::kString;
      }
      if (seg.length == 0 || position + seg.length > l_.recordLength) return status::kIoError;
      key.segments.push_back(seg);
      key.length += seg.length;
      if (key.length > kMaxKeyLength) return status::kIoError;
      if (!(seg.flags & key_flag::kSegmented)) return status::kSuccess;
      at += kSegmentSize;
    }
  }

  int16_t ReadKeys(FileDefinition& def) {
    const uint8_t* fcr = f_.At(l_.fcr);
    uint32_t keyCount = LoadU16(fcr + kFcrKeyCount);
    if (keyCount > 119) return status::kIoError;
    uint32_t table = l_.version == 6 ? LoadU16(fcr + kFcrKeyTableOffset) : 0;
    uint64_t next = l_.fcr + kFcrKeySpecs;
    for (uint32_t k = 0; k < keyCount; ++k) {
      uint64_t at = next;
      if (table != 0) {
        // Version 6 lists where each key's first segment is.
        uint64_t entry = l_.fcr + table + 2ull * k;
        if (table + 2ull * (k + 1) > l_.pageSize) return status::kIoError;
        at = l_.fcr + LoadU16(f_.At(entry));
      }
      KeyDefinition key;
      int16_t st = ReadKey(at, key);
      if (st != status::kSuccess) return st;
      next = at + kSegmentSize * key.segments.size();
      def.keys.push_back(std::move(key));
    }
    return status::kSuccess;
  }

  // Version 6: the current copy of each page allocation table, in logical page order.
  int16_t ReadPageTable() {
    uint32_t perTable = l_.pageSize / 4 - 2;
    uint64_t pages = f_.size() / l_.pageSize;
    l_.logicalToPhysical.assign(1, kNoPage);  // logical page 0 is never data
    // Each pair of tables is followed by the pages it maps, then the next pair.
    for (uint64_t first = 2; first + 1 < pages; first += perTable + 2) {
      const uint8_t* a = f_.At(first * l_.pageSize);
      const uint8_t* b = f_.At((first + 1) * l_.pageSize);
      bool aOk = a[0] == 'P' && a[1] == 'P', bOk = b[0] == 'P' && b[1] == 'P';
      if (!aOk && !bOk) break;
      const uint8_t* t = !bOk || (aOk && LoadU32(a + 4) >= LoadU32(b + 4)) ? a : b;
      for (uint32_t i = 0; i < perTable; ++i) {
        const uint8_t* e = t + 8 + 4 * i;
        bool used = e[1] != 0;
        uint32_t physical =
            (static_cast<uint32_t>(e[0]) << 16) | (static_cast<uint32_t>(e[3]) << 8) | e[2];
        l_.logicalToPhysical.push_back(used && physical < pages ? physical : kNoPage);
        if (used && physical >= pages) return status::kIoError;  // cut off
        types_.push_back(e[1]);
      }
    }
    if (l_.logicalToPhysical.size() == 1) return status::kIoError;
    types_.insert(types_.begin(), 0);
    return status::kSuccess;
  }

  // The file offset of `page` when it lies wholly within the file.
  bool PageOffset(uint32_t page, uint64_t& offset) const {
    if (l_.version == 6) {
      if (page >= l_.logicalToPhysical.size() || l_.logicalToPhysical[page] == kNoPage) {
        return false;
      }
      page = l_.logicalToPhysical[page];
    }
    offset = static_cast<uint64_t>(page) * l_.pageSize;
    return page != 0 && f_.Has(offset, l_.pageSize);
  }

  // Appends the variable part that `pointer` leads to. Fragments are visited at most
  // `fragmentBudget_` times over the whole file, so a cycle ends the walk.
  int16_t ReadVariablePart(const uint8_t* pointer, std::vector<uint8_t>& record) {
    uint8_t link[4];
    std::memcpy(link, pointer, 4);
    while (PointerPage(link) != kNoPage) {
      if (fragmentBudget_-- == 0) return status::kIoError;
      uint64_t page;
      if (!PageOffset(PointerPage(link), page)) return status::kIoError;
      const uint8_t* p = f_.At(page);
      uint32_t slots = LoadU16(p + kVarSlotCount);
      uint32_t fragment = link[3];
      // The slot table grows down from the page's end; one entry past the last slot
      // says where free space begins.
      if (fragment >= slots || 2ull * (slots + 1) > l_.pageSize - kVarFirstFragment) {
        return status::kIoError;
      }
      uint32_t tableStart = l_.pageSize - 2 * (slots + 1);
      auto slot = [&](uint32_t n) { return LoadU16(p + l_.pageSize - 2 * (n + 1)); };
      uint16_t entry = slot(fragment);
      if (entry == 0xFFFF) return status::kIoError;
      uint32_t begin = entry & 0x7FFF;
      uint32_t end = tableStart;
      for (uint32_t n = fragment + 1; n <= slots; ++n) {
        if (slot(n) != 0xFFFF) {
          end = slot(n) & 0x7FFF;
          break;
        }
      }
      if (begin < kVarFirstFragment || end < begin || end > tableStart) return status::kIoError;
      bool chained = l_.version == 6 || (entry & 0x8000);
      if (chained) {
        if (end - begin < 4) return status::kIoError;
        std::memcpy(link, p + begin, 4);
        begin += 4;
      } else {
        link[0] = link[1] = link[2] = 0xFF;
      }
      variableBytes_ += end - begin;
      // Each fragment's bytes belong to one record: a file that shares them is damaged,
      // and this bounds the image by the file's size.
      if (variableBytes_ > f_.size()) return status::kIoError;
      record.insert(record.end(), p + begin, p + end);
      if (record.size() > kMaxRecordLength) return status::kIoError;
    }
    return status::kSuccess;
  }

  // `slot` is the file offset of a record slot; `position` what the engine calls it.
  int16_t AddRecord(RecordTable& table, uint64_t slot, uint64_t position) {
    if (position > 0xFFFFFFFFull) return status::kIoError;
    const uint8_t* data = f_.At(slot + l_.recordPrefix);
    if (!Variable()) {
      table.Append(static_cast<int64_t>(position), {data, l_.recordLength});
      return status::kSuccess;
    }
    record_.assign(data, data + l_.recordLength);
    int16_t st = ReadVariablePart(data + l_.recordLength, record_);
    if (st != status::kSuccess) return st;
    table.Append(static_cast<int64_t>(position), record_);
    return status::kSuccess;
  }

  int16_t ReadRecordsV5(RecordTable& table) {
    const uint8_t* fcr = f_.At(l_.fcr);
    uint32_t remaining = LoadSwapped(fcr + kFcrRecordCount);
    uint64_t pages = f_.size() / l_.pageSize;
    fragmentBudget_ = f_.size() / 2 + 1;
    // Deleted slots form a chain through their first four bytes.
    std::unordered_set<uint64_t> deleted;
    for (uint32_t link = LoadSwapped(fcr + kFcrDeletedHead); link != 0xFFFFFFFF;) {
      if (!f_.Has(link, 4) || link < l_.pageSize || !deleted.insert(link).second) {
        return status::kIoError;
      }
      link = LoadSwapped(f_.At(link));
    }
    for (uint64_t page = 1; page < pages && remaining > 0; ++page) {
      uint64_t base = page * l_.pageSize;
      const uint8_t* p = f_.At(base);
      if (LoadSwapped(p) != page || !(LoadU16(p + 4) & kDataPageBit)) continue;
      for (uint64_t at = kPageHeader; at + l_.physicalLength <= l_.pageSize && remaining > 0;
           at += l_.physicalLength) {
        if (deleted.count(base + at)) continue;
        int16_t st = AddRecord(table, base + at, base + at);
        if (st != status::kSuccess) return st;
        --remaining;
      }
    }
    return status::kSuccess;
  }

  int16_t ReadRecordsV6(RecordTable& table) {
    fragmentBudget_ = f_.size() / 2 + 1;
    for (uint32_t logical = 1; logical < l_.logicalToPhysical.size(); ++logical) {
      uint64_t base;
      if (types_[logical] != 'D' || !PageOffset(logical, base)) continue;
      for (uint64_t at = kPageHeader; at + l_.physicalLength <= l_.pageSize;
           at += l_.physicalLength) {
        if (LoadU16(f_.At(base + at)) == 0) continue;  // an empty slot
        int16_t st = AddRecord(table, base + at, uint64_t{logical} * l_.pageSize + at);
        if (st != status::kSuccess) return st;
      }
    }
    return status::kSuccess;
  }

  Bytes f_;
  Layout l_;
  std::vector<uint8_t> types_;  // version 6: page type of each logical page
  std::vector<uint8_t> record_;
  uint64_t fragmentBudget_ = 0;
  uint64_t variableBytes_ = 0;
};

// Nothing is ever written to a genuine file.
class ReadOnlyStore : public RecordStore {
 public:
  bool Writable() const override { return false; }
  int16_t Append(int64_t, std::span<const uint8_t>) override { return status::kAccessDenied; }
  int16_t Commit() override { return status::kSuccess; }
  uint64_t CommitSerial() const override { return 0; }
  // The engine's size and time check sees changes made by others.
  bool ChangedElsewhere() override { return false; }
};

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, int16_t& st) {
  // Non-blocking and regular files only: a FIFO in the file's place never holds the read.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    st = errno == EACCES ? status::kAccessDenied : status::kIoError;
    return false;
  }
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && info.st_size >= 0;
  if (ok && !S_ISREG(info.st_mode)) {
    close(fd);
    st = status::kNotRecordFile;
    return false;
  }
  // Record positions are 32-bit file offsets.
  if (ok && static_cast<uint64_t>(info.st_size) > 0xFFFFFFFFull) {
    close(fd);
    st = status::kNotRecordFile;
    return false;
  }
  if (ok) {
    out.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (ok && done < out.size()) {
      ssize_t n = read(fd, out.data() + done, out.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        out.resize(done);  // the file shrank while being read
        break;
      }
      done += static_cast<size_t>(n);
    }
  }
  close(fd);
  if (!ok) st = status::kIoError;
  return ok;
}

class GenuineLoader : public FileLoader {
 public:
  bool Recognizes(std::span<const uint8_t> head) const override {
    if (head.size() >= 4 && head[0] == 'F' && head[1] == 'C' && head[2] == 0 && head[3] == 0) {
      return true;
    }
    // Version 5 has no signature: four zero bytes, then a plausible page size and record
    // lengths.
    if (head.size() < kFcrPhysicalLength + 2 || LoadU32(head.data()) != 0) return false;
    uint16_t recordLength = LoadU16(&head[kFcrRecordLength]);
    return IsValidPageSize(LoadU16(&head[kFcrPageSize])) && recordLength > 0 &&
           LoadU16(&head[kFcrPhysicalLength]) >= recordLength;
  }

  int16_t Load(const std::string& path, bool, LoadedFile& out) override {
    std::vector<uint8_t> bytes;
    int16_t st = status::kSuccess;
    if (!ReadWholeFile(path, bytes, st)) return st;
    std::unique_ptr<RecordTable> table;
    st = ReadGenuineImage(bytes, table);
    if (st != status::kSuccess) return st;
    out.table = std::move(table);
    out.store = std::make_unique<ReadOnlyStore>();
    return status::kSuccess;
  }
};

}  // namespace

int16_t ReadGenuineImage(std::span<const uint8_t> file, std::unique_ptr<RecordTable>& out) {
  return Reader(file).Read(out);
}

std::unique_ptr<FileLoader> MakeGenuineLoader() {
  return std::make_unique<GenuineLoader>();
}

}  // namespace torvex::btrieve
