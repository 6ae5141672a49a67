// Driver for fuzz targets when libFuzzer is not in use: feeds every file of the
// corpus directories named on the command line, then a bounded number of inputs
// derived from them by simple mutations, to LLVMFuzzerTestOneInput.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (seeds.empty()) seeds.emplace_back();
  for (const auto& s : seeds) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  }
  // A fixed seed keeps runs repeatable; a failure prints the input that caused it.
  std::mt19937 rng(12345);
  const int kRounds = 20000;
  for (int round = 0; round < kRounds; ++round) {
    std::string input = seeds[rng() % seeds.size()];
    int edits = 1 + rng() % 8;
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 4) {
        case 0:
          if (!input.empty()) input[rng() % input.size()] = static_cast<char>(rng());
          break;
        case 1:
          input.insert(input.begin() + (input.empty() ? 0 : rng() % (input.size() + 1)),
                       static_cast<char>(rng()));
          break;
        case 2:
          if (!input.empty()) input.erase(rng() % input.size(), 1 + rng() % 4);
          break;
        default:
          if (!input.empty()) input.resize(rng() % (input.size() + 1));
          break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  std::printf("replayed %zu seeds and %d generated inputs\n", seeds.size(), kRounds);
  return 0;
}
