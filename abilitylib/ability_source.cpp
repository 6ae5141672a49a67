#include "abilitylib/ability_source.h"

#include <toml++/toml.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "abilitylib/ability_file_format.h"

namespace torvex {
namespace {

constexpr size_t kMaxNameLength = 63;

std::string At(const toml::node& node) {
  return "line " + std::to_string(node.source().begin.line) + ": ";
}

std::optional<int64_t> IntegerIn(const toml::table& entry, std::string_view key, int64_t lowest,
                                 int64_t highest, std::string& error) {
  const toml::node* node = entry.get(key);
  if (node == nullptr || !node->is_integer()) {
    error = At(entry) + "\"" + std::string(key) + "\" must be an integer";
    return std::nullopt;
  }
  const int64_t value = node->as_integer()->get();
  if (value < lowest || value > highest) {
    error = At(*node) + "\"" + std::string(key) + "\" is " + std::to_string(value) + ", outside " +
            std::to_string(lowest) + ".." + std::to_string(highest);
    return std::nullopt;
  }
  return value;
}

bool NameIsValid(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return c >= 0x20 && c <= 0x7E && c != '|'; });
}

}  // namespace

bool ParseAbilitySource(std::string_view text, std::vector<AbilityDescription>& out,
                        std::string& error) {
  out.clear();
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error& e) {
    error = "line " + std::to_string(e.source().begin.line) + ": " + std::string(e.description());
    return false;
  }
  const toml::array* list = root["abilities"].as_array();
  if (list == nullptr) {
    error = "no \"abilities\" array";
    return false;
  }
  std::set<uint16_t> seen;
  for (const toml::node& node : *list) {
    const toml::table* entry = node.as_table();
    if (entry == nullptr) {
      error = At(node) + "each ability must be a table";
      return false;
    }
    for (const auto& [key, value] : *entry) {
      if (key != "number" && key != "name" && key != "colour" && key != "format") {
        error = At(value) + "unknown key \"" + std::string(key.str()) + "\"";
        return false;
      }
    }
    const auto number = IntegerIn(*entry, "number", 0, 65535, error);
    if (!number) return false;
    const auto colour = IntegerIn(*entry, "colour", 0, 255, error);
    if (!colour) return false;
    const auto format = IntegerIn(*entry, "format", 0, ability_file::kFormatCount - 1, error);
    if (!format) return false;
    const toml::node* name = entry->get("name");
    if (name == nullptr || !name->is_string() || !NameIsValid(name->as_string()->get())) {
      error = At(*entry) + "\"name\" must be 1 to " + std::to_string(kMaxNameLength) +
              " printable ASCII characters without \"|\"";
      return false;
    }
    if (!seen.insert(static_cast<uint16_t>(*number)).second) {
      error = At(*entry) + "ability " + std::to_string(*number) + " is described twice";
      return false;
    }
    out.push_back({static_cast<uint16_t>(*number), name->as_string()->get(),
                   static_cast<uint8_t>(*colour), static_cast<uint8_t>(*format)});
  }
  if (out.empty()) {
    error = "the \"abilities\" array is empty";
    return false;
  }
  std::sort(out.begin(), out.end(), [](const AbilityDescription& a, const AbilityDescription& b) {
    return a.number < b.number;
  });
  return true;
}

std::vector<uint8_t> EncodeAbilityFile(std::span<const AbilityDescription> abilities) {
  namespace fmt = ability_file;
  uint32_t highest = 0;
  for (const auto& a : abilities) highest = std::max<uint32_t>(highest, a.number);
  const size_t namesStart = fmt::kHeaderSize + fmt::kEntrySize * (size_t{highest} + 1);
  std::vector<uint8_t> bytes(namesStart, 0);
  fmt::WriteU32(bytes.data() + fmt::kHighestNumberOffset, highest);

  std::map<std::string, uint32_t> nameOffsets;
  auto nameOffset = [&](const std::string& name) {
    auto [it, added] = nameOffsets.emplace(name, static_cast<uint32_t>(bytes.size()));
    if (added) {
      bytes.insert(bytes.end(), name.begin(), name.end());
      bytes.push_back(0);
    }
    return it->second;
  };
  auto writeEntry = [&](uint32_t number, uint32_t name, uint32_t colour, uint8_t format) {
    uint8_t* entry = bytes.data() + fmt::kHeaderSize + fmt::kEntrySize * number;
    fmt::WriteU32(entry + fmt::kNameOffsetField, name);
    fmt::WriteU32(entry + fmt::kColourField, colour);
    entry[fmt::kFormatField] = format;
  };

  std::vector<bool> described(size_t{highest} + 1, false);
  for (const auto& a : abilities) {
    const uint32_t name = nameOffset(a.name);  // may grow `bytes`: take it first
    writeEntry(a.number, name, a.colour, a.format);
    described[a.number] = true;
  }
  for (uint32_t n = 0; n <= highest; ++n) {
    if (described[n]) continue;
    const uint32_t name = nameOffset(fmt::kUnknownName);
    writeEntry(n, name, fmt::kUnknownColour, fmt::kUnknownFormat);
  }
  return bytes;
}

}  // namespace torvex
