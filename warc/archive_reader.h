#pragma once
// Reads a WARC file as stored: plain, gzip with one member per record, or one gzip stream for
// the whole file (told apart by the gzip magic), and hands its HTML pages to a consumer.
//
// Memory is fixed whatever the records' sizes: one block of stored bytes and one of inflated
// bytes. A member whose inflated bytes fit the block is inflated in one call (the fast way);
// a larger one, or one that fails that way, goes through a streaming inflater, which also tells
// a member cut short from a corrupt one. After damage, reading goes on at the next gzip member
// found (the bytes 1f 8b 08), or in a plain archive at the next line opening with "WARC/".
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "warc/byte_source.h"
#include "warc/page_consumer.h"
#include "warc/record_reader.h"

struct libdeflate_decompressor;

namespace warc {

class ArchiveReader {
 public:
  static constexpr size_t kStoredBlock = 1 << 20;
  static constexpr size_t kInflatedBlock = 4 << 20;

  // Throws std::bad_alloc when its blocks or inflaters cannot be made. The blocks may be
  // smaller than the defaults (for tests); the stored one holds at least 16 bytes, the
  // inflated one at least the streaming inflater's output (256 KiB or the block, if smaller).
  ArchiveReader(ByteSource& source, PageConsumer& consumer, size_t stored_block = kStoredBlock,
                size_t inflated_block = kInflatedBlock);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Reads the archive to its end. False when reading the source failed (read_error() is the
  // errno): what came before has been handed on, with the record open then ended as damaged.
  bool Run();
  int read_error() const { return read_error_; }

 private:
  enum class Member { kIntact, kDamaged, kReadFailed };

  // Keeps the bytes from begin_ on and reads until the block is full or the source ends.
  bool Fill();
  bool RunPlain();
  bool RunGzip();
  Member InflateStreaming(std::uint64_t member, bool report);
  // Moves begin_ to the next gzip magic at or after it, or to the end. False on a read error.
  bool FindMember();
  std::uint64_t StoredOffset(size_t index) const { return stored_base_ + index; }

  ByteSource& source_;
  RecordReader records_;
  const size_t stored_block_;
  const size_t inflated_block_;
  std::unique_ptr<unsigned char[]> stored_;
  std::unique_ptr<unsigned char[]> inflated_;
  size_t begin_ = 0;
  size_t end_ = 0;
  // The stored offset of stored_[0].
  std::uint64_t stored_base_ = 0;
  bool source_ended_ = false;
  int read_error_ = 0;
  libdeflate_decompressor* fast_ = nullptr;
  z_stream zlib_{};
  bool zlib_ready_ = false;
};

}  // namespace warc
