#include "search/search_query.h"

#include <algorithm>

#include "console/format.h"

namespace torvex {
namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                     [](char a, char b) { return Upper(a) == Upper(b); }) != haystack.end() ||
         needle.empty();
}

std::string SearchNotFoundText(std::string_view text) {
  return Format("No records matching your search query, \"%.*s\", were found.",
                static_cast<int>(text.size()), text.data());
}

}  // namespace torvex
