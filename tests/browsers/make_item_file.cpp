// Writes a small item file, WCCITEM2.VIR, into the directory named on the
// command line, for end-to-end runs of the item browser.
#include <cstdio>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

int main(int argc, char** argv) {
  using namespace torvex;
  using namespace torvex::btrieve::testing;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_item_file <directory>\n");
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/WCCITEM2.VIR";
  const auto spec = CreateSpec(
      ItemRecord::kDiskLength, 4096, 0,
      {{Segment{1, 4, btrieve::key_flag::kExtendedType, btrieve::key_type::kAutoIncrement}}});
  if (Create(path, spec) != 0) return 1;
  File file;
  if (file.Open(path) != 0) return 1;
  struct Sample {
    uint32_t number;
    const char* name;
    const char* description;
  };
  const Sample samples[] = {{1, "Rusty Dagger", "A short blade, pitted with rust."},
                            {2, "Oak Staff", "A walking staff of dark oak."},
                            {10, "Glass Orb", "It hums when held."},
                            {11, "Silver Ring", "A plain band of silver."}};
  for (const Sample& s : samples) {
    ItemRecord item;
    item.setNumber(s.number);
    item.setName(s.name);
    item.setDescription(0, s.description);
    item.setCost(static_cast<uint16_t>(s.number * 10));
    item.setCostCurrency(2);
    item.setGettable(1);
    if (file.Insert({item.bytes().begin(), item.bytes().end()}) != 0) return 1;
  }
  return file.Close() == 0 ? 0 : 1;
}
