#pragma once
// The pages of a many-page run, in order, kept as one block of NUL-ended names.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/problem_report.h"

namespace cli {

class PageList {
 public:
  void Add(std::string_view name);
  // Reads names each ended by a NUL (the last one may end with the file) from `descriptor`, as
  // GNU wc and du take --files0-from. An empty name is reported, under `shown_name` and its
  // place in the list, and skipped. Returns false when reading failed (reported).
  bool AddFromList(int descriptor, std::string_view shown_name, ProblemReport& problems);
  // Adds `operands`, then the names of the list file `list` when it is not null ("-": read from
  // `input`). Returns false when the list could not be opened or read (reported).
  bool AddOperandsAndList(const std::vector<std::string>& operands, const std::string* list,
                          int input, ProblemReport& problems);

  size_t size() const { return spans_.size(); }
  // The name, NUL-ended.
  const char* c_str(size_t index) const { return names_.data() + spans_[index].start; }
  std::string_view operator[](size_t index) const {
    return std::string_view(c_str(index), spans_[index].length);
  }

 private:
  struct Span {
    size_t start;
    size_t length;
  };
  std::string names_;
  std::vector<Span> spans_;
};

}  // namespace cli
