#pragma once
// The exclusion keywords of a call, from Python: up to six, each bytes-like (taken as it is) or
// str (taken as UTF-8).
#include <array>
#include <string>

#include <pybind11/pybind11.h>

#include "library/engine.h"

namespace quillon_python {

class Exclusions {
 public:
  // Raises TypeError for a lone str or bytes (a sequence is meant) and for items of other
  // types, ValueError for more than six keywords or a keyword holding a NUL byte.
  explicit Exclusions(pybind11::handle keywords);
  Exclusions(const Exclusions&) = delete;
  Exclusions& operator=(const Exclusions&) = delete;

  // Views of the keywords held here; missing ones are empty.
  const quillon::KeywordTexts& texts() const { return texts_; }

 private:
  quillon::ExclusionKeywords owned_;
  quillon::KeywordTexts texts_{};
};

}  // namespace quillon_python
