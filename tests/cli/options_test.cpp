// The tool's command line: what runs, and what is refused before anything runs.
#include <gtest/gtest.h>

#include "cli/options.h"

namespace {

using cli::Options;
using cli::ParseOptions;

TEST(OptionsTest, AcceptedCommandLines) {
  struct {
    std::vector<std::string> arguments;
    bool quiet;
    std::string input, output;
    std::vector<std::string> keywords;
  } const cases[] = {
      {{"in.htm", "out.txt"}, false, "in.htm", "out.txt", {}},
      {{"-q", "in.htm", "out.txt", "yahoo"}, true, "in.htm", "out.txt", {"yahoo"}},
      {{"in.htm", "--quiet", "out.txt"}, true, "in.htm", "out.txt", {}},
      {{"in", "out", "1", "2", "3", "4", "5", "6"},
       false,
       "in",
       "out",
       {"1", "2", "3", "4", "5", "6"}},
      {{"--", "-q", "-out", ""}, false, "-q", "-out", {""}},
      {{"-", "out"}, false, "-", "out", {}},
  };
  for (const auto& c : cases) {
    Options options = ParseOptions(c.arguments);
    EXPECT_EQ(options.error, "") << c.arguments[0];
    EXPECT_EQ(options.quiet, c.quiet) << c.arguments[0];
    EXPECT_EQ(options.input, c.input);
    EXPECT_EQ(options.output, c.output);
    EXPECT_EQ(options.keywords, c.keywords);
  }
}

TEST(OptionsTest, UsageErrors) {
  struct {
    std::vector<std::string> arguments;
    std::string error;
  } const cases[] = {
      {{}, "missing input and output file names"},
      {{"in.htm"}, "missing output file name"},
      {{"-q", "in.htm"}, "missing output file name"},
      {{"in", "out", "1", "2", "3", "4", "5", "6", "7"}, "at most six keywords, got 7"},
      {{"-y", "in", "out"}, "unknown option '-y'"},
      {{"in", "out", "--keyword=a"}, "unknown option '--keyword=a'"},
      {{"-x", "yahoo", "in", "out"}, "--exclude goes with --each or --list"},
      {{"--suffix=.txt", "in", "out"}, "--suffix goes with --each"},
      {{"--files0-from=list", "in", "out"}, "--files0-from goes with --each or --list"},
      {{"--each", "--list", "page"}, "--each and --list do not go together"},
      {{"--each", "-Z", "page"}, "--null goes with --list"},
      {{"--each", "--suffix=", "page"}, "the suffix must not be empty"},
      {{"--each", "--warc", "a.warc"}, "--warc goes with --list"},
      {{"--warc", "in", "out"}, "--warc goes with --list"},
      {{"--progress", "in", "out"}, "--progress goes with --each or --list"},
      {{"--list", "--warc", "--html", "--base=http://a/", "a.warc"},
       "--base does not go with --warc: each page's URL is its target URI"},
      {{"--each"}, "missing page names"},
      {{"--list", "-x"}, "option '-x' needs a value"},
      {{"--list", "--files0-from=-", "page"},
       "page names come from --files0-from; extra operand 'page'"},
      {{"--list", "-x1", "-x2", "-x3", "-x4", "-x5", "-x6", "-x7", "page"},
       "at most six keywords, got 7"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseOptions(c.arguments).error, c.error);
}

TEST(OptionsTest, ManyPageForms) {
  Options each = ParseOptions({"--each", "--suffix", ".txt", "-x", "k1", "-xk2", "--exclude=k3",
                               "--exclude", "", "a", "--", "-b"});
  EXPECT_EQ(each.error, "");
  EXPECT_EQ(each.form, cli::Form::kEach);
  EXPECT_EQ(each.pages, (std::vector<std::string>{"a", "-b"}));
  EXPECT_EQ(each.keywords, (std::vector<std::string>{"k1", "k2", "k3", ""}));
  EXPECT_EQ(each.suffix, ".txt");
  Options list = ParseOptions({"--list", "--files0-from=-", "-Z", "-q"});
  EXPECT_EQ(list.error, "");
  EXPECT_EQ(list.form, cli::Form::kList);
  EXPECT_TRUE(list.has_page_list && list.page_list == "-" && list.null_after_name && list.quiet);
  EXPECT_EQ(list.suffix, ".links");
}

TEST(OptionsTest, HelpAndVersionNeedNoFiles) {
  EXPECT_TRUE(ParseOptions({"--help"}).help);
  EXPECT_TRUE(ParseOptions({"-h"}).help);
  EXPECT_TRUE(ParseOptions({"--version"}).version);
  EXPECT_EQ(ParseOptions({"-V"}).error, "");
}

}  // namespace
