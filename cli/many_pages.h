#pragma once
// The forms that run the engine over many pages, --each and --list: one engine, one read block
// and one output block for the whole list, so a page costs little more than its system calls.
#include "cli/options.h"

namespace cli {

struct StandardStreams {
  int input = 0;
  int output = 1;
  int errors = 2;
};

// Runs `options` (Form::kEach or Form::kList) and returns the exit status: 1 when any page,
// output or list failed (each named on `streams.errors`), 0 otherwise.
int RunManyPages(const Options& options, const StandardStreams& streams = {});

}  // namespace cli
