#pragma once
// The last step of handling an anchor: drop the address if it holds an exclusion keyword,
// strip what is not printable, and append the rest with CR LF to the output file.
#include "library/exclusion_keywords.h"

namespace quillon {

// Size of each working buffer of the record writer: an address of at most 499 bytes and its
// terminating NUL. Longer addresses are skipped.
inline constexpr int UrlBufferSize = 500;

// Handles CurrentUrl: nothing is written when its bytes before the first NUL number
// UrlBufferSize or more, or when it holds a keyword; otherwise one record is appended.
void WriteUrlRecord(const ExclusionKeywords& keywords);

// Whether NUL-terminated `address` holds a non-empty keyword (byte for byte, case-sensitive);
// the keywords are tested in order and the first hit decides.
bool IsExcluded(const char* address, const ExclusionKeywords& keywords);

// Copies the printable bytes among the `length` bytes at `source` (the bytes of an address
// before its first NUL, fewer than UrlBufferSize) into `output` in their order, closed up
// and NUL-terminated; returns how many passed.
// Printable is the run-time's isprint in the current locale (in the default one, 0x20 to 0x7E).
int CopyPrintable(const char* source, int length, char (&output)[UrlBufferSize]);

// Writes one record the plain way: the address with one _write and, whether or not that
// failed, CR LF with another. A failed address write shows "errno" and, with
// `status_follows`, first puts the error number in StatusText. (Records written again after
// a failed block write pass false for all but the latest, whose error would long since have
// been overwritten by the bytes read after it.)
void WriteRecordPieces(const char* address, int length, bool status_follows = true);

}  // namespace quillon
