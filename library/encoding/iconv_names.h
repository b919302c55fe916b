// Which of glibc's iconv converters reads each legacy encoding the way the Encoding Standard
// does, as nearly as glibc allows. The differences that remain are listed beside the names
// (iconv_names.cpp) and in the expected-differences table of the differential test
// (tests/encoding/to_utf8_node_test.cpp).
#ifndef QUILLON_LIBRARY_ENCODING_ICONV_NAMES_H
#define QUILLON_LIBRARY_ENCODING_ICONV_NAMES_H

#include <string_view>

#include "library/encoding/encodings.h"

namespace quillon::encoding {

// The name to give iconv_open, or empty for the encodings converted by hand: UTF-8 (validated
// with replacement), UTF-16BE/LE, x-user-defined and replacement.
std::string_view IconvName(Encoding encoding);

// Whether the encoding is one of the standard's single-byte encodings (ASCII and an index of
// 128 code points).
bool IsSingleByte(Encoding encoding);

// For a single-byte encoding, the standard's code point for a byte (0x80 to 0xFF) where
// glibc's table differs from the standard's index: glibc gives `from_glibc` (0 when it has
// nothing for the byte). Otherwise `from_glibc`.
char32_t StandardCodePoint(Encoding encoding, unsigned char byte, char32_t from_glibc);

// For a multi-byte encoding, the standard's code point for a pair of bytes that glibc rejects
// but the standard's index maps (Big5's HKSCS additions, EUC-JP's NEC and IBM rows); 0 when
// there is none.
char32_t StandardPair(Encoding encoding, unsigned char lead, unsigned char trail);

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_ICONV_NAMES_H
