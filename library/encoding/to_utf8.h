// Streaming conversion of a page to UTF-8, as the Encoding Standard's decoders read it: the
// single-byte encodings through tables read from glibc's iconv once and mended where they
// differ from the standard's, the multi-byte ones through iconv itself (see iconv_names.h for
// how nearly), UTF-8, UTF-16 and x-user-defined by hand.
#ifndef QUILLON_LIBRARY_ENCODING_TO_UTF8_H
#define QUILLON_LIBRARY_ENCODING_TO_UTF8_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "library/encoding/encodings.h"
#include "library/encoding/utf8.h"

namespace quillon::encoding {

// Where the UTF-8 goes.
class Utf8Sink {
 public:
  // `bytes` are valid UTF-8 (never a character split between calls), valid during the call.
  virtual void Utf8(const unsigned char* bytes, size_t size) = 0;

 protected:
  ~Utf8Sink() = default;
};

// One page at a time, in chunks of any size (a character split between chunks is held until
// its end arrives); the output goes to the sink in pieces of at most kOutputCapacity bytes,
// except that long runs of valid UTF-8 input pass through as they stand. Invalid or unmappable
// input becomes U+FFFD. A byte order mark is not skipped here: the caller removes the bytes
// SniffBom counted. No allocation after construction.
class ToUtf8 {
 public:
  static constexpr size_t kOutputCapacity = 16384;

  // Opens the iconv converter the encoding needs, once. Throws std::system_error when glibc
  // cannot open it (its gconv modules missing), std::bad_alloc when memory runs out.
  explicit ToUtf8(Encoding from);
  ~ToUtf8();
  ToUtf8(const ToUtf8&) = delete;
  ToUtf8& operator=(const ToUtf8&) = delete;

  Encoding encoding() const { return from_; }

  void Feed(const unsigned char* bytes, size_t size, Utf8Sink& sink);
  // The page ended: an unfinished character becomes U+FFFD, and everything held goes to the
  // sink. Then ready for a new page.
  void Finish(Utf8Sink& sink);
  // Ready for a new page, dropping anything held.
  void Reset();
  // Ready for a new page in another encoding: the converter is opened again only when the
  // encoding changes. Throws as the constructor does, and then stays as it was.
  void Reset(Encoding from);

 private:
  enum class Method : std::uint8_t {
    kUtf8,
    kSingleByte,
    kIconv,
    kUtf16be,
    kUtf16le,
    kUserDefined,
    kReplacement
  };
  // A byte from 0x80 up in UTF-8.
  struct Mapped {
    unsigned char size;
    unsigned char bytes[3];
  };
  // Incomplete characters iconv leaves at the end of a chunk are at most this long.
  static constexpr size_t kPendingCapacity = 16;
  // Valid UTF-8 runs this long go to the sink without a copy.
  static constexpr size_t kPassThrough = 1024;

  struct Utf8Out;

  void Put(const unsigned char* bytes, size_t size, Utf8Sink& sink);
  // Valid UTF-8 from the input: long runs go to the sink as they stand.
  void PutValid(const unsigned char* bytes, size_t size, Utf8Sink& sink);
  void PutCodePoint(std::uint32_t code_point, Utf8Sink& sink);
  void PutReplacement(Utf8Sink& sink) {
    if (kOutputCapacity - out_size_ < 3) Flush(sink);
    std::memcpy(out_ + out_size_, kReplacementUtf8, 3);
    out_size_ += 3;
  }
  void Flush(Utf8Sink& sink);
  void Open(Encoding from);

  void FeedIconv(const unsigned char* bytes, size_t size, Utf8Sink& sink);
  // Converts as much as iconv can; returns the bytes it used. It stops only at an incomplete
  // character at the end: invalid input has become U+FFFD on the way.
  size_t ConvertSome(const unsigned char* bytes, size_t size, Utf8Sink& sink);
  // How many bytes the standard's decoder reads as one error at `bytes`, where iconv stopped;
  // 0 when that depends on bytes after `size`.
  size_t InvalidLength(const unsigned char* bytes, size_t size) const;
  void FinishIconv(Utf8Sink& sink);
  void ResetIconv();

  // Reads the 128 upper bytes of a single-byte encoding through iconv once, mended where
  // glibc's table differs from the standard's.
  void BuildSingleByteTable();
  void FeedSingleByte(const unsigned char* bytes, size_t size, Utf8Sink& sink);

  void FeedUtf16(const unsigned char* bytes, size_t size, Utf8Sink& sink);

  Encoding from_ = Encoding::kUtf8;
  Method method_ = Method::kUtf8;
  void* iconv_ = nullptr;   // iconv_t, opened once (kept for the multi-byte encodings)
  Mapped upper_half_[128];  // kSingleByte
  Utf8Decoder utf8_;
  unsigned char pending_[kPendingCapacity];
  size_t pending_size_ = 0;
  int utf16_lead_byte_ = -1;
  std::uint32_t utf16_lead_surrogate_ = 0;
  bool replaced_ = false;  // the replacement encoding has written its one U+FFFD
  size_t out_size_ = 0;
  unsigned char out_[kOutputCapacity];
};

}  // namespace quillon::encoding

#endif  // QUILLON_LIBRARY_ENCODING_TO_UTF8_H
