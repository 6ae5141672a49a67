// Maps arbitrary bytes as an ability file and checks every answer against the
// layout read directly from the bytes: entries and names that do not lie whole
// inside the file must never be followed.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "abilitylib/ability_file_format.h"
#include "abilitylib/kestrune.h"

namespace {

namespace fmt = torvex::ability_file;

struct Expected {
  std::string name;
  uint32_t colour;
  uint8_t format;
};

Expected Model(const uint8_t* data, size_t size, uint32_t n) {
  if (size < 32) return {"Unknown", 7, 0};
  const uint64_t highest = fmt::ReadU32(data + 8);
  if (n > highest || 16 + 16 * (uint64_t{n} + 1) > size) return {"Unknown", 7, 0};
  const uint8_t* entry = data + 16 + 16 * size_t{n};
  const uint32_t offset = fmt::ReadU32(entry + 4);
  std::string name;
  if (offset < size) {
    const void* end = std::memchr(data + offset, 0, size - offset);
    if (end != nullptr) name.assign(reinterpret_cast<const char*>(data + offset));
  }
  return {name, fmt::ReadU32(entry + 8), entry[12]};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("kestrune_fuzz", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  AbilityFile* file = OpenAbilityFile(path.c_str());
  close(fd);
  if (file == nullptr) {
    if (size != 0) std::abort();  // any non-empty regular file opens
    return 0;
  }
  // Every number the entries could describe, a few around H, and the top.
  const uint32_t highest = size >= 12 ? fmt::ReadU32(data + 8) : 0;
  uint32_t probes[] = {highest, highest + 1, highest - 1, 0xFFFF, 0xFFFFFFFF};
  const uint32_t fitting = size > 16 ? static_cast<uint32_t>((size - 16) / 16) : 0;
  for (uint32_t n = 0; n <= fitting + 1; ++n) {
    AbilityInfo info{KESTRUNE_ABILITY_INFO_SIZE, n, nullptr, 0, 0};
    if (GetAbilityInfo(file, &info) != KESTRUNE_TRUE) std::abort();
    const Expected expected = Model(data, size, n);
    if (expected.name != info.name || expected.colour != info.colour ||
        expected.format != info.format) {
      std::abort();
    }
  }
  for (uint32_t n : probes) {
    AbilityInfo info{KESTRUNE_ABILITY_INFO_SIZE, n, nullptr, 0, 0};
    if (GetAbilityInfo(file, &info) != KESTRUNE_TRUE) std::abort();
    if (Model(data, size, n).name != info.name) std::abort();
  }
  if (CloseAbilityFile(file) != KESTRUNE_TRUE) std::abort();
  if (CloseAbilityFile(file) != KESTRUNE_FALSE) std::abort();
  return 0;
}
