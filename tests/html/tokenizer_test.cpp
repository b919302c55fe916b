// What the html5lib tests cannot show: the switches tree construction makes, the href rules
// of the HTML rules, and the bounds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/html/recording_sink.h"

namespace quillon::html {
namespace {

using namespace std::string_literals;

struct PageCase {
  std::string page;
  std::vector<Link> links;
};

void ExpectAtEverySplit(const std::vector<PageCase>& cases) {
  for (const PageCase& c : cases) {
    const std::string& page = c.page;
    EXPECT_EQ(Links(page), c.links) << page;
    EXPECT_EQ(Links(page, {1}), c.links) << page << " bytewise";
    for (std::size_t split = 1; split < page.size(); ++split) {
      ASSERT_EQ(Links(page, {split}), c.links) << page << " split at " << split;
    }
  }
}

Link A(const char* href) {
  return {HrefTag::kA, href};
}

TEST(Tokenizer, FollowsTheSwitchesOfTreeConstruction) {
  ExpectAtEverySplit({
      {"<title><a href=x></title><a href=y>", {A("y")}},
      {"<TEXTAREA><a href=x></textareax></TextArea ><a href=y>", {A("y")}},
      {"<style><a href=x></style/><a href=y>", {A("y")}},
      {"<xmp><a href=x></xmp><iframe><a href=1></iframe><noembed><a href=2></noembed>"
       "<noframes><a href=3></noframes><a href=y>",
       {A("y")}},
      {"<noscript><a href=x></noscript>", {A("x")}},
      {"<plaintext></plaintext><a href=x>", {}},
      // Script data and its escapes.
      {"<script>if (a<b) x='<a href=x>'</script><a href=y>", {A("y")}},
      {"<script><!--<script></script><a href=x>--></script><a href=y>", {A("y")}},
      {"<script><!--<script>--></script><a href=y>", {A("y")}},
      {"<script><!--</script><a href=y>", {A("y")}},
      {"<script><!-- --><script></script><a href=y>", {A("y")}},
      {"<script><!--<SCRIPT >x</script ><a href=x></script><a href=y>", {A("y")}},
      // Foreign content: CDATA, no switches, and the ways out.
      {"<svg><![CDATA[<a href=x>]]><a href=y></svg><![CDATA[<a href=z>]]>", {A("y")}},
      {"<math><title><a href=x></title><style><a href=y></style></math>", {A("x"), A("y")}},
      {"<svg><foreignObject><title><a href=x></title></foreignObject><title><a href=y>", {A("y")}},
      {"<svg><desc><![CDATA[<a href=x>]]>", {}},
      {"<svg><p><![CDATA[<a href=x>]]>", {}},
      {"<svg><font size=2><style><a href=x>", {}},
      {"<svg><font><style><a href=x>", {A("x")}},
      {"<math><mi><style><a href=x>", {}},
      {"<math><annotation-xml encoding='TEXT/html'><style><a href=x>", {}},
      {"<math><annotation-xml encoding='text/htm'><style><a href=x>", {A("x")}},
      {"<svg/><title><a href=x>", {A("x")}},  // as the reference: the svg stays open
      {"<svg><foreignObject/><title><a href=x>", {A("x")}},
      {"<svg><foreignobject><svg></svg><title><a href=x>", {}},
  });
}

TEST(Tokenizer, ReadsHrefsAsTheHtmlRulesSay) {
  ExpectAtEverySplit({
      {"<a href='1'><A HREF=\"2\"><area href=3><BASE href =  4 ><abbr href=5><link href=6>",
       {A("1"), A("2"), {HrefTag::kArea, "3"}, {HrefTag::kBase, "4"}}},
      {"<a id=x href=1 href=2><a hReF=\"3\" HREF=4><a href><a href=>",
       {A("1"), A("3"), A(""), A("")}},
      {"<a title='x>y' data-x=\"'\" href=1/><a/href=2><a\nhref\n=\n3>", {A("1/"), A("2"), A("3")}},
      {"</a href=x><a href=y", {}},
      {"<a href='&amp;&amp&ampx&amp=&notit;&notin;&not;&noti&#38;&#x26;&#0;&#x110000;&#xD800;'>",
       {A("&&&ampx&amp=&notit;\xE2\x88\x89\xC2\xAC&noti&&\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")}},
      {"<a href='&#128;&#x81;&#X9f;&#65&#x41x&#;&#x;&#X&' >",
       {A("\xE2\x82\xAC\xC2\x81\xC5\xB8"
          "AAx&#;&#x;&#X&")}},
      {"<a href=&amp&lt;x&>", {A("&<x&")}},
      {"<a href='a\r\nb\rc\n\rd\0e'>"s,
       {A("a\nb\nc\n\nd\xEF\xBF\xBD"
          "e")}},
      // Where tags are not.
      {"<!--<a href=1>--><!--><a href=2><!---><a href=3><!-- --!><a href=4><!-- --!-><a href=5>",
       {A("2"), A("3"), A("4")}},
      {"<!DOCTYPE html \"<a href=1>\"><a href=2><!x<a href=3><? <a href=4><![CDATA[<a href=5>]]>",
       {A("2")}},
      {"<<a href=1></ a href=2><a href=3></><a href=4>", {A("1"), A("3"), A("4")}},
  });
}

TEST(Tokenizer, SkipsAndCountsHrefsTooLongWithoutCuttingThem) {
  const std::string fits(kLongestHref, 'x');
  const std::string page = "<a href='" + fits + "'><a href=" + fits + "&amp;><a href='" + fits +
                           "&#1;'><area href='" + fits.substr(4) + "&amp;&amp;&lt;'>";
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, page.size()}) {
    std::uint64_t skipped = 0;
    const auto links = Links(page, InitialState::kData, "", {chunk}, &skipped);
    EXPECT_EQ(links,
              (std::vector<Link>{A(fits.c_str()), {HrefTag::kArea, fits.substr(4) + "&&<"}}));
    EXPECT_EQ(skipped, 2u);
  }
}

TEST(Tokenizer, GivesTheSameLinksForRandomChunkingsOfAMixedPage) {
  std::mt19937 random(7);
  const char* parts[] = {"<a href='/x?a=1&amp;b=2'>",      "<script>var s='<a href=no>';</script>",
                         "<!-- <a href=no> -->",           "<svg><![CDATA[<a href=no>]]></svg>",
                         "<title>&lt;<a href=no></title>", "text &amp; more\r\n",
                         "<AREA HREF=\"h&#x74;tp://e\">",  "<div class=\"a>b\">"};
  std::string page;
  std::vector<Link> expected;
  for (int i = 0; i < 2000; ++i) {
    const std::size_t part = random() % std::size(parts);
    page += parts[part];
    if (part == 0) expected.push_back(A("/x?a=1&b=2"));
    if (part == 6) expected.push_back({HrefTag::kArea, "http://e"});
  }
  for (int run = 0; run < 50; ++run) {
    std::vector<std::size_t> chunks;
    for (int i = 0; i < 200; ++i) chunks.push_back(1 + random() % (run < 25 ? 8 : 4000));
    ASSERT_EQ(Links(page, chunks), expected) << "run " << run;
    ASSERT_EQ(RawLinks(page, InitialState::kData, "", chunks), expected) << "raw, run " << run;
  }
}

}  // namespace
}  // namespace quillon::html
