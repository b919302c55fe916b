#include "library/html/named_references.h"

namespace quillon::html {

namespace {

// The character at `depth` of a name at least depth + 1 long.
unsigned char NameAt(const NamedReference& reference, std::uint32_t depth) {
  return static_cast<unsigned char>(kNamedReferenceNames[reference.name_offset + depth]);
}

}  // namespace

void NamedReferenceSearch::Start() {
  first_ = 0;
  last_ = static_cast<std::uint32_t>(kNamedReferenceCount);
  taken_ = 0;
  match_ = nullptr;
}

bool NamedReferenceSearch::Next(unsigned char c) {
  // The names in range share the characters taken; one spelling exactly those sorts first, and
  // after it the next characters are in order.
  std::uint32_t low = first_;
  if (low < last_ && kNamedReferences[low].name_length == taken_) ++low;
  std::uint32_t high = last_;
  std::uint32_t begin = low;
  std::uint32_t end = high;
  while (begin < end) {  // the first name whose next character is not below c
    const std::uint32_t middle = begin + (end - begin) / 2;
    if (NameAt(kNamedReferences[middle], taken_) < c) {
      begin = middle + 1;
    } else {
      end = middle;
    }
  }
  if (begin == high || NameAt(kNamedReferences[begin], taken_) != c) return false;
  low = begin;
  end = high;
  while (begin < end) {  // the first name whose next character is above c
    const std::uint32_t middle = begin + (end - begin) / 2;
    if (NameAt(kNamedReferences[middle], taken_) <= c) {
      begin = middle + 1;
    } else {
      end = middle;
    }
  }
  first_ = low;
  last_ = begin;
  ++taken_;
  if (kNamedReferences[first_].name_length == taken_) match_ = &kNamedReferences[first_];
  return true;
}

}  // namespace quillon::html
