#include "bench/corpus_parts.h"

#include <array>
#include <string>
#include <string_view>

namespace {

// Shift_JIS once compiled: the build's execution character set is code page 932.
constexpr std::array<std::string_view, 48> kJapaneseNouns = {
    "本日",     "東京",     "大阪",   "天気",       "情報",     "会社",         "新製品",
    "案内",     "お知らせ", "資料",   "地図",       "予定",     "イベント",     "ホームページ",
    "リンク集", "掲示板",   "日記",   "写真",       "検索",     "ソフトウェア", "ダウンロード",
    "更新",     "料金",     "申込み", "問い合わせ", "サービス", "利用者",       "会員",
    "特集",     "旅行",     "温泉",   "料理",       "音楽",     "映画",         "書籍",
    "新聞",     "学校",     "研究室", "図書館",     "駅前",     "週末",         "季節",
    "春",       "夏",       "秋",     "冬",         "皆様",     "全国"};
constexpr std::array<std::string_view, 10> kJapaneseParticles = {"は", "の",   "を",   "に", "で",
                                                                 "と", "から", "まで", "も", "が"};
constexpr std::array<std::string_view, 14> kJapaneseEndings = {"です",
                                                               "でした",
                                                               "があります",
                                                               "を行います",
                                                               "をご覧ください",
                                                               "を更新しました",
                                                               "を掲載しています",
                                                               "にご注意ください",
                                                               "を募集中です",
                                                               "は終了しました",
                                                               "をお届けします",
                                                               "が始まりました",
                                                               "を追加しました",
                                                               "をお待ちしております"};
constexpr std::array<std::string_view, 40> kEnglishWords = {
    "the",      "news",     "home",   "page",   "link",    "index",   "about",  "company",
    "product",  "support",  "search", "mail",   "web",     "site",    "online", "free",
    "software", "download", "travel", "music",  "book",    "photo",   "guide",  "japan",
    "tokyo",    "osaka",    "event",  "member", "update",  "service", "sample", "data",
    "info",     "archive",  "forum",  "shop",   "gallery", "diary",   "school", "library"};
constexpr std::array<std::string_view, 8> kTopLevel = {".co.jp", ".ne.jp", ".or.jp", ".ac.jp",
                                                       ".com",   ".net",   ".org",   ".jp"};

template <typename Words>
std::string_view Pick(CorpusRandom& random, const Words& words) {
  return words[random.Below(static_cast<std::uint32_t>(words.size()))];
}

void PutNumber(CorpusBuilder& out, std::uint32_t number) {
  out.Put(std::to_string(number));
}

}  // namespace

void PutJapaneseSentence(CorpusBuilder& out, CorpusRandom& random) {
  const std::uint32_t phrases = random.Between(1, 4);
  for (std::uint32_t i = 0; i < phrases; ++i) {
    if (random.Chance(12)) {
      out.Put(Pick(random, kEnglishWords));
    } else if (random.Chance(8)) {
      PutNumber(out, random.Below(2000));
    } else {
      out.Put(Pick(random, kJapaneseNouns));
    }
    out.Put(Pick(random, kJapaneseParticles));
  }
  out.Put(Pick(random, kJapaneseNouns));
  out.Put(Pick(random, kJapaneseEndings));
  out.Put("。");
}

void PutEnglishSentence(CorpusBuilder& out, CorpusRandom& random) {
  const std::uint32_t words = random.Between(4, 14);
  for (std::uint32_t i = 0; i < words; ++i) {
    if (i > 0) out.Put(' ');
    out.Put(Pick(random, kEnglishWords));
  }
  out.Put(". ");
}

void PutShortText(CorpusBuilder& out, CorpusRandom& random) {
  if (random.Chance(60)) {
    out.Put(Pick(random, kJapaneseNouns));
    if (random.Chance(50)) out.Put(Pick(random, kJapaneseNouns));
  } else {
    out.Put(Pick(random, kEnglishWords));
    out.Put(' ');
    out.Put(Pick(random, kEnglishWords));
  }
}

void PutAddress(CorpusBuilder& out, CorpusRandom& random) {
  if (random.Chance(60)) out.Put("www.");
  out.Put(Pick(random, kEnglishWords));
  if (random.Chance(40)) {
    out.Put('-');
    out.Put(Pick(random, kEnglishWords));
  }
  out.Put(Pick(random, kTopLevel));
  const std::uint32_t segments = random.Below(4);
  for (std::uint32_t i = 0; i < segments; ++i) {
    out.Put('/');
    if (random.Chance(25)) {
      out.Put('~');
      out.Put(Pick(random, kEnglishWords));
    } else if (random.Chance(20)) {
      PutNumber(out, random.Below(100000));
    } else {
      out.Put(Pick(random, kEnglishWords));
    }
  }
  switch (random.Below(10)) {
    case 0:
    case 1:
    case 2:
      out.Put('/');
      break;
    case 3:
    case 4:
      out.Put('/');
      out.Put(Pick(random, kEnglishWords));
      out.Put(".html");
      break;
    case 5:
      out.Put("/index.htm");
      break;
    case 6:
      out.Put("/cgi-bin/view.cgi?id=");
      PutNumber(out, random.Below(1000000));
      out.Put("&amp;p=");
      PutNumber(out, random.Below(50));
      break;
    case 7:
      out.Put("/Default.HTML");
      break;
    default:
      break;  // a bare host or segment name
  }
}

void PutAnchor(CorpusBuilder& out, CorpusRandom& random, AnchorStyle style) {
  switch (style) {
    case AnchorStyle::kHttp:
      out.Put("<a href=\"http://");
      out.CountRecord();
      break;
    case AnchorStyle::kMixedCase: {
      constexpr std::array<std::string_view, 4> kOpenings = {
          "<A HREF=\"HTTP://", "<A HREF=\"http://", "<a Href=\"Http://", "<A href=\"hTTp://"};
      out.Put(Pick(random, kOpenings));
      out.CountRecord();
      break;
    }
    case AnchorStyle::kHttps:
      out.Put("<a href=\"https://");
      break;
    case AnchorStyle::kRelative:
      out.Put(random.Chance(50) ? "<a href=\"/" : "<a href=\"../");
      out.Put(Pick(random, kEnglishWords));
      out.Put('/');
      break;
    case AnchorStyle::kAttributeFirst:
      out.Put(random.Chance(50) ? "<a class=\"ext\" href=\"http://"
                                : "<a target=\"_blank\" href=\"http://");
      break;
  }
  if (style != AnchorStyle::kRelative) {
    PutAddress(out, random);
  } else {
    out.Put(Pick(random, kEnglishWords));
    out.Put(".html");
  }
  out.Put("\">");
  PutShortText(out, random);
  out.Put("</a>");
}

AnchorStyle PickPageAnchorStyle(CorpusRandom& random) {
  const std::uint32_t roll = random.Below(100);
  if (roll < 55) return AnchorStyle::kHttp;
  if (roll < 60) return AnchorStyle::kMixedCase;
  if (roll < 82) return AnchorStyle::kHttps;
  if (roll < 95) return AnchorStyle::kRelative;
  return AnchorStyle::kAttributeFirst;
}
