#pragma once
// The framework's string class: a byte string in the ANSI code page, one pointer wide.
//
// The object holds a single pointer. Null is the empty string; otherwise it points at the
// characters of a heap block, just after its StringBlockHeader (string_heap.h). This layout is
// what crosses module boundaries: a caller may build a block itself, hand the pointer over
// with Detach(), and the receiver adopts it with Attach().
#include <cstddef>

#include "framework/string_heap.h"

class CString {
 public:
  CString() noexcept = default;
  // The bytes of `text` up to its first NUL; null is the empty string.
  CString(const char* text);
  // Exactly `length` bytes, NUL bytes included.
  CString(const char* bytes, int length);
  CString(const CString& other);
  CString(CString&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
  ~CString() { Empty(); }

  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);
  // A string of the one byte `byte` (a NUL byte included). Cheap when the buffer has room,
  // which is what a status updated for every byte read needs.
  CString& operator=(char byte) {
    if (data_ != nullptr && StringBlockHeaderOf(data_)->capacity >= 1) {
      data_[0] = byte;
      data_[1] = '\0';
      StringBlockHeaderOf(data_)->length = 1;
      return *this;
    }
    Assign(&byte, 1);
    return *this;
  }

  // Appends one byte; a NUL byte is appended like any other.
  CString& operator+=(char byte) {
    int length = GetLength();
    if (data_ != nullptr && StringBlockHeaderOf(data_)->capacity > length) {
      data_[length] = byte;
      data_[length + 1] = '\0';
      StringBlockHeaderOf(data_)->length = length + 1;
      return *this;
    }
    Append(&byte, 1);
    return *this;
  }
  CString& operator+=(const char* text);
  CString& operator+=(const CString& other);

  // Appends `length` bytes, NUL bytes included.
  void Append(const char* bytes, int length);

  // The characters, writable, with room for at least `min_length` bytes and a NUL; the string
  // keeps its bytes. ReleaseBuffer must follow before any other use of the string.
  char* GetBuffer(int min_length);
  // Ends writing into the buffer: the string is its first `new_length` bytes (-1: up to the
  // first NUL).
  void ReleaseBuffer(int new_length = -1) noexcept;

  int GetLength() const noexcept {
    return data_ != nullptr ? StringBlockHeaderOf(data_)->length : 0;
  }
  bool IsEmpty() const noexcept { return GetLength() == 0; }
  // The characters, NUL-terminated; never null ("" when empty).
  const char* GetString() const noexcept { return data_ != nullptr ? data_ : ""; }
  operator const char*() const noexcept { return GetString(); }
  // Byte `index`; 0 <= index <= GetLength(), the terminating NUL included.
  char GetAt(int index) const noexcept { return GetString()[index]; }

  // The last `count` bytes, or the whole string when it is shorter.
  CString Right(int count) const;
  // Compares with `text`, the letters A to Z folded to lower case and nothing else: <0, 0, >0.
  int CompareNoCase(const char* text) const noexcept;

  // Releases the buffer; the string is empty afterwards.
  void Empty() noexcept;

  // Gives the buffer up to the caller, who then owns it; this string is left empty.
  char* Detach() noexcept;
  // Takes ownership of a buffer laid out as described above (or null).
  static CString Attach(char* characters) noexcept;

#ifdef _WIN32
  // Loads string resource `id` of the program; false (and empty) when there is none.
  bool LoadString(unsigned id);
#endif

 private:
  void Assign(const char* bytes, int length);
  void Reserve(int capacity);

  char* data_ = nullptr;
};
