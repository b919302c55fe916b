#include "cli/classic_run.h"

#include <cstdio>
#include <string>

#include "cli/run_files.h"
#include "cli/run_report.h"
#include "framework/cstring.h"
#include "library/quillon.h"

namespace cli {
namespace {

QuillonString HandOver(const std::string& text) {
  return QuillonString{CString(text.data(), static_cast<int>(text.size())).Detach()};
}

}  // namespace

int RunClassic(Options& options) {
  RunFiles files;
  if (!files.Prepare(options.input, options.output)) {
    std::fprintf(stderr, "quillon: %s\n", files.problem().c_str());
    return files.exit_status();
  }
  options.keywords.resize(kMaxKeywords);
  StartRunReport(options.quiet);
  BEGIN_SEARCH_ADD(HandOver(files.input_name()), HandOver(files.output_name()),
                   HandOver(options.keywords[0]), HandOver(options.keywords[1]),
                   HandOver(options.keywords[2]), HandOver(options.keywords[3]),
                   HandOver(options.keywords[4]), HandOver(options.keywords[5]));
  if (!files.Deliver()) {
    std::fprintf(stderr, "quillon: %s\n", files.problem().c_str());
    return files.exit_status();
  }
  return ReportedProblems() > 0 ? 1 : 0;
}

}  // namespace cli
