// Opens arbitrary bytes as a record file and reads whatever opens, in every direction.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/btrieve/btrieve.h"

namespace {

const std::string& FilePath() {
  static std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "btrieve-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/FUZZ.DAT";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace b = torvex::btrieve;
  // Loading is linear in the file; large inputs only slow the search down.
  if (size > 256 * 1024) return 0;
  const std::string& path = FilePath();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  uint8_t pos[128] = {};
  uint8_t key[255] = {};
  uint8_t buffer[4096];
  std::memcpy(key, path.c_str(), path.size());
  uint32_t len = 0;
  if (BTRCALL(b::op::kOpen, pos, buffer, &len, key, 255, b::open_mode::kReadOnly) == 0) {
    for (int8_t k = 0; k < 3; ++k) {
      len = sizeof buffer;
      for (int n = 0; n < 200 && BTRCALL(n ? b::op::kGetNext : b::op::kGetFirst, pos, buffer, &len,
                                         key, 255, k) == 0;
           ++n) {
        len = sizeof buffer;
      }
      len = sizeof buffer;
      for (int n = 0; n < 200 && BTRCALL(n ? b::op::kGetPrevious : b::op::kGetLast, pos, buffer,
                                         &len, key, 255, k) == 0;
           ++n) {
        len = sizeof buffer;
      }
    }
    len = sizeof buffer;
    for (int n = 0; n < 200 && BTRCALL(b::op::kStepNext, pos, buffer, &len, key, 255, 0) == 0;
         ++n) {
      len = sizeof buffer;
    }
    BTRCALL(b::op::kClose, pos, buffer, &len, key, 255, 0);
  }
  WBTRVSTOP();
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) unlink((path + suffix).c_str());
  return 0;
}
