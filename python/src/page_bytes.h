#pragma once
// The bytes of a page or chunk, held for as long as the engine reads them, and scanned with the
// GIL let go where that pays.
#include <cstddef>

#include <pybind11/pybind11.h>

namespace quillon_python {

// A Python bytes-like object's memory (bytes, bytearray, memoryview, mmap, array): a bytearray
// cannot be resized, nor an mmap closed, meanwhile.
class PageBytes {
 public:
  // Raises TypeError for an object without the buffer protocol, BufferError for memory that
  // is not contiguous.
  explicit PageBytes(pybind11::handle object) {
    if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_SIMPLE) != 0) {
      throw pybind11::error_already_set();
    }
  }
  PageBytes(const PageBytes&) = delete;
  PageBytes& operator=(const PageBytes&) = delete;
  ~PageBytes() { PyBuffer_Release(&view_); }

  const unsigned char* data() const { return static_cast<const unsigned char*>(view_.buf); }
  size_t size() const { return static_cast<size_t>(view_.len); }

 private:
  Py_buffer view_;
};

// Handing the lock over and taking it back costs about what scanning a few kilobytes does, and
// on a small page two threads would then mostly wait for each other.
inline constexpr size_t kUnlockedScanSize = 16 * 1024;

// Runs `scan`, which must not touch Python objects, over `size` bytes; other threads run
// meanwhile when the bytes are many.
template <typename Scan>
void UnlockedScan(size_t size, Scan&& scan) {
  if (size < kUnlockedScanSize) {
    scan();
    return;
  }
  pybind11::gil_scoped_release unlocked;
  scan();
}

}  // namespace quillon_python
