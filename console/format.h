// printf-style formatting into a std::string, with the exact field semantics of
// the C library ("%-30.30s", "%.8x", "%0.2d"). "%p" prints a pointer's identity
// as 8 upper-case hex digits, the form the program's error texts show.
#pragma once

#include <cstdarg>
#include <string>

namespace torvex {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

}  // namespace torvex
