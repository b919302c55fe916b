#include "library/encoding/encodings.h"

#include <algorithm>
#include <cstddef>

namespace quillon::encoding {
namespace {

struct LabelEntry {
  std::string_view label;
  Encoding encoding;
};

#include "library/encoding/label_table.inc"

static_assert(static_cast<size_t>(Encoding::kXUserDefined) + 1 == kEncodingCount,
              "Encoding's enumerators and encodings.json differ");

constexpr bool kLabelsSorted = [] {
  for (size_t i = 1; i < std::size(kLabels); ++i) {
    if (!(kLabels[i - 1].label < kLabels[i].label)) return false;
  }
  return true;
}();
static_assert(kLabelsSorted, "label_table.inc must be sorted by label");

bool IsAsciiWhitespace(char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

}  // namespace

std::optional<Encoding> ForLabel(std::string_view label) {
  while (!label.empty() && IsAsciiWhitespace(label.front())) label.remove_prefix(1);
  while (!label.empty() && IsAsciiWhitespace(label.back())) label.remove_suffix(1);
  if (label.empty() || label.size() > kLongestLabel) return std::nullopt;
  char lower[kLongestLabel];
  for (size_t i = 0; i < label.size(); ++i) {
    char c = label[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
  }
  std::string_view key(lower, label.size());
  const LabelEntry* end = std::end(kLabels);
  const LabelEntry* found =
      std::lower_bound(std::begin(kLabels), end, key,
                       [](const LabelEntry& entry, std::string_view k) { return entry.label < k; });
  if (found == end || found->label != key) return std::nullopt;
  return found->encoding;
}

std::string_view Name(Encoding encoding) {
  return kNames[static_cast<size_t>(encoding)];
}

}  // namespace quillon::encoding
