#include "database/cache_stats.h"

#include <cstdint>
#include <string>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/records/records.h"

namespace torvex {
namespace {

constexpr int kLinesPerPause = 48;

// Counts entry lines and waits for a key after every 48 of them.
class Pager {
 public:
  explicit Pager(Console& console) : console_(console) {}
  void Line(const std::string& text) {
    WriteColourLn(console_, text);
    if (++lines_ % kLinesPerPause == 0) {
      WriteColour(console_, "Press any key...\r");
      ReadWholeKey(console_);
    }
  }
  int lines() const { return lines_; }

 private:
  Console& console_;
  int lines_ = 0;
};

struct Totals {
  uint64_t compressed = 0;
  uint64_t uncompressed = 0;
};

int Ratio(uint64_t compressed, uint64_t uncompressed) {
  return static_cast<int>(
      Percent64(static_cast<int64_t>(uncompressed), static_cast<int64_t>(compressed)));
}

void WriteEnd(Console& console, const char* rule, const char* totalsFormat, uint64_t first,
              uint64_t second, int ratio, int entries, size_t bytes) {
  WriteColourLn(console, rule);
  WriteColourLn(console, Format(totalsFormat, "Totals", static_cast<unsigned>(first),
                                static_cast<unsigned>(second), ratio));
  WriteColourLn(console, Format("(%d entries displayed, %u bytes in use)", entries,
                                static_cast<unsigned>(bytes)));
}

}  // namespace

void ShowItemCacheStats(Console& console, const ItemCache& cache) {
  constexpr char kRule[] =
      "|07-------- -------- ---------------------------- -------- -------- -----";
  WriteColourLn(console,
                "|07Entry      Item # Name                         CompSize Size     Ratio");
  WriteColourLn(console, kRule);
  Pager pager(console);
  Totals totals;
  for (const ItemCache::Entry& entry : cache.entries()) {
    ItemRecord record;
    const std::string name =
        DecompressRecord(entry.compressed, record.bytes()) >= 0 ? record.name() : std::string();
    const auto compressed = static_cast<uint32_t>(entry.compressed.size());
    totals.compressed += compressed;
    totals.uncompressed += ItemRecord::kSize;
    pager.Line(Format("%08X %8d %-28.28s %-8u %-8u %d%%", entry.id, static_cast<int>(entry.key),
                      name.c_str(), compressed, static_cast<unsigned>(ItemRecord::kSize),
                      Ratio(compressed, ItemRecord::kSize)));
  }
  WriteEnd(console, kRule, "%-46.46s %-8u %-8u %d%%", totals.compressed, totals.uncompressed,
           Ratio(totals.compressed, totals.uncompressed), pager.lines(), cache.bytes());
}

void ShowRoomCacheStats(Console& console, const RoomCache& cache) {
  constexpr char kRule[] =
      "|07-------- -------- ---------------------------------- -------- -------- -----";
  WriteColourLn(console,
                "|07Entry    Room/Map Title                              CompSize Size     Ratio");
  WriteColourLn(console, kRule);
  Pager pager(console);
  Totals totals;
  for (const RoomCache::Entry& entry : cache.entries()) {
    RoomRecord record;
    const std::string title =
        DecompressRecord(entry.compressed, record.bytes()) >= 0 ? record.title() : std::string();
    const auto map = static_cast<uint32_t>(entry.key >> 32);
    const auto room = static_cast<uint32_t>(entry.key);
    const std::string place = Format("%d/%d", static_cast<int>(room), static_cast<int>(map));
    const auto compressed = static_cast<uint32_t>(entry.compressed.size());
    totals.compressed += compressed;
    totals.uncompressed += RoomRecord::kSize;
    pager.Line(Format("%08X %8.8s %-34.34s %-8u %-8u %d%%", entry.id, place.c_str(), title.c_str(),
                      compressed, static_cast<unsigned>(RoomRecord::kSize),
                      Ratio(compressed, RoomRecord::kSize)));
  }
  WriteEnd(console, kRule, "%-52.52s %-8u %-8u %d%%", totals.compressed, totals.uncompressed,
           Ratio(totals.compressed, totals.uncompressed), pager.lines(), cache.bytes());
}

void ShowTextCacheStats(Console& console, const TextCache& cache) {
  constexpr char kRule[] = "|07-------- -------- -------- -------- -------- -----";
  WriteColourLn(console, "|07Entry     Block # Step     Size     CompSize Ratio");
  WriteColourLn(console, kRule);
  Pager pager(console);
  Totals totals;
  for (const TextCache::Entry& entry : cache.entries()) {
    TextBlockRecord head;
    std::copy(entry.head.begin(), entry.head.end(), head.data());
    const auto compressed = static_cast<uint32_t>(entry.compressed.size());
    totals.compressed += compressed;
    totals.uncompressed += entry.size;
    pager.Line(Format("%08X %8d %-8d %-8u %-8u %d%%", entry.id,
                      static_cast<int>(head.blockNumber()), static_cast<int>(head.part()),
                      entry.size, compressed, Ratio(compressed, entry.size)));
  }
  // This screen lists the uncompressed length first.
  WriteEnd(console, kRule, "%-26.26s %-8u %-8u %d%%", totals.uncompressed, totals.compressed,
           Ratio(totals.compressed, totals.uncompressed), pager.lines(), cache.bytes());
}

void ShowItemCacheStats(Console& console) {
  ShowItemCacheStats(console, ProgramCaches().items);
}
void ShowRoomCacheStats(Console& console) {
  ShowRoomCacheStats(console, ProgramCaches().rooms);
}
void ShowTextCacheStats(Console& console) {
  ShowTextCacheStats(console, ProgramCaches().texts);
}

}  // namespace torvex
