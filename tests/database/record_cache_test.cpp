#include "database/record_cache.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "database/cache_stats.h"
#include "database/records/records.h"
#include "tests/console/console_test_util.h"

namespace torvex {
namespace {

// A record whose compressed size grows with `variety` (distinct bytes defeat
// the compressor) and whose content depends on `seed`.
std::vector<uint8_t> Record(uint32_t seed, size_t variety, size_t size = 1072) {
  std::vector<uint8_t> bytes(size, 0);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < variety && i < size; ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = static_cast<uint8_t>(x >> 24);
  }
  return bytes;
}

std::vector<uint32_t> Keys(const ItemCache& cache) {
  std::vector<uint32_t> keys;
  for (const auto& entry : cache.entries()) keys.push_back(entry.key);
  return keys;
}

size_t SumOfCompressed(const ItemCache& cache) {
  size_t sum = 0;
  for (const auto& entry : cache.entries()) sum += entry.compressed.size();
  return sum;
}

TEST(RecordCacheTest, CompressionRoundTripsAndRefusesWhatDoesNotFit) {
  const std::vector<uint8_t> record = Record(3, 500);
  const std::vector<uint8_t> compressed = CompressRecord(record);
  ASSERT_FALSE(compressed.empty());
  EXPECT_LT(compressed.size(), record.size());
  std::vector<uint8_t> out(1072, 0xEE);
  EXPECT_EQ(DecompressRecord(compressed, out), 1072);
  EXPECT_EQ(out, record);
  std::vector<uint8_t> small(1000);
  EXPECT_EQ(DecompressRecord(compressed, small), -1);
  std::vector<uint8_t> damaged = compressed;
  damaged[damaged.size() / 2] ^= 0xFF;
  EXPECT_EQ(DecompressRecord(damaged, out), -1);
  EXPECT_EQ(DecompressRecord({}, out), -1);
}

TEST(RecordCacheTest, LookupMovesToTheTailAndTheHeadIsEvicted) {
  ItemCache cache(1 << 20);
  for (uint32_t key = 1; key <= 4; ++key) ASSERT_TRUE(cache.Add(key, Record(key, 200)));
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{1, 2, 3, 4}));
  ASSERT_NE(cache.Find(2), nullptr);
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{1, 3, 4, 2}));
  ASSERT_NE(cache.Find(1), nullptr);
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{3, 4, 2, 1}));
  ASSERT_NE(cache.Find(1), nullptr);  // the tail stays where it is
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{3, 4, 2, 1}));
  EXPECT_EQ(cache.Find(9), nullptr);
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{3, 4, 2, 1}));

  // Adding a present key changes nothing, not even the order.
  const size_t before = cache.bytes();
  EXPECT_TRUE(cache.Add(4, Record(99, 900)));
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{3, 4, 2, 1}));
  EXPECT_EQ(cache.bytes(), before);
  std::vector<uint8_t> out(1072);
  DecompressRecord(cache.Find(4)->compressed, out);
  EXPECT_EQ(out, Record(4, 200));

  // Now shrink the room so that the next add overflows: the head (3) goes.
  ItemCache tight(cache.bytes() + 10);
  for (uint32_t key : {3u, 4u, 2u, 1u}) tight.Add(key, Record(key, 200));
  ASSERT_EQ(tight.count(), 4u);
  tight.Find(3);  // 4 is the least recently used now
  ASSERT_TRUE(tight.Add(5, Record(5, 200)));
  EXPECT_EQ(Keys(tight), (std::vector<uint32_t>{2, 1, 3, 5}));
  EXPECT_EQ(tight.bytes(), SumOfCompressed(tight));
}

TEST(RecordCacheTest, OneEvictionPerAddEvenWhenStillOverTheLimit) {
  // Small entries fill the cache; one large entry then pushes it far over.
  const size_t smallSize = CompressRecord(Record(1, 10)).size();
  const size_t largeSize = CompressRecord(Record(100, 1072)).size();
  ASSERT_GT(largeSize, 4 * smallSize);
  ItemCache cache(6 * smallSize);
  for (uint32_t key = 1; key <= 6; ++key) ASSERT_TRUE(cache.Add(key, Record(1, 10)));
  ASSERT_EQ(cache.count(), 6u);
  EXPECT_EQ(cache.bytes(), 6 * smallSize);

  ASSERT_TRUE(cache.Add(100, Record(100, 1072)));
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{2, 3, 4, 5, 6, 100}));
  EXPECT_GT(cache.bytes(), cache.limit());
  EXPECT_EQ(cache.bytes(), SumOfCompressed(cache));

  ASSERT_TRUE(cache.Add(7, Record(1, 10)));
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{3, 4, 5, 6, 100, 7}));
  EXPECT_EQ(cache.bytes(), SumOfCompressed(cache));

  // An entry larger than the whole limit in an empty cache evicts itself.
  ItemCache tiny(8);
  EXPECT_FALSE(tiny.Add(1, Record(1, 500)));
  EXPECT_EQ(tiny.count(), 0u);
  EXPECT_EQ(tiny.bytes(), 0u);
  EXPECT_EQ(tiny.Find(1), nullptr);
}

TEST(RecordCacheTest, ClearAndRemoveKeepTheByteCount) {
  ItemCache cache(1 << 20);
  for (uint32_t key = 1; key <= 5; ++key) cache.Add(key, Record(key, key * 100));
  cache.Remove(3);
  cache.Remove(42);
  EXPECT_EQ(Keys(cache), (std::vector<uint32_t>{1, 2, 4, 5}));
  EXPECT_EQ(cache.bytes(), SumOfCompressed(cache));
  cache.Clear();
  EXPECT_EQ(cache.count(), 0u);
  EXPECT_EQ(cache.bytes(), 0u);
  // Identities go on counting after a clear.
  cache.Add(1, Record(1, 10));
  EXPECT_EQ(cache.entries().front().id, 6u);

  ProgramCaches().items.Add(1, Record(1, 10));
  ProgramCaches().rooms.Add(MakeRoomCacheKey(1, 2), Record(1, 10, 1544));
  ProgramCaches().texts.Add(MakeTextCacheKey(1, 2), Record(1, 10, 20), TextCacheHead{});
  ClearItemCache();
  ClearRoomCache();
  ClearTextCache();
  EXPECT_EQ(
      ProgramCaches().items.bytes() + ProgramCaches().rooms.bytes() + ProgramCaches().texts.bytes(),
      0u);
  EXPECT_EQ(ProgramCaches().items.limit(), 2097152u);
  EXPECT_EQ(ProgramCaches().rooms.limit(), 4194304u);
  EXPECT_EQ(ProgramCaches().texts.limit(), 4194304u);
}

TEST(RecordCacheTest, KeysKeepMapAndRoomAndBlockAndPartApart) {
  EXPECT_NE(MakeRoomCacheKey(1, 2), MakeRoomCacheKey(2, 1));
  EXPECT_NE(MakeTextCacheKey(1, 2), MakeTextCacheKey(2, 1));
  EXPECT_NE(MakeTextCacheKey(0xFFFFFFFF, 0xFFFF), MakeTextCacheKey(0xFFFFFFFE, 0xFFFF));
}

// --- Statistics screens ---

std::vector<uint8_t> NamedItem(uint32_t number, const std::string& name) {
  ItemRecord item;
  item.setNumber(number);
  item.setName(name);
  return {item.bytes().begin(), item.bytes().end()};
}

// Row `row` (0-based) of the screen as it stands, without trailing blanks.
std::string Line(const testing::HeadlessConsole& h, int row) {
  std::string text = h.Text(1, row + 1, 80);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

TEST(CacheStatsTest, ItemScreen) {
  ItemCache cache(1 << 20);
  cache.Add(12, NamedItem(12, "Lantern"));
  cache.Add(7, NamedItem(7, "A name much longer than twenty-eight characters"));
  cache.Find(12);
  testing::HeadlessConsole h;
  ShowItemCacheStats(h.console, cache);

  const size_t c7 = cache.entries().front().compressed.size();
  const size_t c12 = cache.entries().back().compressed.size();
  EXPECT_EQ(Line(h, 0), "Entry      Item # Name                         CompSize Size     Ratio");
  EXPECT_EQ(Line(h, 1), "-------- -------- ---------------------------- -------- -------- -----");
  char expected[128];
  std::snprintf(expected, sizeof expected, "00000002        7 %-28.28s %-8zu 1072     %d%%",
                "A name much longer than twenty-eight characters", c7,
                static_cast<int>((c7 * 100 + 536) / 1072));
  EXPECT_EQ(Line(h, 2), expected);
  std::snprintf(expected, sizeof expected, "00000001       12 %-28s %-8zu 1072     %d%%", "Lantern",
                c12, static_cast<int>((c12 * 100 + 536) / 1072));
  EXPECT_EQ(Line(h, 3), expected);
  EXPECT_EQ(Line(h, 4), Line(h, 1));
  std::snprintf(expected, sizeof expected, "%-46s %-8zu 2144     %d%%", "Totals", c7 + c12,
                static_cast<int>(((c7 + c12) * 100 + 1072) / 2144));
  EXPECT_EQ(Line(h, 5), expected);
  std::snprintf(expected, sizeof expected, "(2 entries displayed, %zu bytes in use)", c7 + c12);
  EXPECT_EQ(Line(h, 6), expected);
  EXPECT_EQ(h.Attr(1, 3), 7);
  EXPECT_TRUE(h.display.AtKeyWaits().empty());
}

TEST(CacheStatsTest, RoomAndTextScreens) {
  RoomCache rooms(1 << 20);
  RoomRecord room;
  room.setMapNumber(3);
  room.setRoomNumber(2189);
  room.setTitle("The Long Gallery of the Drowned Kings, north end");
  rooms.Add(MakeRoomCacheKey(3, 2189), room.bytes());
  testing::HeadlessConsole h;
  ShowRoomCacheStats(h.console, rooms);
  EXPECT_EQ(Line(h, 0),
            "Entry    Room/Map Title                              CompSize Size     Ratio");
  const size_t c = rooms.entries().front().compressed.size();
  char expected[128];
  std::snprintf(expected, sizeof expected, "00000001   2189/3 %-34.34s %-8zu 1544     %d%%",
                "The Long Gallery of the Drowned Kings, north end", c,
                static_cast<int>((c * 100 + 772) / 1544));
  EXPECT_EQ(Line(h, 2), expected);
  std::snprintf(expected, sizeof expected, "%-52s %-8zu 1544", "Totals", c);
  EXPECT_EQ(Line(h, 4).substr(0, 66), expected);

  TextCache texts(1 << 20);
  TextBlockRecord head;
  head.setBlockNumber(77);
  head.setPart(3);
  const std::string text(99, 'q');
  std::vector<uint8_t> stored(text.begin(), text.end());
  stored.push_back(0);
  TextCacheHead headBytes{};
  std::copy_n(head.data(), headBytes.size(), headBytes.begin());
  texts.Add(MakeTextCacheKey(77, 3), stored, headBytes);
  testing::HeadlessConsole t;
  ShowTextCacheStats(t.console, texts);
  EXPECT_EQ(Line(t, 0), "Entry     Block # Step     Size     CompSize Ratio");
  const size_t ct = texts.entries().front().compressed.size();
  std::snprintf(expected, sizeof expected, "00000001       77 3        100      %-8zu %d%%", ct,
                static_cast<int>((ct * 100 + 50) / 100));
  EXPECT_EQ(Line(t, 2), expected);
  // Totals follow the columns: size, then compressed size.
  std::snprintf(expected, sizeof expected, "%-26s 100      %-8zu", "Totals", ct);
  EXPECT_EQ(Line(t, 4).substr(0, 44), expected);
  EXPECT_EQ(Line(t, 5).substr(0, 22), "(1 entries displayed, ");
}

TEST(CacheStatsTest, PausesAfterEveryFortyEightLines) {
  ItemCache cache(1 << 22);
  for (uint32_t n = 1; n <= 100; ++n) cache.Add(n, NamedItem(n, "item " + std::to_string(n)));
  testing::HeadlessConsole h;
  h.display.PushText("a");
  h.display.PushVk(vk::kDown);  // an extended key counts as one key
  ShowItemCacheStats(h.console, cache);
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  const auto waits = h.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 2u);
  EXPECT_FALSE(h.console.KeyPressed());  // no scan code left behind
  // Each wait shows the prompt on the last row written, below entry 48 or 96.
  for (size_t w = 0; w < waits.size(); ++w) {
    const auto& shot = waits[w];
    int promptRow = -1;
    for (int y = 0; y < shot.height; ++y) {
      if (shot.Row(y).rfind("Press any key...", 0) == 0) promptRow = y;
    }
    ASSERT_GE(promptRow, 1) << "wait " << w;
    const std::string above = shot.Row(promptRow - 1);
    const std::string name = "item " + std::to_string(48 * (w + 1));
    EXPECT_EQ(above.substr(18, name.size() + 1), name + " ") << above;
  }
  // The last entries and the totals are written after the second key.
  EXPECT_EQ(Line(h, 48),
            "(100 entries displayed, " + std::to_string(cache.bytes()) + " bytes in use)");

  // Without a key the screen waits: the test's key script runs out.
  testing::HeadlessConsole stuck;
  EXPECT_THROW(ShowItemCacheStats(stuck.console, cache), KeyScriptExhausted);
}

}  // namespace
}  // namespace torvex
