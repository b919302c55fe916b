#pragma once
// Hands the run its input one byte at a time, and notices the end of the input first: there
// it closes the output file. (Each byte also becomes the run's status, which StatusText
// takes from the input when the run brings it up to date.)
#include "library/run_context.h"

namespace quillon {

// The next byte of the run's input (0 to 255), or RunInput::kNoByte at the end of the input
// and when the read fails; a failed read changes nothing and closes nothing.
int ReadInputChar(RunContext& run);

}  // namespace quillon
