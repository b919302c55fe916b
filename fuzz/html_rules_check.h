#pragma once
// The HTML rules over a fuzzer's page: the same links whole and in chunks, each one well formed.
#include "fuzz/fuzz_case.h"

namespace fuzzing {

// Aborts, showing the case, when the HTML rules' engine gives different links for the page fed
// at once and in chunks (sizes from the case's chunking), or a link that is not printable
// ASCII, holds a keyword, or does not parse back to itself.
void CheckHtmlRules(const FuzzCase& fuzz_case);

}  // namespace fuzzing
