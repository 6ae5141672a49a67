// torvex: the program's entry point. Everything it does lives in the shell
// library; this file only connects it to the process and the terminal.
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/ability_names.h"
#include "platform/system_info.h"
#include "platform/terminal/cp437.h"
#include "platform/terminal/terminal_display.h"
#include "platform/tty.h"
#include "shell/preferences.h"
#include "shell/program_viewers.h"
#include "shell/torvex_app.h"

int main(int argc, char** argv) {
  using namespace torvex;
  std::setlocale(LC_ALL, "");
  const bool utf8 = LocaleIsUtf8();

  std::unique_ptr<TerminalDisplay> terminal;
  ShellEnvironment env;
  env.writeLine = [utf8](const std::string& line) {
    const std::string text = utf8 ? Cp437ToUtf8(line) : line;
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
  env.openDisplay = [&terminal]() -> Display& {
    std::string error;
    terminal = TerminalDisplay::Open(STDIN_FILENO, STDOUT_FILENO, &error);
    if (!terminal) throw DisplayUnavailable(error);
    return *terminal;
  };
  env.closeDisplay = [&terminal](const Frame* farewell) {
    if (terminal) terminal->Shutdown(farewell);
  };
  env.waitForKey = WaitForKeyOnTerminal;
  TerminalSize(&env.startColumns, &env.startRows);
  env.pauseAtExit = StartedInOwnWindow();
  env.cpuLabel = CpuLabel();
  env.iniPath = DefaultIniPath();
  env.loadPreferences = [](const std::string& path) {
    const PreferencesResult result = LoadPreferences(path);
    return result.ok ? std::string() : result.message;
  };
  env.savePreferences = [] {
    const PreferencesResult result = SavePreferences();
    return result.ok ? std::string() : result.message;
  };
  env.makeViewers = MakeProgramViewers;

  // The ability names are there before anything is shown, and until the very end.
  OpenAbilityNames();
  SetProgramArguments(std::vector<std::string>(argv, argv + argc));
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = TorvexMain(args, env, [](const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  });
  // TorvexMain has written the preferences on every way out after a load (also
  // after SIGTERM and SIGHUP); help, credits and a run without a terminal load
  // none and write none.
  CloseAbilityNames();
  return status;
}
