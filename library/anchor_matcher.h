#pragma once
// Recognises anchors that open like <a href="http:// and captures their addresses.
#include "framework/cstring.h"
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

// Appends "/" to `url` unless it ends in ".html" or ".htm" (letters A to Z in any case) or
// in "/".
void ApplyTrailingSlash(CString& url);

}  // namespace quillon
