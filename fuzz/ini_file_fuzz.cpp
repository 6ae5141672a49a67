// Reads arbitrary bytes as an ini file, looks values up, writes some back, and
// checks that the written text reads back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  torvex::TKRXIniFile ini("/nonexistent/fuzz.ini");
  ini.Parse(text);

  // Section and key names taken from the input itself, so that lookups hit.
  const std::string_view head = text.substr(0, 16);
  const std::string section = head.empty() ? "Options" : std::string(head.substr(0, 8));
  const std::string key = head.size() > 8 ? std::string(head.substr(8)) : "Key";
  ini.ReadString("Options", "DataDirectory", "");
  ini.ReadInteger(section, key, 7);
  ini.ReadInt64("Simulator", "RoomExp", 0);
  ini.ReadBool(section, "StartupCheck", true);
  ini.ReadSectionValues(section);
  ini.ReadSectionValues("baseline");

  const std::string value(text.substr(text.size() / 2));
  ini.WriteString(section, key, value);
  ini.WriteString("Options", "DataDirectory", value);
  ini.WriteInteger("Simulator", "RoomExp", -5);
  const std::string first = ini.Text();

  torvex::TKRXIniFile again("/nonexistent/fuzz.ini");
  again.Parse(first);
  if (again.Text() != first) std::abort();
  // A written value reads back as written, whatever bytes it held, as long as
  // the names could be written at all.
  if (ini.ValueExists("Options", "DataDirectory") &&
      again.ReadString("Options", "DataDirectory", "") !=
          ini.ReadString("Options", "DataDirectory", "")) {
    std::abort();
  }
  if (again.ReadInt64("Simulator", "RoomExp", 0) != -5) std::abort();
  return 0;
}
