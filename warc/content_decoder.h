#pragma once
// Removes an HTTP content coding (gzip, deflate with or without its zlib wrapping, br) from a
// body given in chunks, through one fixed output block.
#include <zlib.h>

#include <cstddef>
#include <memory>
#include <string_view>

#include "warc/page_consumer.h"

struct BrotliDecoderStateStruct;

namespace warc {

class ContentDecoder {
 public:
  enum class Coding { kIdentity, kGzip, kDeflate, kBrotli };

  ContentDecoder();
  ~ContentDecoder();
  ContentDecoder(const ContentDecoder&) = delete;
  ContentDecoder& operator=(const ContentDecoder&) = delete;

  // The coding a Content-Encoding value names; nothing for one this decoder does not know.
  static bool ParseCoding(std::string_view value, Coding& coding);

  // A new body in `coding` begins. False when the decoder's state cannot be made.
  bool Start(Coding coding);
  // Decodes the next bytes of the body into `consumer`. False when they are not valid in the
  // coding; nothing more is decoded then.
  bool Put(const unsigned char* bytes, size_t size, PageConsumer& consumer);
  // The body has ended: false when its coded stream had not (an empty body is no stream and
  // decodes to nothing).
  bool Finish();

 private:
  bool Inflate(const unsigned char* bytes, size_t size, PageConsumer& consumer);
  bool Unbrotli(const unsigned char* bytes, size_t size, PageConsumer& consumer);
  void EndBrotli();

  static constexpr size_t kOutputBlock = 64 * 1024;
  std::unique_ptr<unsigned char[]> output_;
  Coding coding_ = Coding::kIdentity;
  z_stream zlib_{};
  bool zlib_ready_ = false;
  // A deflate body is read as zlib-wrapped or raw once its first two bytes are known.
  unsigned char opening_[2] = {};
  size_t opening_size_ = 0;
  bool stream_ended_ = false;
  bool received_ = false;
  BrotliDecoderStateStruct* brotli_ = nullptr;
  // What the br decoder holds now.
  size_t brotli_memory_ = 0;
};

}  // namespace warc
