#include "library/html/tag_names.h"

#include <string_view>

namespace quillon::html {

namespace {

// A name of at most 8 bytes as one number, first byte lowest.
constexpr std::uint64_t Key(std::string_view name) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    key |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
  }
  return key;
}

TagName ClassifyShort(std::uint64_t key) {
  switch (key) {
    case Key("a"):
      return TagName::kA;
    case Key("area"):
      return TagName::kArea;
    case Key("base"):
      return TagName::kBase;
    case Key("title"):
      return TagName::kTitle;
    case Key("textarea"):
      return TagName::kTextarea;
    case Key("style"):
      return TagName::kStyle;
    case Key("xmp"):
      return TagName::kXmp;
    case Key("iframe"):
      return TagName::kIframe;
    case Key("noembed"):
      return TagName::kNoembed;
    case Key("noframes"):
      return TagName::kNoframes;
    case Key("script"):
      return TagName::kScript;
    case Key("svg"):
      return TagName::kSvg;
    case Key("math"):
      return TagName::kMath;
    case Key("font"):
      return TagName::kFont;
    case Key("desc"):
      return TagName::kDesc;
    case Key("mi"):
    case Key("mo"):
    case Key("mn"):
    case Key("ms"):
    case Key("mtext"):
      return TagName::kMathText;
    case Key("b"):
    case Key("big"):
    case Key("body"):
    case Key("br"):
    case Key("center"):
    case Key("code"):
    case Key("dd"):
    case Key("div"):
    case Key("dl"):
    case Key("dt"):
    case Key("em"):
    case Key("embed"):
    case Key("h1"):
    case Key("h2"):
    case Key("h3"):
    case Key("h4"):
    case Key("h5"):
    case Key("h6"):
    case Key("head"):
    case Key("hr"):
    case Key("i"):
    case Key("img"):
    case Key("li"):
    case Key("listing"):
    case Key("menu"):
    case Key("meta"):
    case Key("nobr"):
    case Key("ol"):
    case Key("p"):
    case Key("pre"):
    case Key("ruby"):
    case Key("s"):
    case Key("small"):
    case Key("span"):
    case Key("strong"):
    case Key("strike"):
    case Key("sub"):
    case Key("sup"):
    case Key("table"):
    case Key("tt"):
    case Key("u"):
    case Key("ul"):
    case Key("var"):
      return TagName::kLeavesForeign;
    default:
      return TagName::kOther;
  }
}

}  // namespace

TagName ClassifyTagName(const char* name, std::size_t length) {
  if (length == 0) return TagName::kOther;
  const std::string_view text(name, length);
  if (length <= 8) return ClassifyShort(Key(text));
  if (text == "plaintext") return TagName::kPlaintext;
  if (text == "blockquote") return TagName::kLeavesForeign;
  // svg writes foreignObject; the tokenizer lowercases it.
  if (text == "foreignobject") return TagName::kForeignObject;
  if (text == "annotation-xml") return TagName::kAnnotationXml;
  return TagName::kOther;
}

}  // namespace quillon::html
