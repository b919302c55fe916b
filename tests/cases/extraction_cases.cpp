#include "tests/cases/extraction_cases.h"

#include "library/messages.h"

namespace cases {
namespace {

using namespace std::string_literals;

std::string Record(const std::string& address) {
  return address + "\r\n";
}

// An anchor around `address`, with the opening written as given.
std::string Anchor(const std::string& address, const std::string& opening = "<a href=\"") {
  return opening + address + "\">link</a>\n";
}

std::string Repeat(char byte, int count) {
  return std::string(static_cast<size_t>(count), byte);
}

ExtractionCase Case(std::string name, std::string page, std::string output,
                    quillon::ExclusionKeywords keywords = {}) {
  return ExtractionCase{std::move(name), std::move(page), std::move(keywords), std::move(output),
                        OpeningOnly()};
}

std::vector<ExtractionCase> MakeCases() {
  std::vector<ExtractionCase> all;
  auto add = [&all](ExtractionCase c) { all.push_back(std::move(c)); };

  // Files without anchors.
  add(Case("empty page", "", ""));
  add(Case("no angle bracket", "plain text\r\nwith http://example.com/ in it\r\n", ""));
  add(Case("only a lone bracket at the end", "text <", ""));
  add(Case("bracket followed by fewer than 15 bytes", "<a href=\"http:/", ""));
  add(Case("opening complete at the very end", "<a href=\"http://", ""));

  // Letter case of the opening; the record's scheme is always lower case.
  add(Case("lower case", Anchor("http://example.com/a.html"), Record("http://example.com/a.html")));
  add(Case("all capitals", Anchor("HTTP://EXAMPLE.COM/A", "<A HREF=\""),
           Record("http://EXAMPLE.COM/A/")));
  add(Case("mixed case", Anchor("hTtP://Mixed.Example/Index.HTML", "<A hReF=\""),
           Record("http://Mixed.Example/Index.HTML")));

  // Openings that must not match.
  add(Case("secure scheme", Anchor("https://example.com/"), ""));
  add(Case("single quotes", "<a href='http://example.com/'>x</a>", ""));
  add(Case("two spaces", "<a  href=\"http://example.com/\">x</a>", ""));
  add(Case("tab between a and href", "<a\thref=\"http://example.com/\">x</a>", ""));
  add(Case("line break between a and href", "<a\r\nhref=\"http://example.com/\">x</a>", ""));
  add(Case("spaces around equals", "<a href = \"http://example.com/\">x</a>", ""));
  add(Case("attribute before href", "<a class=\"x\" href=\"http://example.com/\">x</a>", ""));
  add(Case("no quote", "<a href=http://example.com/>x</a>", ""));
  add(Case("relative address", Anchor("/local/page.html"), ""));

  // Brackets in a row and anchors inside a failed attempt.
  add(Case("two brackets hide the anchor", "<" + Anchor("http://hidden.example/"), ""));
  add(Case("three brackets find it", "<<" + Anchor("http://found.example/"),
           Record("http://found.example/")));
  add(Case("anchor two bytes after a failed bracket", "<b" + Anchor("http://b.example/"),
           Record("http://b.example/")));
  add(Case("anchor inside a failed attempt", "<p>x" + Anchor("http://p.example/"),
           Record("http://p.example/")));
  add(Case("anchor right after another",
           Anchor("http://one.example/") + Anchor("http://two.example/"),
           Record("http://one.example/") + Record("http://two.example/")));
  add(Case("same address twice", Anchor("http://twice.example/") + Anchor("http://twice.example/"),
           Record("http://twice.example/") + Record("http://twice.example/")));

  // Trailing-slash rule.
  add(Case("ends in .html", Anchor("http://x.example/p.html"), Record("http://x.example/p.html")));
  add(Case("ends in .HTML", Anchor("http://x.example/p.HTML"), Record("http://x.example/p.HTML")));
  add(Case("ends in .htm", Anchor("http://x.example/p.htm"), Record("http://x.example/p.htm")));
  add(Case("ends in .HtM", Anchor("http://x.example/p.HtM"), Record("http://x.example/p.HtM")));
  add(Case("ends in slash", Anchor("http://x.example/dir/"), Record("http://x.example/dir/")));
  add(Case("host only", Anchor("http://x.example"), Record("http://x.example/")));
  add(Case("ends in .shtml", Anchor("http://x.example/p.shtml"),
           Record("http://x.example/p.shtml/")));
  add(Case("ends in .php", Anchor("http://x.example/p.php"), Record("http://x.example/p.php/")));
  add(Case("query after .html", Anchor("http://x.example/p.html?a=1"),
           Record("http://x.example/p.html?a=1/")));
  add(Case("fragment after .html", Anchor("http://x.example/p.html#top"),
           Record("http://x.example/p.html#top/")));
  add(Case("ends in html without dot", Anchor("http://x.example/xhtml"),
           Record("http://x.example/xhtml/")));
  add(Case("bare scheme", Anchor("http://"), Record("http://")));

  // What the capture takes and the filter removes.
  add(Case("capture over several lines", "<a href=\"http://multi\r\nline.example/\r\npath\">x</a>",
           Record("http://multiline.example/path/")));
  add(Case("line break before the quote", "<a href=\"http://lf.example/a\n\">x</a>",
           Record("http://lf.example/a/")));
  add(Case("tab and DEL removed", "<a href=\"http://t\tab\x7f.example/\">x</a>",
           Record("http://tab.example/")));
  add(Case("space kept", Anchor("http://sp.example/a b/"), Record("http://sp.example/a b/")));
  add(Case("angle brackets kept", "<a href=\"http://ab.example/<b>\">x</a>",
           Record("http://ab.example/<b>/")));
  add(Case("NUL ends the record", "<a href=\"http://nul.example/ab\0cd.html\">x</a>"s,
           Record("http://nul.example/ab")));
  add(Case("NUL right after the scheme", "<a href=\"http://\0rest\">x</a>"s, Record("http://")));
  add(Case("code page 932 pair leaves the backslash",
           "<a href=\"http://sj.example/\x95\x5c\">x</a>", Record("http://sj.example/\\/")));
  add(Case("high bytes removed", "<a href=\"http://h.example/\x82\xa0\xff\x80z\">x</a>",
           Record("http://h.example/z/")));
  add(Case("unclosed address runs into the next anchor",
           "<a href=\"http://open.example/>x</a>\n" + Anchor("http://next.example/"),
           Record("http://open.example/>x</a><a href=/") + ""));
  add(Case("address not closed before the end", "<a href=\"http://cut.example/abc", ""));
  add(Case("address not closed, records before it kept",
           Anchor("http://kept.example/") + "<a href=\"http://cut.example/abc",
           Record("http://kept.example/")));

  // Exclusion keywords.
  const std::string mixed = Anchor("http://www.yahoo.co.jp/") + Anchor("http://example.com/") +
                            Anchor("http://search.YAHOO.com/");
  add(Case("all keywords empty", mixed,
           Record("http://www.yahoo.co.jp/") + Record("http://example.com/") +
               Record("http://search.YAHOO.com/")));
  add(Case("first keyword", mixed,
           Record("http://example.com/") + Record("http://search.YAHOO.com/"),
           {"yahoo", "", "", "", "", ""}));
  add(Case("only the sixth keyword", mixed,
           Record("http://example.com/") + Record("http://search.YAHOO.com/"),
           {"", "", "", "", "", "yahoo"}));
  add(Case("letter case differs", mixed,
           Record("http://www.yahoo.co.jp/") + Record("http://example.com/") +
               Record("http://search.YAHOO.com/"),
           {"Yahoo", "", "", "", "", ""}));
  add(Case("slash excludes everything", mixed, "", {"/", "", "", "", "", ""}));
  add(Case("scheme excludes everything", mixed, "", {"", "", "http:", "", "", ""}));
  add(Case("two keywords", mixed, Record("http://search.YAHOO.com/"),
           {"example", "", "", "", "co.jp", ""}));
  add(Case("keyword split by a line break", "<a href=\"http://ya\r\nhoo.example/\">x</a>",
           Record("http://yahoo.example/"), {"yahoo", "", "", "", "", ""}));
  add(Case("appended slash takes part", Anchor("http://slash.example"), "",
           {"example/", "", "", "", "", ""}));
  add(Case("keyword after a NUL is not seen", "<a href=\"http://n.example/\0yahoo\">x</a>"s,
           Record("http://n.example/"), {"yahoo", "", "", "", "", ""}));

  // Length limits: 499 bytes before the first NUL is the longest address written.
  const std::string prefix = "http://long.example/";
  const std::string fill498 = prefix + Repeat('x', 498 - static_cast<int>(prefix.size()));
  add(Case("499 bytes ending in slash", Anchor(fill498 + "/"), Record(fill498 + "/")));
  add(Case("498 bytes get their slash", Anchor(fill498), Record(fill498 + "/")));
  add(Case("499 bytes become 500 with the slash", Anchor(fill498 + "x"), ""));
  add(Case("500 bytes", Anchor(fill498 + "x/"), ""));
  add(Case("far too long, next anchor still found",
           Anchor(prefix + Repeat('y', 5000)) + Anchor("http://after.example/"),
           Record("http://after.example/")));
  add(Case("long but a NUL early", "<a href=\"http://z.example/\0"s + Repeat('z', 3000) + "\">",
           Record("http://z.example/")));
  add(Case("long with removed bytes still counts them",
           "<a href=\"" + prefix + Repeat('\t', 490) + "\">x</a>", ""));

  return all;
}

}  // namespace

std::vector<Box> OpeningOnly() {
  return {Box{quillon::kCaptionError, quillon::kTextSearchStarting}};
}

const std::vector<ExtractionCase>& ExtractionCases() {
  static const std::vector<ExtractionCase> kAll = MakeCases();
  return kAll;
}

}  // namespace cases
