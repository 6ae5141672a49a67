// What a browser's search looks for once the user has answered its prompt: a
// test on record bytes and the text to show when no record passes it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace torvex {

struct SearchQuery {
  // Called with the bytes of each record the scan reads, exactly as many as the
  // record manager returned; the test must not read beyond them.
  std::function<bool(std::span<const uint8_t> record)> matches;
  // Shown in the "No Results" window.
  std::string notFound;
};

// True when `needle` occurs in `haystack`, ignoring the case of ASCII letters.
// An empty needle occurs everywhere.
bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle);

// "No records matching your search query, \"<text>\", were found."
std::string SearchNotFoundText(std::string_view text);

}  // namespace torvex
