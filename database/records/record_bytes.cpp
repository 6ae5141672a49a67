#include "database/records/record_bytes.h"

#include <cstring>

namespace torvex {

std::string LoadText(const uint8_t* field, size_t length) {
  const void* zero = std::memchr(field, 0, length);
  const size_t size =
      zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - field) : length;
  return std::string(reinterpret_cast<const char*>(field), size);
}

void StoreText(uint8_t* field, size_t length, std::string_view text) {
  if (length == 0) return;
  // A zero inside `text` ends it, as it would on reading.
  size_t size = std::min(text.size(), length - 1);
  if (const void* zero = std::memchr(text.data(), 0, size))
    size = static_cast<size_t>(static_cast<const char*>(zero) - text.data());
  std::memcpy(field, text.data(), size);
  std::memset(field + size, 0, length - size);
}

}  // namespace torvex
