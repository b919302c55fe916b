#pragma once
// quillon.links_of_file: the records of a page read from a file in blocks, in constant memory
// besides the records themselves.
#include <pybind11/pybind11.h>

namespace quillon_python {

// `path` is str, bytes or os.PathLike. Raises OSError naming the file when it cannot be opened
// or read (missing, a directory, no permission).
pybind11::list LinksOfFile(pybind11::handle path, pybind11::handle exclude);

}  // namespace quillon_python
