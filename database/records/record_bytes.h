// The byte image of one game record and the little-endian field access every
// record kind is built from. A record owns a fixed-size copy of its bytes (the
// size the program keeps, which may differ from the length on disk); fields are
// read and written at their offsets, and bytes no accessor names are carried
// unchanged, so a record read and written back is byte-for-byte the same.
// Offsets are template arguments so that a field reaching past the record is a
// compile error rather than a stray read.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/btrieve/bytes.h"

namespace torvex {

// Text of a fixed char[length] field: the bytes up to the first zero, or all
// `length` bytes when there is none. Never reads outside the field.
std::string LoadText(const uint8_t* field, size_t length);
// Writes `text` into a char[length] field, cut to length - 1 bytes so that the
// field always keeps a terminating zero, and zero-fills the rest.
void StoreText(uint8_t* field, size_t length, std::string_view text);

template <size_t N>
class RecordBytes {
 public:
  static constexpr size_t kSize = N;

  // All bytes zero.
  RecordBytes() = default;
  // A copy of `bytes`: shorter input is zero-filled to N, longer input is cut.
  explicit RecordBytes(std::span<const uint8_t> bytes) { Assign(bytes); }

  void Assign(std::span<const uint8_t> bytes) {
    const size_t n = std::min(bytes.size(), N);
    std::copy_n(bytes.begin(), n, bytes_.begin());
    std::fill(bytes_.begin() + n, bytes_.end(), uint8_t{0});
  }
  void Clear() { bytes_.fill(0); }

  const uint8_t* data() const { return bytes_.data(); }
  uint8_t* data() { return bytes_.data(); }
  std::span<const uint8_t, N> bytes() const { return bytes_; }
  std::span<uint8_t, N> bytes() { return bytes_; }

  bool operator==(const RecordBytes&) const = default;

 protected:
  // Scalars: T is one of uint8_t, int8_t, uint16_t, int16_t, uint32_t, int32_t;
  // signed values are two's complement.
  template <typename T, size_t Offset>
  T Get() const {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4 && Offset + sizeof(T) <= N);
    return static_cast<T>(btrieve::LoadUnsigned(bytes_.data() + Offset, sizeof(T)));
  }
  template <typename T, size_t Offset>
  void Set(T value) {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4 && Offset + sizeof(T) <= N);
    btrieve::StoreUnsigned(bytes_.data() + Offset, sizeof(T),
                           static_cast<std::make_unsigned_t<T>>(value));
  }

  // Element `index` of an array of Count T. An index outside the array reads 0
  // and writes nothing, so a caller's loop bound never reaches a neighbour.
  template <typename T, size_t Offset, size_t Count>
  T GetAt(size_t index) const {
    static_assert(Offset + Count * sizeof(T) <= N);
    return index < Count ? Load<T>(Offset + index * sizeof(T)) : T{0};
  }
  template <typename T, size_t Offset, size_t Count>
  void SetAt(size_t index, T value) {
    static_assert(Offset + Count * sizeof(T) <= N);
    if (index < Count) Store<T>(Offset + index * sizeof(T), value);
  }
  template <typename T, size_t Offset, size_t Count>
  std::array<T, Count> GetArray() const {
    static_assert(Offset + Count * sizeof(T) <= N);
    std::array<T, Count> values{};
    for (size_t i = 0; i < Count; ++i) values[i] = Load<T>(Offset + i * sizeof(T));
    return values;
  }

  // Line `line` of Lines consecutive char[Length] fields (a single text field
  // has one line). A line outside the range reads "" and writes nothing.
  template <size_t Offset, size_t Length, size_t Lines = 1>
  std::string GetText(size_t line = 0) const {
    static_assert(Offset + Length * Lines <= N);
    return line < Lines ? LoadText(bytes_.data() + Offset + line * Length, Length) : std::string();
  }
  template <size_t Offset, size_t Length, size_t Lines = 1>
  void SetText(std::string_view text, size_t line = 0) {
    static_assert(Offset + Length * Lines <= N);
    if (line < Lines) StoreText(bytes_.data() + Offset + line * Length, Length, text);
  }

 private:
  template <typename T>
  T Load(size_t offset) const {
    return static_cast<T>(btrieve::LoadUnsigned(bytes_.data() + offset, sizeof(T)));
  }
  template <typename T>
  void Store(size_t offset, T value) {
    btrieve::StoreUnsigned(bytes_.data() + offset, sizeof(T),
                           static_cast<std::make_unsigned_t<T>>(value));
  }

  std::array<uint8_t, N> bytes_{};
};

}  // namespace torvex
