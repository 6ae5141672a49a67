#include "platform/system_info.h"

#include <limits.h>
#include <malloc.h>
#include <pwd.h>
#include <sched.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

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

std::optional<HeapUse> CurrentHeapUse() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
  const struct mallinfo2 info = mallinfo2();
  return HeapUse{info.uordblks, info.fordblks};
#else
  return std::nullopt;
#endif
}

int ProcessorCount() {
  const long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count < 1 ? 1 : static_cast<int>(count);
}

uint32_t ProcessAffinityMask() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 0;
  uint32_t mask = 0;
  for (int cpu = 0; cpu < 32; ++cpu) {
    if (CPU_ISSET(cpu, &set)) mask |= uint32_t{1} << cpu;
  }
  return mask;
}

namespace {
std::vector<std::string>& StoredArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}
}  // namespace

void SetProgramArguments(std::vector<std::string> arguments) {
  StoredArguments() = std::move(arguments);
}

const std::vector<std::string>& ProgramArguments() {
  return StoredArguments();
}

}  // namespace torvex
