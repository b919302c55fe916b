#include "warc/archive_reader.h"

#include <libdeflate.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <thread>

namespace warc {
namespace {

constexpr size_t kStreamOutput = 256 * 1024;

bool IsGzipMagic(const unsigned char* bytes) {
  return bytes[0] == 0x1f && bytes[1] == 0x8b && bytes[2] == 0x08;
}

}  // namespace

ArchiveReader::ArchiveReader(ByteSource& source, PageConsumer& consumer, size_t stored_block,
                             size_t inflated_block, bool inflate_ahead)
    : source_(source),
      records_(consumer),
      stored_block_(std::max<size_t>(stored_block, 16)),
      inflated_block_(std::max<size_t>(inflated_block, 16)),
      stored_(std::make_unique_for_overwrite<unsigned char[]>(stored_block_)) {
  inflated_[0] = std::make_unique_for_overwrite<unsigned char[]>(inflated_block_);
  if (inflate_ahead) {
    inflated_[1] = std::make_unique_for_overwrite<unsigned char[]>(inflated_block_);
    ahead_ = std::make_unique<Ahead>();
  }
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

ArchiveReader::Step ArchiveReader::ReadMember(bool& resyncing, bool try_fast) {
  if (end_ - begin_ < stored_block_ / 2 && !source_ended_ && !Fill()) return Step::kReadFailed;
  if (begin_ == end_) return Step::kEnd;
  const std::uint64_t member = StoredOffset(begin_);
  if (end_ - begin_ < 3 || !IsGzipMagic(stored_.get() + begin_)) {
    records_.StartMember(member);
    records_.DropMember("bytes that are no gzip member", !resyncing);
    resyncing = true;
    ++begin_;
    return FindMember() ? Step::kNext : Step::kReadFailed;
  }
  if (try_fast) {
    size_t inflated_size = 0;
    if (InflateWhole(inflated_[0].get(), inflated_block_, inflated_size)) {
      resyncing = false;
      HandOver(member, inflated_[0].get(), inflated_size);
      return Step::kNext;
    }
  }
  switch (InflateStreaming(member, !resyncing)) {
    case Member::kIntact:
      resyncing = false;
      return Step::kNext;
    case Member::kReadFailed:
      return Step::kReadFailed;
    case Member::kDamaged:
      break;
  }
  resyncing = true;
  // From the byte after the member's start when it is still held, else from the oldest byte
  // held.
  begin_ = member >= stored_base_ ? static_cast<size_t>(member - stored_base_) + 1 : 0;
  return FindMember() ? Step::kNext : Step::kReadFailed;
}

bool ArchiveReader::InflateWhole(unsigned char* inflated, size_t room, size_t& inflated_size) {
  size_t stored_size = 0;
  if (libdeflate_gzip_decompress_ex(fast_, stored_.get() + begin_, end_ - begin_, inflated, room,
                                    &stored_size, &inflated_size) != LIBDEFLATE_SUCCESS) {
    return false;
  }
  begin_ += stored_size;
  return true;
}

void ArchiveReader::HandOver(std::uint64_t member, const unsigned char* inflated, size_t size) {
  records_.StartMember(member);
  records_.Feed(inflated, size);
  records_.EndMember();
}

bool ArchiveReader::RunGzip() {
  // After damage, the places that look like a member's start are tried in turn; those that
  // fail are not reported again until one is read intact.
  bool resyncing = false;
  for (;;) {
    if (ahead_ != nullptr) {
      // Whole members inflate on the second thread while the records of the one before are
      // read here; what that thread cannot inflate whole is left to the streaming way below.
      const Step step = RunAhead(resyncing);
      if (step != Step::kNext) return step == Step::kEnd;
    }
    const Step step = ReadMember(resyncing, ahead_ == nullptr);
    if (step != Step::kNext) return step == Step::kEnd;
  }
}

ArchiveReader::Step ArchiveReader::RunAhead(bool& resyncing) {
  Ahead& ahead = *ahead_;
  ahead.stop = false;
  ahead.count = 0;
  ahead.slot_free[0] = ahead.slot_free[1] = true;
  std::thread thread([this] { InflateAhead(); });
  // Stops and joins the thread however this ends (a consumer may throw).
  struct Joiner {
    Ahead& ahead;
    std::thread& thread;
    ~Joiner() {
      {
        std::lock_guard lock(ahead.mutex);
        ahead.stop = true;
      }
      ahead.changed.notify_all();
      thread.join();
    }
  } joiner{ahead, thread};
  for (;;) {
    Ahead::Entry entry;
    {
      std::unique_lock lock(ahead.mutex);
      ahead.changed.wait(lock, [&] { return ahead.count > 0; });
      entry = ahead.entries[ahead.first];
      ahead.first = (ahead.first + 1) % Ahead::kEntries;
      --ahead.count;
    }
    if (entry.slot < 0) return entry.step;
    const Ahead::Batch& batch = ahead.batches[entry.slot];
    const unsigned char* inflated = inflated_[entry.slot].get();
    for (int i = 0; i < batch.count; ++i) {
      HandOver(batch.member[i], inflated, batch.size[i]);
      inflated += batch.size[i];
    }
    resyncing = false;
    {
      std::lock_guard lock(ahead.mutex);
      ahead.slot_free[entry.slot] = true;
    }
    ahead.changed.notify_all();
  }
}

void ArchiveReader::InflateAhead() {
  Ahead& ahead = *ahead_;
  auto put = [&](Ahead::Entry entry) {
    {
      std::lock_guard lock(ahead.mutex);
      ahead.entries[(ahead.first + ahead.count) % Ahead::kEntries] = entry;
      ++ahead.count;
      if (entry.slot >= 0) ahead.slot_free[entry.slot] = false;
    }
    ahead.changed.notify_all();
  };
  for (int slot = 0;; slot ^= 1) {
    {
      std::unique_lock lock(ahead.mutex);
      ahead.changed.wait(lock, [&] { return ahead.stop || ahead.slot_free[slot]; });
      if (ahead.stop) return;
    }
    // As many members as fit the block go over together: one hand-over per block, not per
    // member, so that the threads seldom wait on each other.
    Ahead::Batch& batch = ahead.batches[slot];
    batch.count = 0;
    size_t used = 0;
    bool turn_ends = false;
    Step step = Step::kNext;
    while (batch.count < Ahead::kMembersPerBlock) {
      if (end_ - begin_ < stored_block_ / 2 && !source_ended_ && !Fill()) {
        turn_ends = true;
        step = Step::kReadFailed;
        break;
      }
      if (begin_ == end_) {
        turn_ends = true;
        step = Step::kEnd;
        break;
      }
      const std::uint64_t member = StoredOffset(begin_);
      const bool magic = end_ - begin_ >= 3 && IsGzipMagic(stored_.get() + begin_);
      size_t size = 0;
      if (!magic || !InflateWhole(inflated_[slot].get() + used, inflated_block_ - used, size)) {
        // A member that did not fit after others is tried again in an empty block.
        turn_ends = !magic || batch.count == 0;
        break;
      }
      batch.member[batch.count] = member;
      batch.size[batch.count] = size;
      ++batch.count;
      used += size;
    }
    if (batch.count > 0) put({Step::kNext, slot});
    if (turn_ends) return put({step, -1});
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
  // What the member inflates to is held back until its trailer (CRC and length) checks out,
  // while it fits the block: the bytes a corrupt member gives before the error shows are
  // garbage, and would give links. Past the block, they go on as they come.
  size_t held = 0;
  bool holding = true;
  for (;;) {
    const size_t room = holding ? std::min(kStreamOutput, inflated_block_ - held)
                                : std::min(kStreamOutput, inflated_block_);
    zlib_.next_out = inflated_[0].get() + held;
    zlib_.avail_out = static_cast<uInt>(room);
    const int result = inflate(&zlib_, Z_NO_FLUSH);
    const size_t produced = room - zlib_.avail_out;
    begin_ = static_cast<size_t>(zlib_.next_in - stored_.get());
    if (holding) {
      held += produced;
      if (held == inflated_block_ && result != Z_STREAM_END) {
        records_.Feed(inflated_[0].get(), held);
        held = 0;
        holding = false;
      }
    } else if (produced > 0) {
      records_.Feed(inflated_[0].get(), produced);
    }
    if (result == Z_STREAM_END) {
      if (held > 0) records_.Feed(inflated_[0].get(), held);
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
