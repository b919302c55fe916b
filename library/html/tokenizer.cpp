#include "library/html/tokenizer.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "library/html/numeric_references.h"

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
  kNamedReference,
  kNumericReference,
  kNumericStart,
  kNumericDigits,
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
bool IsDigit(unsigned char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}
bool IsAlnum(unsigned char c) {
  return IsAlpha(c) || IsDigit(c);
}
unsigned char ToLower(unsigned char c) {
  return static_cast<unsigned char>(c - 'A') < 26 ? c | 0x20 : c;
}
// The digit's value, or 16 for no digit.
unsigned DigitValue(unsigned char c, bool hexadecimal) {
  if (IsDigit(c)) return c - '0';
  if (hexadecimal && static_cast<unsigned char>((c | 0x20) - 'a') < 6) return (c | 0x20) - 'a' + 10;
  return 16;
}

constexpr std::array<bool, 256> ByteSet(std::string_view bytes) {
  std::array<bool, 256> set{};
  for (const char c : bytes) set[static_cast<unsigned char>(c)] = true;
  return set;
}
constexpr std::array<bool, 256> kEndsTagName = ByteSet(" \n\t\f\r/>");
constexpr std::array<bool, 256> kEndsAttributeName = ByteSet(" \n\t\f\r/>=");

const unsigned char* Find(const unsigned char* p, const unsigned char* end, unsigned char byte) {
  const void* found = std::memchr(p, byte, static_cast<std::size_t>(end - p));
  return found == nullptr ? end : static_cast<const unsigned char*>(found);
}

// The first of two bytes, or end.
const unsigned char* FindEither(const unsigned char* p, const unsigned char* end,
                                unsigned char first, unsigned char second) {
#if defined(__SSE2__)
  const __m128i a = _mm_set1_epi8(static_cast<char>(first));
  const __m128i b = _mm_set1_epi8(static_cast<char>(second));
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, b)));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != first && *p != second) ++p;
  return p;
}

constexpr std::string_view kScript = "script";

}  // namespace

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
  capture_ = Capture::kNone;
  after_cr_ = false;
  href_.Clear();
  encoding_.Clear();
  reference_length_ = 0;
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

void Tokenizer::BeginTag(bool end_tag) {
  end_tag_ = end_tag;
  self_closing_ = false;
  name_length_ = 0;
  tag_ = TagName::kOther;
  examines_attributes_ = false;
  capture_ = Capture::kNone;
  has_href_ = false;
  has_encoding_ = false;
  leaves_as_font_ = false;
}

void Tokenizer::EndTagName() {
  tag_ = name_length_ <= kLongestTagName ? ClassifyTagName(name_, name_length_) : TagName::kOther;
  if (end_tag_) {
    examines_attributes_ = tag_ == TagName::kAnnotationXml;
  } else {
    examines_attributes_ = tag_ == TagName::kA || tag_ == TagName::kArea ||
                           tag_ == TagName::kBase || tag_ == TagName::kFont ||
                           tag_ == TagName::kAnnotationXml;
  }
}

void Tokenizer::BeginAttribute() {
  attribute_name_length_ = 0;
  capture_ = Capture::kNone;
}

void Tokenizer::EndAttributeName() {
  capture_ = Capture::kNone;
  if (!examines_attributes_ || attribute_name_length_ > kLongestAttributeName) return;
  const std::string_view name(attribute_name_, attribute_name_length_);
  if (name == "href") {
    if (!has_href_ && !end_tag_ && tag_ != TagName::kFont && tag_ != TagName::kAnnotationXml) {
      has_href_ = true;
      href_.Clear();
      capture_ = Capture::kHref;
    }
  } else if (name == "encoding") {
    if (!has_encoding_ && tag_ == TagName::kAnnotationXml) {
      has_encoding_ = true;
      encoding_.Clear();
      capture_ = Capture::kEncoding;
    }
  } else if (tag_ == TagName::kFont && (name == "color" || name == "face" || name == "size")) {
    leaves_as_font_ = true;
  }
}

bool Tokenizer::HtmlEncoding() const {
  if (!has_encoding_ || encoding_.too_long()) return false;
  const std::string_view value = encoding_.view();
  char lower[kLongestEncoding];
  for (std::size_t i = 0; i < value.size(); ++i) {
    lower[i] = static_cast<char>(ToLower(static_cast<unsigned char>(value[i])));
  }
  const std::string_view folded(lower, value.size());
  return folded == "text/html" || folded == "application/xhtml+xml";
}

void Tokenizer::EmitTag(TagSink& sink) {
  state_ = State::kData;
  capture_ = Capture::kNone;
  if (end_tag_) {
    feedback_.EndTag(tag_, HtmlEncoding());
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
  switch (feedback_.StartTag(tag_, self_closing_, leaves_as_font_, HtmlEncoding())) {
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

void Tokenizer::CaptureDecoded(unsigned char byte) {
  after_cr_ = false;
  if (capture_ == Capture::kHref) {
    href_.Append(byte);
  } else {
    encoding_.Append(byte);
  }
}

void Tokenizer::CaptureCodePoint(std::uint32_t point) {
  after_cr_ = false;
  if (capture_ == Capture::kHref) {
    href_.AppendCodePoint(point);
  } else {
    encoding_.AppendCodePoint(point);
  }
}

void Tokenizer::CaptureInput(unsigned char byte) {
  if (byte == '\n' && after_cr_) {
    after_cr_ = false;
    return;
  }
  if (byte == '\r') {
    CaptureDecoded('\n');
    after_cr_ = true;
    return;
  }
  if (byte == 0) {
    CaptureCodePoint(0xFFFD);
    return;
  }
  CaptureDecoded(byte);
}

void Tokenizer::ResolveNamedReference(unsigned char next) {
  std::size_t decoded = 0;
  if (const NamedReference* match = reference_search_.match()) {
    const std::size_t length = match->name_length;
    const unsigned char after = length < reference_length_ ? reference_[length] : next;
    const bool semicolon = kNamedReferenceNames[match->name_offset + length - 1] == ';';
    // In an attribute a legacy name without its ';' stays as written before '=' or a letter
    // or digit.
    if (semicolon || (after != '=' && !IsAlnum(after))) {
      CaptureCodePoint(match->first);
      if (match->second != 0) CaptureCodePoint(match->second);
      decoded = length;
    }
  }
  if (decoded == 0) CaptureDecoded('&');
  for (std::size_t i = decoded; i < reference_length_; ++i) CaptureDecoded(reference_[i]);
}

const unsigned char* Tokenizer::TagNameRun(const unsigned char* p, const unsigned char* end,
                                           TagSink& sink) {
  for (; p < end; ++p) {
    const unsigned char c = *p;
    if (kEndsTagName[c]) {
      EndTagName();
      if (c == '>') {
        EmitTag(sink);
      } else {
        state_ = c == '/' ? State::kSelfClosingStartTag : State::kBeforeAttributeName;
      }
      return p + 1;
    }
    if (name_length_ < kLongestTagName && c != 0) {
      name_[name_length_++] = static_cast<char>(ToLower(c));
    } else {
      name_length_ = kLongestTagName + 1;
    }
  }
  return p;
}

const unsigned char* Tokenizer::AttributeNameRun(const unsigned char* p, const unsigned char* end,
                                                 TagSink& sink) {
  for (; p < end; ++p) {
    const unsigned char c = *p;
    if (kEndsAttributeName[c]) {
      EndAttributeName();
      if (c == '>') {
        EmitTag(sink);
      } else if (c == '=') {
        state_ = State::kBeforeAttributeValue;
      } else {
        state_ = c == '/' ? State::kSelfClosingStartTag : State::kAfterAttributeName;
      }
      return p + 1;
    }
    if (!examines_attributes_) continue;
    if (attribute_name_length_ < kLongestAttributeName) {
      attribute_name_[attribute_name_length_++] = static_cast<char>(ToLower(c));
    } else {
      attribute_name_length_ = kLongestAttributeName + 1;
    }
  }
  return p;
}

const unsigned char* Tokenizer::QuotedValueRun(const unsigned char* p, const unsigned char* end,
                                               unsigned char quote) {
  if (capture_ == Capture::kNone) {
    // A character reference never takes a quote: no need to read them.
    p = Find(p, end, quote);
    if (p == end) return p;
    state_ = State::kAfterValueQuoted;
    return p + 1;
  }
  for (; p < end; ++p) {
    const unsigned char c = *p;
    if (c == quote) {
      state_ = State::kAfterValueQuoted;
      return p + 1;
    }
    if (c == '&') {
      value_state_ = state_;
      state_ = State::kCharacterReference;
      return p + 1;
    }
    CaptureInput(c);
  }
  return p;
}

const unsigned char* Tokenizer::UnquotedValueRun(const unsigned char* p, const unsigned char* end,
                                                 TagSink& sink) {
  for (; p < end; ++p) {
    const unsigned char c = *p;
    if (IsSpace(c)) {
      state_ = State::kBeforeAttributeName;
      return p + 1;
    }
    if (c == '>') {
      EmitTag(sink);
      return p + 1;
    }
    if (capture_ == Capture::kNone) continue;
    if (c == '&') {
      value_state_ = state_;
      state_ = State::kCharacterReference;
      return p + 1;
    }
    CaptureInput(c);
  }
  return p;
}

const unsigned char* Tokenizer::NamedReferenceRun(const unsigned char* p,
                                                  const unsigned char* end) {
  for (; p < end; ++p) {
    if (!reference_search_.Next(*p)) {
      ResolveNamedReference(*p);
      state_ = value_state_;
      return p;
    }
    reference_[reference_length_++] = *p;
  }
  return p;
}

const unsigned char* Tokenizer::NumericReferenceRun(const unsigned char* p,
                                                    const unsigned char* end) {
  const std::uint32_t base = hexadecimal_ ? 16 : 10;
  for (; p < end; ++p) {
    const unsigned digit = DigitValue(*p, hexadecimal_);
    if (digit < base) {
      number_ = number_ * base + digit;
      if (number_ > kBeyondUnicode) number_ = kBeyondUnicode;
      continue;
    }
    CaptureCodePoint(NumericReferenceCodePoint(number_));
    state_ = value_state_;
    return *p == ';' ? p + 1 : p;
  }
  return p;
}

const unsigned char* Tokenizer::TextEndTagNameRun(const unsigned char* p, const unsigned char* end,
                                                  TagSink& sink) {
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
      // The appropriate end tag: a tag like any other from here.
      BeginTag(true);
      std::memcpy(name_, last_start_tag_, last_start_tag_length_);
      name_length_ = last_start_tag_length_;
      EndTagName();
      if (c == '>') {
        EmitTag(sink);
      } else {
        state_ = c == '/' ? State::kSelfClosingStartTag : State::kBeforeAttributeName;
      }
      return p + 1;
    }
    state_ = text_state_;
    return p;
  }
  return p;
}

void Tokenizer::Feed(const unsigned char* bytes, std::size_t size, TagSink& sink) {
  const unsigned char* p = bytes;
  const unsigned char* const end = bytes + size;
  while (p < end) {
    const unsigned char c = *p;
    switch (state_) {
      case State::kData:
        p = Find(p, end, '<');
        if (p == end) return;
        ++p;
        state_ = State::kTagOpen;
        break;
      case State::kTagOpen:
        if (IsAlpha(c)) {
          BeginTag(false);
          state_ = State::kTagName;
        } else if (c == '!') {
          ++p;
          declaration_matched_ = 0;
          state_ = State::kMarkupDeclarationOpen;
        } else if (c == '/') {
          ++p;
          state_ = State::kEndTagOpen;
        } else {
          state_ = c == '?' ? State::kBogusComment : State::kData;
        }
        break;
      case State::kEndTagOpen:
        if (IsAlpha(c)) {
          BeginTag(true);
          state_ = State::kTagName;
        } else if (c == '>') {
          ++p;
          state_ = State::kData;
        } else {
          state_ = State::kBogusComment;
        }
        break;
      case State::kTagName:
        p = TagNameRun(p, end, sink);
        break;
      case State::kBeforeAttributeName:
        if (IsSpace(c)) {
          ++p;
        } else if (c == '/') {
          ++p;
          state_ = State::kSelfClosingStartTag;
        } else if (c == '>') {
          ++p;
          EmitTag(sink);
        } else {
          BeginAttribute();
          if (c == '=') {  // the first character of a name, here only
            ++p;
            if (examines_attributes_) attribute_name_[attribute_name_length_++] = '=';
          }
          state_ = State::kAttributeName;
        }
        break;
      case State::kAttributeName:
        p = AttributeNameRun(p, end, sink);
        break;
      case State::kAfterAttributeName:
        if (IsSpace(c)) {
          ++p;
        } else if (c == '/') {
          ++p;
          state_ = State::kSelfClosingStartTag;
        } else if (c == '=') {
          ++p;
          state_ = State::kBeforeAttributeValue;
        } else if (c == '>') {
          ++p;
          EmitTag(sink);
        } else {
          BeginAttribute();
          state_ = State::kAttributeName;
        }
        break;
      case State::kBeforeAttributeValue:
        after_cr_ = false;
        if (IsSpace(c)) {
          ++p;
        } else if (c == '"') {
          ++p;
          state_ = State::kValueDoubleQuoted;
        } else if (c == '\'') {
          ++p;
          state_ = State::kValueSingleQuoted;
        } else if (c == '>') {
          ++p;
          EmitTag(sink);
        } else {
          state_ = State::kValueUnquoted;
        }
        break;
      case State::kValueDoubleQuoted:
        p = QuotedValueRun(p, end, '"');
        break;
      case State::kValueSingleQuoted:
        p = QuotedValueRun(p, end, '\'');
        break;
      case State::kValueUnquoted:
        p = UnquotedValueRun(p, end, sink);
        break;
      case State::kAfterValueQuoted:
        if (IsSpace(c)) {
          ++p;
          state_ = State::kBeforeAttributeName;
        } else if (c == '/') {
          ++p;
          state_ = State::kSelfClosingStartTag;
        } else if (c == '>') {
          ++p;
          EmitTag(sink);
        } else {
          state_ = State::kBeforeAttributeName;
        }
        break;
      case State::kSelfClosingStartTag:
        if (c == '>') {
          ++p;
          self_closing_ = true;
          EmitTag(sink);
        } else {
          state_ = State::kBeforeAttributeName;
        }
        break;

      // Character references, in the values kept only.
      case State::kCharacterReference:
        if (IsAlnum(c)) {
          reference_search_.Start();
          reference_length_ = 0;
          state_ = State::kNamedReference;
        } else if (c == '#') {
          ++p;
          state_ = State::kNumericReference;
        } else {
          CaptureDecoded('&');
          state_ = value_state_;
        }
        break;
      case State::kNamedReference:
        p = NamedReferenceRun(p, end);
        break;
      case State::kNumericReference:
        hexadecimal_ = c == 'x' || c == 'X';
        number_marker_ = hexadecimal_ ? c : 0;
        if (hexadecimal_) ++p;
        state_ = State::kNumericStart;
        break;
      case State::kNumericStart:
        if (DigitValue(c, hexadecimal_) < 16) {
          number_ = 0;
          state_ = State::kNumericDigits;
        } else {
          CaptureDecoded('&');
          CaptureDecoded('#');
          if (number_marker_ != 0) CaptureDecoded(number_marker_);
          state_ = value_state_;
        }
        break;
      case State::kNumericDigits:
        p = NumericReferenceRun(p, end);
        break;

      // Comments, DOCTYPEs and CDATA sections: only where they end matters.
      case State::kMarkupDeclarationOpen: {
        if (declaration_matched_ == 0) {
          declaration_ = c == '-' || c == '[' ? c : ToLower(c);
        }
        const std::string_view expected = declaration_ == '-'   ? std::string_view("--")
                                          : declaration_ == 'd' ? std::string_view("doctype")
                                          : declaration_ == '[' ? std::string_view("[CDATA[")
                                                                : std::string_view();
        const unsigned char read = declaration_ == 'd' ? ToLower(c) : c;
        if (declaration_matched_ >= expected.size() ||
            read != static_cast<unsigned char>(expected[declaration_matched_])) {
          state_ = State::kBogusComment;
          break;
        }
        ++p;
        if (++declaration_matched_ < expected.size()) break;
        if (declaration_ == '-') {
          state_ = State::kCommentStart;
        } else if (declaration_ == 'd') {
          state_ = State::kDoctype;
        } else {
          state_ = feedback_.in_foreign_content() ? State::kCdata : State::kBogusComment;
        }
        break;
      }
      case State::kBogusComment:
      case State::kDoctype:  // every DOCTYPE state ends at '>'
        p = Find(p, end, '>');
        if (p == end) return;
        ++p;
        state_ = State::kData;
        break;
      case State::kCommentStart:
      case State::kCommentStartDash:
        if (c == '-') {
          ++p;
          state_ = state_ == State::kCommentStart ? State::kCommentStartDash : State::kCommentEnd;
        } else if (c == '>') {  // <!--> and <!--->
          ++p;
          state_ = State::kData;
        } else {
          state_ = State::kComment;
        }
        break;
      case State::kComment:
        // "<!--" inside a comment is an error only: it moves no end.
        p = Find(p, end, '-');
        if (p == end) return;
        ++p;
        state_ = State::kCommentEndDash;
        break;
      case State::kCommentEndDash:
        if (c == '-') {
          ++p;
          state_ = State::kCommentEnd;
        } else {
          state_ = State::kComment;
        }
        break;
      case State::kCommentEnd:
        if (c == '>') {
          ++p;
          state_ = State::kData;
        } else if (c == '!') {
          ++p;
          state_ = State::kCommentEndBang;
        } else if (c == '-') {
          ++p;
        } else {
          state_ = State::kComment;
        }
        break;
      case State::kCommentEndBang:
        if (c == '-') {
          ++p;
          state_ = State::kCommentEndDash;
        } else if (c == '>') {
          ++p;
          state_ = State::kData;
        } else {
          state_ = State::kComment;
        }
        break;
      case State::kCdata:
        p = Find(p, end, ']');
        if (p == end) return;
        ++p;
        state_ = State::kCdataBracket;
        break;
      case State::kCdataBracket:
        if (c == ']') {
          ++p;
          state_ = State::kCdataEnd;
        } else {
          state_ = State::kCdata;
        }
        break;
      case State::kCdataEnd:
        if (c == ']') {
          ++p;
        } else if (c == '>') {
          ++p;
          state_ = State::kData;
        } else {
          state_ = State::kCdata;
        }
        break;

      // RCDATA and RAWTEXT.
      case State::kRawtext:
        p = Find(p, end, '<');
        if (p == end) return;
        ++p;
        state_ = State::kRawtextLessThan;
        break;
      case State::kRawtextLessThan:
        if (c == '/') {
          ++p;
          text_state_ = State::kRawtext;
          state_ = State::kTextEndTagOpen;
        } else {
          state_ = State::kRawtext;
        }
        break;
      case State::kTextEndTagOpen:
        if (IsAlpha(c)) {
          end_name_matched_ = 0;
          end_name_differs_ = false;
          state_ = State::kTextEndTagName;
        } else {
          state_ = text_state_;
        }
        break;
      case State::kTextEndTagName:
        p = TextEndTagNameRun(p, end, sink);
        break;

      // Script data.
      case State::kScriptData:
        p = Find(p, end, '<');
        if (p == end) return;
        ++p;
        state_ = State::kScriptDataLessThan;
        break;
      case State::kScriptDataLessThan:
        if (c == '/') {
          ++p;
          text_state_ = State::kScriptData;
          state_ = State::kTextEndTagOpen;
        } else if (c == '!') {
          ++p;
          state_ = State::kScriptDataEscapeStart;
        } else {
          state_ = State::kScriptData;
        }
        break;
      case State::kScriptDataEscapeStart:
      case State::kScriptDataEscapeStartDash:
        if (c == '-') {
          ++p;
          state_ = state_ == State::kScriptDataEscapeStart ? State::kScriptDataEscapeStartDash
                                                           : State::kScriptDataEscapedDashDash;
        } else {
          state_ = State::kScriptData;
        }
        break;
      case State::kScriptDataEscaped:
        p = FindEither(p, end, '-', '<');
        if (p == end) return;
        state_ = *p == '-' ? State::kScriptDataEscapedDash : State::kScriptDataEscapedLessThan;
        ++p;
        break;
      case State::kScriptDataEscapedDash:
      case State::kScriptDataEscapedDashDash:
        if (c == '-') {
          ++p;
          state_ = State::kScriptDataEscapedDashDash;
        } else if (c == '<') {
          ++p;
          state_ = State::kScriptDataEscapedLessThan;
        } else if (c == '>' && state_ == State::kScriptDataEscapedDashDash) {
          ++p;
          state_ = State::kScriptData;
        } else {
          state_ = State::kScriptDataEscaped;
        }
        break;
      case State::kScriptDataEscapedLessThan:
        if (c == '/') {
          ++p;
          text_state_ = State::kScriptDataEscaped;
          state_ = State::kTextEndTagOpen;
        } else if (IsAlpha(c)) {
          script_matched_ = 0;
          script_differs_ = false;
          state_ = State::kScriptDataDoubleEscapeStart;
        } else {
          state_ = State::kScriptDataEscaped;
        }
        break;
      case State::kScriptDataDoubleEscapeStart:
      case State::kScriptDataDoubleEscapeEnd: {
        const bool start = state_ == State::kScriptDataDoubleEscapeStart;
        if (IsAlpha(c)) {
          ++p;
          if (!script_differs_ && script_matched_ < kScript.size() &&
              ToLower(c) == kScript[script_matched_]) {
            ++script_matched_;
          } else {
            script_differs_ = true;
          }
        } else if (IsSpace(c) || c == '/' || c == '>') {
          ++p;
          const bool script = !script_differs_ && script_matched_ == kScript.size();
          state_ = script == start ? State::kScriptDataDoubleEscaped : State::kScriptDataEscaped;
        } else {
          state_ = start ? State::kScriptDataEscaped : State::kScriptDataDoubleEscaped;
        }
        break;
      }
      case State::kScriptDataDoubleEscaped:
        p = FindEither(p, end, '-', '<');
        if (p == end) return;
        state_ = *p == '-' ? State::kScriptDataDoubleEscapedDash
                           : State::kScriptDataDoubleEscapedLessThan;
        ++p;
        break;
      case State::kScriptDataDoubleEscapedDash:
      case State::kScriptDataDoubleEscapedDashDash:
        if (c == '-') {
          ++p;
          state_ = State::kScriptDataDoubleEscapedDashDash;
        } else if (c == '<') {
          ++p;
          state_ = State::kScriptDataDoubleEscapedLessThan;
        } else if (c == '>' && state_ == State::kScriptDataDoubleEscapedDashDash) {
          ++p;
          state_ = State::kScriptData;
        } else {
          state_ = State::kScriptDataDoubleEscaped;
        }
        break;
      case State::kScriptDataDoubleEscapedLessThan:
        if (c == '/') {
          ++p;
          script_matched_ = 0;
          script_differs_ = false;
          state_ = State::kScriptDataDoubleEscapeEnd;
        } else {
          state_ = State::kScriptDataDoubleEscaped;
        }
        break;

      case State::kPlaintext:
        return;
    }
  }
}

}  // namespace quillon::html
