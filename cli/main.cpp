// quillon: the addresses of saved HTML pages, from the command line.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/classic_run.h"
#include "cli/many_pages.h"
#include "cli/memory_exhaustion.h"
#include "cli/options.h"
#include "cli/warc_list.h"
#include "framework/string_heap.h"

namespace {

int Run(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  cli::Options options = cli::ParseOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "quillon: %s\n%sTry 'quillon --help' for more information.\n",
                 options.error.c_str(), cli::UsageLines());
    return 2;
  }
  if (options.help || options.version) {
    std::fputs(options.help ? cli::UsageText().c_str() : "quillon " QUILLON_VERSION "\n", stdout);
    if (std::fflush(stdout) != 0) {
      std::perror("quillon: standard output: write error");
      return 1;
    }
    return 0;
  }
  if (options.form == cli::Form::kClassic) return cli::RunClassic(options);
  if (options.warc) return cli::RunWarcList(options);
  return cli::RunManyPages(options);
}

}  // namespace

int main(int argc, char** argv) {
  cli::ReportMemoryExhaustionOnTerminate();
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
  } catch (const CMemoryException&) {
  }
  cli::ReportMemoryExhausted();
  return cli::kMemoryExhaustedStatus;
}
