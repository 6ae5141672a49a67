// The stored form of text-block text. The game keeps every character of a text
// block raised by 32 (modulo 256) and ends the text with a zero byte; this is
// the one place that converts between that form and readable text. The world
// builder, the text-block browser and the script interpreter all use it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "database/records/records.h"

namespace torvex {

// The readable character that the stored form cannot carry: raised by 32 it
// becomes the zero byte that ends the text.
inline constexpr uint8_t kUnstorableTextChar = 224;

// The readable text of `stored`: its bytes up to the first zero byte (all of
// them when there is none), each lowered by 32. Bytes after the zero are never
// read.
std::string DecodeStoredText(std::string_view stored);

// The readable text of `record`: its text area up to the stored terminator,
// never past the end of the area, decoded into a copy. The record is not
// changed.
std::string DecodeTextBlock(const TextBlockRecord& record);

// The stored form of `text`: every byte raised by 32. A kUnstorableTextChar
// becomes zero and would end the stored text there; callers that take text
// from outside check IsStorableText first.
std::string EncodeStoredText(std::string_view text);

// True when `text` holds no kUnstorableTextChar, so that its stored form
// decodes back to the whole of it.
bool IsStorableText(std::string_view text);

}  // namespace torvex
