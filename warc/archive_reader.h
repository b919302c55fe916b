#pragma once
// Reads a WARC file as stored: plain, gzip with one member per record, or one gzip stream for
// the whole file (told apart by the gzip magic), and hands its HTML pages to a consumer.
//
// Memory is fixed whatever the records' sizes: one block of stored bytes and one of inflated
// bytes. A member whose inflated bytes fit the block is inflated in one call (the fast way);
// a larger one, or one that fails that way, goes through a streaming inflater, which also tells
// a member cut short from a corrupt one, and holds back what a member inflates to until its
// trailer checks out, as long as that fits the inflated block. After damage, reading goes on at the
// next gzip member found (the bytes 1f 8b 08), or in a plain archive at the next line opening with
// "WARC/".
#include <zlib.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

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
  // With `inflate_ahead`, a second thread inflates the next members of a gzip archive while
  // the records of one are read (the consumer is called on the caller's thread alone).
  ArchiveReader(ByteSource& source, PageConsumer& consumer, size_t stored_block = kStoredBlock,
                size_t inflated_block = kInflatedBlock, bool inflate_ahead = true);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Reads the archive to its end. False when reading the source failed (read_error() is the
  // errno): what came before has been handed on, with the record open then ended as damaged.
  bool Run();
  int read_error() const { return read_error_; }

 private:
  enum class Member { kIntact, kDamaged, kReadFailed };
  enum class Step { kNext, kEnd, kReadFailed };

  // What the thread that inflates ahead hands over, in order: a block of members, each
  // inflated whole, one after the other; or the end of its turn, as `step` says (kNext: a
  // member it cannot inflate whole, the streaming way's turn).
  struct Ahead {
    static constexpr int kMembersPerBlock = 256;
    struct Batch {
      int count = 0;
      std::uint64_t member[kMembersPerBlock];
      size_t size[kMembersPerBlock];
    };
    struct Entry {
      Step step;
      int slot;  // -1: the end of the turn
    };
    static constexpr int kEntries = 4;
    std::mutex mutex;
    std::condition_variable changed;
    Batch batches[2];
    Entry entries[kEntries];
    int first = 0;
    int count = 0;
    bool slot_free[2] = {true, true};
    bool stop = false;
  };

  // Keeps the bytes from begin_ on and reads until the block is full or the source ends.
  bool Fill();
  bool RunPlain();
  bool RunGzip();
  // One member (or the bytes up to the next one after damage), on this thread; `try_fast`
  // false when the member is known not to inflate whole.
  Step ReadMember(bool& resyncing, bool try_fast);
  // The member at begin_ inflated in one call into `inflated` (`room` bytes); begin_ moves
  // past it.
  bool InflateWhole(unsigned char* inflated, size_t room, size_t& inflated_size);
  void HandOver(std::uint64_t member, const unsigned char* inflated, size_t size);
  Step RunAhead(bool& resyncing);
  // The second thread: owns the stored block and the fast inflater until it hands over.
  void InflateAhead();
  Member InflateStreaming(std::uint64_t member, bool report);
  // Moves begin_ to the next gzip magic at or after it, or to the end. False on a read error.
  bool FindMember();
  std::uint64_t StoredOffset(size_t index) const { return stored_base_ + index; }

  ByteSource& source_;
  RecordReader records_;
  const size_t stored_block_;
  const size_t inflated_block_;
  std::unique_ptr<unsigned char[]> stored_;
  // The second block is the second thread's.
  std::unique_ptr<unsigned char[]> inflated_[2];
  std::unique_ptr<Ahead> ahead_;
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
