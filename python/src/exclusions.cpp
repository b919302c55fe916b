#include "python/src/exclusions.h"

#include <cstring>

#include "python/src/page_bytes.h"

namespace quillon_python {
namespace {

[[noreturn]] void Raise(PyObject* type, const char* text) {
  PyErr_SetString(type, text);
  throw pybind11::error_already_set();
}

std::string KeywordBytes(pybind11::handle item) {
  if (PyUnicode_Check(item.ptr())) {
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(item.ptr(), &size);
    if (utf8 == nullptr) throw pybind11::error_already_set();
    return std::string(utf8, static_cast<size_t>(size));
  }
  if (!PyObject_CheckBuffer(item.ptr())) {
    PyErr_Format(PyExc_TypeError, "an exclusion keyword is bytes or str, not '%s'",
                 Py_TYPE(item.ptr())->tp_name);
    throw pybind11::error_already_set();
  }
  PageBytes bytes(item, "an exclusion keyword");
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

Exclusions::Exclusions(pybind11::handle keywords) {
  // Iterating one keyword would give its letters, each a keyword of its own.
  if (PyUnicode_Check(keywords.ptr()) || PyBytes_Check(keywords.ptr()) ||
      PyByteArray_Check(keywords.ptr())) {
    Raise(PyExc_TypeError,
          "exclude is a sequence of keywords, such as ('yahoo',), not one keyword");
  }
  // A list or tuple as it is; any other iterable copied into a list.
  auto items = pybind11::reinterpret_steal<pybind11::object>(
      PySequence_Fast(keywords.ptr(), "exclude must be an iterable of keywords"));
  if (!items) throw pybind11::error_already_set();
  Py_ssize_t count = PySequence_Fast_GET_SIZE(items.ptr());
  if (count > static_cast<Py_ssize_t>(owned_.size())) {
    PyErr_Format(PyExc_ValueError, "at most six exclusion keywords, not %zd", count);
    throw pybind11::error_already_set();
  }
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    owned_[i] = KeywordBytes(PySequence_Fast_GET_ITEM(items.ptr(), static_cast<Py_ssize_t>(i)));
    // The engine reads a keyword up to its first NUL: the rest would be dropped unseen.
    if (std::memchr(owned_[i].data(), '\0', owned_[i].size()) != nullptr) {
      Raise(PyExc_ValueError, "an exclusion keyword holds a NUL byte");
    }
    texts_[i] = owned_[i];
  }
}

}  // namespace quillon_python
