#pragma once
// Recognises anchors that open like <a href="http:// and captures their addresses.
#include "framework/cstring.h"
#include "library/character_classes.h"
#include "library/exclusion_keywords.h"

namespace quillon {

// The anchor opening, all lower case. Its "<" is found by the scan; the attempt compares the
// other 15 characters, folding only the input's letters A to Z to lower case.
inline constexpr char AnchorPattern[] = "<a href=\"http://";

// One anchor attempt, with the input just behind a "<" (or at its end). Reads the next 15
// bytes; on a full match captures the address into CurrentUrl up to the closing double quote
// and hands it to WriteUrlRecord; otherwise, unless the input is at its end or failing, moves
// back 14 bytes so the scan goes on from the second byte after the "<".
void MatchAnchor(const ExclusionKeywords& keywords);

// Whether the 15 bytes at `bytes` complete the opening after its "<" (kNoByte, like NUL,
// matches nothing; only the input's letters are folded).
inline bool MatchesOpening(const unsigned char* bytes) {
  for (int position = 1; position < static_cast<int>(sizeof AnchorPattern) - 1; ++position) {
    unsigned char byte = bytes[position - 1];
    if (byte != AnchorPattern[position] && LowerCase(byte) != AnchorPattern[position]) return false;
  }
  return true;
}

// Appends "/" to `url` unless it ends in ".html" or ".htm" (letters A to Z in any case) or
// in "/".
void ApplyTrailingSlash(CString& url);

}  // namespace quillon
