#pragma once
// What every engine of the module is made with: the keywords quillon/__init__.py checked, and
// the "C" locale's character classes whatever locale the interpreter runs in, so that the
// module agrees with the quillon tool.
#include <pybind11/pybind11.h>

#include "library/character_classes.h"
#include "library/engine.h"

namespace quillon_python {

// Views of `keywords`, a tuple of at most six bytes objects, valid while it lives. Raises
// TypeError or ValueError for anything else rather than read past the six.
inline quillon::KeywordTexts KeywordTextsOf(pybind11::handle keywords) {
  quillon::KeywordTexts texts{};
  if (!PyTuple_Check(keywords.ptr()) ||
      PyTuple_GET_SIZE(keywords.ptr()) > static_cast<Py_ssize_t>(texts.size())) {
    throw pybind11::value_error("the keywords are a tuple of at most six bytes objects");
  }
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(keywords.ptr()); ++i) {
    PyObject* keyword = PyTuple_GET_ITEM(keywords.ptr(), i);
    if (!PyBytes_Check(keyword)) throw pybind11::type_error("a keyword is bytes here");
    texts[static_cast<size_t>(i)] = {PyBytes_AS_STRING(keyword),
                                     static_cast<size_t>(PyBytes_GET_SIZE(keyword))};
  }
  return texts;
}

inline const quillon::CharacterClasses& FixedClasses() {
  static const quillon::CharacterClasses classes = quillon::DefaultCharacterClasses();
  return classes;
}

}  // namespace quillon_python
