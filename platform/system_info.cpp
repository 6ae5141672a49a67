#include "platform/system_info.h"

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace torvex {

std::string CpuLabelFor(const std::string& vendor, unsigned edx) {
  const bool intel = vendor == "GenuineIntel";
  const bool amd = vendor == "AuthenticAMD";
  if (intel && (edx & (1u << 26))) return "|14SSE2";
  if ((intel || amd) && (edx & (1u << 23))) return "|11MMX";
  return "";
}

std::string CpuLabel() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx)) return "";
  char vendor[13];
  for (int i = 0; i < 4; ++i) {
    vendor[i] = static_cast<char>(ebx >> (8 * i));
    vendor[4 + i] = static_cast<char>(edx >> (8 * i));
    vendor[8 + i] = static_cast<char>(ecx >> (8 * i));
  }
  vendor[12] = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return "";
  return CpuLabelFor(vendor, edx);
#else
  return "";
#endif
}

std::string UserName() {
  if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name) {
    return pw->pw_name;
  }
  if (const char* login = getlogin(); login && *login) return login;
  return "Unnamed";
}

std::string ExecutableDirectory() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  std::string path(buf, static_cast<size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(path, ec);
  return ec ? path : abs.lexically_normal().string();
}

}  // namespace torvex
