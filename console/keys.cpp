#include "console/keys.h"

#include "console/console.h"

namespace torvex {

int ReadWholeKey(Console& console) {
  const uint8_t code = console.ReadKey();
  if (code != 0) return code;
  return key::Extended(console.ReadKey());
}

bool ReadWholeKeyWithin(Console& console, int milliseconds, int* whole) {
  uint8_t code = 0;
  if (!console.ReadKeyWithin(milliseconds, &code)) return false;
  *whole = code != 0 ? code : key::Extended(console.ReadKey());
  return true;
}

}  // namespace torvex
