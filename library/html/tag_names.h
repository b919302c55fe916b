#pragma once
// The tag names whose start or end tags the tokenizer acts on: the ones that give links, the
// ones that switch the tokenizer to another content model, and the ones that move between
// HTML and foreign content (svg, math).
#include <cstddef>
#include <cstdint>

namespace quillon::html {

enum class TagName : std::uint8_t {
  kOther,
  // Links.
  kA,
  kArea,
  kBase,
  // Text the tokenizer reads as RCDATA, RAWTEXT, script data or plain text.
  kTitle,
  kTextarea,
  kStyle,
  kXmp,
  kIframe,
  kNoembed,
  kNoframes,
  kScript,
  kPlaintext,
  // Foreign content.
  kSvg,
  kMath,
  kFont,           // leaves foreign content when it has color, face or size
  kLeavesForeign,  // b, big, blockquote, body, br, ... : a start tag leaves foreign content
  kForeignObject,  // svg: HTML inside
  kDesc,           // svg: HTML inside
  kMathText,       // mi, mo, mn, ms, mtext: HTML inside math
  kAnnotationXml,  // math: HTML inside when encoding is text/html or application/xhtml+xml
};

// Whether a start tag of this name does anything in HTML content: switch the content model, or
// enter foreign content.
constexpr bool SwitchesContent(TagName name) {
  return name >= TagName::kTitle && name <= TagName::kMath;
}

// The longest name above ("annotation-xml"); a longer one is kOther.
inline constexpr std::size_t kLongestTagName = 14;

// `name` as the tokenizer has it (ASCII letters lowercased).
TagName ClassifyTagName(const char* name, std::size_t length);

}  // namespace quillon::html
