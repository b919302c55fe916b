#pragma once
// The HTML Standard's tokenizer, reading a page for its hyperlinks: every a, area and base start
// tag with an href attribute, with the value as the tokenizer gives it. It keeps the states that
// decide where tags begin and end (comments, DOCTYPEs, CDATA sections, RCDATA, RAWTEXT, script
// data with its escapes, PLAINTEXT) and the switches tree construction makes between them
// (tree_feedback.h), and skips everything else as fast as it can find the next byte that
// matters. The page is read as UTF-8 (any other encoding is converted first): every byte the
// tokenizer acts on is ASCII, and every other byte of an href is handed on as it stands.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/html/attribute_value.h"
#include "library/html/named_references.h"
#include "library/html/tag_names.h"
#include "library/html/tree_feedback.h"

namespace quillon::html {

// The longest href value handed on, in bytes after character references are decoded. A longer
// one is skipped and counted, never cut.
inline constexpr std::size_t kLongestHref = 8192;

enum class HrefTag : std::uint8_t { kA, kArea, kBase };

class TagSink {
 public:
  // A start tag a, area or base (any letter case, any namespace) with an href attribute (the
  // first of duplicates), when the tag is complete (its '>' read). `href` has its character
  // references decoded, CR LF and lone CR as LF, NUL as U+FFFD, every other byte as in the page.
  // It is valid during the call only.
  virtual void Href(HrefTag tag, std::string_view href) = 0;

 protected:
  ~TagSink() = default;
};

// Where a tokenizer starts: the data state for a page; the others as a test may ask.
enum class InitialState : std::uint8_t {
  kData,
  kRcdata,
  kRawtext,
  kScriptData,
  kPlaintext,
  kCdataSection
};

// One page at a time; no allocation after construction (it holds the href buffer: keep it off
// small stacks). Chunks of any size, split anywhere, give the same calls.
class Tokenizer {
 public:
  Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  void Feed(const unsigned char* bytes, std::size_t size, TagSink& sink);
  // The page ended. Tags are handed on when their '>' is read, so there is nothing left to give:
  // a tag left unfinished gives nothing.
  void Finish(TagSink& sink);
  // Ready for a new page.
  void Reset() { Reset(InitialState::kData, {}); }
  // Ready for a new page that starts in `state`, as if the last start tag had been
  // `last_start_tag` (lowercase; empty: none), which RCDATA, RAWTEXT and script data end at.
  void Reset(InitialState state, std::string_view last_start_tag);

  // hrefs longer than kLongestHref skipped on this page.
  std::uint64_t long_hrefs_skipped() const { return long_hrefs_skipped_; }

 private:
  enum class State : std::uint8_t;
  using Value = AttributeValue<kLongestHref>;

  // Long enough for every attribute name the tokenizer looks at ("encoding").
  static constexpr std::size_t kLongestAttributeName = 8;

  // The states that are not a tag's: comments, DOCTYPEs, CDATA, character references, RCDATA,
  // RAWTEXT and script data. Reads from `p` in state_ and returns where it stopped.
  const unsigned char* OtherStates(const unsigned char* p, const unsigned char* end, TagSink& sink);
  // The attribute state after [p, q), from `state` at p, in a tag whose attributes do not
  // matter, where [p, q) holds no '=' or '>': before or after a name, in a name, or after a '/'.
  static State AttributeStateAt(State state, const unsigned char* p, const unsigned char* q);
  const unsigned char* NamedReferenceRun(const unsigned char* p, const unsigned char* end);
  const unsigned char* NumericReferenceRun(const unsigned char* p, const unsigned char* end);
  const unsigned char* TextEndTagNameRun(const unsigned char* p, const unsigned char* end);

  void BeginTag(bool end_tag);
  void EndTagName();
  void BeginAttribute();
  void EndAttributeName();
  void EmitTag(TagSink& sink);
  bool HtmlEncoding() const;
  void SetLastStartTag(std::string_view name);

  // Into the value kept (target_): a byte of the page, with CR LF and CR as LF and NUL as
  // U+FFFD; or what a character reference gave.
  void CaptureInput(unsigned char byte);
  void CaptureDecoded(unsigned char byte);
  void CaptureCodePoint(std::uint32_t point);
  void ResolveNamedReference(unsigned char next);

  State state_;
  State value_state_;  // the attribute value a character reference is in
  State text_state_;   // where an end tag name that does not end the text goes back to

  // The tag being read.
  bool end_tag_ = false;
  bool self_closing_ = false;
  char name_[kLongestTagName];
  std::size_t name_length_ = 0;  // kLongestTagName + 1: longer, or not a name we act on
  TagName tag_ = TagName::kOther;
  // Whether the attributes of this tag matter: if not, only where the tag ends is looked for.
  bool examines_attributes_ = false;
  char attribute_name_[kLongestAttributeName];
  std::size_t attribute_name_length_ = 0;  // saturates as name_length_ does
  Value* target_ = nullptr;                // the value being read is kept here (or not at all)
  bool has_href_ = false;
  bool has_encoding_ = false;
  bool leaves_as_font_ = false;
  bool after_cr_ = false;
  Value href_;
  Value encoding_;  // only its first bytes matter

  // A character reference in a value kept.
  NamedReferenceSearch reference_search_;
  unsigned char reference_[kLongestNamedReference];
  std::size_t reference_length_ = 0;
  std::uint32_t number_ = 0;
  bool hexadecimal_ = false;
  unsigned char number_marker_ = 0;  // the 'x' or 'X' of a hexadecimal reference

  // After "<!": how much of "--", "DOCTYPE" or "[CDATA[" has been read.
  unsigned char declaration_ = 0;
  std::size_t declaration_matched_ = 0;

  // The name of the last start tag, which ends RCDATA, RAWTEXT and script data.
  char last_start_tag_[kLongestTagName];
  std::size_t last_start_tag_length_ = kLongestTagName + 1;  // none
  std::size_t end_name_matched_ = 0;
  bool end_name_differs_ = false;
  // Script data's temporary buffer, as far as "script" goes.
  std::size_t script_matched_ = 0;
  bool script_differs_ = false;

  TreeFeedback feedback_;
  std::uint64_t long_hrefs_skipped_ = 0;
};

}  // namespace quillon::html
