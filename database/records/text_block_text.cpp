#include "database/records/text_block_text.h"

namespace torvex {

std::string DecodeStoredText(std::string_view stored) {
  const size_t end = stored.find('\0');
  std::string out(stored.substr(0, end));
  for (char& ch : out) ch = static_cast<char>(static_cast<uint8_t>(ch) - 32);
  return out;
}

std::string DecodeTextBlock(const TextBlockRecord& record) {
  // text() stops at the zero byte or the end of the text area, whichever comes first.
  return DecodeStoredText(record.text());
}

std::string EncodeStoredText(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(static_cast<uint8_t>(ch) + 32);
  return out;
}

bool IsStorableText(std::string_view text) {
  return text.find(static_cast<char>(kUnstorableTextChar)) == std::string_view::npos;
}

}  // namespace torvex
