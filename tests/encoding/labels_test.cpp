// Every label of the Encoding Standard's encodings.json names its encoding, in any ASCII case
// and with ASCII whitespace around it; near misses name nothing.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "library/encoding/encodings.h"
#include "tests/support/linux_test_support.h"

namespace quillon::encoding {
namespace {

struct Standard {
  std::vector<std::string> names;                           // in the file's order
  std::vector<std::pair<std::string, std::string>> labels;  // label, encoding name
};

// encodings.json's strings in order: after "labels" come an encoding's labels, after "name"
// its name (every "name" follows its "labels"); the file has no escapes.
Standard ReadStandard() {
  const std::string json = testing_support::ReadFile(QUILLON_ENCODING_TEST_DATA "/encodings.json");
  Standard standard;
  std::vector<std::string> labels;
  std::string key;
  for (size_t i = json.find('"'); i != std::string::npos; i = json.find('"', i + 1)) {
    const size_t end = json.find('"', i + 1);
    const std::string text = json.substr(i + 1, end - i - 1);
    i = end;
    if (json.compare(end + 1, 1, ":") == 0) {
      key = text;
    } else if (key == "labels") {
      labels.push_back(text);
    } else if (key == "name") {
      standard.names.push_back(text);
      for (const std::string& label : labels) standard.labels.emplace_back(label, text);
      labels.clear();
    }
  }
  return standard;
}

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

TEST(EncodingLabels, EveryLabelOfTheStandardInAnyCaseAndWhitespace) {
  const Standard standard = ReadStandard();
  ASSERT_EQ(standard.names.size(), static_cast<size_t>(Encoding::kXUserDefined) + 1);
  for (size_t i = 0; i < standard.names.size(); ++i) {
    EXPECT_EQ(Name(static_cast<Encoding>(i)), standard.names[i]);
  }
  ASSERT_GE(standard.labels.size(), 220u);
  for (const auto& [label, name] : standard.labels) {
    std::string mixed = label;
    for (size_t i = 0; i < mixed.size(); i += 2) mixed[i] = Upper(mixed.substr(i, 1))[0];
    for (const std::string& variant :
         {label, Upper(label), mixed, " \t" + label, label + "\n\r\f ", "\f" + mixed + " "}) {
      const std::optional<Encoding> found = ForLabel(variant);
      ASSERT_TRUE(found.has_value()) << '"' << variant << '"';
      EXPECT_EQ(Name(*found), name) << '"' << variant << '"';
    }
  }
}

TEST(EncodingLabels, WhatTheStandardSaysOfCommonLabels) {
  const std::pair<const char*, const char*> cases[] = {
      {"iso-8859-1", "windows-1252"},
      {"ascii", "windows-1252"},
      {"latin1", "windows-1252"},
      {"x-sjis", "Shift_JIS"},
      {"gb2312", "GBK"},
      {"big5-hkscs", "Big5"},
      {"utf-16", "UTF-16LE"},
      {"iso-2022-kr", "replacement"},
      {"unicode11utf8", "UTF-8"},
  };
  for (const auto& [label, name] : cases) {
    ASSERT_TRUE(ForLabel(label).has_value()) << label;
    EXPECT_EQ(Name(*ForLabel(label)), name) << label;
  }
}

TEST(EncodingLabels, NearMissesNameNothing) {
  const std::string cases[] = {
      "",
      " \t\n",
      "utf-8x",
      "utf 8",
      "\vutf-8",                          // vertical tab is not ASCII whitespace here
      "utf-8\xC2\xA0",                    // nor is a no-break space
      std::string("utf-8\0", 6),          // nor NUL
      "\xC4\xB0so-8859-1",                // no Unicode case folding (capital I with dot)
      "cseucpkdfmtjapanesex",             // one longer than the longest label
      "windows-1252windows-1252windows",  // longer still
      "utf-16-",
  };
  for (const std::string& label : cases) {
    EXPECT_FALSE(ForLabel(label).has_value()) << '"' << label << '"';
  }
}

}  // namespace
}  // namespace quillon::encoding
