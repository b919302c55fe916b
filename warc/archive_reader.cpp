#include "warc/archive_reader.h"

#include <libdeflate.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

namespace warc {
namespace {

constexpr size_t kStreamOutput = 256 * 1024;

bool IsGzipMagic(const unsigned char* bytes) {
  return bytes[0] == 0x1f && bytes[1] == 0x8b && bytes[2] == 0x08;
}

}  // namespace

ArchiveReader::ArchiveReader(ByteSource& source, PageConsumer& consumer, size_t stored_block,
                             size_t inflated_block)
    : source_(source),
      records_(consumer),
      stored_block_(std::max<size_t>(stored_block, 16)),
      inflated_block_(std::max<size_t>(inflated_block, 16)),
      stored_(std::make_unique_for_overwrite<unsigned char[]>(stored_block_)),
      inflated_(std::make_unique_for_overwrite<unsigned char[]>(inflated_block_)) {
  fast_ = libdeflate_alloc_decompressor();
  if (fast_ == nullptr) throw std::bad_alloc();
  // 31: the gzip wrapping alone.
  if (inflateInit2(&zlib_, 31) != Z_OK) {
    libdeflate_free_decompressor(fast_);
    throw std::bad_alloc();
  }
  zlib_ready_ = true;
}

ArchiveReader::~ArchiveReader() {
  libdeflate_free_decompressor(fast_);
  if (zlib_ready_) inflateEnd(&zlib_);
}

bool ArchiveReader::Fill() {
  if (begin_ > 0) {
    std::memmove(stored_.get(), stored_.get() + begin_, end_ - begin_);
    stored_base_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < stored_block_ && !source_ended_) {
    const ssize_t got = source_.Read(stored_.get() + end_, stored_block_ - end_);
    if (got < 0) {
      read_error_ = errno;
      return false;
    }
    if (got == 0) source_ended_ = true;
    end_ += static_cast<size_t>(got);
  }
  return true;
}

bool ArchiveReader::Run() {
  bool read = Fill();
  if (read) {
    const bool gzip = end_ >= 2 && stored_[0] == 0x1f && stored_[1] == 0x8b;
    read = gzip ? RunGzip() : RunPlain();
  }
  if (!read) records_.DropMember("", false);
  records_.EndInput();
  return read;
}

bool ArchiveReader::RunPlain() {
  while (begin_ < end_) {
    records_.Feed(stored_.get() + begin_, end_ - begin_);
    begin_ = end_;
    if (!Fill()) return false;
  }
  return true;
}

bool ArchiveReader::RunGzip() {
  // After damage, the places that look like a member's start are tried in turn; those that
  // fail are not reported again until one is read intact.
  bool resyncing = false;
  for (;;) {
    if (end_ - begin_ < stored_block_ / 2 && !source_ended_ && !Fill()) return false;
    if (begin_ == end_) return true;
    const std::uint64_t member = StoredOffset(begin_);
    if (end_ - begin_ < 3 || !IsGzipMagic(stored_.get() + begin_)) {
      records_.StartMember(member);
      records_.DropMember("bytes that are no gzip member", !resyncing);
      resyncing = true;
      ++begin_;
      if (!FindMember()) return false;
      continue;
    }
    size_t stored_size = 0;
    size_t inflated_size = 0;
    const libdeflate_result result =
        libdeflate_gzip_decompress_ex(fast_, stored_.get() + begin_, end_ - begin_, inflated_.get(),
                                      inflated_block_, &stored_size, &inflated_size);
    if (result == LIBDEFLATE_SUCCESS) {
      resyncing = false;
      records_.StartMember(member);
      records_.Feed(inflated_.get(), inflated_size);
      records_.EndMember();
      begin_ += stored_size;
      continue;
    }
    switch (InflateStreaming(member, !resyncing)) {
      case Member::kIntact:
        resyncing = false;
        break;
      case Member::kReadFailed:
        return false;
      case Member::kDamaged:
        resyncing = true;
        // From the byte after the member's start when it is still held, else from the
        // oldest byte held.
        begin_ = member >= stored_base_ ? static_cast<size_t>(member - stored_base_) + 1 : 0;
        if (!FindMember()) return false;
        break;
    }
  }
}

ArchiveReader::Member ArchiveReader::InflateStreaming(std::uint64_t member, bool report) {
  if (inflateReset2(&zlib_, 31) != Z_OK) {
    records_.DropMember("gzip member cannot be inflated", report);
    return Member::kDamaged;
  }
  records_.StartMember(member);
  zlib_.next_in = stored_.get() + begin_;
  zlib_.avail_in = static_cast<uInt>(end_ - begin_);
  for (;;) {
    zlib_.next_out = inflated_.get();
    const size_t room = std::min(kStreamOutput, inflated_block_);
    zlib_.avail_out = static_cast<uInt>(room);
    const int result = inflate(&zlib_, Z_NO_FLUSH);
    const size_t produced = room - zlib_.avail_out;
    begin_ = static_cast<size_t>(zlib_.next_in - stored_.get());
    if (produced > 0) records_.Feed(inflated_.get(), produced);
    if (result == Z_STREAM_END) {
      records_.EndMember();
      return Member::kIntact;
    }
    const bool stalled = result == Z_BUF_ERROR && produced == 0 && zlib_.avail_in > 0;
    if ((result != Z_OK && result != Z_BUF_ERROR) || stalled) {
      std::string what = "corrupt gzip member";
      if (zlib_.msg != nullptr) what = what + " (" + zlib_.msg + ")";
      records_.DropMember(what, report);
      return Member::kDamaged;
    }
    if (zlib_.avail_in == 0) {
      if (source_ended_) {
        records_.DropMember("gzip member cut short", report);
        return Member::kDamaged;
      }
      if (!Fill()) return Member::kReadFailed;
      zlib_.next_in = stored_.get() + begin_;
      zlib_.avail_in = static_cast<uInt>(end_ - begin_);
    }
  }
}

bool ArchiveReader::FindMember() {
  for (;;) {
    while (begin_ + 3 <= end_) {
      const void* found = std::memchr(stored_.get() + begin_, 0x1f, end_ - begin_ - 2);
      if (found == nullptr) {
        begin_ = end_ - 2;
        break;
      }
      begin_ = static_cast<size_t>(static_cast<const unsigned char*>(found) - stored_.get());
      if (IsGzipMagic(stored_.get() + begin_)) return true;
      ++begin_;
    }
    if (source_ended_) {
      begin_ = end_;
      return true;
    }
    if (!Fill()) return false;
  }
}

}  // namespace warc
