// Whole-file writes: the one way the program replaces a file it owns (the ini
// file, raw dumps, text exports, the engine's new record files).
//
// A file is written to a temporary file beside its target, flushed to the disk,
// renamed over the target, and the directory is flushed so that the rename
// itself survives a crash. Readers see the old file or the new one, never a
// part; a failure at any step leaves the old file as it was and removes the
// temporary file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvex {

// The outcome of a file operation: success, or the errno value and one line fit
// to show the user (it names the file and the reason).
class FileStatus {
 public:
  FileStatus() = default;
  // `what` is the failed action ("cannot write"), `path` the file it concerns.
  static FileStatus FromErrno(std::string_view what, const std::string& path, int error);

  bool ok() const { return error_ == 0; }
  int error() const { return error_; }
  const std::string& message() const { return message_; }

 private:
  int error_ = 0;
  std::string message_;
};

// Writes `bytes` to `path`, whole or not at all. A new file gets the mode any
// new file would (0666 less the umask); an existing file keeps its mode. A
// symbolic link at `path` is kept and the file it names is replaced. A target
// that is not a regular file (a directory, a device) is refused.
FileStatus WriteWholeFile(const std::string& path, std::string_view bytes);
FileStatus WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes);

// The steps of WriteWholeFile for writers that fill the temporary file another
// way (the engine builds a database in it).

// Creates a new, empty temporary file in the directory of `target`, named after
// it and hidden (".name.tmp-XXXXXX"), with the mode any new file gets. On
// success `*temporary` is its path and `*fd` an open descriptor for writing,
// which the caller closes.
FileStatus CreateTemporaryBeside(const std::string& target, std::string* temporary, int* fd);

// Flushes the file at `path` (a file or, with `directory`, a directory) to the disk.
FileStatus SyncPath(const std::string& path, bool directory);

// Renames `temporary` over `target` and flushes their directory. On failure the
// temporary file is left for the caller to remove.
FileStatus ReplaceWithTemporary(const std::string& temporary, const std::string& target);

// The directory part of `path`: "." when it has none, "/" for the root.
std::string DirectoryOf(const std::string& path);

}  // namespace torvex
