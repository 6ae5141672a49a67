#include "shell/torvex_app.h"

#include <zlib.h>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/input_manager.h"
#include "console/keys.h"
#include "database/btrieve_layer.h"
#include "database/settings.h"
#include "platform/program.h"
#include "platform/random.h"
#include "screens/screens.h"
#include "shell/startup_check.h"

namespace torvex {
namespace {

constexpr char kContact[] = "the Torvex maintainers";

void WriteBanner(ShellEnvironment& env) {
  env.writeLine(Format("\xFE %s %d.%.2d.%d.%d", kProgramTitle, kVersionMajor, kVersionMinor,
                       kVersionRelease, kVersionBuild));
  env.writeLine("  Record browser and rules simulator for Dunmarrow game operators.");
  env.writeLine("  Reads the game's record files directly; the game need not be running.");
  env.writeLine("");
  env.writeLine(Format("  Compression thanks to ZLib %s", zlibVersion()));
}

void WriteLines(ShellEnvironment& env, const std::vector<std::string>& lines) {
  for (const auto& line : lines) env.writeLine(line);
}

using Report = std::function<void(const std::string&, const std::string&)>;

// Whether the preferences were read and written in this run.
struct PreferencesState {
  bool loaded = false;
  bool saved = false;
};

// A problem with the preferences, in a window the user closes with a key.
void ShowPreferencesProblem(Console& console, const std::string& problem) {
  TInputManager alert(console);
  ApplyWindowStyle(alert, kAlertStyle);
  alert.Title = "Preferences";
  alert.Prompt = problem;
  alert.ShowMessage();
}

// Saves once after a load; `tell` gets the problem, if any.
void SavePreferencesOnce(ShellEnvironment& env, PreferencesState& state,
                         const std::function<void(const std::string&)>& tell) {
  if (!state.loaded || state.saved || !env.savePreferences) return;
  state.saved = true;
  const std::string problem = env.savePreferences();
  if (!problem.empty()) tell(problem);
}

// After the screen is given back, problems go to the report.
void SaveAfterScreen(ShellEnvironment& env, PreferencesState& state, const Report& report) {
  SavePreferencesOnce(env, state,
                      [&](const std::string& problem) { report(kProgramTitle, problem); });
}

// The program from its command line to its exit code, without the guard.
int Run(const std::vector<std::string>& args, ShellEnvironment& env, PreferencesState& prefs,
        const Report& report) {
  SeedProgramRandom();

  const CommandLine cmd = ParseCommandLine(args);
  if (cmd.action != CommandLine::Action::kRun) {
    WriteLines(env, cmd.action == CommandLine::Action::kHelp ? UsageLines() : CreditsLines());
    if (env.pauseAtExit) env.waitForKey();
    return 0;
  }
  if (!cmd.iniPath.empty()) env.iniPath = cmd.iniPath;

  WriteBanner(env);
  BtrieveInit();
  const Settings& settings = CurrentSettings();

  Display& display = env.openDisplay();
  display.SetTitle(kProgramTitle);
  Console console(display, env.startColumns, env.startRows);
  const int savedMode = console.LastMode();
  console.TextMode(kModeColour80x50);
  console.SetCursorStyle(kCursorSmall);

  try {
    // Only now: a run that cannot open its screen reads and writes no ini file.
    std::string loadProblem;
    if (env.loadPreferences) {
      loadProblem = env.loadPreferences(env.iniPath);
      prefs.loaded = true;
    }
    if (!loadProblem.empty()) ShowPreferencesProblem(console, loadProblem);
  } catch (const TerminationRequest&) {
    env.closeDisplay(nullptr);
    SaveAfterScreen(env, prefs, report);
    return BtrieveStop();
  }

  const Viewers viewers = env.makeViewers ? env.makeViewers(console) : Viewers{};
  try {
    if (settings.startup.startMaximized) display.Maximize();
    if (settings.startup.startupCheck) {
      RunStartupCheck(console, env.iniPath, settings.database, settings.dataDirectoryNotice);
    }
    console.SetTextAttr(7);
    if (cmd.startViewer != kNoViewer) viewers.Run(cmd.startViewer);
    RunMainMenu(console, viewers, env.cpuLabel);
    // Saved while the screen is there, so that a problem is seen.
    SavePreferencesOnce(
        env, prefs, [&](const std::string& problem) { ShowPreferencesProblem(console, problem); });
  } catch (const TerminationRequest&) {
    // Asked to end from outside: leave at once, without the farewell screen.
    env.closeDisplay(nullptr);
    SaveAfterScreen(env, prefs, report);
    return BtrieveStop();
  }

  console.TextMode(savedMode);
  console.ClrScr();
  PaintScreenImage(console, screens::kExitScreen.data, screens::kExitScreen.size);
  console.GotoXY(1, 11);
  if (env.pauseAtExit) {
    try {
      ReadWholeKey(console);
    } catch (const TerminationRequest&) {
    }
  }
  const Frame farewell = console.CurrentFrame();
  env.closeDisplay(&farewell);
  return BtrieveStop();
}

}  // namespace

std::string UnhandledExceptionText(const std::exception& e) {
  return Format("Unhandled Exception \"%s\" at 0x%p, please report this information to %s!",
                e.what(), static_cast<const void*>(&e), kContact);
}

int TorvexMain(const std::vector<std::string>& args, ShellEnvironment& env,
               const std::function<void(const std::string&, const std::string&)>& report) {
  PreferencesState prefs;
  try {
    return Run(args, env, prefs, report);
  } catch (const TerminationRequest&) {
    env.closeDisplay(nullptr);
    SaveAfterScreen(env, prefs, report);
    return BtrieveStop();
  } catch (const DisplayUnavailable& e) {
    report(kProgramTitle, Format("%s; Torvex runs full-screen in a terminal.", e.what()));
    BtrieveStop();
  } catch (const std::exception& e) {
    env.closeDisplay(nullptr);
    report(kUnhandledCaption, UnhandledExceptionText(e));
  } catch (...) {
    env.closeDisplay(nullptr);
    report(kUnhandledCaption, UnhandledExceptionText(std::runtime_error("unknown exception")));
  }
  // What the user set before the fault is kept.
  SaveAfterScreen(env, prefs, report);
  return 1;
}

}  // namespace torvex
