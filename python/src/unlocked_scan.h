#pragma once
// Scanning with the GIL let go, so that other threads run meanwhile, where that pays: handing
// the lock over and taking it back costs about what scanning a few kilobytes does, and on a
// small page two threads would then mostly wait for each other.
#include <cstddef>

#include <pybind11/pybind11.h>

namespace quillon_python {

inline constexpr size_t kUnlockedScanSize = 16 * 1024;

// Runs `scan`, which must not touch Python objects, over `size` bytes.
template <typename Scan>
void UnlockedScan(size_t size, Scan&& scan) {
  if (size < kUnlockedScanSize) {
    scan();
    return;
  }
  pybind11::gil_scoped_release unlocked;
  scan();
}

}  // namespace quillon_python
