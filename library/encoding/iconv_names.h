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

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_ICONV_NAMES_H
