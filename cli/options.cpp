#include "cli/options.h"

#include <optional>
#include <string_view>

namespace cli {
namespace {

// Options with a value, as "--name=VALUE", "--name VALUE", and for -x also "-xVALUE" and
// "-x VALUE".
enum class Valued { kExclude, kSuffix, kPageList, kBase, kRoot, kCharset };

struct ValuedOption {
  Valued which;
  std::string_view long_name;
};

constexpr ValuedOption kValuedOptions[] = {
    {Valued::kExclude, "--exclude"},
    {Valued::kSuffix, "--suffix"},
    {Valued::kPageList, "--files0-from"},
    {Valued::kBase, "--base"},
    {Valued::kRoot, "--root"},
    {Valued::kCharset, "--charset"},
};

// What the options asked for, checked against the form once all are read.
struct Seen {
  int excludes = 0;
  bool suffix = false;
  bool null_after_name = false;
  bool each = false;
  bool list = false;
  bool all_schemes = false;
};

void Take(Valued which, const std::string& value, Options& options, Seen& seen) {
  switch (which) {
    case Valued::kExclude:
      ++seen.excludes;
      options.keywords.push_back(value);
      break;
    case Valued::kSuffix:
      seen.suffix = true;
      options.suffix = value;
      break;
    case Valued::kPageList:
      options.has_page_list = true;
      options.page_list = value;
      break;
    case Valued::kBase:
      options.base = value;
      break;
    case Valued::kRoot:
      options.root = value;
      break;
    case Valued::kCharset:
      options.charset = value;
      break;
  }
}

// The error of a command line whose options and operands were all read, or none.
std::optional<std::string> CheckForm(Options& options, const Seen& seen,
                                     std::vector<std::string>& operands) {
  if (seen.each && seen.list) return "--each and --list do not go together";
  if (!options.html) {
    if (options.base) return "--base goes with --html";
    if (options.root) return "--root goes with --html";
    if (options.charset) return "--charset goes with --html";
    if (seen.all_schemes) return "--all-schemes goes with --html";
  }
  if (options.root && !options.base) return "--root goes with --base";
  // The classic form is the export's run, which keeps the classic rules.
  if (options.html && options.form == Form::kClassic) return "--html goes with --each or --list";
  if (options.warc && !seen.list) return "--warc goes with --list";
  // Each archive page's URL is its target URI, its charset the HTTP one.
  if (options.warc) {
    if (options.base) return "--base does not go with --warc: each page's URL is its target URI";
    if (options.root) return "--root does not go with --warc";
    if (options.charset) {
      return "--charset does not go with --warc: each page's charset is its HTTP one";
    }
  }
  if (options.form == Form::kClassic) {
    if (seen.excludes > 0) return "--exclude goes with --each or --list";
    if (seen.suffix) return "--suffix goes with --each";
    if (seen.null_after_name) return "--null goes with --list";
    if (options.progress) return "--progress goes with --each or --list";
    if (options.has_page_list) return "--files0-from goes with --each or --list";
    if (operands.size() < 2) {
      return operands.empty() ? "missing input and output file names" : "missing output file name";
    }
    if (operands.size() > 2 + kMaxKeywords) {
      return "at most six keywords, got " + std::to_string(operands.size() - 2);
    }
    options.input = operands[0];
    options.output = operands[1];
    options.keywords.assign(operands.begin() + 2, operands.end());
    return std::nullopt;
  }
  if (options.form == Form::kEach && seen.null_after_name) return "--null goes with --list";
  if (options.form == Form::kList && seen.suffix) return "--suffix goes with --each";
  if (options.keywords.size() > kMaxKeywords) {
    return "at most six keywords, got " + std::to_string(options.keywords.size());
  }
  // An empty suffix would make every page its own output.
  if (options.suffix.empty()) return "the suffix must not be empty";
  if (options.has_page_list && !operands.empty()) {
    return "page names come from --files0-from; extra operand '" + operands[0] + "'";
  }
  if (!options.has_page_list && operands.empty()) return "missing page names";
  options.pages = std::move(operands);
  return std::nullopt;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  Seen seen;
  std::vector<std::string> operands;
  bool options_ended = false;
  for (size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
    } else if (argument == "-q" || argument == "--quiet") {
      options.quiet = true;
    } else if (argument == "-h" || argument == "--help") {
      options.help = true;
    } else if (argument == "-V" || argument == "--version") {
      options.version = true;
    } else if (argument == "--each") {
      seen.each = true;
      options.form = Form::kEach;
    } else if (argument == "--list") {
      seen.list = true;
      options.form = Form::kList;
    } else if (argument == "--html") {
      options.html = true;
    } else if (argument == "--all-schemes") {
      seen.all_schemes = true;
      options.all_schemes = true;
    } else if (argument == "--warc") {
      options.warc = true;
    } else if (argument == "--progress") {
      options.progress = true;
    } else if (argument == "-Z" || argument == "--null") {
      seen.null_after_name = true;
      options.null_after_name = true;
    } else if (argument.starts_with("-x") && argument.size() > 2) {
      Take(Valued::kExclude, argument.substr(2), options, seen);
    } else {
      const std::string_view name = argument == "-x"
                                        ? std::string_view("--exclude")
                                        : std::string_view(argument).substr(0, argument.find('='));
      const ValuedOption* valued = nullptr;
      for (const ValuedOption& candidate : kValuedOptions) {
        if (candidate.long_name == name) valued = &candidate;
      }
      if (valued == nullptr) {
        options.error = "unknown option '" + argument + "'";
        return options;
      }
      if (argument.size() > name.size() && argument != "-x") {
        Take(valued->which, argument.substr(name.size() + 1), options, seen);
      } else if (at + 1 < arguments.size()) {
        Take(valued->which, arguments[++at], options, seen);
      } else {
        options.error = "option '" + argument + "' needs a value";
        return options;
      }
    }
  }
  if (options.help || options.version) return options;
  if (std::optional<std::string> error = CheckForm(options, seen, operands)) {
    options.error = std::move(*error);
  }
  return options;
}

const char* UsageLines() {
  return "Usage: quillon [-q|--quiet] INPUT OUTPUT [KEYWORD...]\n"
         "  or:  quillon --each [-q] [--progress] [--suffix=SUFFIX] [-x KEYWORD]... PAGE...\n"
         "  or:  quillon --list [-q] [--progress] [-Z] [-x KEYWORD]... PAGE...\n"
         "  or:  quillon --each|--list --html [--base=URL [--root=DIR]] [--charset=LABEL]\n"
         "               [--all-schemes] [OPTION]... PAGE...\n"
         "  or:  quillon --list --warc [--html [--all-schemes]] [--progress] [-Z]\n"
         "               [-x KEYWORD]... ARCHIVE...\n";
}

std::string UsageText() {
  return std::string(UsageLines()) +
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
         "--each writes the addresses of every PAGE to PAGE followed by SUFFIX (default\n"
         ".links), as the first form would; a page whose output would be another listed\n"
         "page is skipped. --list writes PAGE, a tab and the address, one line each, to\n"
         "standard output. Both report only problems, as 'quillon: PAGE: reason', and go on\n"
         "with the next page.\n"
         "\n"
         "--list --warc reads web archives (.warc, and .warc.gz whether one gzip member per\n"
         "record or one stream; '-' is standard input) and writes, for every HTML page in\n"
         "them (response records of HTML or untyped HTTP responses, resource records of\n"
         "text/html), its WARC-Target-URI, a tab and the address, one line each, in file and\n"
         "record order. Chunked and gzip, deflate or br coded bodies are decoded. Damage (a\n"
         "cut or corrupt gzip member, a malformed header, a Content-Length past the end, a\n"
         "body that cannot be decoded) is reported as 'quillon: ARCHIVE: offset N: reason',\n"
         "N the record's (or its gzip member's) byte offset in the file as stored, and\n"
         "reading goes on at the next record that can be found. With --html, a page's URL\n"
         "is its WARC-Target-URI and its --charset the charset of its HTTP Content-Type\n"
         "(ignored when it names no known encoding); a page whose target URI is not an\n"
         "absolute URL is reported, with its offset, and its links are skipped.\n"
         "\n"
         "  -q, --quiet              leave out the opening notice\n"
         "  --each                   one output file per page\n"
         "  --list                   every page's addresses to standard output\n"
         "  --suffix=SUFFIX          the output file names' ending under --each\n"
         "  -x, --exclude=KEYWORD    leave out addresses holding KEYWORD (up to six)\n"
         "  --warc                   under --list, the operands are web archives (WARC)\n"
         "  --progress               under --each and --list, the pages (with --warc, the\n"
         "                           archives and pages) done, bytes read, speed and the\n"
         "                           file being read, on one line of standard error\n"
         "                           rewritten in place\n"
         "  -Z, --null               under --list, a NUL instead of the tab after PAGE\n"
         "  --files0-from=FILE       read the page names, each ended by a NUL, from FILE\n"
         "                           ('-': standard input) instead of the command line\n"
         "  --html                   the HTML rules (below), with --each or --list\n"
         "  --base=URL               the page's URL; with --root, the URL of the folder DIR\n"
         "  --root=DIR               a page under DIR has the URL of --base followed by its\n"
         "                           path below DIR, percent-encoded\n"
         "  --charset=LABEL          the pages' encoding when they have no byte order mark\n"
         "  --all-schemes            keep links of every scheme, not only http and https\n"
         "  -h, --help               show this help and exit\n"
         "  -V, --version            show the version and exit\n"
         "  --                       end of options\n"
         "\n"
         "With --html, every a and area href of a page is read as a browser reads it\n"
         "(quoted or not, character references decoded, not inside comments, scripts or\n"
         "other raw text) and resolved against the page's URL, or from the first base href\n"
         "on against that, to the URL a browser would follow, one per line. A page's URL is\n"
         "--base, or with --root its place under --base; without --base it is the page's\n"
         "file:// URL (its absolute path, percent-encoded). The page's encoding is its byte\n"
         "order mark's, else --charset, else a <meta> charset within its first 1024 bytes,\n"
         "else UTF-8. Only http and https links are kept unless --all-schemes. A page not\n"
         "under --root is skipped and reported.\n"
         "\n"
         "Exit status: 0 when the run reported nothing but its opening notice, 1 when it\n"
         "reported anything else (a page or output that failed, standard input or output\n"
         "that failed, memory exhausted), 2 for a usage error or an OUTPUT that is INPUT\n"
         "itself (nothing is run).\n";
}

}  // namespace cli
