#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace torvex {
namespace {

// Six characters that make a temporary name unlikely to be taken; O_EXCL makes
// sure it is not.
std::string UniqueSuffix() {
  static std::atomic<uint64_t> counter{0};
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  uint64_t x = static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30) ^
               (static_cast<uint64_t>(::getpid()) << 16) ^
               (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix;
  for (int i = 0; i < 6; ++i) {
    suffix += kDigits[x % 36];
    x /= 36;
  }
  return suffix;
}

bool WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

FileStatus FileStatus::FromErrno(std::string_view what, const std::string& path, int error) {
  FileStatus status;
  status.error_ = error == 0 ? EIO : error;
  status.message_ = std::string(what) + " " + path + ": " + std::strerror(status.error_);
  return status;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileStatus CreateTemporaryBeside(const std::string& target, std::string* temporary, int* fd) {
  const size_t slash = target.rfind('/');
  const std::string prefix =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." +
      target.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
  // Opened with 0666 so that the umask gives the file the mode of any new file.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + UniqueSuffix();
    const int opened = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (opened >= 0) {
      *temporary = std::move(name);
      *fd = opened;
      return {};
    }
    if (errno != EEXIST) break;
  }
  return FileStatus::FromErrno("cannot create a temporary file for", target, errno);
}

FileStatus SyncPath(const std::string& path, bool directory) {
  const int fd = ::open(path.c_str(), (directory ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileStatus::FromErrno("cannot open", path, errno);
  const bool ok = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  return ok ? FileStatus() : FileStatus::FromErrno("cannot flush", path, error);
}

FileStatus ReplaceWithTemporary(const std::string& temporary, const std::string& target) {
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    return FileStatus::FromErrno("cannot replace", target, errno);
  }
  // The rename is done and the new file whole; a file system that cannot flush
  // a directory (some answer EINVAL) does not make that a failure.
  SyncPath(DirectoryOf(target), true);
  return {};
}

FileStatus WriteWholeFile(const std::string& path, std::string_view bytes) {
  // Write through a symbolic link to the file it names, keeping the link.
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  bool keepMode = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      return FileStatus::FromErrno("cannot write", target, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    keepMode = true;
  }

  std::string temporary;
  int fd = -1;
  FileStatus status = CreateTemporaryBeside(target, &temporary, &fd);
  if (!status.ok()) return status;
  bool ok = (!keepMode || ::fchmod(fd, st.st_mode & 07777) == 0) &&
            WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) {
    status = ReplaceWithTemporary(temporary, target);
  } else {
    status = FileStatus::FromErrno("cannot write", target, error);
  }
  if (!status.ok()) ::unlink(temporary.c_str());
  return status;
}

FileStatus WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes) {
  return WriteWholeFile(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace torvex
