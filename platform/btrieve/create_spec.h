// Create's data buffer: a 16-byte file specification followed by one 16-byte key
// specification per key segment (see create_layout in btrieve.h).
#pragma once

#include <cstdint>
#include <span>

#include "platform/btrieve/record_table.h"

namespace torvex::btrieve {

// Reads and checks a Create buffer. Returns 0 and fills `out`, or the status Create
// answers: 22 buffer shorter than its specifications, 24 page size, 26 key count,
// 27 key position, 28 record length, 29 key length, 45 key flags, 48 collating
// sequence, 49 key type.
int16_t ParseCreateSpec(std::span<const uint8_t> buffer, FileDefinition& out);

}  // namespace torvex::btrieve
