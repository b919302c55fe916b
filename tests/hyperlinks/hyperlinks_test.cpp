// The HTML rules' engine, its C calls and the tool's --html forms: what the differential test
// (differential.py, against the reference) cannot see.
#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "library/hyperlinks/hyperlink_engine.h"
#include "library/quillon_engine.h"
#include "tests/cli/tool_run.h"
#include "tests/support/linux_test_support.h"

namespace {

using quillon::HyperlinkEngine;
using quillon::HyperlinkOptions;

class Links final : public quillon::RecordSink {
 public:
  void Record(const char* address, size_t length) override { links.emplace_back(address, length); }
  std::vector<std::string> links;
};

std::vector<std::string> Feed(HyperlinkEngine& engine, const std::string& page,
                              const std::vector<size_t>& cuts = {}) {
  Links sink;
  size_t at = 0;
  for (size_t cut : cuts) {
    engine.Feed(reinterpret_cast<const unsigned char*>(page.data()) + at, cut - at, sink);
    at = cut;
  }
  engine.Feed(reinterpret_cast<const unsigned char*>(page.data()) + at, page.size() - at, sink);
  engine.Finish(sink);
  return sink.links;
}

HyperlinkOptions Options(std::string_view page_url, std::string_view charset = {}) {
  HyperlinkOptions options;
  options.page_url = page_url;
  options.charset = charset;
  return options;
}

std::vector<std::string> LinksOf(const std::string& page, HyperlinkOptions options = {}) {
  if (options.page_url.empty()) options.page_url = "http://h.example/d/p.html";
  HyperlinkEngine engine(options);
  return Feed(engine, page);
}

// The generated pages (make_pages.py, run by the test fixture), whole and in random chunks, one
// engine reused for all of them, give what a fresh engine fed each page at once gives.
TEST(HyperlinkEngine, ChunkingsAndReuseChangeNothing) {
  const std::string folder = QUILLON_GENERATED_PAGES;
  std::mt19937 random(20261209);
  HyperlinkOptions options;
  options.page_url = "http://h.example/d/p.html";
  options.all_schemes = true;
  HyperlinkEngine reused(options);
  size_t pages = 0;
  size_t links = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string page = testing_support::ReadFile(entry.path());
    HyperlinkOptions own = options;
    if (entry.path().string().find("/latin/") != std::string::npos) own.charset = "latin1";
    const std::vector<std::string> whole = LinksOf(page, own);
    HyperlinkEngine chunked(own);
    std::vector<size_t> cuts;
    const size_t step = 1 + random() % (pages % 3 == 0 ? 4 : 3000);
    for (size_t at = random() % step; at < page.size(); at += 1 + random() % step) {
      cuts.push_back(at);
    }
    EXPECT_EQ(Feed(chunked, page, cuts), whole) << entry.path() << " in chunks up to " << step;
    if (own.charset.empty()) {
      EXPECT_EQ(Feed(reused, page), whole) << entry.path();
    }
    ++pages;
    links += whole.size();
  }
  EXPECT_GT(pages, 100u);
  EXPECT_GT(links, pages);
}

// The encoding comes from the byte order mark, then the caller, then the prescan of the first
// 1024 bytes, then UTF-8; the links are the same whatever the chunks.
TEST(HyperlinkEngine, EncodingOrder) {
  const std::string e_acute_1252 = "<a href='/\xE9'>";
  const std::string e_acute_escaped = "http://h.example/%C3%A9";
  const std::string replacement = "http://h.example/%EF%BF%BD";
  HyperlinkOptions latin;
  latin.charset = "iso-8859-1";
  EXPECT_EQ(LinksOf(e_acute_1252), std::vector{replacement});
  EXPECT_EQ(LinksOf(e_acute_1252, latin), std::vector{e_acute_escaped});
  EXPECT_EQ(LinksOf("<meta charset=windows-1252>" + e_acute_1252), std::vector{e_acute_escaped});
  // The caller's label beats the page's own declaration, a byte order mark beats both.
  HyperlinkOptions utf8;
  utf8.charset = "utf-8";
  EXPECT_EQ(LinksOf("<meta charset=windows-1252>" + e_acute_1252, utf8), std::vector{replacement});
  EXPECT_EQ(LinksOf("\xEF\xBB\xBF<meta charset=windows-1252><a href='/\xC3\xA9'>", latin),
            std::vector{e_acute_escaped});
  // UTF-16 by its mark; a declaration past the first 1024 bytes is not seen.
  const std::string utf16 = std::string("\xFF\xFE<\0a\0 \0h\0r\0e\0f\0=\0/\0\xE9\0>\0", 24);
  EXPECT_EQ(LinksOf(utf16), std::vector{e_acute_escaped});
  EXPECT_EQ(LinksOf(std::string(1020, ' ') + "<meta charset=windows-1252>" + e_acute_1252),
            std::vector{replacement});
  // A page shorter than the prescan's 1024 bytes, fed one byte at a time.
  HyperlinkEngine engine(Options("http://h.example/"));
  const std::string page = "<meta charset=windows-1252>" + e_acute_1252;
  std::vector<size_t> every_byte;
  for (size_t at = 1; at < page.size(); ++at) every_byte.push_back(at);
  EXPECT_EQ(Feed(engine, page, every_byte), std::vector{e_acute_escaped});
  EXPECT_EQ(engine.page_encoding(), quillon::encoding::Encoding::kWindows1252);
}

// `utf8` in `encoding` (an iconv name), every character of it encodable there.
std::string Encoded(const std::string& utf8, const char* encoding) {
  iconv_t converter = iconv_open(encoding, "UTF-8");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << encoding;
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* at = out.data();
  size_t out_left = out.size();
  EXPECT_NE(iconv(converter, &in, &in_left, &at, &out_left), static_cast<size_t>(-1)) << encoding;
  iconv_close(converter);
  out.resize(out.size() - out_left);
  return out;
}

// A page in a legacy encoding is tokenized as it stands and each href converted alone: it gives
// the links of the same page in UTF-8, in any chunks, with references, quotes and '&' beside
// letters whose trail bytes are ASCII ("\xE3\x82\xBD" and "\xE8\xA1\xA8" end in '\' in
// Shift_JIS), and the length bound taken on the decoded value.
TEST(HyperlinkEngine, LegacyEncodingsGiveTheLinksOfUtf8) {
  const std::string so = "\xE3\x82\xBD", table = "\xE8\xA1\xA8", japan = "\xE6\x97\xA5\xE6\x9C\xAC";
  std::string letters;
  for (int i = 0; i < 2730; ++i) letters += table;  // 8190 bytes in UTF-8, 5460 in Shift_JIS
  const std::string common =
      "<title><a href=no></title><a href=\"/" + table + "\xE7\xA4\xBA/" + so + "?q=" + japan +
      "&amp;x=&#x8868;#" + so + "\">" + japan + "</a><a href='" + so + "&notit;" + table +
      "&amp=1&" + table + "'><A HREF=" + so + "&quot;" + japan + "&lt>" + "<area href=\" " + japan +
      "&#0;" + so + "\r\n\">" + "<a href=\"/" + letters + "xy\"><a href=\"/" + letters +
      "x\"><a title='" + so + "' href=//" + japan + ".example/" + so + ">";
  const std::vector<std::tuple<const char*, const char*, std::string>> cases = {
      {"shift_jis", "CP932", common},
      {"euc-jp", "EUC-JP", common},
      {"gbk", "GBK", common},
      {"gb18030", "GB18030", common},
      {"big5", "BIG5", "<a href='/" + japan + "&amp;" + japan + "'><a href=\"" + japan + "\">"},
      {"windows-1252", "CP1252",
       "<a href='/caf\xC3\xA9&amp;\xC3\xBC=&eacute;'><a href=\"\xC2\xA3&#163;\xC3\xA9\">"},
  };
  std::mt19937 random(20261209);
  for (const auto& [label, iconv_name, page] : cases) {
    HyperlinkEngine utf8_engine(Options("http://h.example/d/p.html"));
    const std::vector<std::string> expected = Feed(utf8_engine, page);
    EXPECT_GE(expected.size(), 2u) << label;
    const std::string encoded = Encoded(page, iconv_name);
    ASSERT_NE(encoded, page) << label;
    HyperlinkEngine engine(Options("http://h.example/d/p.html", label));
    for (int round = 0; round < 20; ++round) {
      std::vector<size_t> cuts;
      const size_t step = 1 + random() % (round < 10 ? 5 : 4000);
      for (size_t at = random() % step; at < encoded.size(); at += 1 + random() % step) {
        cuts.push_back(at);
      }
      EXPECT_EQ(Feed(engine, encoded, cuts), expected) << label << " in chunks up to " << step;
      EXPECT_EQ(engine.long_hrefs_skipped(), utf8_engine.long_hrefs_skipped()) << label;
    }
  }
  HyperlinkEngine utf8_engine(Options("http://h.example/d/p.html"));
  EXPECT_EQ(Feed(utf8_engine, common).size(), 6u);
  EXPECT_EQ(utf8_engine.long_hrefs_skipped(), 1u);
}

// The base, the schemes, the keywords and the counts of what was skipped.
TEST(HyperlinkEngine, BaseSchemesKeywordsAndCounts) {
  const std::string page =
      "<a href=a>x</a><a href='mailto:m@example.org'><base href='http://[bad'>"
      "<base href='http://other.example/'><a href=b><a href='http://[x'><area href='" +
      std::string(8193, 'y') + "'><a href='" + std::string(8192 - 7, 'z') + "/yahoo'>";
  HyperlinkOptions options = Options("https://h.example/d/");
  HyperlinkEngine engine(options);
  const std::string long_kept = "https://h.example/d/" + std::string(8192 - 7, 'z') + "/yahoo";
  EXPECT_EQ(Feed(engine, page), (std::vector<std::string>{"https://h.example/d/a",
                                                          "https://h.example/d/b", long_kept}));
  EXPECT_EQ(engine.long_hrefs_skipped(), 1u);
  EXPECT_EQ(engine.hrefs_failed(), 1u);
  options.all_schemes = true;
  options.keywords = {"", "yahoo", "d/a"};
  EXPECT_EQ(LinksOf(page, options),
            (std::vector<std::string>{"mailto:m@example.org", "https://h.example/d/b"}));
  // No page URL: relative hrefs fail until a base gives an absolute URL.
  HyperlinkEngine no_url(HyperlinkOptions{});
  EXPECT_EQ(Feed(no_url,
                 "<a href=x><a href='http://a.example/'><base href='http://b.example/'>"
                 "<a href=y>"),
            (std::vector<std::string>{"http://a.example/", "http://b.example/y"}));
  EXPECT_EQ(no_url.hrefs_failed(), 1u);
  EXPECT_THROW(HyperlinkEngine(Options("relative")), std::invalid_argument);
  EXPECT_THROW(HyperlinkEngine(Options("", "no-such")), std::invalid_argument);
}

int Collect(void* context, const char* address, size_t length) {
  static_cast<std::vector<std::string>*>(context)->emplace_back(address, length);
  return 0;
}

TEST(HyperlinkCalls, MakeFeedAndRefuse) {
  std::vector<std::string> links;
  quillon_engine* engine = nullptr;
  const char* keywords[] = {"skip"};
  ASSERT_EQ(quillon_engine_new_html("http://h.example/", "latin1", QUILLON_HTML_ALL_SCHEMES,
                                    keywords, 1, Collect, &links, &engine),
            QUILLON_OK);
  const std::string page = "<a href=x?\xE9><a href=skip><a href=tel:1";
  EXPECT_EQ(quillon_engine_feed(engine, page.data(), page.size()), QUILLON_OK);
  // The page URL changes between pages only.
  EXPECT_EQ(quillon_engine_set_page_url(engine, "http://o.example/"), QUILLON_ERROR_ARGUMENT);
  EXPECT_EQ(quillon_engine_feed(engine, ">", 1), QUILLON_OK);
  EXPECT_EQ(quillon_engine_finish(engine), QUILLON_OK);
  EXPECT_EQ(quillon_engine_set_page_url(engine, "nope"), QUILLON_ERROR_PAGE_URL);
  EXPECT_EQ(quillon_engine_set_page_url(engine, "http://o.example/"), QUILLON_OK);
  EXPECT_EQ(quillon_engine_feed(engine, "<a href=y>", 10), QUILLON_OK);
  EXPECT_EQ(quillon_engine_finish(engine), QUILLON_OK);
  unsigned long long long_hrefs = 9, unparsed = 9;
  EXPECT_EQ(quillon_engine_skipped(engine, &long_hrefs, &unparsed), QUILLON_OK);
  EXPECT_EQ(long_hrefs + unparsed, 0u);
  quillon_engine_free(engine);
  EXPECT_EQ(links,
            (std::vector<std::string>{"http://h.example/x?%C3%A9", "tel:1", "http://o.example/y"}));

  EXPECT_EQ(quillon_engine_new_html("x", nullptr, 0, nullptr, 0, Collect, &links, &engine),
            QUILLON_ERROR_PAGE_URL);
  EXPECT_EQ(quillon_engine_new_html(nullptr, "", 0, nullptr, 0, Collect, &links, &engine),
            QUILLON_ERROR_ENCODING_LABEL);
  EXPECT_EQ(quillon_engine_new_html(nullptr, nullptr, 2, nullptr, 0, Collect, &links, &engine),
            QUILLON_ERROR_ARGUMENT);
  EXPECT_EQ(engine, nullptr);
  ASSERT_EQ(quillon_engine_new(nullptr, 0, Collect, &links, &engine), QUILLON_OK);
  EXPECT_EQ(quillon_engine_set_page_url(engine, "http://h.example/"), QUILLON_ERROR_ARGUMENT);
  EXPECT_EQ(quillon_engine_skipped(engine, nullptr, nullptr), QUILLON_ERROR_ARGUMENT);
  quillon_engine_free(engine);

  links.clear();
  EXPECT_EQ(quillon_extract_html("<a href=//a.example>", 20, "https://h.example/", nullptr, 0,
                                 nullptr, 0, Collect, &links),
            QUILLON_OK);
  EXPECT_EQ(links, std::vector<std::string>{"https://a.example/"});
}

// The tool: each page's own URL, --root, --each's CR LF, and the usage errors.
TEST(HtmlTool, PageUrlsAndForms) {
  using tool_testing::RunTool;
  testing_support::ScratchFolder folder;
  std::filesystem::create_directories(folder.Path("site/a b"));
  testing_support::WriteFile(folder.Path("site/a b/p#1.html"), "<a href=''><a href=../up.html>");
  testing_support::WriteFile(folder.Path("out.html"), "<a href=x>");
  tool_testing::Result listed = RunTool(folder, "--list --html --all-schemes 'site/a b/p#1.html'");
  EXPECT_EQ(listed.status, 0) << listed.err;
  const std::string url = "file://" + folder.path() + "/site/a%20b/p%231.html";
  EXPECT_EQ(listed.out, "site/a b/p#1.html\t" + url + "\nsite/a b/p#1.html\tfile://" +
                            folder.path() + "/site/up.html\n");
  tool_testing::Result rooted = RunTool(
      folder,
      "--list --html --base=https://h.example/docs --root=site 'site/a b/p#1.html' out.html");
  EXPECT_EQ(rooted.status, 1);
  EXPECT_EQ(rooted.out,
            "site/a b/p#1.html\thttps://h.example/docs/a%20b/p%231.html\n"
            "site/a b/p#1.html\thttps://h.example/docs/up.html\n");
  EXPECT_NE(rooted.err.find("out.html: skipped: it is not under --root"), std::string::npos);
  EXPECT_EQ(RunTool(folder, "--each --html --base=http://h.example/ out.html").status, 0);
  EXPECT_EQ(testing_support::ReadFile(folder.Path("out.html.links")), "http://h.example/x\r\n");
  for (const char* wrong :
       {"--html out.html o", "--list --root=site out.html", "--list --html --root=site out.html",
        "--list --base=http://h/ out.html", "--list --html --base=relative out.html",
        "--list --html --charset=nothing out.html"}) {
    tool_testing::Result result = RunTool(folder, wrong);
    EXPECT_EQ(result.status, 2) << wrong;
    EXPECT_EQ(result.out, "") << wrong;
  }
}

}  // namespace
