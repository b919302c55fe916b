#include "framework/cstring.h"

#include <cstring>

namespace {

char* NewBlock(int capacity) {
  void* block =
      AllocStringBlock(sizeof(StringBlockHeader) + static_cast<std::size_t>(capacity) + 1);
  StringBlockHeader* header = static_cast<StringBlockHeader*>(block);
  header->length = 0;
  header->capacity = capacity;
  char* characters = reinterpret_cast<char*>(header + 1);
  characters[0] = '\0';
  return characters;
}

int LengthOf(const char* text) {
  return text != nullptr ? static_cast<int>(std::strlen(text)) : 0;
}

}  // namespace

CString::CString(const char* text) {
  Assign(text, LengthOf(text));
}

CString::CString(const char* bytes, int length) {
  Assign(bytes, length);
}

CString::CString(const CString& other) {
  Assign(other.data_, other.GetLength());
}

CString& CString::operator=(const CString& other) {
  if (this != &other) Assign(other.data_, other.GetLength());
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Empty();
    data_ = other.data_;
    other.data_ = nullptr;
  }
  return *this;
}

CString& CString::operator=(const char* text) {
  Assign(text, LengthOf(text));
  return *this;
}

CString& CString::operator+=(const char* text) {
  Append(text, LengthOf(text));
  return *this;
}

CString& CString::operator+=(const CString& other) {
  if (&other == this) {
    CString copy(other);
    Append(copy.data_, copy.GetLength());
  } else {
    Append(other.data_, other.GetLength());
  }
  return *this;
}

CString CString::Right(int count) const {
  int length = GetLength();
  if (count < 0) count = 0;
  if (count >= length) return *this;
  return CString(data_ + (length - count), count);
}

int CString::CompareNoCase(const char* text) const noexcept {
  const unsigned char* left = reinterpret_cast<const unsigned char*>(GetString());
  const unsigned char* right = reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
  for (;; ++left, ++right) {
    int a = (*left >= 'A' && *left <= 'Z') ? *left + ('a' - 'A') : *left;
    int b = (*right >= 'A' && *right <= 'Z') ? *right + ('a' - 'A') : *right;
    if (a != b || a == 0) return a - b;
  }
}

void CString::Empty() noexcept {
  if (data_ != nullptr) FreeStringBlock(StringBlockHeaderOf(data_));
  data_ = nullptr;
}

char* CString::Detach() noexcept {
  char* characters = data_;
  data_ = nullptr;
  return characters;
}

CString CString::Attach(char* characters) noexcept {
  CString adopted;
  adopted.data_ = characters;
  return adopted;
}

void CString::Assign(const char* bytes, int length) {
  if (length <= 0) {
    if (data_ != nullptr) {
      StringBlockHeaderOf(data_)->length = 0;
      data_[0] = '\0';
    }
    return;
  }
  if (data_ == nullptr || StringBlockHeaderOf(data_)->capacity < length) {
    // A fresh block first, so that the old one may be the source and a failure changes nothing.
    char* fresh = NewBlock(length);
    std::memcpy(fresh, bytes, static_cast<std::size_t>(length));
    Empty();
    data_ = fresh;
  } else {
    std::memmove(data_, bytes, static_cast<std::size_t>(length));
  }
  StringBlockHeaderOf(data_)->length = length;
  data_[length] = '\0';
}

void CString::Append(const char* bytes, int length) {
  if (length <= 0) return;
  int old_length = GetLength();
  Reserve(old_length + length);
  std::memcpy(data_ + old_length, bytes, static_cast<std::size_t>(length));
  StringBlockHeaderOf(data_)->length = old_length + length;
  data_[old_length + length] = '\0';
}

char* CString::GetBuffer(int min_length) {
  Reserve(min_length > 0 ? min_length : 1);
  return data_;
}

void CString::ReleaseBuffer(int new_length) noexcept {
  if (data_ == nullptr) return;
  if (new_length < 0) new_length = static_cast<int>(std::strlen(data_));
  if (new_length > StringBlockHeaderOf(data_)->capacity)
    new_length = StringBlockHeaderOf(data_)->capacity;
  StringBlockHeaderOf(data_)->length = new_length;
  data_[new_length] = '\0';
}

void CString::Reserve(int capacity) {
  if (data_ != nullptr && StringBlockHeaderOf(data_)->capacity >= capacity) return;
  int grown = data_ != nullptr ? StringBlockHeaderOf(data_)->capacity * 2 : 0;
  char* fresh = NewBlock(capacity > grown ? capacity : grown);
  int length = GetLength();
  if (length > 0) std::memcpy(fresh, data_, static_cast<std::size_t>(length) + 1);
  StringBlockHeaderOf(fresh)->length = length;
  Empty();
  data_ = fresh;
}
