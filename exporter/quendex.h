// quendex: exports an update file (WCCUPDA2.DAT) into the ten template files
// (WCCRACE2.VIR ... WCCACTS2.VIR), created afresh in the working directory.
//
// The program writes plain lines in code page 437 through an OutputSink, so tests
// capture exactly the bytes a terminal would receive before any conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvex::exporter {

// Where the program's report goes. Text is CP437 and carries its own line breaks,
// carriage returns and backspaces.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Write(std::string_view text) = 0;
  // Called after each progress step, so a terminal shows the spinner move.
  virtual void Flush() = 0;
};

// Everything written, kept in memory.
class StringSink : public OutputSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  void Flush() override { ++flushes_; }
  const std::string& text() const { return text_; }
  int flushes() const { return flushes_; }

 private:
  std::string text_;
  int flushes_ = 0;
};

// Standard output; with `utf8` the upper half of CP437 becomes its UTF-8 glyph.
class StdoutSink : public OutputSink {
 public:
  explicit StdoutSink(bool utf8) : utf8_(utf8) {}
  void Write(std::string_view text) override;
  void Flush() override;

 private:
  bool utf8_;
};

// One template file's Create parameters.
struct TemplateSpec {
  size_t fileIndex;  // into the file-name table
  uint16_t recordLength;
  uint16_t pageSize;
  uint16_t keyLength;
  uint8_t keyType;
  uint16_t keyFlags;
  uint16_t fileFlags;
};
// The ten template files in the order they are created.
const std::vector<TemplateSpec>& TemplateSpecs();
// The 32-byte Create buffer of `spec`: file specification and one key at position 1.
std::vector<uint8_t> CreateBuffer(const TemplateSpec& spec);

// Whether `arg` asks for the usage text: exactly -?, /?, --help or /-help.
bool IsUsageArgument(std::string_view arg);
// The usage text, each line without its line break.
const std::vector<std::string>& UsageLines();
// The banner line, without its line break.
std::string BannerLine();

// The steps of a run, for callers that export repeatedly into the same directory.
// Creates the ten template files afresh and empty, in order; returns how many of the
// Creates succeeded.
size_t CreateTemplateFiles(const std::string& directory);
// Opens the ten template files, exports the update file into them and closes every
// file again: the output from the failed-open lines through "  Finished.". Returns
// as QuendexMain does; the record manager is left running.
int ExportUpdateFile(OutputSink& out, const std::string& directory);

// The whole program: usage or banner, creates, opens, export, closing. `directory`
// prefixes every file name ("" is the working directory, as the program runs); it
// must end with "/" when not empty. Stops the record manager before it returns.
//
// Returns the exit code: 0 when the run completed, even with failed Creates or
// refused inserts (each is reported). A failure that loses the export's result is
// reported too and its status returned instead: the update file could not be opened
// (a missing file is status 12) or not read to its end, a template file could not be
// made durable at Close, or stopping the record manager failed.
int QuendexMain(const std::vector<std::string>& args, OutputSink& out,
                const std::string& directory = "");

}  // namespace torvex::exporter
