#include "cli/options.h"

namespace cli {

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  std::vector<std::string> operands;
  bool options_ended = false;
  for (const std::string& argument : arguments) {
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      operands.push_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else if (argument == "-q" || argument == "--quiet") {
      options.quiet = true;
    } else if (argument == "-h" || argument == "--help") {
      options.help = true;
    } else if (argument == "-V" || argument == "--version") {
      options.version = true;
    } else {
      options.error = "unknown option '" + argument + "'";
      return options;
    }
  }
  if (options.help || options.version) return options;
  if (operands.size() < 2) {
    options.error =
        operands.empty() ? "missing input and output file names" : "missing output file name";
    return options;
  }
  if (operands.size() > 2 + static_cast<size_t>(kMaxKeywords)) {
    options.error = "at most six keywords, got " + std::to_string(operands.size() - 2);
    return options;
  }
  options.input = operands[0];
  options.output = operands[1];
  options.keywords.assign(operands.begin() + 2, operands.end());
  return options;
}

std::string UsageText() {
  return "Usage: quillon [-q|--quiet] INPUT OUTPUT [KEYWORD...]\n"
         "Writes the address of every anchor of the saved HTML page INPUT that opens like\n"
         "<a href=\"http:// (any letter case) to the text file OUTPUT, one per line ended by\n"
         "CR LF. OUTPUT is created, or emptied first. Addresses holding any KEYWORD (up to\n"
         "six, compared byte for byte, case-sensitive) are left out.\n"
         "\n"
         "INPUT '-' reads the page from standard input; it and any other INPUT that cannot\n"
         "seek (a pipe) is first copied to a temporary file. OUTPUT '-' writes the addresses\n"
         "to standard output. OUTPUT must not be INPUT itself.\n"
         "\n"
         "What the run reports appears on standard error, one line per message:\n"
         "[CAPTION] TEXT\n"
         "\n"
         "  -q, --quiet    leave out the opening notice\n"
         "  -h, --help     show this help and exit\n"
         "  -V, --version  show the version and exit\n"
         "  --             end of options\n"
         "\n"
         "Exit status: 0 when the run reported nothing but its opening notice, 1 when it\n"
         "reported anything else (or standard input or output failed), 2 for a usage\n"
         "error or an OUTPUT that is INPUT itself (nothing is run).\n";
}

}  // namespace cli
