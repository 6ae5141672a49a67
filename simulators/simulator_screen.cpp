#include "simulators/simulator_screen.h"

#include "console/colour_text.h"
#include "console/keys.h"
#include "console/read_line.h"
#include "console/text_values.h"

namespace torvex {
namespace {

constexpr std::string_view kRule =
    "|08=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-";

}  // namespace

void WriteSimulatorHeading(Console& console, std::initializer_list<std::string_view> description) {
  console.SetTextAttr(7);
  console.ClrScr();
  WriteColourLn(console, "|14Dunmarrow - Simulator");
  WriteColourLn(console, kRule);
  for (std::string_view line : description) WriteColourLn(console, line);
  WriteColourLn(console, "");
  WriteColourLn(console,
                "|14NOTE|07 - Once the simulation starts, you can use Q, X, or ESC to quit.");
  WriteColourLn(console, "|07       Pressing any other key will show the next round.");
  WriteColourLn(console, kRule);
  WriteColourLn(console, "");
}

std::string AskLine(Console& console, std::string_view prompt) {
  WriteColour(console, prompt);
  return ReadLine(console);
}

void AskStoredNumber(Console& console, std::string_view prompt, int32_t& value) {
  if (const std::optional<int32_t> typed = ParseDecimal(AskLine(console, prompt))) value = *typed;
}

RulesOutput ConsoleOutput(Console& console) {
  return [&console](std::string_view line) { WriteColourLn(console, line); };
}

StopRequested EscapeOrCtrlC(Console& console) {
  return [&console] {
    if (!console.KeyPressed()) return false;
    const int k = ReadWholeKey(console);
    return k == key::kEscape || k == key::kCtrlC;
  };
}

bool EndsSimulation(int k) {
  const int upper = key::Upper(k);
  return k == key::kEscape || upper == 'Q' || upper == 'X';
}

}  // namespace torvex
