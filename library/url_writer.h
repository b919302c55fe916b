#pragma once
// The last step of handling an anchor: drop the address if it holds an exclusion keyword,
// strip what is not printable, and append the rest with CR LF to the output file.
#include <cstddef>

#include "library/character_classes.h"
#include "library/exclusion_keywords.h"
#include "library/record_output.h"
#include "library/run_context.h"

namespace quillon {

// Handles the address made of the scheme, the `length` bytes at `after_scheme` and, when
// `slash` is set, a "/". Only the bytes before its first NUL take part (the "/" comes after
// all of them). Nothing is written when those number UrlBufferSize or more, or hold a
// keyword; otherwise one record goes to the run's output, straight into its slot.
void WriteUrlRecord(RunContext& run, const unsigned char* after_scheme, size_t length, bool slash);

// Whether NUL-terminated `address` holds a non-empty keyword (byte for byte, case-sensitive);
// the keywords are tested in order and the first hit decides.
bool IsExcluded(const char* address, const ExclusionKeywords& keywords);

// Copies the printable bytes among the `length` bytes at `source` (the bytes of an address
// before its first NUL, fewer than UrlBufferSize) into `output` in their order, closed up
// and NUL-terminated; returns how many passed.
int CopyPrintable(const char* source, int length, char (&output)[UrlBufferSize],
                  const CharacterClasses& classes);

}  // namespace quillon
