// The engine's own file format: an SQLite database with the schema described in
// docs/record-file-format.md. Files are written in WAL mode with synchronous=NORMAL, so
// a killed process never leaves a damaged file and loses at most the inserts that were
// not yet committed (see NativeStore's commit policy).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/btrieve/file_loader.h"

namespace torvex::btrieve {

std::unique_ptr<FileLoader> MakeNativeLoader();

// Writes an empty file of `definition` at `path`, replacing any file there whole or not
// at all: the new file is built under a temporary name in the same directory, made
// durable, then renamed over `path`. No connection of this process may have `path`
// open. Returns 0 or a status (25 cannot create, 18 disk full).
int16_t CreateNativeFile(const std::string& path, const FileDefinition& definition);

// Tests only: called after the new file is complete and before it replaces the old one.
void SetCreateHookForTesting(std::function<void()> hook);

// The commit policy of a writable native file: appended records are committed in
// batches, when this many are pending or the batch is older than kCommitIntervalMs,
// and always at Close and at client stop.
inline constexpr int kCommitBatchRecords = 4096;
inline constexpr int kCommitIntervalMs = 500;

}  // namespace torvex::btrieve
