#pragma once
// quillon --list --warc: the links of every HTML page in web archives (.warc, .warc.gz), one
// line each, TARGET-URI, a tab (or a NUL) and the link, in file and record order.
#include "cli/many_pages.h"
#include "cli/options.h"

namespace cli {

// Runs `options` (Form::kList with warc set) and returns the exit status: 1 when any archive
// could not be read or held damage (each named on `streams.errors` with its file and the
// record's offset), 0 otherwise.
int RunWarcList(const Options& options, const StandardStreams& streams = {});

}  // namespace cli
