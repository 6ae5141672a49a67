#include "database/records/text_block_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvex {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

TEST(TextBlockTextTest, StoredBytesAreTheCharactersRaisedBy32) {
  struct Case {
    std::string readable;
    std::string stored;
  };
  const std::vector<Case> cases = {
      {"LOOK", "look"},
      {"A:B\n", Bytes({'A' + 32, ':' + 32, 'B' + 32, '\n' + 32})},
      // Wraps modulo 256 both ways.
      {Bytes({0xF0, 0xFF}), Bytes({0x10, 0x1F})},
      {Bytes({0x1B, '['}), Bytes({0x3B, '[' + 32})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeStoredText(c.readable), c.stored) << c.readable;
    EXPECT_EQ(DecodeStoredText(c.stored), c.readable) << c.readable;
  }
}

TEST(TextBlockTextTest, EveryStorableCharacterRoundTripsThroughARecord) {
  std::string all;
  for (int ch = 1; ch < 256; ++ch) {
    if (ch != kUnstorableTextChar) all += static_cast<char>(ch);
  }
  ASSERT_TRUE(IsStorableText(all));
  TextBlockRecord record;
  record.setText(EncodeStoredText(all));
  EXPECT_EQ(DecodeTextBlock(record), all);
}

TEST(TextBlockTextTest, TheUnstorableCharacterIsRecognised) {
  const std::string text = "ab" + Bytes({kUnstorableTextChar}) + "cd";
  EXPECT_FALSE(IsStorableText(text));
  // Its stored form is the terminator, so decoding ends before it.
  EXPECT_EQ(DecodeStoredText(EncodeStoredText(text)), "ab");
}

TEST(TextBlockTextTest, BytesAfterTheTerminatorAreNeverDecoded) {
  TextBlockRecord record;
  const std::string stored = EncodeStoredText("SAY hi") + '\0' + EncodeStoredText("HIDDEN");
  for (size_t i = 0; i < stored.size(); ++i) {
    record.data()[TextBlockRecord::kHeadSize + i] = static_cast<uint8_t>(stored[i]);
  }
  EXPECT_EQ(DecodeTextBlock(record), "SAY hi");
  EXPECT_EQ(DecodeStoredText(stored), "SAY hi");
}

TEST(TextBlockTextTest, ATextAreaWithoutTerminatorStopsAtTheRecordsEnd) {
  TextBlockRecord record;
  record.setBlockNumber(9);
  for (size_t i = TextBlockRecord::kHeadSize; i < TextBlockRecord::kSize; ++i) {
    record.data()[i] = 'x' + 32;
  }
  const TextBlockRecord before = record;
  const std::string text = DecodeTextBlock(record);
  EXPECT_EQ(text, std::string(TextBlockRecord::kTextCapacity, 'x'));
  // Decoding works on a copy: the record keeps its stored form.
  EXPECT_TRUE(record == before);
}

}  // namespace
}  // namespace torvex
