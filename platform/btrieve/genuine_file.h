// Reader of record files written by the genuine record manager, versions 5 and 6: the
// files operators bring with them. They are only ever read: the store this loader gives
// refuses every write (46), whatever mode the file was opened in, and the file on disk is
// never opened for writing.
//
// The image is built from the data pages alone. The file's own B-tree index pages are not
// read; the engine's ordered indexes, built from the records' key fields, give the same
// order for the key types the engine compares (see docs/record-file-format.md for where it
// differs: alternate collating sequences, key types outside the engine's five).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/btrieve/file_loader.h"

namespace torvex::btrieve {

std::unique_ptr<FileLoader> MakeGenuineLoader();

// Builds the image of a genuine file from its whole contents. Every offset, length and
// page number in `file` is checked against `file` before use, and every chain is walked
// with a bound, so any bytes at all give a status rather than undefined behaviour.
// Returns 0 and sets `out`, 2 for a damaged or truncated file, or 30 for a file that is
// not of this format or uses a feature the reader does not handle (compression,
// variable-allocation tails, blank truncation, versions after 6).
int16_t ReadGenuineImage(std::span<const uint8_t> file, std::unique_ptr<RecordTable>& out);

}  // namespace torvex::btrieve
