#include "library/html/tag_names.h"

#include <array>
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

struct ShortName {
  std::string_view name;
  TagName tag;
};

// clang-format off
constexpr ShortName kShortNames[] = {
    {"a", TagName::kA},
    {"area", TagName::kArea},
    {"base", TagName::kBase},
    {"title", TagName::kTitle},
    {"textarea", TagName::kTextarea},
    {"style", TagName::kStyle},
    {"xmp", TagName::kXmp},
    {"iframe", TagName::kIframe},
    {"noembed", TagName::kNoembed},
    {"noframes", TagName::kNoframes},
    {"script", TagName::kScript},
    {"svg", TagName::kSvg},
    {"math", TagName::kMath},
    {"font", TagName::kFont},
    {"desc", TagName::kDesc},
    {"mi", TagName::kMathText},
    {"mo", TagName::kMathText},
    {"mn", TagName::kMathText},
    {"ms", TagName::kMathText},
    {"mtext", TagName::kMathText},
    {"b", TagName::kLeavesForeign},
    {"big", TagName::kLeavesForeign},
    {"body", TagName::kLeavesForeign},
    {"br", TagName::kLeavesForeign},
    {"center", TagName::kLeavesForeign},
    {"code", TagName::kLeavesForeign},
    {"dd", TagName::kLeavesForeign},
    {"div", TagName::kLeavesForeign},
    {"dl", TagName::kLeavesForeign},
    {"dt", TagName::kLeavesForeign},
    {"em", TagName::kLeavesForeign},
    {"embed", TagName::kLeavesForeign},
    {"h1", TagName::kLeavesForeign},
    {"h2", TagName::kLeavesForeign},
    {"h3", TagName::kLeavesForeign},
    {"h4", TagName::kLeavesForeign},
    {"h5", TagName::kLeavesForeign},
    {"h6", TagName::kLeavesForeign},
    {"head", TagName::kLeavesForeign},
    {"hr", TagName::kLeavesForeign},
    {"i", TagName::kLeavesForeign},
    {"img", TagName::kLeavesForeign},
    {"li", TagName::kLeavesForeign},
    {"listing", TagName::kLeavesForeign},
    {"menu", TagName::kLeavesForeign},
    {"meta", TagName::kLeavesForeign},
    {"nobr", TagName::kLeavesForeign},
    {"ol", TagName::kLeavesForeign},
    {"p", TagName::kLeavesForeign},
    {"pre", TagName::kLeavesForeign},
    {"ruby", TagName::kLeavesForeign},
    {"s", TagName::kLeavesForeign},
    {"small", TagName::kLeavesForeign},
    {"span", TagName::kLeavesForeign},
    {"strong", TagName::kLeavesForeign},
    {"strike", TagName::kLeavesForeign},
    {"sub", TagName::kLeavesForeign},
    {"sup", TagName::kLeavesForeign},
    {"table", TagName::kLeavesForeign},
    {"tt", TagName::kLeavesForeign},
    {"u", TagName::kLeavesForeign},
    {"ul", TagName::kLeavesForeign},
    {"var", TagName::kLeavesForeign},
};
// clang-format on

// The names above in a table of 256 places, each at its own place: the top byte of the key
// times a multiplier chosen so that no two meet.
constexpr std::uint64_t kMultiplier = 0x2c0dacc390258697;
constexpr std::size_t Place(std::uint64_t key) {
  return static_cast<std::size_t>((key * kMultiplier) >> 56);
}

struct ShortNameTable {
  std::array<std::uint64_t, 256> keys{};
  std::array<TagName, 256> tags{};
  bool collides = false;
};

constexpr ShortNameTable MakeTable() {
  ShortNameTable table;
  for (const ShortName& entry : kShortNames) {
    const std::uint64_t key = Key(entry.name);
    const std::size_t place = Place(key);
    if (table.keys[place] != 0) table.collides = true;
    table.keys[place] = key;
    table.tags[place] = entry.tag;
  }
  return table;
}

constexpr ShortNameTable kTable = MakeTable();
static_assert(!kTable.collides, "choose another multiplier");

}  // namespace

TagName ClassifyTagName(const char* name, std::size_t length) {
  if (length == 0) return TagName::kOther;
  const std::string_view text(name, length);
  if (length <= 8) {
    const std::uint64_t key = Key(text);
    const std::size_t place = Place(key);
    return kTable.keys[place] == key ? kTable.tags[place] : TagName::kOther;
  }
  if (text == "plaintext") return TagName::kPlaintext;
  if (text == "blockquote") return TagName::kLeavesForeign;
  // svg writes foreignObject; the tokenizer lowercases it.
  if (text == "foreignobject") return TagName::kForeignObject;
  if (text == "annotation-xml") return TagName::kAnnotationXml;
  return TagName::kOther;
}

}  // namespace quillon::html
