// quillon: one extraction run from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
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
    std::puts("quillon 1.0.0.1");
    return 0;
  }
  options.keywords.resize(cli::kMaxKeywords);
  cli::StartRunReport(options.quiet);
  BEGIN_SEARCH_ADD(HandOver(options.input), HandOver(options.output), HandOver(options.keywords[0]),
                   HandOver(options.keywords[1]), HandOver(options.keywords[2]),
                   HandOver(options.keywords[3]), HandOver(options.keywords[4]),
                   HandOver(options.keywords[5]));
  return cli::ReportedProblems() > 0 ? 1 : 0;
}
