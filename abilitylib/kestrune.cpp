// The ability-name library. See kestrune.h for the contract.
#define KESTRUNE_BUILDING_LIBRARY 1
#include "abilitylib/kestrune.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <shared_mutex>

#include "abilitylib/ability_file_format.h"

namespace fmt = torvex::ability_file;

struct AbilityFile {
  char tag[4];
  const uint8_t* view;
  size_t size;
  // Entries 0 .. entryCount - 1 lie wholly inside the file and are within H.
  uint64_t entryCount;
  AbilityFile* next;
};

namespace {

constexpr char kTag[4] = {'K', 'R', 'X', 'A'};
constexpr char kEmptyName[] = "";

thread_local int32_t lastError = 0;

// Every open handle, so that a closed or foreign pointer is refused by its
// address alone: reading a tag through it could touch freed or unmapped memory.
// Open handles are few (the program keeps one), so a list does.
std::shared_mutex registryLock;
AbilityFile* openFiles = nullptr;

bool IsOpenLocked(const AbilityFile* file) {
  for (const AbilityFile* f = openFiles; f != nullptr; f = f->next) {
    if (f == file) return std::memcmp(f->tag, kTag, sizeof kTag) == 0;
  }
  return false;
}

uint64_t ReadableEntries(const uint8_t* view, size_t size) {
  if (size < fmt::kHeaderSize + fmt::kEntrySize) return 0;
  const uint64_t highest = fmt::ReadU32(view + fmt::kHighestNumberOffset);
  const uint64_t fitting = (size - fmt::kHeaderSize) / fmt::kEntrySize;
  return highest + 1 < fitting ? highest + 1 : fitting;
}

const char* NameAt(const AbilityFile& file, uint32_t offset) {
  if (offset >= file.size) return kEmptyName;
  const uint8_t* name = file.view + offset;
  if (std::memchr(name, 0, file.size - offset) == nullptr) return kEmptyName;
  return reinterpret_cast<const char*>(name);
}

AbilityFile* FailOpen(int fd, int code) {
  if (fd >= 0) close(fd);
  lastError = code;
  return nullptr;
}

}  // namespace

extern "C" {

AbilityFile* OpenAbilityFile(const char* path) {
  // O_NONBLOCK keeps a FIFO from stalling the open; it changes nothing for the
  // regular files that get past the checks below.
  const int fd = open(path != nullptr ? path : "", O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return FailOpen(-1, errno);
  struct stat st;
  if (fstat(fd, &st) != 0) return FailOpen(fd, errno);
  if (S_ISDIR(st.st_mode)) return FailOpen(fd, EISDIR);
  if (!S_ISREG(st.st_mode)) return FailOpen(fd, ENODEV);
  if (st.st_size <= 0) return FailOpen(fd, EINVAL);
  if (static_cast<uint64_t>(st.st_size) > SIZE_MAX) return FailOpen(fd, EFBIG);
  const size_t size = static_cast<size_t>(st.st_size);
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) return FailOpen(fd, errno);
  // The mapping keeps the file's pages; the descriptor is not needed any more.
  close(fd);

  auto* file = new (std::nothrow) AbilityFile;
  if (file == nullptr) {
    munmap(view, size);
    return FailOpen(-1, ENOMEM);
  }
  std::memcpy(file->tag, kTag, sizeof kTag);
  file->view = static_cast<const uint8_t*>(view);
  file->size = size;
  file->entryCount = ReadableEntries(file->view, size);
  std::unique_lock lock(registryLock);
  file->next = openFiles;
  openFiles = file;
  return file;
}

int32_t CloseAbilityFile(AbilityFile* file) {
  if (file == nullptr) return KESTRUNE_FALSE;
  {
    std::unique_lock lock(registryLock);
    if (!IsOpenLocked(file)) return KESTRUNE_FALSE;
    AbilityFile** link = &openFiles;
    while (*link != file) link = &(*link)->next;
    *link = file->next;
  }
  munmap(const_cast<uint8_t*>(file->view), file->size);
  std::memset(file->tag, 0, sizeof file->tag);
  delete file;
  lastError = 0;
  return KESTRUNE_TRUE;
}

int32_t GetAbilityInfo(AbilityFile* file, AbilityInfo* info) {
  if (file == nullptr || info == nullptr) return KESTRUNE_FALSE;
  std::shared_lock lock(registryLock);
  if (!IsOpenLocked(file)) return KESTRUNE_FALSE;
  if (info->size != KESTRUNE_ABILITY_INFO_SIZE) return KESTRUNE_FALSE;
  const uint32_t number = info->number;
  if (number >= file->entryCount) {
    info->name = fmt::kUnknownName;
    info->colour = fmt::kUnknownColour;
    info->format = fmt::kUnknownFormat;
    return KESTRUNE_TRUE;
  }
  const uint8_t* entry = file->view + fmt::kHeaderSize + fmt::kEntrySize * number;
  info->name = NameAt(*file, fmt::ReadU32(entry + fmt::kNameOffsetField));
  info->colour = fmt::ReadU32(entry + fmt::kColourField);
  info->format = entry[fmt::kFormatField];
  return KESTRUNE_TRUE;
}

int32_t GetAbilityLastError(void) {
  const int32_t code = lastError;
  lastError = 0;
  return code;
}

void SetAbilityLastError(int32_t code) {
  lastError = code;
}

}  // extern "C"
