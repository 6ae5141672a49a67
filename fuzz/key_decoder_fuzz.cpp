// Feeds arbitrary terminal input to the key decoder. The byte 0xFE (never part of
// UTF-8) stands for a pause in the input, so that the time-out paths inside
// sequences are reached too.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/terminal/key_decoder.h"

namespace {

class PausingSource : public torvex::ByteSource {
 public:
  explicit PausingSource(std::string_view bytes) : bytes_(bytes) {}
  int Read(int) override {
    if (pos_ >= bytes_.size()) return -1;
    const auto b = static_cast<unsigned char>(bytes_[pos_++]);
    return b == 0xFE ? -1 : b;
  }
  bool Done() const { return pos_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  PausingSource source(bytes);
  torvex::KeyDecoder decoder(source, 0);
  torvex::KeyEvent event;
  size_t events = 0;
  for (;;) {
    if (decoder.Next(&event, 0)) {
      ++events;
    } else if (source.Done()) {
      break;
    }
  }
  // Every key costs at least one byte of input.
  if (events > size) std::abort();
  return 0;
}
