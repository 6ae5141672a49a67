#include "console/format.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace torvex {
namespace {

void AppendPrintf(std::string& out, const char* spec, ...) __attribute__((format(printf, 2, 3)));

void AppendPrintf(std::string& out, const char* spec, ...) {
  va_list args;
  va_start(args, spec);
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, spec, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    return;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
  } else {
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<size_t>(n) + 1, spec, copy);
    out.resize(at + static_cast<size_t>(n));
  }
  va_end(copy);
}

}  // namespace

// Each conversion is handed to vsnprintf on its own with an argument fetched by
// its own type, so that "%p" can take a different form without undefined
// behaviour and the rest keeps the C library's semantics exactly.
std::string FormatV(const char* format, va_list args) {
  std::string out;
  const char* p = format;
  while (*p) {
    if (*p != '%') {
      const char* next = std::strchr(p, '%');
      const size_t len = next ? static_cast<size_t>(next - p) : std::strlen(p);
      out.append(p, len);
      p += len;
      continue;
    }
    // Collect one conversion: flags, width, precision, length, type.
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      ++p;
      continue;
    }
    int stars = 0;
    while (*p && std::strchr("-+ #0", *p)) ++p;
    if (*p == '*') {
      ++stars;
      ++p;
    }
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        ++stars;
        ++p;
      }
      while (*p >= '0' && *p <= '9') ++p;
    }
    char length[3] = {0, 0, 0};
    if (*p == 'h' || *p == 'l' || *p == 'z' || *p == 'j' || *p == 't' || *p == 'L') {
      length[0] = *p++;
      if ((length[0] == 'h' || length[0] == 'l') && *p == length[0]) length[1] = *p++;
    }
    const char type = *p;
    if (!type) break;  // a format that ends inside a conversion
    ++p;
    std::string spec(start, static_cast<size_t>(p - start));
    int star[2] = {0, 0};
    for (int i = 0; i < stars; ++i) star[i] = va_arg(args, int);
    auto emit = [&](auto value) {
      if (stars == 0) AppendPrintf(out, spec.c_str(), value);
      if (stars == 1) AppendPrintf(out, spec.c_str(), star[0], value);
      if (stars == 2) AppendPrintf(out, spec.c_str(), star[0], star[1], value);
    };
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    switch (type) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
      case 'o':
      case 'c':
        if (length[0] == 'l' && length[1] == 'l') {
          emit(va_arg(args, long long));
        } else if (length[0] == 'l') {
          emit(va_arg(args, long));
        } else if (length[0] == 'z') {
          emit(va_arg(args, size_t));
        } else if (length[0] == 'j') {
          emit(va_arg(args, intmax_t));
        } else if (length[0] == 't') {
          emit(va_arg(args, ptrdiff_t));
        } else {
          emit(va_arg(args, int));
        }
        break;
      case 'e':
      case 'E':
      case 'f':
      case 'F':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (length[0] == 'L') {
          emit(va_arg(args, long double));
        } else {
          emit(va_arg(args, double));
        }
        break;
      case 's': {
        const char* s = va_arg(args, const char*);
        emit(s ? s : "(null)");
        break;
      }
      case 'p': {
        const auto id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(va_arg(args, void*)));
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", id);
        spec.back() = 's';
        emit(static_cast<const char*>(hex));
        break;
      }
      default:
        // An unknown conversion is copied as it stands and takes no argument.
        out += spec;
        break;
    }
#pragma GCC diagnostic pop
  }
  return out;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatV(format, args);
  va_end(args);
  return out;
}

}  // namespace torvex
