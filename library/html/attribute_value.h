#pragma once
// The value of an attribute the tokenizer keeps (an href, or what the tree needs), as it is
// decoded, in fixed storage: a longer value is marked too long, never cut.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillon::html {

template <std::size_t kCapacity>
class AttributeValue {
 public:
  void Clear() {
    size_ = 0;
    too_long_ = false;
  }
  void Append(unsigned char byte) {
    if (size_ == kCapacity) {
      too_long_ = true;
      return;
    }
    bytes_[size_++] = static_cast<char>(byte);
  }
  void Append(const unsigned char* bytes, std::size_t size) {
    if (size > kCapacity - size_) {
      too_long_ = true;
      size = kCapacity - size_;
    }
    std::memcpy(bytes_ + size_, bytes, size);
    size_ += size;
  }
  // As UTF-8; the tokenizer never gives a surrogate or a number beyond Unicode.
  void AppendCodePoint(std::uint32_t point) {
    if (point < 0x80) {
      Append(static_cast<unsigned char>(point));
    } else if (point < 0x800) {
      Append(static_cast<unsigned char>(0xC0 | (point >> 6)));
      Append(static_cast<unsigned char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
      Append(static_cast<unsigned char>(0xE0 | (point >> 12)));
      Append(static_cast<unsigned char>(0x80 | ((point >> 6) & 0x3F)));
      Append(static_cast<unsigned char>(0x80 | (point & 0x3F)));
    } else {
      Append(static_cast<unsigned char>(0xF0 | (point >> 18)));
      Append(static_cast<unsigned char>(0x80 | ((point >> 12) & 0x3F)));
      Append(static_cast<unsigned char>(0x80 | ((point >> 6) & 0x3F)));
      Append(static_cast<unsigned char>(0x80 | (point & 0x3F)));
    }
  }
  bool too_long() const { return too_long_; }
  std::string_view view() const { return {bytes_, size_}; }

 private:
  char bytes_[kCapacity];
  std::size_t size_ = 0;
  bool too_long_ = false;
};

}  // namespace quillon::html
