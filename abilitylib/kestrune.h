/* Kestrune: look-ups of ability names, colours and value formats in a
 * read-only ability file (kestrune.dat), mapped into memory.
 *
 * The file layout, all integers little-endian:
 *
 *   0            8 bytes   not read (a writer fills them with zeros)
 *   8            u32       H, the highest ability number described
 *   12           4 bytes   not read
 *   16 + 16 * n  16 bytes  entry of ability number n, for n = 0 ... H:
 *                            +0  4 bytes  not read
 *                            +4  u32      offset of the name from the start of
 *                                         the file, a zero-terminated text
 *                            +8  u32      colour byte
 *                            +12 u8       value format, 0 to 19
 *                            +13 3 bytes  not read
 *
 * The file is outside input and may be damaged or hostile; no look-up ever
 * reads outside it. An entry that does not lie wholly inside the file reads as
 * an ability above H ("Unknown", colour 7, format 0). A name whose offset is
 * outside the file, or whose zero terminator is missing before the end of the
 * file, reads as the empty name.
 *
 * Every function has C linkage and these five are the library's only exports.
 * Thread safety: handles may be used from several threads at once; the last
 * error is kept per thread (0 in every new thread).
 */
#ifndef KESTRUNE_KESTRUNE_H
#define KESTRUNE_KESTRUNE_H

#include <stdint.h>

#if defined(KESTRUNE_BUILDING_LIBRARY)
#define KESTRUNE_API __attribute__((visibility("default")))
#else
#define KESTRUNE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An open ability file. Opaque; created by OpenAbilityFile and owned by the
 * caller until CloseAbilityFile. */
typedef struct AbilityFile AbilityFile;

/* The answer of GetAbilityInfo. The caller sets `size` to
 * KESTRUNE_ABILITY_INFO_SIZE and `number` before the call.
 *
 * The record is this structure at its natural size and alignment on the
 * platform, not packed: the fields lie at offsets 0, 4, 8, 8 + sizeof(void*)
 * and 12 + sizeof(void*), and on 64-bit Linux the record is 24 bytes (an
 * 8-byte name pointer, padding to 8-byte alignment). A packed record with
 * 4-byte pointers would be 17 bytes. `size` must equal sizeof(AbilityInfo) as
 * this header declares it; any other value, 17 included, is refused. */
typedef struct AbilityInfo {
  uint32_t size;
  uint32_t number;
  /* Zero-terminated name inside the mapped file, or the library's constant
   * "Unknown" or "". Valid until the handle it came from is closed. */
  const char* name;
  uint32_t colour;
  uint8_t format;
} AbilityInfo;

#define KESTRUNE_ABILITY_INFO_SIZE ((uint32_t)sizeof(AbilityInfo))

/* Results of the functions that answer yes or no: false is 0, true has all
 * bits set. */
#define KESTRUNE_FALSE 0
#define KESTRUNE_TRUE (-1)

/* Opens `path` (a null pointer counts as the empty path) read-only and maps
 * the whole file. Returns the new handle, or null when a step fails: the
 * calling thread's last error then holds that step's errno (ENOENT for a
 * missing file, EINVAL for an empty one, EISDIR for a directory, ENODEV for
 * another file that is not a regular file, ENOMEM when the handle cannot be
 * allocated) and nothing stays open. A successful open leaves the last error
 * as it was.
 *
 * The file must not be shortened by anyone while it is open: like every
 * mapped file, reading pages cut off behind the mapping raises SIGBUS. */
KESTRUNE_API AbilityFile* OpenAbilityFile(const char* path);

/* Unmaps and frees an open handle, sets the last error to 0 and returns
 * KESTRUNE_TRUE. Returns KESTRUNE_FALSE, touching nothing, for null, for a
 * pointer that is not an open handle of this library (one already closed
 * included) and for a handle whose tag is not "KRXA". */
KESTRUNE_API int32_t CloseAbilityFile(AbilityFile* file);

/* Fills in the name, colour and format of ability `info->number` and returns
 * KESTRUNE_TRUE. A number above H, or whose entry does not lie wholly inside
 * the file, gives "Unknown", colour 7 and format 0, and is not an error.
 * Returns KESTRUNE_FALSE, leaving `info` as it is, when `file` is not an open
 * handle (see CloseAbilityFile), when `info` is null or when `info->size` is
 * not KESTRUNE_ABILITY_INFO_SIZE. */
KESTRUNE_API int32_t GetAbilityInfo(AbilityFile* file, AbilityInfo* info);

/* The calling thread's last error; resets it to 0. */
KESTRUNE_API int32_t GetAbilityLastError(void);

/* Sets the calling thread's last error. */
KESTRUNE_API void SetAbilityLastError(int32_t code);

#ifdef __cplusplus
}
#endif

#endif /* KESTRUNE_KESTRUNE_H */
