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
  // Whatever happens, these records are given now or never: none may turn up with a later
  // call, which may be about another page.
  struct ClearAtEnd {
    RecordList& records;
    ~ClearAtEnd() { records.Clear(); }
  } clear_at_end{*this};
  return Slice(0, ends_.size());
}

pybind11::list RecordList::Slice(size_t first, size_t last, Form form) const {
  if (lost_) {
    PyErr_SetString(PyExc_MemoryError, "the addresses found do not fit in memory");
    throw pybind11::error_already_set();
  }
  auto list = pybind11::reinterpret_steal<pybind11::list>(
      PyList_New(static_cast<Py_ssize_t>(last - first)));
  if (!list) throw pybind11::error_already_set();
  size_t start = first == 0 ? 0 : ends_[first - 1];
  for (size_t i = first; i < last; ++i) {
    const char* bytes = bytes_.data() + start;
    const auto length = static_cast<Py_ssize_t>(ends_[i] - start);
    PyObject* record = form == Form::kAscii ? PyUnicode_DecodeASCII(bytes, length, "strict")
                                            : PyBytes_FromStringAndSize(bytes, length);
    if (record == nullptr) throw pybind11::error_already_set();
    PyList_SET_ITEM(list.ptr(), static_cast<Py_ssize_t>(i - first), record);
    start = ends_[i];
  }
  return list;
}

void RecordList::Truncate(size_t count) {
  if (count >= ends_.size()) return;
  ends_.resize(count);
  bytes_.resize(count == 0 ? 0 : ends_.back());
}

void RecordList::Clear() {
  bytes_.clear();
  ends_.clear();
  lost_ = false;
}

}  // namespace quillon_python
