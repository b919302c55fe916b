#include "library/html/tokenizer.h"

#include <array>
#include <cstring>

#include "library/html/byte_search.h"

namespace quillon::html {

enum class Tokenizer::State : std::uint8_t {
  kData,
  kTagOpen,
  kEndTagOpen,
  kTagName,
  kBeforeAttributeName,
  kAttributeName,
  kAfterAttributeName,
  kBeforeAttributeValue,
  kValueDoubleQuoted,
  kValueSingleQuoted,
  kValueUnquoted,
  kAfterValueQuoted,
  kSelfClosingStartTag,
  kCharacterReference,
  kMarkupDeclarationOpen,
  kBogusComment,
  kCommentStart,
  kCommentStartDash,
  kComment,
  kCommentEndDash,
  kCommentEnd,
  kCommentEndBang,
  kDoctype,
  kCdata,
  kCdataBracket,
  kCdataEnd,
  kRawtext,  // RCDATA too: its character references never reach a '<'
  kRawtextLessThan,
  kTextEndTagOpen,
  kTextEndTagName,
  kScriptData,
  kScriptDataLessThan,
  kScriptDataEscapeStart,
  kScriptDataEscapeStartDash,
  kScriptDataEscaped,
  kScriptDataEscapedDash,
  kScriptDataEscapedDashDash,
  kScriptDataEscapedLessThan,
  kScriptDataDoubleEscapeStart,
  kScriptDataDoubleEscaped,
  kScriptDataDoubleEscapedDash,
  kScriptDataDoubleEscapedDashDash,
  kScriptDataDoubleEscapedLessThan,
  kScriptDataDoubleEscapeEnd,
  kPlaintext,
};

namespace {

bool IsSpace(unsigned char c) {
  // CR is read as LF: the input stream has none.
  return c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r';
}
bool IsAlpha(unsigned char c) {
  return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}
unsigned char ToLower(unsigned char c) {
  return static_cast<unsigned char>(c - 'A') < 26 ? c | 0x20 : c;
}

constexpr std::array<bool, 256> ByteSet(std::string_view bytes) {
  std::array<bool, 256> set{};
  for (const char c : bytes) set[static_cast<unsigned char>(c)] = true;
  return set;
}
constexpr std::array<bool, 256> kEndsTagName = ByteSet(" \n\t\f\r/>");
constexpr std::array<bool, 256> kEndsAttributeName = ByteSet(" \n\t\f\r/>=");
// Where a value kept stops being copied as it stands.
constexpr unsigned char kStopsDoubleQuoted[4] = {'"', '&', '\r', 0};
constexpr unsigned char kStopsSingleQuoted[4] = {'\'', '&', '\r', 0};
constexpr std::array<bool, 256> kStopsUnquoted = ByteSet(std::string_view(" \n\t\f\r>&\0", 8));

constexpr std::string_view kScript = "script";

}  // namespace

Tokenizer::State Tokenizer::AttributeStateAt(State state, const unsigned char* p,
                                             const unsigned char* q) {
  if (p == q) return state;
  const unsigned char last = q[-1];
  if (last == '/') return State::kSelfClosingStartTag;
  if (!IsSpace(last)) return State::kAttributeName;
  const unsigned char* space = q - 1;
  while (space > p && IsSpace(space[-1])) --space;
  if (space == p) {
    const bool named = state == State::kAttributeName || state == State::kAfterAttributeName;
    return named ? State::kAfterAttributeName : State::kBeforeAttributeName;
  }
  return space[-1] == '/' ? State::kBeforeAttributeName : State::kAfterAttributeName;
}

Tokenizer::Tokenizer() {
  Reset();
}

void Tokenizer::Reset(InitialState state, std::string_view last_start_tag) {
  switch (state) {
    case InitialState::kData:
      state_ = State::kData;
      break;
    case InitialState::kRcdata:
    case InitialState::kRawtext:
      state_ = State::kRawtext;
      break;
    case InitialState::kScriptData:
      state_ = State::kScriptData;
      break;
    case InitialState::kPlaintext:
      state_ = State::kPlaintext;
      break;
    case InitialState::kCdataSection:
      state_ = State::kCdata;
      break;
  }
  value_state_ = State::kValueDoubleQuoted;
  text_state_ = State::kRawtext;
  BeginTag(false);
  decoder_.BeginValue();
  href_.Clear();
  encoding_.Clear();
  declaration_matched_ = 0;
  last_start_tag_length_ = kLongestTagName + 1;
  if (!last_start_tag.empty()) SetLastStartTag(last_start_tag);
  feedback_.Reset();
  long_hrefs_skipped_ = 0;
}

void Tokenizer::Finish(TagSink&) {}

void Tokenizer::SetLastStartTag(std::string_view name) {
  if (name.size() > kLongestTagName) {
    last_start_tag_length_ = kLongestTagName + 1;
    return;
  }
  std::memcpy(last_start_tag_, name.data(), name.size());
  last_start_tag_length_ = name.size();
}

inline void Tokenizer::BeginTag(bool end_tag) {
  end_tag_ = end_tag;
  self_closing_ = false;
  name_length_ = 0;
  tag_ = TagName::kOther;
  examines_attributes_ = false;
  target_ = nullptr;
  has_href_ = false;
  has_encoding_ = false;
  leaves_as_font_ = false;
}

namespace {

// Whose attributes (or whether it closes itself) matter, by tag name.
enum : std::uint8_t {
  kStartTagAttributes = 1,
  kStartTagAttributesInForeignContent = 2,  // font, and the integration points
  kEndTagAttributes = 4,
};

constexpr std::array<std::uint8_t, 256> MakeAttributesMatter() {
  std::array<std::uint8_t, 256> matter{};
  for (const TagName tag : {TagName::kA, TagName::kArea, TagName::kBase}) {
    matter[static_cast<std::size_t>(tag)] = kStartTagAttributes;
  }
  for (const TagName tag : {TagName::kFont, TagName::kForeignObject, TagName::kDesc,
                            TagName::kTitle, TagName::kMathText}) {
    matter[static_cast<std::size_t>(tag)] = kStartTagAttributesInForeignContent;
  }
  matter[static_cast<std::size_t>(TagName::kAnnotationXml)] =
      kStartTagAttributes | kEndTagAttributes;
  return matter;
}
constexpr std::array<std::uint8_t, 256> kAttributesMatter = MakeAttributesMatter();

}  // namespace

inline void Tokenizer::EndTagName() {
  tag_ = name_length_ <= kLongestTagName ? ClassifyTagName(name_, name_length_) : TagName::kOther;
  const std::uint8_t matter = kAttributesMatter[static_cast<std::size_t>(tag_)];
  if (end_tag_) {
    examines_attributes_ = (matter & kEndTagAttributes) != 0;
  } else {
    examines_attributes_ =
        (matter & kStartTagAttributes) != 0 ||
        ((matter & kStartTagAttributesInForeignContent) != 0 && feedback_.in_foreign_content());
  }
}

inline void Tokenizer::BeginAttribute() {
  attribute_name_length_ = 0;
  target_ = nullptr;
}

void Tokenizer::EndAttributeName() {
  target_ = nullptr;
  if (attribute_name_length_ > kLongestAttributeName) return;
  const std::string_view name(attribute_name_, attribute_name_length_);
  const bool link = tag_ == TagName::kA || tag_ == TagName::kArea || tag_ == TagName::kBase;
  if (name == "href") {
    if (link && !has_href_ && !end_tag_) {
      has_href_ = true;
      href_.Clear(raw_hrefs_ ? kLongestRawHref : kLongestHref);
      target_ = &href_;
    }
  } else if (name == "encoding") {
    if (tag_ == TagName::kAnnotationXml && !has_encoding_) {
      has_encoding_ = true;
      encoding_.Clear(kLongestHref);
      target_ = &encoding_;
    }
  } else if (tag_ == TagName::kFont && (name == "color" || name == "face" || name == "size")) {
    leaves_as_font_ = true;
  }
}

bool Tokenizer::HtmlEncoding() const {
  if (!has_encoding_) return false;
  const std::string_view value = encoding_.view();
  constexpr std::string_view kHtml = "text/html";
  constexpr std::string_view kXhtml = "application/xhtml+xml";
  if (value.size() != kHtml.size() && value.size() != kXhtml.size()) return false;
  const std::string_view expected = value.size() == kHtml.size() ? kHtml : kXhtml;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (ToLower(static_cast<unsigned char>(value[i])) != expected[i]) return false;
  }
  return true;
}

void Tokenizer::EmitTag(TagSink& sink) {
  state_ = State::kData;
  target_ = nullptr;
  if (end_tag_) {
    if (tag_ != TagName::kOther && feedback_.nested()) {
      feedback_.EndTag(tag_, has_encoding_ && HtmlEncoding());
    }
    return;
  }
  if (has_href_) {
    if (href_.too_long()) {
      ++long_hrefs_skipped_;
    } else {
      const HrefTag kind = tag_ == TagName::kA      ? HrefTag::kA
                           : tag_ == TagName::kArea ? HrefTag::kArea
                                                    : HrefTag::kBase;
      sink.Href(kind, href_.view());
    }
  }
  if (!feedback_.in_foreign_content() && !SwitchesContent(tag_)) return;
  switch (
      feedback_.StartTag(tag_, self_closing_, leaves_as_font_, has_encoding_ && HtmlEncoding())) {
    case ContentModel::kMarkup:
      return;
    case ContentModel::kRcdata:
    case ContentModel::kRawtext:
      state_ = State::kRawtext;
      break;
    case ContentModel::kScriptData:
      state_ = State::kScriptData;
      break;
    case ContentModel::kPlaintext:
      state_ = State::kPlaintext;
      return;
  }
  SetLastStartTag({name_, name_length_});
}

const unsigned char* Tokenizer::TextEndTagNameRun(const unsigned char* p,
                                                  const unsigned char* end) {
  for (; p < end; ++p) {
    const unsigned char c = *p;
    if (IsAlpha(c)) {
      if (!end_name_differs_ && end_name_matched_ < last_start_tag_length_ &&
          last_start_tag_length_ <= kLongestTagName &&
          static_cast<char>(ToLower(c)) == last_start_tag_[end_name_matched_]) {
        ++end_name_matched_;
      } else {
        end_name_differs_ = true;
      }
      continue;
    }
    if ((IsSpace(c) || c == '/' || c == '>') && !end_name_differs_ &&
        end_name_matched_ == last_start_tag_length_) {
      // The appropriate end tag: a tag like any other from here, its name read.
      BeginTag(true);
      std::memcpy(name_, last_start_tag_, last_start_tag_length_);
      name_length_ = last_start_tag_length_;
      state_ = State::kTagName;
      return p;
    }
    state_ = text_state_;
    return p;
  }
  return p;
}

void Tokenizer::Feed(const unsigned char* bytes, std::size_t size, TagSink& sink) {
  // The states of tags are one loop with direct jumps, resumed where the last chunk stopped;
  // the others go through OtherStates. A state saved at the end of a chunk is where the next
  // chunk starts.
  const unsigned char* p = bytes;
  const unsigned char* const end = bytes + size;
  unsigned char c;
  const unsigned char* stop;
  const unsigned char(*stops)[4];
  unsigned char quote;

#define QUILLON_SAVE_AT_END(state) \
  if (p == end) {                  \
    state_ = state;                \
    return;                        \
  }

dispatch:
  if (p == end) return;
  switch (state_) {
    case State::kData:
      goto data;
    case State::kTagOpen:
      goto tag_open;
    case State::kEndTagOpen:
      goto end_tag_open;
    case State::kTagName:
      goto tag_name;
    case State::kBeforeAttributeName:
      goto before_attribute_name;
    case State::kAttributeName:
      goto attribute_name;
    case State::kAfterAttributeName:
      goto after_attribute_name;
    case State::kBeforeAttributeValue:
      goto before_attribute_value;
    case State::kValueDoubleQuoted:
      goto value_double_quoted;
    case State::kValueSingleQuoted:
      goto value_single_quoted;
    case State::kValueUnquoted:
      goto value_unquoted;
    case State::kAfterValueQuoted:
      goto after_value_quoted;
    case State::kSelfClosingStartTag:
      goto self_closing_start_tag;
    case State::kPlaintext:
      return;
    default:
      p = OtherStates(p, end, sink);
      goto dispatch;
  }

data:
  p = FindByte(p, end, '<');
  QUILLON_SAVE_AT_END(State::kData);
  ++p;
tag_open:
  QUILLON_SAVE_AT_END(State::kTagOpen);
  c = *p;
  if (IsAlpha(c)) {
    BeginTag(false);
    goto tag_name;
  }
  if (c == '/') {
    ++p;
    goto end_tag_open;
  }
  if (c == '!') {
    ++p;
    declaration_matched_ = 0;
    state_ = State::kMarkupDeclarationOpen;
    goto dispatch;
  }
  if (c != '?') goto data;
  state_ = State::kBogusComment;
  goto dispatch;

end_tag_open:
  QUILLON_SAVE_AT_END(State::kEndTagOpen);
  c = *p;
  if (IsAlpha(c)) {
    BeginTag(true);
    goto tag_name;
  }
  if (c == '>') {
    ++p;
    goto data;
  }
  state_ = State::kBogusComment;
  goto dispatch;

tag_name : {
  std::size_t length = name_length_;
  for (; p < end && !kEndsTagName[*p]; ++p) {
    if (length < kLongestTagName) name_[length] = static_cast<char>(ToLower(*p));
    length = *p == 0 ? kLongestTagName + 1 : length + 1;  // no name with a NUL is acted on
  }
  name_length_ = length < kLongestTagName + 1 ? length : kLongestTagName + 1;
}
  QUILLON_SAVE_AT_END(State::kTagName);
  EndTagName();
  c = *p++;
  if (c == '>') goto emit;
  if (c == '/') goto self_closing_start_tag;
  goto before_attribute_name;

before_attribute_name:
  if (!examines_attributes_) {
    state_ = State::kBeforeAttributeName;
    goto skip_attributes;
  }
  while (p < end && IsSpace(*p)) ++p;
  QUILLON_SAVE_AT_END(State::kBeforeAttributeName);
  c = *p;
  if (c == '/') {
    ++p;
    goto self_closing_start_tag;
  }
  if (c == '>') {
    ++p;
    goto emit;
  }
  BeginAttribute();
  if (c == '=') {  // the first character of a name, here only
    ++p;
    attribute_name_[attribute_name_length_++] = '=';
  }
attribute_name:
  if (!examines_attributes_) {
    state_ = State::kAttributeName;
    goto skip_attributes;
  }
  for (; p < end && !kEndsAttributeName[*p]; ++p) {
    if (attribute_name_length_ < kLongestAttributeName) {
      attribute_name_[attribute_name_length_++] = static_cast<char>(ToLower(*p));
    } else {
      attribute_name_length_ = kLongestAttributeName + 1;
    }
  }
  QUILLON_SAVE_AT_END(State::kAttributeName);
  EndAttributeName();
  c = *p++;
  if (c == '>') goto emit;
  if (c == '=') goto before_attribute_value;
  if (c == '/') goto self_closing_start_tag;
after_attribute_name:
  if (!examines_attributes_) {
    state_ = State::kAfterAttributeName;
    goto skip_attributes;
  }
  while (p < end && IsSpace(*p)) ++p;
  QUILLON_SAVE_AT_END(State::kAfterAttributeName);
  c = *p;
  if (c == '/') {
    ++p;
    goto self_closing_start_tag;
  }
  if (c == '=') {
    ++p;
    goto before_attribute_value;
  }
  if (c == '>') {
    ++p;
    goto emit;
  }
  BeginAttribute();
  goto attribute_name;

before_attribute_value:
  decoder_.BeginValue();
  while (p < end && IsSpace(*p)) ++p;
  QUILLON_SAVE_AT_END(State::kBeforeAttributeValue);
  c = *p;
  if (c == '"') {
    ++p;
    goto value_double_quoted;
  }
  if (c == '\'') {
    ++p;
    goto value_single_quoted;
  }
  if (c == '>') {
    ++p;
    goto emit;
  }
  goto value_unquoted;

value_double_quoted:
  state_ = State::kValueDoubleQuoted;
  quote = '"';
  stops = &kStopsDoubleQuoted;
  goto value_quoted;
value_single_quoted:
  state_ = State::kValueSingleQuoted;
  quote = '\'';
  stops = &kStopsSingleQuoted;
value_quoted:
  if (target_ == nullptr) {
    // A character reference never takes a quote: nothing in the value needs reading.
    p = FindByte(p, end, quote);
    if (p == end) return;
    ++p;
    goto after_value_quoted;
  }
  if (target_ == &href_ && raw_hrefs_) {
    stop = FindByte(p, end, quote);
    target_->Append(p, static_cast<std::size_t>(stop - p));
    p = stop;
    if (p == end) return;
    ++p;
    goto after_value_quoted;
  }
  for (;;) {
    stop = FindAnyOf4(p, end, *stops);
    decoder_.Plain(p, static_cast<std::size_t>(stop - p), *target_);
    p = stop;
    if (p == end) return;
    c = *p++;
    if (c == quote) goto after_value_quoted;
    if (c == '&') {
      value_state_ = state_;
      state_ = State::kCharacterReference;
      decoder_.BeginReference();
      goto dispatch;
    }
    decoder_.Input(c, *target_);
  }

value_unquoted:
  if (target_ == nullptr) {
    for (; p < end && !IsSpace(*p) && *p != '>'; ++p) {
    }
  } else if (target_ == &href_ && raw_hrefs_) {
    for (stop = p; stop < end && !IsSpace(*stop) && *stop != '>'; ++stop) {
    }
    target_->Append(p, static_cast<std::size_t>(stop - p));
    p = stop;
  } else {
    for (;;) {
      for (stop = p; stop < end && !kStopsUnquoted[*stop]; ++stop) {
      }
      decoder_.Plain(p, static_cast<std::size_t>(stop - p), *target_);
      p = stop;
      if (p == end || IsSpace(*p) || *p == '>') break;
      if (*p++ == '&') {
        value_state_ = State::kValueUnquoted;
        state_ = State::kCharacterReference;
        decoder_.BeginReference();
        goto dispatch;
      }
      decoder_.Input(0, *target_);  // the one other stop
    }
  }
  QUILLON_SAVE_AT_END(State::kValueUnquoted);
  if (*p++ == '>') goto emit;
  goto before_attribute_name;

after_value_quoted:
  QUILLON_SAVE_AT_END(State::kAfterValueQuoted);
  c = *p;
  if (IsSpace(c)) {
    ++p;
    goto before_attribute_name;
  }
  if (c == '/') {
    ++p;
    goto self_closing_start_tag;
  }
  if (c == '>') {
    ++p;
    goto emit;
  }
  goto before_attribute_name;

self_closing_start_tag:
  if (!examines_attributes_) {
    state_ = State::kSelfClosingStartTag;
    goto skip_attributes;
  }
  QUILLON_SAVE_AT_END(State::kSelfClosingStartTag);
  if (*p == '>') {
    ++p;
    self_closing_ = true;
    goto emit;
  }
  goto before_attribute_name;

skip_attributes:
  // A tag whose attributes do not matter, in state_ (before, in or after an attribute name,
  // or after a '/'): only an '=' that starts a value, for its quotes, and the '>' that ends the
  // tag need finding.
  stop = FindEither(p, end, '=', '>');
  state_ = AttributeStateAt(state_, p, stop);
  p = stop;
  if (p == end) return;
  c = *p++;
  if (c == '>') goto emit;
  if (state_ == State::kAttributeName || state_ == State::kAfterAttributeName) {
    goto before_attribute_value;
  }
  state_ = State::kAttributeName;  // the '=' begins a name
  goto skip_attributes;

emit:
  EmitTag(sink);
  if (state_ == State::kData) goto data;
  goto dispatch;

#undef QUILLON_SAVE_AT_END
}

const unsigned char* Tokenizer::OtherStates(const unsigned char* p, const unsigned char* end,
                                            TagSink&) {
  const unsigned char c = *p;
  switch (state_) {
    // Character references, in the values kept only.
    case State::kCharacterReference:
      p = decoder_.Reference(p, end, *target_);
      if (!decoder_.in_reference()) state_ = value_state_;
      return p;

    // Comments, DOCTYPEs and CDATA sections: only where they end matters.
    case State::kMarkupDeclarationOpen: {
      if (declaration_matched_ == 0) declaration_ = c == '-' || c == '[' ? c : ToLower(c);
      const std::string_view expected = declaration_ == '-'   ? std::string_view("--")
                                        : declaration_ == 'd' ? std::string_view("doctype")
                                        : declaration_ == '[' ? std::string_view("[CDATA[")
                                                              : std::string_view();
      const unsigned char read = declaration_ == 'd' ? ToLower(c) : c;
      if (declaration_matched_ >= expected.size() ||
          read != static_cast<unsigned char>(expected[declaration_matched_])) {
        state_ = State::kBogusComment;
        return p;
      }
      if (++declaration_matched_ < expected.size()) return p + 1;
      if (declaration_ == '-') {
        state_ = State::kCommentStart;
      } else if (declaration_ == 'd') {
        state_ = State::kDoctype;
      } else {
        state_ = feedback_.in_foreign_content() ? State::kCdata : State::kBogusComment;
      }
      return p + 1;
    }
    case State::kBogusComment:
    case State::kDoctype:  // every DOCTYPE state ends at '>'
      p = FindByte(p, end, '>');
      if (p == end) return p;
      state_ = State::kData;
      return p + 1;
    case State::kCommentStart:
    case State::kCommentStartDash:
      if (c == '-') {
        state_ = state_ == State::kCommentStart ? State::kCommentStartDash : State::kCommentEnd;
        return p + 1;
      }
      if (c == '>') {  // <!--> and <!--->
        state_ = State::kData;
        return p + 1;
      }
      state_ = State::kComment;
      return p;
    case State::kComment:
      // "<!--" inside a comment is an error only: it moves no end.
      p = FindByte(p, end, '-');
      if (p == end) return p;
      state_ = State::kCommentEndDash;
      return p + 1;
    case State::kCommentEndDash:
      if (c == '-') {
        state_ = State::kCommentEnd;
        return p + 1;
      }
      state_ = State::kComment;
      return p;
    case State::kCommentEnd:
      if (c == '>') {
        state_ = State::kData;
        return p + 1;
      }
      if (c == '!') {
        state_ = State::kCommentEndBang;
        return p + 1;
      }
      if (c == '-') return p + 1;
      state_ = State::kComment;
      return p;
    case State::kCommentEndBang:
      if (c == '-') {
        state_ = State::kCommentEndDash;
        return p + 1;
      }
      if (c == '>') {
        state_ = State::kData;
        return p + 1;
      }
      state_ = State::kComment;
      return p;
    case State::kCdata:
      p = FindByte(p, end, ']');
      if (p == end) return p;
      state_ = State::kCdataBracket;
      return p + 1;
    case State::kCdataBracket:
      if (c == ']') {
        state_ = State::kCdataEnd;
        return p + 1;
      }
      state_ = State::kCdata;
      return p;
    case State::kCdataEnd:
      if (c == ']') return p + 1;
      if (c == '>') {
        state_ = State::kData;
        return p + 1;
      }
      state_ = State::kCdata;
      return p;

    // RCDATA and RAWTEXT.
    case State::kRawtext:
      p = FindByte(p, end, '<');
      if (p == end) return p;
      state_ = State::kRawtextLessThan;
      return p + 1;
    case State::kRawtextLessThan:
      if (c == '/') {
        text_state_ = State::kRawtext;
        state_ = State::kTextEndTagOpen;
        return p + 1;
      }
      state_ = State::kRawtext;
      return p;
    case State::kTextEndTagOpen:
      if (IsAlpha(c)) {
        end_name_matched_ = 0;
        end_name_differs_ = false;
        state_ = State::kTextEndTagName;
      } else {
        state_ = text_state_;
      }
      return p;
    case State::kTextEndTagName:
      return TextEndTagNameRun(p, end);

    // Script data.
    case State::kScriptData:
      p = FindByte(p, end, '<');
      if (p == end) return p;
      state_ = State::kScriptDataLessThan;
      return p + 1;
    case State::kScriptDataLessThan:
      if (c == '/') {
        text_state_ = State::kScriptData;
        state_ = State::kTextEndTagOpen;
        return p + 1;
      }
      if (c == '!') {
        state_ = State::kScriptDataEscapeStart;
        return p + 1;
      }
      state_ = State::kScriptData;
      return p;
    case State::kScriptDataEscapeStart:
    case State::kScriptDataEscapeStartDash:
      if (c == '-') {
        state_ = state_ == State::kScriptDataEscapeStart ? State::kScriptDataEscapeStartDash
                                                         : State::kScriptDataEscapedDashDash;
        return p + 1;
      }
      state_ = State::kScriptData;
      return p;
    case State::kScriptDataEscaped:
      p = FindEither(p, end, '-', '<');
      if (p == end) return p;
      state_ = *p == '-' ? State::kScriptDataEscapedDash : State::kScriptDataEscapedLessThan;
      return p + 1;
    case State::kScriptDataEscapedDash:
    case State::kScriptDataEscapedDashDash:
      if (c == '-') {
        state_ = State::kScriptDataEscapedDashDash;
        return p + 1;
      }
      if (c == '<') {
        state_ = State::kScriptDataEscapedLessThan;
        return p + 1;
      }
      if (c == '>' && state_ == State::kScriptDataEscapedDashDash) {
        state_ = State::kScriptData;
        return p + 1;
      }
      state_ = State::kScriptDataEscaped;
      return p;
    case State::kScriptDataEscapedLessThan:
      if (c == '/') {
        text_state_ = State::kScriptDataEscaped;
        state_ = State::kTextEndTagOpen;
        return p + 1;
      }
      if (IsAlpha(c)) {
        script_matched_ = 0;
        script_differs_ = false;
        state_ = State::kScriptDataDoubleEscapeStart;
        return p;
      }
      state_ = State::kScriptDataEscaped;
      return p;
    case State::kScriptDataDoubleEscapeStart:
    case State::kScriptDataDoubleEscapeEnd: {
      const bool start = state_ == State::kScriptDataDoubleEscapeStart;
      if (IsAlpha(c)) {
        if (!script_differs_ && script_matched_ < kScript.size() &&
            ToLower(c) == kScript[script_matched_]) {
          ++script_matched_;
        } else {
          script_differs_ = true;
        }
        return p + 1;
      }
      if (IsSpace(c) || c == '/' || c == '>') {
        const bool script = !script_differs_ && script_matched_ == kScript.size();
        state_ = script == start ? State::kScriptDataDoubleEscaped : State::kScriptDataEscaped;
        return p + 1;
      }
      state_ = start ? State::kScriptDataEscaped : State::kScriptDataDoubleEscaped;
      return p;
    }
    case State::kScriptDataDoubleEscaped:
      p = FindEither(p, end, '-', '<');
      if (p == end) return p;
      state_ =
          *p == '-' ? State::kScriptDataDoubleEscapedDash : State::kScriptDataDoubleEscapedLessThan;
      return p + 1;
    case State::kScriptDataDoubleEscapedDash:
    case State::kScriptDataDoubleEscapedDashDash:
      if (c == '-') {
        state_ = State::kScriptDataDoubleEscapedDashDash;
        return p + 1;
      }
      if (c == '<') {
        state_ = State::kScriptDataDoubleEscapedLessThan;
        return p + 1;
      }
      if (c == '>' && state_ == State::kScriptDataDoubleEscapedDashDash) {
        state_ = State::kScriptData;
        return p + 1;
      }
      state_ = State::kScriptDataDoubleEscaped;
      return p;
    case State::kScriptDataDoubleEscapedLessThan:
      if (c == '/') {
        script_matched_ = 0;
        script_differs_ = false;
        state_ = State::kScriptDataDoubleEscapeEnd;
        return p + 1;
      }
      state_ = State::kScriptDataDoubleEscaped;
      return p;
    default:  // the states of tags are Feed's
      return p;
  }
}

}  // namespace quillon::html
