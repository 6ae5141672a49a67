// The statistics screens of the compressed record caches: one line per entry
// from the least to the most recently used, then the totals. Written at the
// cursor with the colour-code writer; after every 48 entry lines the screen
// waits for a key behind "Press any key...".
#pragma once

#include "console/console.h"
#include "database/record_cache.h"

namespace torvex {

// The screens of the program's caches (ProgramCaches()).
void ShowItemCacheStats(Console& console);
void ShowRoomCacheStats(Console& console);
void ShowTextCacheStats(Console& console);

// The same for any cache of the kind.
void ShowItemCacheStats(Console& console, const ItemCache& cache);
void ShowRoomCacheStats(Console& console, const RoomCache& cache);
void ShowTextCacheStats(Console& console, const TextCache& cache);

}  // namespace torvex
