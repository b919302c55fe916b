#include "cli/page_list.h"

#include <fcntl.h>

#include <cerrno>

#include "runtime/system_calls.h"

namespace cli {

void PageList::Add(std::string_view name) {
  spans_.push_back(Span{names_.size(), name.size()});
  names_.append(name);
  names_.push_back('\0');
}

bool PageList::AddFromList(int descriptor, std::string_view shown_name, ProblemReport& problems) {
  constexpr size_t kChunk = 64 * 1024;
  const size_t begin = names_.size();
  for (;;) {
    const size_t used = names_.size();
    names_.resize(used + kChunk);
    ssize_t got = crt::Sys().read(descriptor, names_.data() + used, kChunk);
    names_.resize(used + (got > 0 ? static_cast<size_t>(got) : 0));
    if (got == 0) break;
    if (got < 0 && errno != EINTR) {
      problems.Report(shown_name, "read error", errno);
      names_.resize(begin);
      return false;
    }
  }
  if (names_.size() > begin && names_.back() != '\0') names_.push_back('\0');
  size_t number = 0;
  for (size_t at = begin; at < names_.size();) {
    const size_t end = names_.find('\0', at);
    ++number;
    if (end == at) {
      problems.Report(std::string(shown_name) + ":" + std::to_string(number),
                      "empty page name, skipped");
    } else {
      spans_.push_back(Span{at, end - at});
    }
    at = end + 1;
  }
  return true;
}

bool PageList::AddOperandsAndList(const std::vector<std::string>& operands, const std::string* list,
                                  int input, ProblemReport& problems) {
  for (const std::string& name : operands) Add(name);
  if (list == nullptr) return true;
  if (*list == "-") return AddFromList(input, "standard input", problems);
  const int descriptor = crt::Sys().open(list->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY, 0);
  if (descriptor == -1) {
    problems.Report(*list, "", errno);
    return false;
  }
  const bool read = AddFromList(descriptor, *list, problems);
  crt::Sys().close(descriptor);
  return read;
}

}  // namespace cli
