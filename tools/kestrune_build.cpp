// kestrune_build <abilities.toml> <kestrune.dat>
//
// Builds the ability file from its readable source. The output is written to a
// temporary file beside it and renamed into place, so an existing file is
// replaced whole or not at all.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "abilitylib/ability_source.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "kestrune_build: %s\n", message.c_str());
  return 1;
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  const std::string temporary = path + ".tmp";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) {
    error = temporary + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: kestrune_build <abilities.toml> <kestrune.dat>");
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return Fail(std::string(argv[1]) + ": cannot be read");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::vector<torvex::AbilityDescription> abilities;
  std::string error;
  if (!torvex::ParseAbilitySource(text, abilities, error)) {
    return Fail(std::string(argv[1]) + ": " + error);
  }
  if (!WriteWhole(argv[2], torvex::EncodeAbilityFile(abilities), error)) return Fail(error);
  return 0;
}
