// Finding a page's encoding from its first bytes: the byte order mark, and the HTML Standard's
// prescan for a <meta> that declares a charset.
#ifndef QUILLON_LIBRARY_ENCODING_SNIFF_H
#define QUILLON_LIBRARY_ENCODING_SNIFF_H

#include <cstddef>
#include <optional>

#include "library/encoding/encodings.h"

namespace quillon::encoding {

// How many of a page's first bytes the prescan reads.
inline constexpr size_t kPrescanLength = 1024;

struct Bom {
  Encoding encoding;  // UTF-8, UTF-16BE or UTF-16LE
  size_t length;      // bytes of the mark, which the page's text does not include
};

// The byte order mark at the start of `bytes`: EF BB BF, FE FF or FF FE. Nothing when there is
// none, or when `size` is too short to tell (the caller passes at least 3 bytes where the page
// has them).
std::optional<Bom> SniffBom(const unsigned char* bytes, size_t size);

// The HTML Standard's "prescan a byte stream to determine its encoding" over `bytes` (the
// caller passes at most the first kPrescanLength bytes): a <meta charset> or a
// <meta http-equiv="content-type" content="...charset=..."> outside comments and other markup,
// or a UTF-16 XML declaration. A declared UTF-16 becomes UTF-8 and x-user-defined
// windows-1252, as the standard says. Nothing when no declaration is found before the bytes
// end, including one cut off by their end.
std::optional<Encoding> Prescan(const unsigned char* bytes, size_t size);

struct Sniffed {
  Encoding encoding;
  size_t bom_length;  // bytes at the start of the page that are not its text
};

// A page's encoding in the HTML Standard's order: its byte order mark; else the caller's
// encoding (from a transport's charset, say: the caller turns a label into an encoding with
// ForLabel and reports one it does not know); else the prescan; else UTF-8. `bytes` are the
// page's first bytes: all of them up to kPrescanLength, fewer only where the page is shorter.
Sniffed SniffEncoding(const unsigned char* bytes, size_t size, std::optional<Encoding> caller);

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_SNIFF_H
