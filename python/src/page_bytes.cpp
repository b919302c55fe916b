#include "python/src/page_bytes.h"

namespace quillon_python {

PageBytes::PageBytes(pybind11::handle object, const char* what) {
  // str has no buffer, but deserves better than the interpreter's "a bytes-like object is
  // required": the engine reads bytes, in whatever encoding the page was saved.
  if (PyUnicode_Check(object.ptr())) {
    PyErr_Format(PyExc_TypeError,
                 "%s is bytes, not str: encode it first (for example text.encode('cp932'))", what);
    throw pybind11::error_already_set();
  }
  if (!PyObject_CheckBuffer(object.ptr())) {
    PyErr_Format(PyExc_TypeError,
                 "%s must be a bytes-like object (bytes, bytearray, memoryview, mmap), not '%s'",
                 what, Py_TYPE(object.ptr())->tp_name);
    throw pybind11::error_already_set();
  }
  if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_SIMPLE) != 0) {
    throw pybind11::error_already_set();
  }
}

}  // namespace quillon_python
