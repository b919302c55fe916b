#pragma once
// Recognises anchors that open like <a href="http:// and captures their addresses.
#include "library/run_context.h"

namespace quillon {

// One anchor attempt, with the input just behind a "<" (or at its end). Reads the next
// kComparedLength bytes; on a full match captures the address up to the closing double quote,
// applies the trailing-slash rule and hands it to WriteUrlRecord; otherwise, unless the input
// is at its end or failing, moves back kMoveBack bytes so that the scan goes on at the second
// byte after the "<".
void MatchAnchor(RunContext& run);

// The same attempt where the scan has already seen, in the window, that the opening is
// complete: takes the compared bytes and captures the address.
void TakeOpeningAndCapture(RunContext& run);

}  // namespace quillon
