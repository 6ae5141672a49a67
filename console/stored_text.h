// Stored texts with placeholders: message lines read from the game's files that
// carry "%s" and "%d" for values the program fills in. A stored text is data,
// never a printf format: it is scanned once, here, and nothing it or an argument
// holds can make the program read or write anything else.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvex {

// Fills `text` by scanning it once from the start:
// - "%s" is replaced by the next entry of `texts`, as it is;
// - "%d" is replaced by the next entry of `numbers`, in decimal with a "-" when
//   negative and no grouping;
// - any other "%" is copied as it is and scanning goes on with the character
//   after it, so "%%" stays "%%", "%5d" stays "%5d", a "%" at the end stays, and
//   "%%s" gives "%" followed by a text;
// - everything else is copied byte for byte (colour codes included).
// "%s" and "%d" draw from their own lists, in order. A placeholder beyond the
// end of its list gives an empty text or 0, so a stored text with more
// placeholders than the program expects still gives a whole line; arguments
// left over are not used. What an argument holds is never scanned.
std::string FillStoredText(std::string_view text, std::span<const std::string> texts,
                           std::span<const int64_t> numbers);

}  // namespace torvex
