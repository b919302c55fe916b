#pragma once
// The HTML Standard's named character references, and the search for the longest one that the
// characters after an '&' spell, fed one at a time (a reference may be split between chunks).
#include <cstddef>
#include <cstdint>

namespace quillon::html {

// One name (without its '&'; with its ';' where it has one: the legacy names come both ways)
// and the one or two code points it stands for.
struct NamedReference {
  std::uint16_t name_offset;  // into kNamedReferenceNames
  std::uint8_t name_length;
  std::uint32_t first;
  std::uint32_t second;  // 0: one code point only
};

inline constexpr std::size_t kLongestNamedReference = 32;

// Every name, sorted by byte, and their text laid end to end (named_references_table.cpp,
// generated).
extern const NamedReference kNamedReferences[];
extern const std::size_t kNamedReferenceCount;
extern const char kNamedReferenceNames[];

class NamedReferenceSearch {
 public:
  // After the '&'.
  void Start();
  // Takes `c` if some name goes on with it after the characters taken so far; false (and
  // nothing taken) otherwise.
  bool Next(unsigned char c);
  // The longest name taken in full so far, or nullptr.
  const NamedReference* match() const { return match_; }

 private:
  // The names that begin with the characters taken: [first_, last_) of kNamedReferences.
  std::uint32_t first_ = 0;
  std::uint32_t last_ = 0;
  std::uint32_t taken_ = 0;
  const NamedReference* match_ = nullptr;
};

}  // namespace quillon::html
