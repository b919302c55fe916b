#pragma once
// What tree construction tells the tokenizer, without building the tree: which content model
// a start tag switches to, and whether the tokenizer is in foreign content (svg, math), where
// those switches are off and CDATA sections are read.
//
// It follows the parse5 SAX parser's simulation of that feedback, the reference the results
// are compared with: a stack of namespaces, pushed by svg and math start tags and by the
// integration points (svg foreignObject, desc, title; math mi, mo, mn, ms, mtext, and
// annotation-xml with an HTML encoding) unless self-closing, popped by the start tags that
// leave foreign content, by </svg> and </math> in their own namespace, and in HTML by the end
// tag of an integration point of the namespace below. Where it differs from that simulation:
// - noscript is read as markup (as with scripting disabled), not as RAWTEXT;
// - the stack holds kNamespaceDepth entries; deeper, only the innermost namespace is kept.
// Like that simulation (and unlike a browser) it keeps no elements, so e.g. <svg/> or an svg
// left open by a misnested end tag keeps the page in foreign content.
#include <cstddef>
#include <cstdint>

#include "library/html/tag_names.h"

namespace quillon::html {

enum class ContentModel : std::uint8_t { kMarkup, kRcdata, kRawtext, kScriptData, kPlaintext };

inline constexpr std::size_t kNamespaceDepth = 1024;

class TreeFeedback {
 public:
  TreeFeedback() { Reset(); }
  void Reset();

  // A start tag, complete. `leaves_as_font`: a font tag with a color, face or size attribute.
  // `html_encoding`: its first encoding attribute is text/html or application/xhtml+xml (ASCII
  // case-insensitive). Returns the content model of the text after it.
  ContentModel StartTag(TagName name, bool self_closing, bool leaves_as_font, bool html_encoding);
  void EndTag(TagName name, bool html_encoding);

  bool in_foreign_content() const { return Top() != kHtml; }
  // Whether any namespace has been entered: else no end tag changes anything.
  bool nested() const { return depth_ > 1; }

 private:
  enum Namespace : std::uint8_t { kHtml, kSvg, kMathMl, kNone };

  Namespace Top() const {
    return stack_[(depth_ < kNamespaceDepth ? depth_ : kNamespaceDepth) - 1];
  }
  Namespace Below() const;
  void Push(Namespace space);
  void Pop();
  static bool IntegrationPoint(TagName name, Namespace space, bool html_encoding);

  Namespace stack_[kNamespaceDepth];
  std::uint64_t depth_ = 0;  // may exceed kNamespaceDepth
};

}  // namespace quillon::html
