#include "shell/preferences.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string_view>
#include <variant>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/input_field.h"
#include "console/input_manager.h"
#include "console/keys.h"
#include "platform/program.h"
#include "platform/system_info.h"
#include "screens/screens.h"

namespace torvex {
namespace {

// ---------------------------------------------------------------------------
// The "Simulator" keys that are not the walker's holdings, in file order.

using IntField = int32_t SimulatorSettings::*;
using Int64Field = int64_t SimulatorSettings::*;
using BoolField = bool SimulatorSettings::*;
using TextField = std::string SimulatorSettings::*;

struct SimulatorKey {
  const char* name;
  std::variant<IntField, Int64Field, BoolField, TextField> field;
};

// Keys before the holdings in the table of the file, then those after them.
const SimulatorKey kSimulatorKeys[] = {
    {"RoomTitleOptions", &SimulatorSettings::roomTitleOptions},
    {"Brief", &SimulatorSettings::brief},
    {"Palette", &SimulatorSettings::palette},
    {"Style", &SimulatorSettings::style},
    {"Talk", &SimulatorSettings::talk},
    {"Response", &SimulatorSettings::response},
    {"RoomExitOptions", &SimulatorSettings::roomExitOptions},
    {"RoomItemOptions", &SimulatorSettings::roomItemOptions},
    {"RoomMonsterOptions", &SimulatorSettings::roomMonsterOptions},
    {"RoomTextBlockDebuggingOptions", &SimulatorSettings::roomTextBlockDebuggingOptions},
    {"RoomMapOptions", &SimulatorSettings::roomMapOptions},
    {"RoomRunicCoinName", &SimulatorSettings::roomRunicCoinName},
    {"RoomFirstName", &SimulatorSettings::roomFirstName},
    {"RoomLastName", &SimulatorSettings::roomLastName},
    {"RoomSTR", &SimulatorSettings::roomStr},
    {"RoomAGL", &SimulatorSettings::roomAgl},
    {"RoomINT", &SimulatorSettings::roomInt},
    {"RoomHEA", &SimulatorSettings::roomHea},
    {"RoomWIL", &SimulatorSettings::roomWil},
    {"RoomCHA", &SimulatorSettings::roomCha},
    {"RoomExp", &SimulatorSettings::roomExp},
    {"RoomRace", &SimulatorSettings::roomRace},
    {"RoomClass", &SimulatorSettings::roomClass},
    {"RoomLevel", &SimulatorSettings::roomLevel},
    {"RoomRandomHP", &SimulatorSettings::roomRandomHp},
    {"RoomEP", &SimulatorSettings::roomEp},
    {"RoomHairColor", &SimulatorSettings::roomHairColor},
    {"RoomHairLength", &SimulatorSettings::roomHairLength},
    {"RoomEyeColor", &SimulatorSettings::roomEyeColor},
    {"RoomGender", &SimulatorSettings::roomGender},
    {"RoomRolled", &SimulatorSettings::roomRolled},
    {"ItemAgility", &SimulatorSettings::itemAgility},
    {"ItemStrength", &SimulatorSettings::itemStrength},
    {"ItemEnc", &SimulatorSettings::itemEnc},
    {"ItemMaxEnc", &SimulatorSettings::itemMaxEnc},
    {"ItemCombat", &SimulatorSettings::itemCombat},
    {"ItemLevel", &SimulatorSettings::itemLevel},
    {"ItemCritBonus", &SimulatorSettings::itemCritBonus},
    {"SpellLevel", &SimulatorSettings::spellLevel},
    {"SpellMR", &SimulatorSettings::spellMr},
    {"SpellAntiMagic", &SimulatorSettings::spellAntiMagic},
};

// ---------------------------------------------------------------------------
// The goto locations written into a file that has none.

struct DefaultGotoSection {
  const char* name;
  const char* lines[14];  // "name=room/map", null after the last
};

const DefaultGotoSection kDefaultGotos[] = {
    {"baseline",
     {"support=164/1", "newhaven=2150/1", "silvermere=2189/1", "earthen-tomb=142/1", "mummy=1309/1",
      "chest=2123/1", "thrag=1810/1", "dreary=1136/7", "dhelvanen=1008/7", "ice-sorceress=245/10",
      "aged-titan=271/10", "cracked-worms=1406/7", "kotar=1402/7", "greendragons=3111/1"}},
    {"ganghouses",
     {"redhouse=903/15", "orangehouse=874/15", "yellowhouse=882/15", "greenhouse=923/15",
      "bluehouse=947/15", "violethouse=891/15", "blackhouse=933/15", "silverhouse=909/15",
      "goldhouse=862/15", "whitehouse=850/15"}},
    {"module 1",
     {"rhudaur=2519/2", "markus=2518/2", "grey-lord=160/1", "annora=1333/1", "balthazar=2577/2"}},
    {"module 2",
     {"silvery-pool=2411/1", "ancient-willow=213/3", "quickling-lord=254/3", "wood-elves=497/3",
      "ruins=613/3", "wastelands=669/3"}},
    {"module 3", {"gnomes=459/8", "dark-elves=486/8", "wererats=910/8", "angel=1040/8"}},
    {"module 4",
     {"khazarad=1249/6", "crater=1/6", "salamanders=1210/6", "orfeo=126/6", "blackdragons=426/6",
      "duergars=2649/6", "coppermine=1626/6", "silvermine=2354/6", "goldmine=2690/6",
      "mithrilmine=2890/6", "shrine=3109/6", "kobolds=834/6"}},
    {"module 5",
     {"roots=500/9", "eggs=717/9", "quartz=870/9", "acid-gland=146/9", "morukai=1425/9",
      "catacombs=1177/9", "shadowfist=930/9"}},
    {"module 6",
     {"nekojins=49/12", "miner=1120/12", "black-pit=1171/12", "seeress=1192/12", "pyramid=1800/12",
      "manscorpions=1766/12", "hydra=1799/12", "saracens=2123/12", "rakshashas=118/12",
      "bluedragons=2338/12"}},
    {"module 7",
     {"putakwa=2663/16", "sylk=1382/16", "tasloi=24/16", "volcano=1992/16", "vashti=2892/16",
      "demonling=2118/16", "phoenix=2160/16", "seher=2666/16", "sailor=2665/16", "lostcity=426/16",
      "kuel=2667/16", "hill-giants=801/16", "stone-giants=1095/16", "storm-giants=1184/16"}},
    {"module 8",
     {"orc-warlord=183/15", "nanatis=279/15", "whitedragons=794/15", "crimsonfort=1099/15"}},
    {"module 9",
     {"mausoleum=246/17", "abandoned-inn=2810/17", "arlysia=2269/17", "hanging-tree=2833/17",
      "ancient-gypsy=776/17", "darken-beast-lord=2815/17", "dreadlord-of-blood=979/17",
      "enigma-lord=2586/17", "midnight-dragon=1772/17", "blocked-cave=858/17",
      "grand-hallway=2982/17"}},
};

// ---------------------------------------------------------------------------

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// A decimal number of a goto line; 0 when it is not one or does not fit.
int32_t GotoNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) return 0;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int16_t ReadInt16(const TKRXIniFile& ini, const std::string& key, int16_t current) {
  const int32_t value = ini.ReadInteger(kSimulatorSection, key, current);
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    return current;
  }
  return static_cast<int16_t>(value);
}

PreferencesResult Failure(std::string message) {
  return {false, std::move(message)};
}

constexpr char kHelpText[] =
    "Use the following keys to modify your preferences or leave this menu:\r\n"
    "\r\n"
    "  1    Modify the database path where TORVEX looks\r\n"
    "       for DNMW data\r\n"
    "  2    Change the files TORVEX uses to view, by\r\n"
    "       default TORVEX uses the VIR files, but using\r\n"
    "       this, you can have TORVEX access the DAT\r\n"
    "       files instead\r\n"
    "  Q    Exit the preferences editor\r\n"
    "\r\n"
    "It is important that you set your database directory to the correct location.  It is "
    "also important that the full path plus filenames does not exceed 80 characters total.  "
    "TORVEX attempts to shorten the path at runtime by using relative or shortened pathnames "
    "if possible.";

// Width of the directory field of the editor.
constexpr int kDirectoryFieldLength = 72;

// Writes `text` as it is (no colour codes, no controls) in white at a place.
void WritePlainAt(Console& console, int column, int row, const std::string& text) {
  console.GotoXY(column, row);
  console.TextColor(15);
  const bool raw = console.RawOutput();
  console.SetRawOutput(true);
  console.Write(text);
  console.SetRawOutput(raw);
}

std::string CurrentDirectoryText() {
  std::error_code ec;
  const auto cwd = std::filesystem::current_path(ec);
  return ec ? std::string(".") : cwd.string();
}

bool MakeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string DefaultIniPathFor(const char* xdgConfigHome, const char* home,
                              const std::string& currentDirectory) {
  std::string base;
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home && home[0] != '\0') {
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (!base.empty() && MakeDirectory(base) && MakeDirectory(base + "/torvex")) {
    return base + "/torvex/torvex.ini";
  }
  return currentDirectory + "/torvex.ini";
}

std::string DefaultIniPath() {
  const char* home = std::getenv("HOME");
  std::string account;
  if (!home || !*home) {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) account = pw->pw_dir;
    home = account.c_str();
  }
  return DefaultIniPathFor(std::getenv("XDG_CONFIG_HOME"), home, CurrentDirectoryText());
}

Preferences::Preferences(Settings& settings, std::string currentDirectory)
    : settings_(settings), currentDirectory_(std::move(currentDirectory)) {}

PreferencesResult Preferences::Load(const std::string& iniPath) {
  ini_ = std::make_unique<TKRXIniFile>(iniPath);
  settings_.iniFileName = iniPath;
  PreferencesResult result;
  if (ini_->Load() == TKRXIniFile::LoadResult::kUnreadable) {
    result = Failure("Preferences not read, defaults used, file left alone: " + ini_->LoadError());
  }
  ReadOptions();
  ReadSimulator();
  SetDataDirectory(settings_.configuredDataDirectory);
  PreferencesResult gotos = ReadGotoSections();
  if (result.ok && !gotos.ok) result = gotos;
  ReadMacros();
  ReadHoldings();
  return result;
}

void Preferences::ReadOptions() {
  const TKRXIniFile& ini = *ini_;
  Settings& s = settings_;
  s.configuredDataDirectory =
      NormaliseDataDirectory(ini.ReadString(kOptionsSection, "DataDirectory", currentDirectory_));
  s.startup.startMaximized = ini.ReadBool(kOptionsSection, "StartMaximized", true);
  s.startup.startupCheck = ini.ReadBool(kOptionsSection, "StartupCheck", true);
  s.database.useDatFiles = ini.ReadBool(kOptionsSection, "UseDATFiles", false);
  s.iniDataVersion = ini.ReadInteger(kOptionsSection, "IniDataVersion", 0);
}

void Preferences::ReadSimulator() {
  const TKRXIniFile& ini = *ini_;
  SimulatorSettings& sim = settings_.simulator;
  if (sim.roomFirstName.empty()) sim.roomFirstName = UserName();
  for (const SimulatorKey& key : kSimulatorKeys) {
    std::visit(
        [&](auto field) {
          auto& value = sim.*field;
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            value = ini.ReadString(kSimulatorSection, key.name, value);
          } else if constexpr (std::is_same_v<T, bool>) {
            value = ini.ReadBool(kSimulatorSection, key.name, value);
          } else if constexpr (std::is_same_v<T, int64_t>) {
            value = ini.ReadInt64(kSimulatorSection, key.name, value);
          } else {
            value = ini.ReadInteger(kSimulatorSection, key.name, value);
          }
        },
        key.field);
  }
  if (sim.roomExp < 0) sim.roomExp = 0;
  // Files of the first kind held a wrong encumbrance here.
  if (settings_.iniDataVersion == 0) sim.itemEnc = 2400;
}

PreferencesResult Preferences::ReadGotoSections() {
  PreferencesResult result;
  TKRXIniFile& ini = *ini_;
  if (!ini.ValueExists(kSimulatorSection, "GotoSections")) {
    ini.WriteString(kSimulatorSection, "GotoSections", kDefaultGotoSections);
    for (const DefaultGotoSection& section : kDefaultGotos) {
      for (const char* line : section.lines) {
        if (!line) break;
        const std::string_view text(line);
        const size_t equals = text.find('=');
        ini.WriteString(section.name, text.substr(0, equals), text.substr(equals + 1));
      }
    }
    std::string error;
    if (!ini.Save(&error)) result = Failure("Goto locations not saved: " + error);
  }

  settings_.gotoSectionNames = ini.ReadString(kSimulatorSection, "GotoSections", "");
  settings_.gotoSections.clear();
  std::string_view names = settings_.gotoSectionNames;
  while (!names.empty()) {
    const size_t comma = names.find(',');
    const std::string_view name = TrimBlanks(names.substr(0, comma));
    names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
    if (name.empty()) continue;
    TGotoSectionEntry group;
    group.name = std::string(name);
    for (const auto& [key, value] : ini.ReadSectionValues(name)) {
      const size_t slash = value.find('/');
      TGotoEntry entry;
      entry.name = LowerCase(key);
      entry.room = GotoNumber(std::string_view(value).substr(0, slash));
      entry.map =
          slash == std::string::npos ? 0 : GotoNumber(std::string_view(value).substr(slash + 1));
      group.entries.push_back(std::move(entry));
    }
    settings_.gotoSections.push_back(std::move(group));
  }
  return result;
}

void Preferences::ReadMacros() {
  for (int kind = 0; kind < kMacroKinds; ++kind) {
    const char* stem = MacroKeyStem(static_cast<MacroKind>(kind));
    auto& slots = settings_.macros[static_cast<size_t>(kind)];
    for (int slot = 0; slot < kMacroSlots; ++slot) {
      auto& text = slots[static_cast<size_t>(slot)];
      text = ini_->ReadString(kMacrosSection, Format("%s%d", stem, slot), text);
    }
  }
}

void Preferences::ReadHoldings() {
  const TKRXIniFile& ini = *ini_;
  WalkerHoldings& h = settings_.holdings;
  auto readSlots = [&](const char* stem, auto& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      const std::string key = Format("%s%zu", stem, i);
      using T = std::decay_t<decltype(values[i])>;
      if constexpr (std::is_same_v<T, int16_t>) {
        values[i] = ReadInt16(ini, key, values[i]);
      } else {
        values[i] = ini.ReadInteger(kSimulatorSection, key, values[i]);
      }
    }
  };
  readSlots("RoomItem", h.items);
  readSlots("RoomItemUses", h.itemUses);
  readSlots("RoomKey", h.keys);
  readSlots("RoomKeyUses", h.keyUses);
  readSlots("RoomWornItem", h.wornItems);
  readSlots("RoomWornItemUses", h.wornItemUses);
  h.weapon = ini.ReadInteger(kSimulatorSection, "RoomSimWeapon", h.weapon);
  h.runic = ini.ReadInteger(kSimulatorSection, "RoomRunic", h.runic);
  h.platinum = ini.ReadInteger(kSimulatorSection, "RoomPlatinum", h.platinum);
  h.gold = ini.ReadInteger(kSimulatorSection, "RoomGold", h.gold);
  h.silver = ini.ReadInteger(kSimulatorSection, "RoomSilver", h.silver);
  h.copper = ini.ReadInteger(kSimulatorSection, "RoomCopper", h.copper);
  h.torchItemIndex = ini.ReadInteger(kSimulatorSection, "RoomTorchItemIdx", h.torchItemIndex);
}

void Preferences::SetDataDirectory(const std::string& configured) {
  settings_.configuredDataDirectory = configured;
  settings_.database.dataDirectory =
      EffectiveDataDirectory(configured, currentDirectory_, &settings_.dataDirectoryNotice);
}

PreferencesResult Preferences::Save() {
  if (!ini_) return {};
  TKRXIniFile& ini = *ini_;
  const Settings& s = settings_;
  ini.WriteInteger(kOptionsSection, "IniDataVersion", 1);
  ini.WriteString(kOptionsSection, "DataDirectory", s.configuredDataDirectory);
  ini.WriteBool(kOptionsSection, "StartMaximized", s.startup.startMaximized);
  ini.WriteBool(kOptionsSection, "StartupCheck", s.startup.startupCheck);
  ini.WriteBool(kOptionsSection, "UseDATFiles", s.database.useDatFiles);
  WriteSimulator();
  for (int kind = 0; kind < kMacroKinds; ++kind) {
    const char* stem = MacroKeyStem(static_cast<MacroKind>(kind));
    for (int slot = 0; slot < kMacroSlots; ++slot) {
      ini.WriteString(kMacrosSection, Format("%s%d", stem, slot),
                      s.macros[static_cast<size_t>(kind)][static_cast<size_t>(slot)]);
    }
  }
  WriteHoldings();
  std::string error;
  if (!ini.Save(&error)) return Failure("Preferences not saved: " + error);
  return {};
}

void Preferences::WriteSimulator() {
  const SimulatorSettings& sim = settings_.simulator;
  for (const SimulatorKey& key : kSimulatorKeys) {
    std::visit(
        [&](auto field) {
          const auto& value = sim.*field;
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            ini_->WriteString(kSimulatorSection, key.name, value);
          } else if constexpr (std::is_same_v<T, bool>) {
            ini_->WriteBool(kSimulatorSection, key.name, value);
          } else {
            ini_->WriteInteger(kSimulatorSection, key.name, value);
          }
        },
        key.field);
  }
}

void Preferences::WriteHoldings() {
  const WalkerHoldings& h = settings_.holdings;
  auto writeSlots = [&](const char* stem, const auto& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      ini_->WriteInteger(kSimulatorSection, Format("%s%zu", stem, i), values[i]);
    }
  };
  writeSlots("RoomItem", h.items);
  writeSlots("RoomItemUses", h.itemUses);
  writeSlots("RoomKey", h.keys);
  writeSlots("RoomKeyUses", h.keyUses);
  writeSlots("RoomWornItem", h.wornItems);
  writeSlots("RoomWornItemUses", h.wornItemUses);
  ini_->WriteInteger(kSimulatorSection, "RoomSimWeapon", h.weapon);
  ini_->WriteInteger(kSimulatorSection, "RoomRunic", h.runic);
  ini_->WriteInteger(kSimulatorSection, "RoomPlatinum", h.platinum);
  ini_->WriteInteger(kSimulatorSection, "RoomGold", h.gold);
  ini_->WriteInteger(kSimulatorSection, "RoomSilver", h.silver);
  ini_->WriteInteger(kSimulatorSection, "RoomCopper", h.copper);
  ini_->WriteInteger(kSimulatorSection, "RoomTorchItemIdx", h.torchItemIndex);
}

void Preferences::RunEditor(Console& console) {
  if (!ini_) return;
  TInputManager help(console);
  ApplyWindowStyle(help, kHelpStyle);
  help.Title = "Preferences Help";
  help.Prompt = kHelpText;

  bool redraw = true;
  for (;;) {
    if (redraw) {
      console.display().SetTitle(Format("%s - %s", kProgramTitle, "Preferences"));
      console.SetTextAttr(7);
      console.ClrScr();
      PaintScreenImage(console, screens::kPreferences.data, screens::kPreferences.size);
      WritePlainAt(console, 7, 3,
                   settings_.configuredDataDirectory.substr(0, kDirectoryFieldLength));
      WritePlainAt(console, 22, 4, settings_.database.useDatFiles ? "True" : "False");
      console.GotoXY(3, 49);
      redraw = false;
    }
    const int key = ReadWholeKey(console);
    // An extended key's scan code is no command.
    if (key::IsExtended(key)) continue;
    switch (key::Upper(key)) {
      case '1': {
        redraw = true;
        const std::string& current = settings_.configuredDataDirectory;
        uint8_t flags = 0;
        // The path scrolls inside the field, so a long one is edited whole.
        const std::string typed =
            InputField(console, 7, 3, current, kMaxFieldTextLength,
                       kFieldEscCancels | kFieldWhiteOnBlue, &flags, kDirectoryFieldLength);
        // A directory longer than any field holds comes back cut short when the
        // user only confirms it; that is no change.
        const bool unchanged = (flags & kFieldCancelled) != 0 || typed == current ||
                               (current.size() > static_cast<size_t>(kMaxFieldTextLength) &&
                                typed == current.substr(0, kMaxFieldTextLength));
        if (unchanged) break;
        ini_->WriteString(kOptionsSection, "DataDirectory", typed);
        SetDataDirectory(typed);
        std::string error;
        if (!ini_->Save(&error)) {
          TInputManager alert(console);
          ApplyWindowStyle(alert, kAlertStyle);
          alert.Title = "Error";
          alert.Prompt = "The database path could not be saved.\r\n\r\n" + error;
          alert.ShowMessage();
        }
        break;
      }
      case '2':
        settings_.database.useDatFiles = !settings_.database.useDatFiles;
        redraw = true;
        break;
      case '?':
        help.ShowMessage();
        break;
      case 'Q':
      case 'X':
      case key::kEscape:
        return;
      default:
        break;
    }
  }
}

namespace {

Preferences& ProgramPreferences() {
  static Preferences preferences(CurrentSettings(), CurrentDirectoryText());
  return preferences;
}

}  // namespace

PreferencesResult LoadPreferences(const std::string& iniPath) {
  return ProgramPreferences().Load(iniPath);
}

PreferencesResult SavePreferences() {
  return ProgramPreferences().Save();
}

void RunPreferencesEditor(Console& console) {
  ProgramPreferences().RunEditor(console);
}

}  // namespace torvex
