#include "walker/room_monsters.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "database/record_access.h"
#include "database/records/text_block_text.h"
#include "simulators/rules.h"

namespace torvex {
namespace {

// A lair room regenerates up to its maxRegen monsters.
constexpr uint16_t kLairRoomType = 3;
// How many monsters of a group a room looks at.
constexpr size_t kMaxCandidates = 32;
// A name line stops the walk through the description when the roll is below this.
constexpr int64_t kNameStopBelow = 10;

// The monsters a room may show: its group's monsters in the room's index range
// and its placed monster; cut at the first that does not exist.
std::vector<MonsterRecord> Candidates(const RoomRecord& room) {
  std::vector<MonsterRecord> candidates(kMaxCandidates);
  size_t found = 0;
  const int32_t status =
      FindGroupMonsters(room.monsterGroup(), room.minIndex(), room.maxIndex(), candidates, &found);
  candidates.resize(status == 0 ? found : 0);

  const bool placedAmongThem =
      std::any_of(candidates.begin(), candidates.end(),
                  [&](const MonsterRecord& m) { return m.number() == room.permNPC(); });
  if (!placedAmongThem) {
    // A number of 0, or one that names no monster, reads as a zeroed record and
    // so ends the list below.
    MonsterRecord placed;
    GetMonster(room.permNPC(), placed);
    candidates.push_back(placed);
  }

  const auto firstMissing = std::find_if(candidates.begin(), candidates.end(),
                                         [](const MonsterRecord& m) { return m.number() == 0; });
  candidates.erase(firstMissing, candidates.end());
  for (MonsterRecord& m : candidates) m.setActive(0);
  return candidates;
}

bool AtLimit(const MonsterRecord& m) {
  return m.limit() != 0 && m.active() >= m.limit();
}

}  // namespace

std::vector<MonsterRecord> GenerateRoomMonsters(const RoomRecord& room, Random& random,
                                                bool prefixes) {
  const size_t lairCount = room.roomType() == kLairRoomType ? room.maxRegen() : 0;
  std::vector<MonsterRecord> candidates = Candidates(room);
  std::vector<MonsterRecord> placed;

  auto place = [&](MonsterRecord& candidate) {
    MonsterRecord copy = candidate;
    copy.setName(prefixes ? MonsterDisplayName(candidate, random) : candidate.name());
    placed.push_back(copy);
    if (candidate.limit() != 0) candidate.setActive(static_cast<uint16_t>(candidate.active() + 1));
  };

  for (MonsterRecord& candidate : candidates) place(candidate);

  // Each turn either places a monster or removes a candidate, so the loop ends
  // after at most lairCount + candidates turns whatever the limits say. Every
  // candidate can be drawn, the last one included.
  while (placed.size() < lairCount && !candidates.empty()) {
    const auto index = static_cast<size_t>(Roll(random, static_cast<int64_t>(candidates.size())));
    MonsterRecord& candidate = candidates[index];
    if (AtLimit(candidate)) {
      candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(index));
      continue;
    }
    place(candidate);
    if (AtLimit(candidate))
      candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(index));
  }
  return placed;
}

std::string MonsterDisplayName(const MonsterRecord& monster, Random& random) {
  const std::string own = monster.name();
  std::string name = own;
  if (monster.descText() == 0) return name;
  TextBlockRecord block;
  if (GetTextBlock(monster.descText(), 0, block, true) != 0) return name;

  const std::string text = DecodeTextBlock(block);
  // The text is at most one text area long, so this walks a bounded number of lines.
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    // Texts written on DOS end their lines with CR LF; the CR is no part of a name.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (line.size() >= 2 && line[1] == ':') {
      const std::string after(line.substr(2));
      switch (line[0]) {
        case 'A':
          name = own + " " + after;
          break;
        case 'B':
          name = after + " " + own;
          break;
        case 'F':
          name = after;
          break;
        case 'N':
          name = own;
          break;
        default:
          name = std::string(line);
          break;
      }
    } else {
      name = own;
    }
    if (Roll(random, 100) < kNameStopBelow) break;
  }
  return name;
}

}  // namespace torvex
