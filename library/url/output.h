#pragma once
// Bounded appending into a URL's fixed storage. Writing past the end writes nothing and leaves
// the output marked as overflowed: the parse then fails, nothing is cut.
#include <cstddef>
#include <cstring>
#include <string_view>

namespace quillon::url {

class Output {
 public:
  Output(char* data, size_t capacity) : data_(data), capacity_(capacity) {}

  char* data() { return data_; }
  size_t size() const { return size_; }
  size_t room() const { return capacity_ - size_; }
  bool overflowed() const { return overflowed_; }
  void Truncate(size_t size) { size_ = size; }
  // For code that wrote into data() + size() itself, after checking room().
  void Grow(size_t count) { size_ += count; }
  std::string_view View(size_t begin) const { return {data_ + begin, size_ - begin}; }

  void Put(char c) {
    if (size_ == capacity_) {
      overflowed_ = true;
      return;
    }
    data_[size_++] = c;
  }
  void Put(std::string_view bytes) {
    if (bytes.size() > room()) {
      overflowed_ = true;
      return;
    }
    std::memcpy(data_ + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  void PutPercent(unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (room() < 3) {
      overflowed_ = true;
      return;
    }
    data_[size_] = '%';
    data_[size_ + 1] = kHex[byte >> 4];
    data_[size_ + 2] = kHex[byte & 15];
    size_ += 3;
  }
  void PutReplacementCharacter() { Put("%EF%BF%BD"); }

 private:
  char* data_;
  size_t capacity_;
  size_t size_ = 0;
  bool overflowed_ = false;
};

}  // namespace quillon::url
