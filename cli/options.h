#pragma once
// The command line of the quillon tool.
#include <optional>
#include <string>
#include <vector>

#include "library/engine.h"

namespace cli {

using quillon::kMaxKeywords;

enum class Form {
  kClassic,  // INPUT OUTPUT [KEYWORD...]: one run of the library's export
  kEach,     // --each: every page's records to a file beside it
  kList,     // --list: every page's records to standard output, after the page's name
};

struct Options {
  Form form = Form::kClassic;
  bool quiet = false;
  bool help = false;
  bool version = false;
  // The classic form.
  std::string input;
  std::string output;
  // At most kMaxKeywords: operands in the classic form, --exclude in the others.
  std::vector<std::string> keywords;
  // The many-page forms: the pages named as operands, or the list to read them from.
  std::vector<std::string> pages;
  bool has_page_list = false;
  std::string page_list;  // "-": standard input
  std::string suffix = ".links";
  bool null_after_name = false;
  // --html: the HTML rules, with the pages' URLs, the caller's charset and the schemes kept.
  bool html = false;
  std::optional<std::string> base;     // --base: the page's URL (with --root, DIR's)
  std::optional<std::string> root;     // --root: the folder whose URL --base gives
  std::optional<std::string> charset;  // --charset: the pages' encoding label
  bool all_schemes = false;
  // --warc: the operands are web archives, whose pages --list reads.
  bool warc = false;
  // --progress: a line of figures on standard error, rewritten in place.
  bool progress = false;
  std::string error;  // non-empty: a usage error, nothing else holds
};

// Reads `arguments` (without the program name). Options may stand anywhere before "--";
// after it everything is a file name or keyword. "-" alone is an operand.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage lines, shown with every usage error.
const char* UsageLines();
// The usage text, for --help.
std::string UsageText();

}  // namespace cli
