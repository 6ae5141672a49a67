// The machine every record browser runs on: open one game file, show one record
// at a time, and read single keys that move through the file, jump, search,
// bookmark, dump the raw record, show help, start a simulator or leave.
//
// A browser is declared, not written: a BrowserDescription names its file, its
// texts, its detail screen and whatever optional parts it has (search options,
// extended viewer, simulator, macro slots, raw dump, keys of its own); RunBrowser
// does the rest. An extended viewer is a second description run with
// RunKeyLoop on the same BrowserState.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "console/input_manager.h"
#include "database/btrieve_layer.h"
#include "database/records/tables.h"
#include "database/settings.h"
#include "platform/program.h"
#include "search/search_query.h"

namespace torvex {

// The edition suffix raw dump names carry.
inline constexpr char kRawDumpEdition[] = "nt";

// The open file, buffers and windows of one running browser; lives for the
// browser's call and is shared with its extended viewer, so that leaving the
// viewer leaves the browser on the viewer's record.
struct BrowserState {
  // `console` must outlive the state.
  explicit BrowserState(Console& console) : console(console), input(console) {}
  BrowserState(const BrowserState&) = delete;
  BrowserState& operator=(const BrowserState&) = delete;

  // The record in the buffer: the bytes the last successful read returned.
  std::span<const uint8_t> Record() const { return {file.dataBuffer.get(), file.dataLength}; }

  // One call on key 0 with the state's buffers; the data length offered is
  // readLength. Whatever the status, the buffer and length are what the record
  // manager left.
  int16_t Call(uint16_t op);
  // Get Equal on key 0 for these key bytes (at most the key buffer's size).
  int16_t GetEqual(std::span<const uint8_t> key);

  Console& console;
  TInputManager input;
  BtrieveFile file;
  // Set: the top of the key loop repaints the title and the detail screen.
  bool redisplay = false;
  // The data length every read offers (at most the buffer's size).
  uint32_t readLength = kTaskBufferSize;
};

// Where a jump or a macro goes: the key buffer's bytes for a Get Equal, or a
// status to report without reading (a number the key cannot hold).
struct KeyTarget {
  std::vector<uint8_t> key;
  int16_t status = 0;
};

// How a kind's records are addressed on key 0: what a jump prompt asks for,
// how a typed answer or a macro's stored text becomes a key, and what text a
// macro stores for the record shown.
struct RecordKey {
  enum class Prompt { kNumber, kText };
  Prompt prompt = Prompt::kNumber;
  // The most characters the jump prompt takes.
  int promptLength = 10;
  // The key a typed answer or a macro text names; nullopt: nothing to do
  // (empty, 0, malformed).
  std::function<std::optional<KeyTarget>(std::string_view text)> target;
  // For keys of several parts where a text may name only some of them: the
  // key `text` names, the parts it leaves out taken from `shown` (the record
  // in the buffer). Set, it is used instead of `target`.
  std::function<std::optional<KeyTarget>(std::string_view text, std::span<const uint8_t> shown)>
      targetFromShown;
  // The macro text that names the record in the buffer.
  std::function<std::string(std::span<const uint8_t> record)> macroText;

  // The key a jump or macro `text` names while `shown` is in the buffer.
  std::optional<KeyTarget> TargetFor(std::string_view text, std::span<const uint8_t> shown) const;
};

// The key of files numbered by a 32-bit number at offset 0 (items, monsters,
// shops, messages, ...): a decimal number, 0 is none.
RecordKey Number32Key();
// The key of files numbered by a 16-bit number at offset 0 (races, classes,
// spells): a number above 65535 answers status 4 (key not found) and is never
// cut down to another record's number.
RecordKey Number16Key();
// The key of files keyed by a zero-terminated text of `length` bytes at offset
// 0 (gangs): a text prompt of at most `length` characters; the typed text, cut
// to `length` bytes and zero-padded to it, is the key; empty text is none.
RecordKey StringKey(size_t length);
// The key of the room file: the map number in the first four bytes and the
// room number in the next four. People write a room "room/map" (room first): a
// jump or macro text "room[/map]" names the room before the first "/" and the
// map after it; without a "/" the map is the one shown. A part that is not a
// decimal number keeps the shown record's value; a number a 32-bit key cannot
// hold answers status 4 (key not found). A text prompt of at most 22
// characters; the macro text is "room/map". Empty text is none.
RecordKey RoomKey();
// The key bytes of room `room` of map `map`.
KeyTarget RoomKeyTarget(uint32_t map, uint32_t room);

// One way of searching: the line in the choice list, the title of its prompt
// window (empty: the search's title) and the prompt that turns what the user
// typed into a query (nullopt: cancelled, nothing to do).
struct SearchOption {
  std::string label;
  std::function<std::optional<SearchQuery>(TInputManager&)> ask;
  std::string promptTitle;
};

struct BrowserDescription {
  // Every browser names the game file it browses; there is no default.
  explicit BrowserDescription(DatabaseFile file) : file(file) {}

  // The game file browsed, opened from the configured data directory.
  DatabaseFile file;
  // The data length offered to every read: the task buffer, or more for a file
  // whose longest record does not fit it (a read that cannot return a record
  // whole answers an error instead of the record).
  uint32_t readLength = kTaskBufferSize;
  // "Item": the window title's kind word.
  std::string kindWord;
  // Window texts: "Items Help", "Search Items", "Goto Item",
  // "Enter an item number to jump to:".
  std::string helpTitle;
  std::string helpText;
  std::string searchTitle;
  std::string jumpTitle;
  std::string jumpPrompt;

  // Paints the whole screen for the record in state.Record(). Required.
  std::function<void(BrowserState&)> showDetail;
  // The window title for the record in the buffer. Required.
  std::function<std::string(std::span<const uint8_t> record)> windowTitle;
  // How jumps and macros address records. Unset: no jump (G) and no macros.
  std::optional<RecordKey> key = Number32Key();

  // Optional parts; an empty one switches its key off.
  std::vector<SearchOption> searches;  // S
  // With one search option: S goes straight to its prompt, without the list.
  bool searchWithoutList = false;
  std::function<void(BrowserState&)> extendedViewer;                       // E
  std::function<void(BrowserState&, std::span<const uint8_t>)> simulator;  // Ctrl+S
  std::function<std::string(std::span<const uint8_t>)> rawDumpName;        // Ctrl+E
  std::optional<MacroKind> macros;  // F1-F10 and their shifts
  // Keys of the kind's own, offered before the frame's table: the whole key
  // (console/keys.h), letters upper-cased. True when handled.
  std::function<bool(BrowserState&, int key)> extraKey;
  // Whole keys (letters upper-cased) the frame ignores in this browser.
  std::vector<int> keysOff;
};

// "TORVEXNT - <kind> : <name> (<number>)", the title most kinds show; an empty
// name shows as "<unnamed>".
std::string NamedRecordTitle(std::string_view kindWord, const std::string& name, int32_t number);

// The 32-bit record number at offset 0 (missing bytes read as zero).
uint32_t RecordNumberAt0(std::span<const uint8_t> record);
// The 16-bit record number at offset 0 (missing bytes read as zero).
uint16_t RecordNumber16At0(std::span<const uint8_t> record);

// Opens the description's file, reads its first record and runs the key loop
// until the user leaves; closes the file on every way out. A failed open shows
// the record manager's error box; an empty file returns without a word.
void RunBrowser(Console& console, const BrowserDescription& description);

// The key loop alone, on an open file whose buffer holds a record. Starts by
// painting. Returns when Q, X or Esc is pressed; the file stays open.
void RunKeyLoop(BrowserState& state, const BrowserDescription& description);

// A navigation call (Get Next, Step Previous, ...) on key 0. On success the
// new record is current and the redisplay flag is set; on failure the status
// is reported and the buffer is put back as it was, so the screen, a macro
// store and a raw dump all still mean the record shown. Returns the status.
int16_t Navigate(BrowserState& state, uint16_t operation);

// Get Equal on `target`'s key (or its status reported without a read); the
// redisplay flag is set whether or not the record was there.
void JumpTo(BrowserState& state, const KeyTarget& target);

// The jump prompt of `description` and, unless cancelled or empty, the jump.
void AskJump(BrowserState& state, const BrowserDescription& description);

// The search choice list (or the one option's prompt straight away) and, for
// the option chosen, its prompt and the scan.
void RunSearch(BrowserState& state, const BrowserDescription& description);

// Scans forward from the current record (not examined) for the first record
// `query` matches and stops there. When none does, shows "No Results" with the
// query's message and goes back to the first record. Sets the redisplay flag
// either way.
void ScanForward(BrowserState& state, const SearchQuery& query);

// Writes the record in the buffer, exactly its bytes, to `name` in the working
// directory (platform/file_writer.h: whole or not at all, an old dump keeps its
// mode). False on any failure; the browser says nothing either way.
bool WriteRawDump(const std::string& name, std::span<const uint8_t> record);

// The text search prompt of every browser: "Enter text to search for (not case
// sensetive):" (or `prompt`), at most 46 characters. nullopt when cancelled or
// empty.
std::optional<std::string> AskSearchText(TInputManager& input, const std::string& prompt);
inline constexpr char kTextSearchPrompt[] = "Enter text to search for (not case sensetive):";
inline constexpr int kTextSearchLength = 46;

// A search option over text fields: matches when any text `fields` gives for a
// record contains the typed text, ignoring case. `notFoundFormat`, the
// program's own text with one "%s" for the typed text, is the not-found
// message; empty: SearchNotFoundText.
SearchOption TextSearchOption(
    std::string label, std::string prompt,
    std::function<std::vector<std::string>(std::span<const uint8_t>)> fields,
    std::string notFoundFormat = {});

// A search option over a number: a prompt of `kind` (a number prompt, or a
// text prompt whose decimal value is used) of at most `maxLength` characters;
// 0, not a number, or cancel: nothing to do. Matches when `matches` says so.
// `notFoundFormat` is the program's own text with one "%d" for the number.
SearchOption NumberSearchOption(std::string label, std::string prompt, std::string notFoundFormat,
                                std::function<bool(std::span<const uint8_t>, int32_t)> matches,
                                RecordKey::Prompt kind = RecordKey::Prompt::kText,
                                int maxLength = 10);

}  // namespace torvex
