#pragma once
// The bytes of a Python bytes-like object (bytes, bytearray, memoryview, mmap, array), held for
// as long as the engine reads them: a bytearray cannot be resized, nor an mmap closed, meanwhile.
#include <cstddef>

#include <pybind11/pybind11.h>

namespace quillon_python {

class PageBytes {
 public:
  // Raises TypeError for str and for objects without the buffer protocol, naming `what` (such
  // as "a page"), and BufferError for memory that is not contiguous.
  PageBytes(pybind11::handle object, const char* what);
  PageBytes(const PageBytes&) = delete;
  PageBytes& operator=(const PageBytes&) = delete;
  ~PageBytes() { PyBuffer_Release(&view_); }

  const unsigned char* data() const { return static_cast<const unsigned char*>(view_.buf); }
  size_t size() const { return static_cast<size_t>(view_.len); }

 private:
  Py_buffer view_;
};

}  // namespace quillon_python
