#include "platform/btrieve/btrieve.h"

#include "platform/btrieve/engine.h"

extern "C" int16_t BTRCALL(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
                           void* keyBuffer, uint8_t keyLength, int8_t keyNumber) {
  return torvex::btrieve::TheEngine().Call(op, positionBlock, dataBuffer, dataLength, keyBuffer,
                                           keyLength, keyNumber);
}

extern "C" int16_t WBTRVINIT(const char*) {
  torvex::btrieve::TheEngine();
  return torvex::btrieve::status::kSuccess;
}

extern "C" int16_t WBTRVSTOP() {
  return torvex::btrieve::TheEngine().Stop();
}
