#include "library/encoding/to_utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "library/encoding/iconv_names.h"

namespace quillon::encoding {
namespace {

iconv_t AsIconv(void* handle) {
  return static_cast<iconv_t>(handle);
}

// One character of UTF-8 (as iconv writes it) as a code point; false when there is not one.
bool Utf8ToCodePoint(const unsigned char* s, size_t size, char32_t& code_point) {
  if (size == 1 && s[0] < 0x80) {
    code_point = s[0];
  } else if (size == 2) {
    code_point = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
  } else if (size == 3) {
    code_point = ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
  } else {
    return false;
  }
  return true;
}

bool IsAscii(unsigned char byte) {
  return byte < 0x80;
}
bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

}  // namespace

// Hands the UTF-8 decoder's output on: long valid runs straight to the sink, the rest through
// the output buffer.
struct ToUtf8::Utf8Out {
  ToUtf8& converter;
  Utf8Sink& sink;
  void Valid(const unsigned char* bytes, size_t size) { converter.PutValid(bytes, size, sink); }
  void Replacement() { converter.PutReplacement(sink); }
};

ToUtf8::ToUtf8(Encoding from) {
  Open(from);
}

void ToUtf8::Open(Encoding from) {
  Method method;
  switch (from) {
    case Encoding::kUtf8:
      method = Method::kUtf8;
      break;
    case Encoding::kUtf16be:
      method = Method::kUtf16be;
      break;
    case Encoding::kUtf16le:
      method = Method::kUtf16le;
      break;
    case Encoding::kXUserDefined:
      method = Method::kUserDefined;
      break;
    case Encoding::kReplacement:
      method = Method::kReplacement;
      break;
    default:
      method = IsSingleByte(from) ? Method::kSingleByte : Method::kIconv;
  }
  void* handle = nullptr;
  if (method == Method::kSingleByte || method == Method::kIconv) {
    const std::string name(IconvName(from));
    iconv_t opened = iconv_open("UTF-8", name.c_str());
    if (opened == reinterpret_cast<iconv_t>(-1)) {
      if (errno == ENOMEM) throw std::bad_alloc();
      throw std::system_error(errno, std::generic_category(),
                              "iconv cannot convert from " + name + " to UTF-8");
    }
    handle = opened;
  }
  // Nothing below throws: a failed open leaves the converter as it was.
  if (iconv_ != nullptr) iconv_close(AsIconv(iconv_));
  iconv_ = handle;
  from_ = from;
  method_ = method;
  if (method == Method::kSingleByte) {
    BuildSingleByteTable();
    iconv_close(AsIconv(iconv_));
    iconv_ = nullptr;
  }
  Reset();
}

void ToUtf8::Reset(Encoding from) {
  if (from == from_) {
    Reset();
  } else {
    Open(from);
  }
}

void ToUtf8::BuildSingleByteTable() {
  for (unsigned byte = 0x80; byte < 0x100; ++byte) {
    char in = static_cast<char>(byte);
    char* in_pointer = &in;
    size_t in_left = 1;
    char out[8];
    char* out_pointer = out;
    size_t out_left = sizeof out;
    char32_t code_point = 0;
    // CP1255 and CP1258 keep a letter back until they see what follows: flush it out.
    if (iconv(AsIconv(iconv_), &in_pointer, &in_left, &out_pointer, &out_left) !=
            static_cast<size_t>(-1) &&
        iconv(AsIconv(iconv_), nullptr, nullptr, &out_pointer, &out_left) !=
            static_cast<size_t>(-1)) {
      Utf8ToCodePoint(reinterpret_cast<const unsigned char*>(out),
                      static_cast<size_t>(out_pointer - out), code_point);
    }
    iconv(AsIconv(iconv_), nullptr, nullptr, nullptr, nullptr);
    code_point = StandardCodePoint(from_, static_cast<unsigned char>(byte), code_point);
    if (code_point == 0) code_point = 0xFFFD;
    Mapped& mapped = upper_half_[byte - 0x80];
    if (code_point < 0x800) {
      mapped = {2,
                {static_cast<unsigned char>(0xC0 | (code_point >> 6)),
                 static_cast<unsigned char>(0x80 | (code_point & 0x3F)), 0}};
    } else {
      mapped = {3,
                {static_cast<unsigned char>(0xE0 | (code_point >> 12)),
                 static_cast<unsigned char>(0x80 | ((code_point >> 6) & 0x3F)),
                 static_cast<unsigned char>(0x80 | (code_point & 0x3F))}};
    }
  }
}

void ToUtf8::FeedSingleByte(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  size_t i = 0;
  while (i < size) {
    const size_t ascii = AsciiPrefixLength(bytes + i, size - i);
    if (ascii != 0) {
      PutValid(bytes + i, ascii, sink);
      i += ascii;
      if (i == size) break;
    }
    const Mapped& mapped = upper_half_[bytes[i++] - 0x80];
    if (kOutputCapacity - out_size_ < 3) Flush(sink);
    std::memcpy(out_ + out_size_, mapped.bytes, 3);
    out_size_ += mapped.size;
  }
}

ToUtf8::~ToUtf8() {
  if (iconv_ != nullptr) iconv_close(AsIconv(iconv_));
}

void ToUtf8::Flush(Utf8Sink& sink) {
  if (out_size_ != 0) sink.Utf8(out_, out_size_);
  out_size_ = 0;
}

void ToUtf8::Put(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  if (size > kOutputCapacity - out_size_) {
    Flush(sink);
    if (size > kOutputCapacity) {
      sink.Utf8(bytes, size);
      return;
    }
  }
  std::memcpy(out_ + out_size_, bytes, size);
  out_size_ += size;
}

void ToUtf8::PutValid(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  if (size >= kPassThrough) {
    Flush(sink);
    sink.Utf8(bytes, size);
  } else {
    Put(bytes, size, sink);
  }
}

void ToUtf8::PutCodePoint(std::uint32_t c, Utf8Sink& sink) {
  unsigned char bytes[4];
  size_t size;
  if (c < 0x80) {
    bytes[0] = static_cast<unsigned char>(c);
    size = 1;
  } else if (c < 0x800) {
    bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
    bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    size = 2;
  } else if (c < 0x10000) {
    bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
    bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    size = 3;
  } else {
    bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    size = 4;
  }
  Put(bytes, size, sink);
}

void ToUtf8::Feed(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  switch (method_) {
    case Method::kUtf8: {
      Utf8Out out{*this, sink};
      utf8_.Decode(bytes, size, out);
      break;
    }
    case Method::kSingleByte:
      FeedSingleByte(bytes, size, sink);
      break;
    case Method::kIconv:
      FeedIconv(bytes, size, sink);
      break;
    case Method::kUtf16be:
    case Method::kUtf16le:
      FeedUtf16(bytes, size, sink);
      break;
    case Method::kUserDefined:
      for (size_t i = 0; i < size; ++i) {
        // 0x80 to 0xFF are U+F780 to U+F7FF.
        PutCodePoint(IsAscii(bytes[i]) ? bytes[i] : 0xF700u + bytes[i], sink);
      }
      break;
    case Method::kReplacement:
      if (size != 0 && !replaced_) {
        PutReplacement(sink);
        replaced_ = true;
      }
      break;
  }
}

void ToUtf8::Finish(Utf8Sink& sink) {
  switch (method_) {
    case Method::kUtf8: {
      Utf8Out out{*this, sink};
      utf8_.Finish(out);
      break;
    }
    case Method::kIconv:
      FinishIconv(sink);
      break;
    case Method::kUtf16be:
    case Method::kUtf16le:
      if (utf16_lead_byte_ >= 0 || utf16_lead_surrogate_ != 0) PutReplacement(sink);
      break;
    case Method::kSingleByte:
    case Method::kUserDefined:
    case Method::kReplacement:
      break;
  }
  Flush(sink);
  Reset();
}

void ToUtf8::Reset() {
  utf8_.Reset();
  if (iconv_ != nullptr) ResetIconv();
  pending_size_ = 0;
  utf16_lead_byte_ = -1;
  utf16_lead_surrogate_ = 0;
  replaced_ = false;
  out_size_ = 0;
}

void ToUtf8::FeedUtf16(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  const bool big_endian = method_ == Method::kUtf16be;
  for (size_t i = 0; i < size; ++i) {
    if (utf16_lead_byte_ < 0) {
      utf16_lead_byte_ = bytes[i];
      continue;
    }
    const std::uint32_t lead = static_cast<std::uint32_t>(utf16_lead_byte_);
    const std::uint32_t unit = big_endian ? (lead << 8) | bytes[i] : (bytes[i] << 8) | lead;
    utf16_lead_byte_ = -1;
    if (utf16_lead_surrogate_ != 0) {
      const std::uint32_t high = utf16_lead_surrogate_;
      utf16_lead_surrogate_ = 0;
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        PutCodePoint(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), sink);
        continue;
      }
      // A lone lead surrogate; the unit after it is read again on its own.
      PutReplacement(sink);
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      utf16_lead_surrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      PutReplacement(sink);
    } else {
      PutCodePoint(unit, sink);
    }
  }
}

size_t ToUtf8::InvalidLength(const unsigned char* s, size_t size) const {
  const unsigned char lead = s[0];
  bool double_byte_lead = false;
  switch (from_) {
    case Encoding::kShiftJis:
      double_byte_lead = InRange(lead, 0x81, 0x9F) || InRange(lead, 0xE0, 0xFC);
      break;
    case Encoding::kEucKr:
    case Encoding::kBig5:
      double_byte_lead = InRange(lead, 0x81, 0xFE);
      break;
    case Encoding::kGbk:
    case Encoding::kGb18030:
      if (!InRange(lead, 0x81, 0xFE)) return 1;
      if (size < 2) return 0;
      if (InRange(s[1], 0x30, 0x39)) {
        // A four-byte form: a broken one costs its lead alone, an unmapped one all four.
        if (size < 3) return 0;
        if (!InRange(s[2], 0x81, 0xFE)) return 1;
        if (size < 4) return 0;
        return InRange(s[3], 0x30, 0x39) ? 4 : 1;
      }
      return IsAscii(s[1]) ? 1 : 2;
    case Encoding::kEucJp:
      if (lead == 0x8F && size >= 2 && InRange(s[1], 0xA1, 0xFE)) {
        if (size < 3) return 0;
        return IsAscii(s[2]) ? 2 : 3;
      }
      double_byte_lead = lead == 0x8E || lead == 0x8F || InRange(lead, 0xA1, 0xFE);
      break;
    default:
      return 1;
  }
  if (!double_byte_lead) return 1;
  if (size < 2) return 0;
  // The standard's multi-byte decoders read an ASCII byte after a lead again on its own.
  return IsAscii(s[1]) ? 1 : 2;
}

size_t ToUtf8::ConvertSome(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
  size_t in_left = size;
  while (in_left != 0) {
    char* out = reinterpret_cast<char*>(out_ + out_size_);
    size_t out_left = kOutputCapacity - out_size_;
    const size_t result = iconv(AsIconv(iconv_), &in, &in_left, &out, &out_left);
    out_size_ = kOutputCapacity - out_left;
    if (result != static_cast<size_t>(-1)) break;
    const int error = errno;
    if (error == E2BIG) {
      Flush(sink);
    } else if (error == EINVAL) {
      break;
    } else if (in_left == 0) {
      // glibc's UHC (CP949) reports a broken pair at the end after using it up.
      PutReplacement(sink);
    } else {
      const size_t skip = InvalidLength(reinterpret_cast<const unsigned char*>(in), in_left);
      // glibc's UHC calls a lone lead at the end invalid; how much the error takes is known
      // only with the next byte.
      if (skip == 0) break;
      const auto* bad = reinterpret_cast<const unsigned char*>(in);
      if (in_left >= 2) {
        if (const char32_t mended = StandardPair(from_, bad[0], bad[1])) {
          PutCodePoint(mended, sink);
          in += 2;
          in_left -= 2;
          continue;
        }
      }
      const bool gb_euro = (from_ == Encoding::kGbk || from_ == Encoding::kGb18030) &&
                           static_cast<unsigned char>(*in) == 0x80;
      if (gb_euro) {
        // The standard's GBK and gb18030 read 0x80 as the euro sign; glibc's GB18030 does not.
        PutCodePoint(0x20AC, sink);
      } else {
        PutReplacement(sink);
      }
      in += skip;
      in_left -= skip;
    }
  }
  return size - in_left;
}

void ToUtf8::FeedIconv(const unsigned char* bytes, size_t size, Utf8Sink& sink) {
  // A character begun in an earlier chunk: complete it in pending_ from this one.
  while (pending_size_ != 0 && size != 0) {
    const size_t old = pending_size_;
    const size_t take = std::min(size, kPendingCapacity - old);
    std::memcpy(pending_ + old, bytes, take);
    const size_t total = old + take;
    const size_t used = ConvertSome(pending_, total, sink);
    if (used >= old) {
      bytes += used - old;
      size -= used - old;
      pending_size_ = 0;
      break;
    }
    std::memmove(pending_, pending_ + used, total - used);
    pending_size_ = total - used;
    bytes += take;
    size -= take;
    if (pending_size_ == kPendingCapacity) {
      // Longer than any character: iconv will not finish it; the first byte is in error.
      PutReplacement(sink);
      std::memmove(pending_, pending_ + 1, --pending_size_);
    }
  }
  // ASCII is ASCII in every multi-byte encoding but ISO-2022-JP, and iconv's state is its
  // first between characters: runs of it skip iconv. A stretch with other bytes goes to iconv
  // up to a run of 16 ASCII bytes, with 4 bytes of that run, which end any character begun
  // before it.
  while (from_ != Encoding::kIso2022Jp && size != 0) {
    const size_t ascii = AsciiPrefixLength(bytes, size);
    if (ascii != 0) {
      PutValid(bytes, ascii, sink);
      bytes += ascii;
      size -= ascii;
      continue;
    }
    size_t end = 1;
    while (end < size) {
      if (bytes[end] >= 0x80) {
        ++end;
        continue;
      }
      const size_t run = AsciiPrefixLength(bytes + end, size - end);
      if (run >= 16) {
        end += 4;
        break;
      }
      end += run;
    }
    if (end >= size) break;
    const size_t used = ConvertSome(bytes, end, sink);
    bytes += used;
    size -= used;
    if (used != end) break;
  }
  if (size == 0) return;
  size_t used = ConvertSome(bytes, size, sink);
  while (size - used > kPendingCapacity) {
    PutReplacement(sink);
    ++used;
    used += ConvertSome(bytes + used, size - used, sink);
  }
  pending_size_ = size - used;
  std::memcpy(pending_, bytes + used, pending_size_);
}

void ToUtf8::FinishIconv(Utf8Sink& sink) {
  // An unfinished character at the end is one error, as the standard's decoders have it.
  // What glibc calls unfinished may be broken already (its GB18030 waits for four bytes before
  // it looks at the third): then the error takes what the standard's takes, and the rest is
  // read again.
  while (pending_size_ != 0) {
    PutReplacement(sink);
    const size_t error = InvalidLength(pending_, pending_size_);
    if (error == 0) {
      pending_size_ = 0;
      break;
    }
    const size_t rest = pending_size_ - error;
    unsigned char again[kPendingCapacity];
    std::memcpy(again, pending_ + error, rest);
    const size_t used = ConvertSome(again, rest, sink);
    pending_size_ = rest - used;
    std::memmove(pending_, again + used, pending_size_);
  }
  // Whatever iconv still holds (CP1255 and CP1258 keep a base letter back, waiting for a
  // combining mark).
  for (;;) {
    char* out = reinterpret_cast<char*>(out_ + out_size_);
    size_t out_left = kOutputCapacity - out_size_;
    const size_t result = iconv(AsIconv(iconv_), nullptr, nullptr, &out, &out_left);
    out_size_ = kOutputCapacity - out_left;
    if (result != static_cast<size_t>(-1) || errno != E2BIG) break;
    Flush(sink);
  }
}

void ToUtf8::ResetIconv() {
  iconv(AsIconv(iconv_), nullptr, nullptr, nullptr, nullptr);
}

}  // namespace quillon::encoding
