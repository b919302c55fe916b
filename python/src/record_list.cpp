#include "python/src/record_list.h"

#include <new>

namespace quillon_python {

RecordList::RecordList() {
  bytes_.reserve(4096);
  ends_.reserve(64);
}

void RecordList::Record(const char* address, size_t length) {
  if (lost_) return;
  size_t before = bytes_.size();
  try {
    bytes_.append(address, length);
    ends_.push_back(bytes_.size());
  } catch (const std::bad_alloc&) {
    bytes_.resize(before);
    lost_ = true;
  }
}

pybind11::list RecordList::Take() {
  if (lost_) {
    Clear();
    PyErr_SetString(PyExc_MemoryError, "the addresses found do not fit in memory");
    throw pybind11::error_already_set();
  }
  pybind11::list list(ends_.size());
  size_t start = 0;
  for (size_t i = 0; i < ends_.size(); ++i) {
    PyObject* record =
        PyBytes_FromStringAndSize(bytes_.data() + start, static_cast<Py_ssize_t>(ends_[i] - start));
    if (record == nullptr) {
      Clear();
      throw pybind11::error_already_set();
    }
    PyList_SET_ITEM(list.ptr(), static_cast<Py_ssize_t>(i), record);
    start = ends_[i];
  }
  Clear();
  return list;
}

void RecordList::Clear() {
  bytes_.clear();
  ends_.clear();
  lost_ = false;
}

}  // namespace quillon_python
