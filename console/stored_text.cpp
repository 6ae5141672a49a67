#include "console/stored_text.h"

namespace torvex {

std::string FillStoredText(std::string_view text, std::span<const std::string> texts,
                           std::span<const int64_t> numbers) {
  std::string out;
  out.reserve(text.size());
  size_t nextText = 0;
  size_t nextNumber = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char after = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '%' && after == 's') {
      if (nextText < texts.size()) out += texts[nextText];
      ++nextText;
      ++i;
    } else if (c == '%' && after == 'd') {
      out += std::to_string(nextNumber < numbers.size() ? numbers[nextNumber] : 0);
      ++nextNumber;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace torvex
