// The byte order mark and the HTML Standard's prescan: the cases that catch real faults in
// attribute parsing, comments and other markup before the <meta>, charset inside content, and
// the end of the prescanned bytes.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "library/encoding/sniff.h"

namespace quillon::encoding {
namespace {

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

std::string PrescanName(const std::string& page) {
  std::optional<Encoding> found = Prescan(Bytes(page), page.size());
  return found ? std::string(Name(*found)) : "nothing";
}

struct Case {
  const char* page;
  const char* expected;  // an encoding's name, or "nothing"
};

void ExpectAll(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    EXPECT_EQ(PrescanName(c->page), c->expected) << c->page;
  }
}

TEST(SniffEncoding, BomThenCallerThenPrescanThenUtf8) {
  auto sniff = [](const std::string& page, std::optional<Encoding> caller = std::nullopt) {
    const Sniffed found = SniffEncoding(Bytes(page), page.size(), caller);
    return std::string(Name(found.encoding)) + '/' + std::to_string(found.bom_length);
  };
  const std::string meta = "<meta charset=koi8-r>";
  EXPECT_EQ(sniff("\xEF\xBB\xBF" + meta, Encoding::kGbk), "UTF-8/3");
  EXPECT_EQ(sniff("\xFE\xFF" + meta, Encoding::kGbk), "UTF-16BE/2");
  EXPECT_EQ(sniff("\xFF\xFE" + meta), "UTF-16LE/2");
  EXPECT_EQ(sniff(meta, Encoding::kGbk), "GBK/0");
  EXPECT_EQ(sniff("\xEF\xBB" + meta), "KOI8-R/0");  // a cut mark is none
  EXPECT_EQ(sniff("\xBB\xEF\xBF" + meta), "KOI8-R/0");
  EXPECT_EQ(sniff(std::string(2000, ' ') + meta), "UTF-8/0");  // past the prescanned bytes
  EXPECT_FALSE(SniffBom(Bytes("\xFE"), 1).has_value());
}

TEST(Prescan, AttributeParsing) {
  const Case cases[] = {
      {"<meta charset=utf-8>", "UTF-8"},
      {"<META CHARSET=\"ISO-8859-1\">", "windows-1252"},
      {"<meta charset='shift_jis'>", "Shift_JIS"},
      {"<meta charset = \t koi8-r >", "KOI8-R"},
      {"<meta/charset=big5>", "Big5"},
      {"<meta name=x charset=gbk/>", "nothing"},  // an unquoted value runs to the '>'
      {"<meta name=x charset=gbk />", "GBK"},
      {"<meta charset=big5 charset=gbk>", "Big5"},  // the first of duplicates
      {"<meta charset=\"  euc-kr \">", "EUC-KR"},
      {"<meta charset=utf-16le>", "UTF-8"},
      {"<meta charset=utf-16be>", "UTF-8"},
      {"<meta charset=x-user-defined>", "windows-1252"},
      {"<meta charset=bogus><meta charset=iso-2022-jp>", "ISO-2022-JP"},
      {"<meta charset=><meta charset=euc-jp>", "EUC-JP"},
      {"<metacharset=big5>", "nothing"},
      {"<meta>charset=big5", "nothing"},
      {"<meta =charset=big5>", "nothing"},  // '=' opens a name: "=charset"
      {"<meta x=\"'\" charset=big5>", "Big5"},
      {"<meta x='a>b' charset=big5>", "Big5"},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(Prescan, HttpEquivAndContent) {
  const Case cases[] = {
      {"<meta http-equiv=content-type content='text/html; charset=koi8-u'>", "KOI8-U"},
      {"<meta content=\"text/html;charset=windows-1251\" http-equiv=\"Content-Type\">",
       "windows-1251"},
      {"<meta content='text/html; charset=euc-kr'>", "nothing"},  // no pragma
      {"<meta http-equiv=refresh content='0; charset=utf-8'>", "nothing"},
      {"<meta http-equiv=content-type content=\"text/html; charset='gbk'\">", "GBK"},
      {"<meta http-equiv=content-type content='text/html; charset=\"gbk'>", "nothing"},
      {"<meta http-equiv=content-type content='charsetcharset=big5'>", "Big5"},
      {"<meta http-equiv=content-type content='charset = sjis ;x'>", "Shift_JIS"},
      {"<meta http-equiv=content-type content='text/html; charset='>", "nothing"},
      {"<meta http-equiv=content-type content='CHARSET=UTF-16'>", "UTF-8"},
      // A charset attribute wins over content, even when its label is unknown.
      {"<meta charset=bogus content='charset=big5' http-equiv=content-type>", "nothing"},
      {"<meta content='charset=big5' charset=gbk http-equiv=content-type>", "GBK"},
      {"<meta http-equiv=x http-equiv=content-type content='charset=big5'>", "nothing"},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(Prescan, MarkupBeforeTheMeta) {
  const Case cases[] = {
      {"<!-- <meta charset=big5> --><meta charset=gbk>", "GBK"},
      {"<!--><meta charset=gbk>", "GBK"},
      {"<!---><meta charset=gbk>-->", "GBK"},
      {"<!-- -- > <meta charset=big5> --><meta charset=gbk>", "GBK"},
      {"<p title='<meta charset=big5>'><meta charset=gbk>", "GBK"},
      {"</p x='<meta charset=big5>'><meta charset=gbk>", "GBK"},
      {"<!DOCTYPE html><meta charset=gbk>", "GBK"},
      {"<?xml version='1.0' encoding='big5'?><meta charset=gbk>", "GBK"},
      {"<! <meta charset=big5> <meta charset=gbk>", "GBK"},
      {"</ <meta charset=big5> <meta charset=gbk>", "GBK"},
      {"<<meta charset=gbk>", "GBK"},
      {"<!-- <meta charset=big5>", "nothing"},
      {"<a href=\"x", "nothing"},
      {"<\0?\0x\0m\0l\0", "nothing"},  // (cut by the C string at the first NUL)
  };
  ExpectAll(std::begin(cases), std::end(cases));
  EXPECT_EQ(PrescanName(std::string("<\0?\0x\0", 6)), "UTF-16LE");
  EXPECT_EQ(PrescanName(std::string("\0<\0?\0x", 6)), "UTF-16BE");
  EXPECT_EQ(PrescanName(std::string("\0<\0?\0", 5)), "nothing");
}

TEST(Prescan, TheEndOfThePrescannedBytes) {
  // A declaration cut by the end of the bytes counts for nothing, even where what is left of
  // it would name an encoding.
  const Case cases[] = {
      {"<meta charset=big5", "nothing"},
      {"<meta charset=\"big5", "nothing"},
      {"<meta charset=\"big5\"", "nothing"},
      {"<meta http-equiv=content-type content='charset=big5'", "nothing"},
  };
  ExpectAll(std::begin(cases), std::end(cases));

  const std::string meta = "<meta charset=koi8-r>";
  for (size_t filler : {kPrescanLength - meta.size(), kPrescanLength - meta.size() + 1}) {
    const std::string page = std::string(filler, 'x') + meta + "<p>";
    const size_t scanned = std::min(page.size(), kPrescanLength);
    const bool inside = filler + meta.size() <= kPrescanLength;
    EXPECT_EQ(Prescan(Bytes(page), scanned).has_value(), inside) << filler;
  }
}

}  // namespace
}  // namespace quillon::encoding
