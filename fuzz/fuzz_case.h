#pragma once
// How a fuzzer input becomes one extraction run.
//
// Byte 0 holds options (bit 1: an output device that fails every write; the other bits pick how
// the page is cut into chunks for the engine). Then come the six keywords, each as a length
// byte (taken modulo 9, so 0 to 8) followed by that many bytes. Whatever remains is the page.
// Any input is a valid case: a short input leaves the keywords empty and the page empty.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "library/engine.h"

namespace fuzzing {

struct FuzzCase {
  unsigned chunking = 0;
  bool failing_output = false;
  quillon::ExclusionKeywords keywords;
  std::string page;
};

FuzzCase ParseFuzzCase(const uint8_t* data, size_t size);

// The inverse, for writing starting inputs by hand: keywords longer than 8 bytes are cut to 8.
std::string EncodeFuzzCase(const FuzzCase& fuzz_case);

}  // namespace fuzzing
