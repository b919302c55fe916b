#include "warc/content_decoder.h"

#include <brotli/decode.h>

#include <cstddef>
#include <cstdlib>

#include "warc/header_fields.h"

namespace warc {
namespace {

// A br stream asks for a window of up to 16 MiB: those over 4 MiB are refused (the body is then
// one that cannot be decoded), so that memory stays bounded whatever the page. Servers use
// 4 MiB at most by default.
constexpr size_t kBrotliMemory = (4 << 20) + (1 << 20);

struct BrotliBlock {
  size_t size;
  alignas(std::max_align_t) unsigned char bytes[1];
};

void* BrotliAllocate(void* opaque, size_t size) {
  size_t& held = *static_cast<size_t*>(opaque);
  if (size > kBrotliMemory - held) return nullptr;
  auto* block = static_cast<BrotliBlock*>(std::malloc(offsetof(BrotliBlock, bytes) + size));
  if (block == nullptr) return nullptr;
  block->size = size;
  held += size;
  return block->bytes;
}

void BrotliRelease(void* opaque, void* address) {
  if (address == nullptr) return;
  auto* block = reinterpret_cast<BrotliBlock*>(static_cast<unsigned char*>(address) -
                                               offsetof(BrotliBlock, bytes));
  *static_cast<size_t*>(opaque) -= block->size;
  std::free(block);
}

}  // namespace

ContentDecoder::ContentDecoder()
    : output_(std::make_unique_for_overwrite<unsigned char[]>(kOutputBlock)) {}

ContentDecoder::~ContentDecoder() {
  if (zlib_ready_) inflateEnd(&zlib_);
  EndBrotli();
}

bool ContentDecoder::ParseCoding(std::string_view value, Coding& coding) {
  value = TrimBlanks(value);
  if (value.empty() || EqualsIgnoringCase(value, "identity")) {
    coding = Coding::kIdentity;
  } else if (EqualsIgnoringCase(value, "gzip") || EqualsIgnoringCase(value, "x-gzip")) {
    coding = Coding::kGzip;
  } else if (EqualsIgnoringCase(value, "deflate")) {
    coding = Coding::kDeflate;
  } else if (EqualsIgnoringCase(value, "br")) {
    coding = Coding::kBrotli;
  } else {
    return false;
  }
  return true;
}

void ContentDecoder::EndBrotli() {
  if (brotli_ != nullptr) BrotliDecoderDestroyInstance(brotli_);
  brotli_ = nullptr;
}

bool ContentDecoder::Start(Coding coding) {
  coding_ = coding;
  opening_size_ = 0;
  stream_ended_ = false;
  received_ = false;
  EndBrotli();
  if (coding == Coding::kGzip) {
    // Some servers that say gzip send the zlib wrapping: 32 takes either.
    if (zlib_ready_) return inflateReset2(&zlib_, 15 + 32) == Z_OK;
    zlib_ready_ = inflateInit2(&zlib_, 15 + 32) == Z_OK;
    return zlib_ready_;
  }
  if (coding == Coding::kBrotli) {
    brotli_ = BrotliDecoderCreateInstance(BrotliAllocate, BrotliRelease, &brotli_memory_);
    return brotli_ != nullptr;
  }
  return true;
}

bool ContentDecoder::Put(const unsigned char* bytes, size_t size, PageConsumer& consumer) {
  if (size > 0) received_ = true;
  switch (coding_) {
    case Coding::kIdentity:
      if (size > 0) consumer.PageBytes(bytes, size);
      return true;
    case Coding::kBrotli:
      return Unbrotli(bytes, size, consumer);
    case Coding::kGzip:
      return Inflate(bytes, size, consumer);
    case Coding::kDeflate:
      break;
  }
  if (opening_size_ < 2) {
    while (opening_size_ < 2 && size > 0) {
      opening_[opening_size_++] = *bytes++;
      --size;
    }
    if (opening_size_ < 2) return true;
    // The zlib wrapping: method 8, a window of at most 32 KiB, a check that divides by 31.
    const unsigned method = opening_[0];
    const bool wrapped =
        (method & 0x0f) == 8 && (method >> 4) <= 7 && (method * 256 + opening_[1]) % 31 == 0;
    const int window_bits = wrapped ? 15 : -15;
    if (zlib_ready_) {
      if (inflateReset2(&zlib_, window_bits) != Z_OK) return false;
    } else {
      zlib_ready_ = inflateInit2(&zlib_, window_bits) == Z_OK;
      if (!zlib_ready_) return false;
    }
    if (!Inflate(opening_, 2, consumer)) return false;
  }
  return Inflate(bytes, size, consumer);
}

bool ContentDecoder::Inflate(const unsigned char* bytes, size_t size, PageConsumer& consumer) {
  // Bytes after the end of the stream (padding some servers add) are left alone.
  if (stream_ended_) return true;
  zlib_.next_in = const_cast<unsigned char*>(bytes);
  zlib_.avail_in = static_cast<uInt>(size);
  while (zlib_.avail_in > 0) {
    zlib_.next_out = output_.get();
    zlib_.avail_out = kOutputBlock;
    const int result = inflate(&zlib_, Z_NO_FLUSH);
    const size_t produced = kOutputBlock - zlib_.avail_out;
    if (produced > 0) consumer.PageBytes(output_.get(), produced);
    if (result == Z_STREAM_END) {
      stream_ended_ = true;
      return true;
    }
    if (result != Z_OK && !(result == Z_BUF_ERROR && produced > 0)) return false;
  }
  return true;
}

bool ContentDecoder::Unbrotli(const unsigned char* bytes, size_t size, PageConsumer& consumer) {
  if (stream_ended_) return true;
  for (;;) {
    unsigned char* next_out = output_.get();
    size_t available_out = kOutputBlock;
    const BrotliDecoderResult result =
        BrotliDecoderDecompressStream(brotli_, &size, &bytes, &available_out, &next_out, nullptr);
    const size_t produced = kOutputBlock - available_out;
    if (produced > 0) consumer.PageBytes(output_.get(), produced);
    switch (result) {
      case BROTLI_DECODER_RESULT_SUCCESS:
        stream_ended_ = true;
        EndBrotli();
        return true;
      case BROTLI_DECODER_RESULT_NEEDS_MORE_INPUT:
        return true;
      case BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT:
        break;
      default:
        EndBrotli();
        return false;
    }
  }
}

bool ContentDecoder::Finish() {
  if (coding_ == Coding::kIdentity || !received_) return true;
  const bool ended = stream_ended_;
  EndBrotli();
  return ended;
}

}  // namespace warc
