#pragma once
// The classic form: one run of the library's export on INPUT and OUTPUT, its boxes turned into
// lines on standard error.
#include "cli/options.h"

namespace cli {

// Runs `options` (Form::kClassic) and returns the exit status.
int RunClassic(Options& options);

}  // namespace cli
