#pragma once
// quillon.links: the records of one page held in memory.
#include <pybind11/pybind11.h>

namespace quillon_python {

pybind11::list Links(pybind11::handle data, pybind11::handle exclude);

}  // namespace quillon_python
