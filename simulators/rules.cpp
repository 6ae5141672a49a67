#include "simulators/rules.h"

#include <utility>

#include "database/record_access.h"

namespace torvex {
namespace {

TextBlockRunner& Runner() {
  static TextBlockRunner runner;
  return runner;
}

}  // namespace

int64_t Roll(Random& random, int64_t n) {
  if (n <= 0) {
    random.Next(0);
    return 0;
  }
  // Ranges beyond 32 bits cannot come from 16-bit record fields; hold them to
  // the generator's width rather than wrap.
  const uint32_t range = n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
  return random.Next(range);
}

void SetTextBlockRunner(TextBlockRunner runner) {
  Runner() = std::move(runner);
}

const TextBlockRunner& CurrentTextBlockRunner() {
  return Runner();
}

uint32_t RecordNumberOf(int64_t value) {
  return value < 0 || value > UINT32_MAX ? 0 : static_cast<uint32_t>(value);
}

MessageRecord MessageOrEmpty(int64_t number) {
  MessageRecord message;
  GetMessage(RecordNumberOf(number), message);
  return message;
}

void WriteUnlessEmpty(const RulesOutput& output, std::string_view colour, const std::string& text) {
  if (!text.empty()) output(std::string(colour) + text);
}

std::string NoticeOfBound(std::string_view what) {
  return "|08(" + std::string(what) + " stopped after too many steps)";
}

}  // namespace torvex
