// The html5lib tokenizer tests, read for what the tokenizer hands on: the a, area and base start
// tags with an href, at every split of the input into two chunks and one byte at a time.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/html/recording_sink.h"

namespace quillon::html {
namespace {

using Json = nlohmann::ordered_json;

Json Load(const std::string& file) {
  std::ifstream in(std::string(QUILLON_HTML_TEST_DATA) + "/" + file);
  EXPECT_TRUE(in) << file;
  return Json::parse(in);
}

void AppendUtf8(std::string& out, std::uint32_t point) {  // surrogates too, as three bytes
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += {static_cast<char>(0xC0 | (point >> 6)), static_cast<char>(0x80 | (point & 0x3F))};
  } else if (point < 0x10000) {
    out +=
        {static_cast<char>(0xE0 | (point >> 12)), static_cast<char>(0x80 | ((point >> 6) & 0x3F)),
         static_cast<char>(0x80 | (point & 0x3F))};
  } else {
    out +=
        {static_cast<char>(0xF0 | (point >> 18)), static_cast<char>(0x80 | ((point >> 12) & 0x3F)),
         static_cast<char>(0x80 | ((point >> 6) & 0x3F)), static_cast<char>(0x80 | (point & 0x3F))};
  }
}

// A test marked doubleEscaped writes its characters as \uHHHH once more.
std::string Unescape(const std::string& text, bool double_escaped) {
  if (!double_escaped) return text;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "\\u") != 0 || i + 6 > text.size()) {
      out += text[i++];
      continue;
    }
    std::uint32_t point = std::stoul(text.substr(i + 2, 4), nullptr, 16);
    i += 6;
    if (point >= 0xD800 && point < 0xDC00 && text.compare(i, 2, "\\u") == 0) {
      const std::uint32_t low = std::stoul(text.substr(i + 2, 4), nullptr, 16);
      if (low >= 0xDC00 && low < 0xE000) {
        point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        i += 6;
      }
    }
    AppendUtf8(out, point);
  }
  return out;
}

const std::map<std::string, InitialState> kStates = {
    {"Data state", InitialState::kData},
    {"PLAINTEXT state", InitialState::kPlaintext},
    {"RCDATA state", InitialState::kRcdata},
    {"RAWTEXT state", InitialState::kRawtext},
    {"Script data state", InitialState::kScriptData},
    {"CDATA section state", InitialState::kCdataSection}};

// Start tags after which tree construction switches the tokenizer: the tests know no tree.
const std::set<std::string> kSwitching = {"title",     "textarea", "style",    "xmp",
                                          "iframe",    "noembed",  "noframes", "script",
                                          "plaintext", "svg",      "math"};

struct Case {
  std::string input;
  std::vector<Link> links;
};

// The links a test's tokens give; nullopt where a tag would switch the tokenizer.
std::optional<std::vector<Link>> ExpectedLinks(const Json& test, bool double_escaped) {
  std::vector<Link> links;
  for (const Json& token : test["output"]) {
    if (token[0] != "StartTag") continue;
    const std::string name = token[1];
    if (kSwitching.count(name) != 0) return std::nullopt;
    const Json& attributes = token[2];
    if (!attributes.contains("href")) continue;
    if (name != "a" && name != "area" && name != "base") continue;
    const HrefTag tag = name == "a"      ? HrefTag::kA
                        : name == "area" ? HrefTag::kArea
                                         : HrefTag::kBase;
    links.push_back({tag, Unescape(attributes["href"], double_escaped)});
  }
  return links;
}

// The same input with its one attributed start tag made an a with its first attribute an
// href (the tests have no href of their own), where the input spells them plainly.
std::optional<Case> AsLink(const Json& test, const std::string& input, bool double_escaped) {
  const Json* tag = nullptr;
  for (const Json& token : test["output"]) {
    if (token[0] != "StartTag" || token[2].empty()) continue;
    if (tag != nullptr) return std::nullopt;
    tag = &token;
  }
  if (tag == nullptr) return std::nullopt;
  const std::string name = (*tag)[1];
  const std::string attribute = (*tag)[2].begin().key();
  const auto plain = [](const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return std::isalnum(c) != 0; });
  };
  if (!plain(name) || !plain(attribute)) return std::nullopt;
  const std::regex opening("<" + name + "([ \t\n\f]+)" + attribute + "(?=[ \t\n\f/>=]|$)",
                           std::regex::icase);
  std::smatch match;
  if (!std::regex_search(input, match, opening)) return std::nullopt;
  const std::string rest = match.suffix();
  if (std::regex_search(rest, opening)) return std::nullopt;
  return Case{match.prefix().str() + "<a" + match[1].str() + "href" + rest,
              {{HrefTag::kA, Unescape((*tag)[2].begin().value(), double_escaped)}}};
}

void ExpectEverySplit(const Case& c, InitialState state, const std::string& last_start_tag,
                      const std::string& description) {
  ASSERT_EQ(Links(c.input, state, last_start_tag, {c.input.size()}), c.links) << description << "\n"
                                                                              << c.input;
  for (std::size_t split = 1; split < c.input.size(); ++split) {
    ASSERT_EQ(Links(c.input, state, last_start_tag, {split}), c.links)
        << description << " split at " << split << "\n"
        << c.input;
  }
  ASSERT_EQ(Links(c.input, state, last_start_tag, {1}), c.links) << description << " bytewise";
}

TEST(Html5libTokenizerTests, GiveTheLinksOfTheirTokensAtEveryChunking) {
  std::size_t runs = 0, renamed = 0, skipped = 0;
  for (const char* file : {"contentModelFlags.test", "domjs.test", "entities.test",
                           "escapeFlag.test", "namedEntities.test", "numericEntities.test",
                           "pendingChanges.test", "test1.test", "test2.test", "test3.test",
                           "test4.test", "unicodeChars.test", "unicodeCharsProblematic.test"}) {
    const Json tests = Load(file)["tests"];
    for (const Json& test : tests) {
      const bool double_escaped = test.value("doubleEscaped", false);
      const std::string input = Unescape(test["input"], double_escaped);
      const std::string description =
          std::string(file) + ": " + test["description"].get<std::string>();
      const auto links = ExpectedLinks(test, double_escaped);
      if (!links) {
        ++skipped;
        continue;
      }
      const std::optional<Case> as_link = AsLink(test, input, double_escaped);
      const Json states = test.value("initialStates", Json::array({"Data state"}));
      for (const Json& state_name : states) {
        const InitialState state = kStates.at(state_name);
        const std::string last = test.value("lastStartTag", "");
        ExpectEverySplit({input, *links}, state, last, description);
        if (as_link) ExpectEverySplit(*as_link, state, last, description + " (as a link)");
        ++runs;
        renamed += as_link.has_value();
      }
    }
  }
  // What the files held when they were copied: a check that none was read short.
  EXPECT_EQ(runs, 7031u);
  EXPECT_EQ(renamed, 288u);
  EXPECT_EQ(skipped, 1u);
}

// Every named and numeric reference of those tests inside an href, quoted both ways and not:
// the reference is followed by a quote or '>', so it decodes as in text.
TEST(Html5libTokenizerTests, DecodeEveryReferenceInAnHref) {
  std::size_t references = 0;
  for (const char* file : {"namedEntities.test", "numericEntities.test"}) {
    const Json tests = Load(file)["tests"];
    for (const Json& test : tests) {
      const std::string input = test["input"];
      if (!std::regex_match(input, std::regex("&#?[0-9A-Za-z]+;?"))) continue;
      std::string text;
      for (const Json& token : test["output"]) text += token[1].get<std::string>();
      for (const auto& [open, close] : {std::pair{"<a href=\"", "\">"},
                                        std::pair{"<a href='", "'>"}, std::pair{"<a href=", ">"}}) {
        ExpectEverySplit({open + input + close, {{HrefTag::kA, text}}}, InitialState::kData, "",
                         test["description"]);
      }
      ++references;
    }
  }
  EXPECT_EQ(references, 4210u + 336u);
}

}  // namespace
}  // namespace quillon::html
