// quillon: one extraction run from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/run_files.h"
#include "cli/run_report.h"
#include "framework/cstring.h"
#include "library/quillon.h"

namespace {

QuillonString HandOver(const std::string& text) {
  return QuillonString{CString(text.data(), static_cast<int>(text.size())).Detach()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  cli::Options options = cli::ParseOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "quillon: %s\n%s", options.error.c_str(),
                 "Usage: quillon [-q|--quiet] INPUT OUTPUT [KEYWORD...]\n"
                 "Try 'quillon --help' for more information.\n");
    return 2;
  }
  if (options.help) {
    std::fputs(cli::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("quillon " QUILLON_VERSION);
    return 0;
  }
  cli::RunFiles files;
  if (!files.Prepare(options.input, options.output)) {
    std::fprintf(stderr, "quillon: %s\n", files.problem().c_str());
    return files.exit_status();
  }
  options.keywords.resize(cli::kMaxKeywords);
  cli::StartRunReport(options.quiet);
  BEGIN_SEARCH_ADD(HandOver(files.input_name()), HandOver(files.output_name()),
                   HandOver(options.keywords[0]), HandOver(options.keywords[1]),
                   HandOver(options.keywords[2]), HandOver(options.keywords[3]),
                   HandOver(options.keywords[4]), HandOver(options.keywords[5]));
  if (!files.Deliver()) {
    std::fprintf(stderr, "quillon: %s\n", files.problem().c_str());
    return files.exit_status();
  }
  return cli::ReportedProblems() > 0 ? 1 : 0;
}
