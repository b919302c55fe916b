// quillon --each and --list as a user runs them: the files and lines they write, what they
// report, and their exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>

#include "cli/many_pages.h"
#include "tests/cases/extraction_cases.h"
#include "tests/cli/tool_run.h"
#include "tests/support/linux_test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;
using tool_testing::LargePage;
using tool_testing::Result;
using tool_testing::RunScript;
using tool_testing::RunTool;
using namespace std::string_literals;

TEST(ManyPagesTest, EachWritesWhatTheClassicFormWritesForEveryPage) {
  ScratchFolder folder;
  // Pages grouped by keywords: one --each run per group, one classic run per page.
  std::map<quillon::ExclusionKeywords, std::vector<std::string>> groups;
  int number = 0;
  for (const cases::ExtractionCase& c : cases::ExtractionCases()) {
    std::string page = "case" + std::to_string(number++) + ".htm";
    WriteFile(folder.Path(page), c.page);
    // Outputs from an earlier run, longer than the new ones: nothing of them may stay.
    WriteFile(folder.Path(page + ".links"), std::string(600, '#'));
    groups[c.keywords].push_back(page);
  }
  WriteFile(folder.Path("large.htm"), LargePage());
  WriteFile(folder.Path("large.htm.links"), std::string(1 << 20, '#'));
  groups[{"yahoo", "", "", "", "", ""}].push_back("large.htm");
  std::string script;
  for (const auto& [keywords, pages] : groups) {
    std::string classic_keywords, excludes, names;
    for (const std::string& keyword : keywords) {
      classic_keywords += " '" + keyword + "'";
      excludes += " -x '" + keyword + "'";
    }
    for (const std::string& page : pages) {
      script += "quillon -q " + page + " " + page + ".classic" + classic_keywords + " || exit\n";
      names += " " + page;
    }
    script += "quillon --each" + excludes + names + " || exit\n";
  }
  Result result = RunScript(folder, script);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  for (const auto& [keywords, pages] : groups) {
    for (const std::string& page : pages) {
      EXPECT_TRUE(ReadFile(folder.Path(page + ".links")) ==
                  ReadFile(folder.Path(page + ".classic")))
          << page;
    }
  }
}

TEST(ManyPagesTest, ListWritesNameSeparatorAndAddressInPageOrder) {
  ScratchFolder folder;
  WriteFile(folder.Path("b.htm"),
            "<a href=\"http://b1.example/\"><a href=\"http://yahoo.example/\">"
            "<a href=\"http://b2.example/x.html\">");
  WriteFile(folder.Path("a.htm"), "<A HREF=\"http://a1.example\">");
  WriteFile(folder.Path("none.htm"), "no anchors");
  WriteFile(folder.Path("tab\tname.htm"), "<a href=\"http://t.example/\">");
  struct {
    const char* arguments;
    std::string out;
  } const cases[] = {
      {"--list -x yahoo b.htm none.htm a.htm",
       "b.htm\thttp://b1.example/\nb.htm\thttp://b2.example/x.html\na.htm\thttp://a1.example/\n"},
      {"--list -Z $'tab\\tname.htm' a.htm",
       "tab\tname.htm\0http://t.example/\na.htm\0http://a1.example/\n"s},
  };
  for (const auto& c : cases) {
    Result result = RunTool(folder, c.arguments);
    EXPECT_EQ(result.status, 0) << c.arguments;
    EXPECT_EQ(result.err, "") << c.arguments;
    EXPECT_EQ(result.out, c.out) << c.arguments;
  }
}

TEST(ManyPagesTest, PageNamesFromANulSeparatedListInAFileOrOnStandardInput) {
  ScratchFolder folder;
  WriteFile(folder.Path("a b.htm"), "<a href=\"http://a.example/\">");
  WriteFile(folder.Path("c\nd.htm"), "<a href=\"http://c.example/\">");
  WriteFile(folder.Path("names"), "a b.htm\0c\nd.htm"s);
  const std::string listed = "a b.htm\thttp://a.example/\nc\nd.htm\thttp://c.example/\n";
  for (const char* script :
       {"quillon --list --files0-from=names", "quillon --list --files0-from=- < names",
        "printf 'a b.htm\\0' | quillon --each --files0-from=- && "
        "quillon --list 'a b.htm' 'c\nd.htm'"}) {
    Result result = RunScript(folder, script);
    EXPECT_EQ(result.status, 0) << script;
    EXPECT_EQ(result.out, listed) << script;
    EXPECT_EQ(result.err, "") << script;
  }
  EXPECT_EQ(ReadFile(folder.Path("a b.htm.links")), "http://a.example/\r\n");
}

// Every problem is one line naming its page or file; the other pages are still done.
TEST(ManyPagesTest, ProblemsAreReportedAndTheRunGoesOn) {
  ScratchFolder folder;
  WriteFile(folder.Path("one.htm"), "<a href=\"http://1.example/\">");
  WriteFile(folder.Path("two.htm"), "<a href=\"http://2.example/\">");
  WriteFile(folder.Path("full.htm"), "<a href=\"http://f.example/\">");
  WriteFile(folder.Path("names"), "one.htm\0\0two.htm\0"s);
  std::filesystem::create_directory(folder.Path("dir.htm"));
  std::filesystem::create_directory(folder.Path("one.htm.dir"));
  const std::string listed = "one.htm\thttp://1.example/\ntwo.htm\thttp://2.example/\n";
  struct {
    const char* script;
    std::string out, err;
  } const cases[] = {
      {"quillon --each one.htm missing.htm dir.htm two.htm", "",
       "quillon: missing.htm: No such file or directory\nquillon: dir.htm: Is a directory\n"},
      {"quillon --each --suffix=.dir one.htm two.htm", "",
       "quillon: one.htm.dir: Is a directory\n"},
      {"quillon --list one.htm missing.htm two.htm", listed,
       "quillon: missing.htm: No such file or directory\n"},
      {"quillon --list --files0-from=- < names", listed,
       "quillon: standard input:2: empty page name, skipped\n"},
      {"quillon --list --files0-from=nothing", "", "quillon: nothing: No such file or directory\n"},
      // The file the lines go to would grow while it is read.
      {"quillon --list listed.htm >> listed.htm", "",
       "quillon: listed.htm: skipped: it is the standard output\n"},
      {"quillon --list one.htm > /dev/full", "",
       "quillon: standard output: write error: No space left on device\n"},
      {"quillon --list one.htm >&-", "",
       "quillon: standard output: write error: Bad file descriptor\n"},
      {"quillon --list --files0-from=- <&-", "",
       "quillon: standard input: read error: Bad file descriptor\n"},
      {"ln -s /dev/full full.htm.links && quillon --each full.htm one.htm", "",
       "quillon: full.htm.links: write error: No space left on device\n"},
  };
  for (const auto& c : cases) {
    Result result = RunScript(folder, c.script);
    EXPECT_EQ(result.status, 1) << c.script;
    EXPECT_EQ(result.out, c.out) << c.script;
    EXPECT_EQ(result.err, c.err) << c.script;
  }
  EXPECT_EQ(ReadFile(folder.Path("one.htm.links")), "http://1.example/\r\n");
  EXPECT_EQ(ReadFile(folder.Path("two.htm.dir")), "http://2.example/\r\n");
  // Unlike the classic form, a page that cannot be read gets no output file.
  EXPECT_FALSE(FileExists(folder.Path("missing.htm.links")));
  EXPECT_FALSE(FileExists(folder.Path("dir.htm.links")));
}

TEST(ManyPagesTest, ProgressIsOneLineOfStandardErrorAndChangesNothingElse) {
  ScratchFolder folder;
  WriteFile(folder.Path("one.htm"), "<a href=\"http://1.example/\">" + std::string(300000, ' '));
  WriteFile(folder.Path("two.htm"), "<a href=\"http://2.example/\">");
  // Too quick for the line to show before the end: the problem's line stands alone, then
  // the last figures.
  const std::regex progress(
      "quillon: missing.htm: No such file or directory\n"
      "\rquillon: 3/3 pages, 0.3 MB read, [0-9]+ MB/s, two.htm\n");
  for (std::string form : {"--list", "--each"}) {
    const std::string pages = " one.htm missing.htm two.htm";
    const Result plain = RunScript(folder, "quillon " + form + pages);
    const Result shown = RunScript(folder, "quillon --progress " + form + pages);
    EXPECT_EQ(shown.status, plain.status) << form;
    EXPECT_EQ(shown.out, plain.out) << form;
    EXPECT_TRUE(std::regex_match(shown.err, progress)) << form << ": " << shown.err;
  }
}

TEST(ManyPagesTest, APageWhoseOutputIsAnotherListedPageIsSkipped) {
  ScratchFolder folder;
  const std::string page = "<a href=\"http://p.example/\">";
  for (const char* name : {"a.htm", "b.htm", "a.htm.links"}) WriteFile(folder.Path(name), page);
  std::filesystem::create_symlink("b.htm", folder.Path("c.htm.links"));
  WriteFile(folder.Path("c.htm"), page);
  Result by_name = RunTool(folder, "--each a.htm b.htm a.htm.links c.htm");
  EXPECT_EQ(by_name.status, 1);
  EXPECT_EQ(by_name.err,
            "quillon: a.htm: skipped: its output 'a.htm.links' would be written over the page "
            "'a.htm.links'\n"
            "quillon: c.htm: skipped: its output 'c.htm.links' would be written over the page "
            "'b.htm'\n");
  EXPECT_EQ(ReadFile(folder.Path("a.htm.links")), page);
  EXPECT_EQ(ReadFile(folder.Path("b.htm")), page);
  EXPECT_EQ(ReadFile(folder.Path("b.htm.links")), "http://p.example/\r\n");
  EXPECT_EQ(ReadFile(folder.Path("a.htm.links.links")), "http://p.example/\r\n");
}

// In the tool's own process, where reads can be made to fail at a chosen spot of each file.
TEST(ManyPagesTest, AReadErrorPartWayKeepsTheRecordsBeforeItAndTheRunGoesOn) {
  ScratchFolder folder;
  const std::string large = LargePage();
  const long long bad_offset = static_cast<long long>(large.size() / 2);
  ASSERT_GT(bad_offset, 200 * 1024);  // past the first read block
  WriteFile(folder.Path("large.htm"), large);
  WriteFile(folder.Path("prefix.htm"), large.substr(0, bad_offset));
  WriteFile(folder.Path("small.htm"), "<a href=\"http://s.example/\">");
  const int errors = open(folder.Path("errors").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_NE(errors, -1);
  cli::Options options;
  options.form = cli::Form::kEach;
  options.pages = {folder.Path("prefix.htm")};
  ASSERT_EQ(cli::RunManyPages(options, {0, 1, errors}), 0);
  options.pages = {folder.Path("large.htm"), folder.Path("small.htm")};
  int status;
  {
    testing_support::FailingReads failing(testing_support::FailingReads::kAll, 0, bad_offset);
    status = cli::RunManyPages(options, {0, 1, errors});
  }
  close(errors);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(ReadFile(folder.Path("errors")),
            "quillon: " + folder.Path("large.htm") + ": read error: Input/output error\n");
  const std::string before = ReadFile(folder.Path("prefix.htm.links"));
  EXPECT_GT(before.size(), 1000u);
  EXPECT_EQ(ReadFile(folder.Path("large.htm.links")), before);
  EXPECT_EQ(ReadFile(folder.Path("small.htm.links")), "http://s.example/\r\n");
}

}  // namespace
