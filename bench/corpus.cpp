#include "bench/corpus.h"

#include "bench/corpus_builder.h"
#include "bench/corpus_parts.h"
#include "bench/corpus_random.h"

namespace {

constexpr std::string_view kPageHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
    "<html lang=\"ja\">\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
    "<title>リンク集と新着情報</title>\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/main.css\">\n"
    "<style type=\"text/css\">\n"
    "body { margin: 0; font-family: \"ＭＳ Ｐゴシック\", sans-serif; }\n"
    "a:link { color: #0033cc; } a:visited { color: #663399; }\n"
    "table.data td { border: 1px solid #999; padding: 2px 6px; }\n"
    "</style>\n"
    "<script type=\"text/javascript\">\n"
    "function openWindow(url) { window.open(url, \"sub\", \"width=640,height=480\"); }\n"
    "</script>\n</head>\n<body bgcolor=\"#ffffff\">\n";
constexpr std::string_view kPageTail = "<hr>\n<address>webmaster</address>\n</body>\n</html>\n";

void PutParagraph(CorpusBuilder& out, CorpusRandom& random) {
  out.Put("<p>");
  const std::uint32_t sentences = random.Between(2, 6);
  for (std::uint32_t i = 0; i < sentences; ++i) {
    if (random.Chance(80)) {
      PutJapaneseSentence(out, random);
    } else {
      PutEnglishSentence(out, random);
    }
    if (random.Chance(30)) PutAnchor(out, random, PickPageAnchorStyle(random));
    if (random.Chance(10)) out.Put("<br>\n");
  }
  out.Put("</p>\n");
}

void PutList(CorpusBuilder& out, CorpusRandom& random) {
  out.Put(random.Chance(70) ? "<ul class=\"links\">\n" : "<UL>\n");
  const std::uint32_t items = random.Between(3, 10);
  for (std::uint32_t i = 0; i < items; ++i) {
    out.Put("<li>");
    PutAnchor(out, random, PickPageAnchorStyle(random));
    if (random.Chance(40)) {
      out.Put(" - ");
      PutJapaneseSentence(out, random);
    }
    out.Put("</li>\n");
  }
  out.Put("</ul>\n");
}

void PutTable(CorpusBuilder& out, CorpusRandom& random) {
  out.Put("<table class=\"data\" cellspacing=\"0\">\n<tr><th>日付</th><th>内容</th><th>");
  out.Put("リンク</th></tr>\n");
  const std::uint32_t rows = random.Between(3, 8);
  for (std::uint32_t i = 0; i < rows; ++i) {
    out.Put("<tr><td>");
    out.Put(std::to_string(1996 + random.Below(5)) + "/" + std::to_string(1 + random.Below(12)));
    out.Put("</td><td>");
    PutJapaneseSentence(out, random);
    out.Put("</td><td>");
    if (random.Chance(60)) PutAnchor(out, random, PickPageAnchorStyle(random));
    out.Put("</td></tr>\n");
  }
  out.Put("</table>\n");
}

void PutScript(CorpusBuilder& out, CorpusRandom& random) {
  out.Put("<script type=\"text/javascript\">\n<!--\nvar links = new Array(\"http://");
  PutAddress(out, random);
  out.Put("\", \"http://");
  PutAddress(out, random);
  out.Put("\");\nfor (var i = 0; i < links.length; i++) { if (i <= ");
  out.Put(std::to_string(random.Below(9)));
  out.Put(") document.write(links[i]); }\n// -->\n</script>\n");
}

void PutHeading(CorpusBuilder& out, CorpusRandom& random) {
  out.Put("<h2 id=\"s");
  out.Put(std::to_string(random.Below(100000)));
  out.Put("\">");
  PutShortText(out, random);
  out.Put("</h2>\n");
}

void PutNavigation(CorpusBuilder& out, CorpusRandom& random) {
  out.Put("<div class=\"nav\"><img src=\"/img/logo.gif\" width=\"120\" height=\"40\" alt=\"");
  PutShortText(out, random);
  out.Put("\">\n");
  const std::uint32_t links = random.Between(3, 6);
  for (std::uint32_t i = 0; i < links; ++i) {
    if (i > 0) out.Put(" | ");
    PutAnchor(out, random, AnchorStyle::kRelative);
  }
  out.Put("\n</div>\n");
}

void WritePage(CorpusBuilder& out, CorpusRandom& random, std::uint64_t min_bytes) {
  out.Put(kPageHead);
  while (out.Written() + kPageTail.size() < min_bytes) {
    const std::uint32_t roll = random.Below(100);
    if (roll < 50) {
      PutParagraph(out, random);
    } else if (roll < 62) {
      PutHeading(out, random);
    } else if (roll < 77) {
      PutList(out, random);
    } else if (roll < 87) {
      PutTable(out, random);
    } else if (roll < 92) {
      PutScript(out, random);
    } else {
      PutNavigation(out, random);
    }
  }
  out.Put(kPageTail);
}

void WriteAnchors(CorpusBuilder& out, CorpusRandom& random, std::uint64_t min_bytes) {
  out.Put("<html><head><title>Links</title></head><body>\n");
  while (out.Written() < min_bytes) {
    const std::uint32_t roll = random.Below(100);
    if (roll < 95) {
      PutAnchor(out, random, AnchorStyle::kHttp);
    } else if (roll < 97) {
      PutAnchor(out, random, AnchorStyle::kMixedCase);
    } else if (roll < 98) {
      PutAnchor(out, random, AnchorStyle::kHttps);
    } else if (roll < 99) {
      out.Put("<br>");
    } else {
      out.Put("1 < 2");
    }
    out.Put('\n');
  }
  out.Put("</body></html>\n");
}

void WriteText(CorpusBuilder& out, CorpusRandom& random, std::uint64_t min_bytes) {
  while (out.Written() < min_bytes) {
    const std::uint32_t sentences = random.Between(3, 12);
    for (std::uint32_t i = 0; i < sentences; ++i) {
      if (random.Chance(75)) {
        PutJapaneseSentence(out, random);
      } else {
        PutEnglishSentence(out, random);
      }
      // About one "<" in every 200 KB, now and then a whole anchor.
      if (random.Below(2500) == 0) {
        if (random.Chance(20)) {
          PutAnchor(out, random, AnchorStyle::kHttp);
        } else {
          out.Put(" x<y ");
        }
      }
    }
    out.Put("\r\n\r\n");
  }
}

}  // namespace

std::optional<CorpusKind> ParseCorpusKind(std::string_view name) {
  if (name == "page") return CorpusKind::kPage;
  if (name == "anchors") return CorpusKind::kAnchors;
  if (name == "text") return CorpusKind::kText;
  return std::nullopt;
}

CorpusStats WriteCorpus(CorpusKind kind, std::uint64_t min_bytes, std::uint64_t start_value,
                        const CorpusSink& sink) {
  CorpusBuilder out(sink);
  // Each kind draws from its own sequence, so the kinds differ even with one start value.
  CorpusRandom random(start_value * 3 + static_cast<std::uint64_t>(kind));
  switch (kind) {
    case CorpusKind::kPage:
      WritePage(out, random, min_bytes);
      break;
    case CorpusKind::kAnchors:
      WriteAnchors(out, random, min_bytes);
      break;
    case CorpusKind::kText:
      WriteText(out, random, min_bytes);
      break;
  }
  return out.Finish();
}
