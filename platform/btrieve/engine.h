// The record-file engine behind BTRCALL: open files and their position blocks, the
// cache of loaded files, and every operation. BTRCALL forwards to TheEngine(); tests
// may build their own Engine with other loaders.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/btrieve/file_loader.h"

namespace torvex::btrieve {

class Engine {
 public:
  explicit Engine(std::vector<std::unique_ptr<FileLoader>> loaders = DefaultLoaders());
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // One BTRCALL; the parameters are as btrieve.h describes them.
  int16_t Call(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
               void* keyBuffer, uint8_t keyLength, int8_t keyNumber);
  // Commits, closes every handle (their position blocks then answer 3) and forgets every
  // loaded file. Returns 0 or the first failed commit's status.
  int16_t Stop();

  // Loaded files kept without an open handle, at most this many (least recently used
  // go first).
  static constexpr size_t kMaxIdleFiles = 32;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The engine of the running program.
Engine& TheEngine();

}  // namespace torvex::btrieve
