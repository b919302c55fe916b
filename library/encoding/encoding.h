// The encoding piece of the HTML rules as one include: the encodings and their labels, finding
// a page's encoding from its first bytes, and converting it to UTF-8.
#ifndef QUILLON_LIBRARY_ENCODING_ENCODING_H
#define QUILLON_LIBRARY_ENCODING_ENCODING_H

#include "library/encoding/encodings.h"
#include "library/encoding/sniff.h"
#include "library/encoding/to_utf8.h"

#endif  // QUILLON_LIBRARY_ENCODING_ENCODING_H
