#pragma once
// The HTML rules for the package quillon (quillon/_hyperlinks.py checks the arguments and
// holds the documentation): a page's links as str, the GIL let go where that pays.
#include <pybind11/pybind11.h>

namespace quillon_python {

// Adds to `module`: hyperlinks(data, base, keywords, all_schemes, encoding),
// hyperlinks_of_file(name, ...), and a scanner as a capsule with hyperlink_scanner_new, _feed,
// _finish and _reset. `base` and `encoding` are str or None, `keywords` a tuple of at most six
// bytes. A base that does not parse, or an encoding label that names none, raises ValueError.
void AddHyperlinkFunctions(pybind11::module_& module);

}  // namespace quillon_python
