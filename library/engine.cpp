#include "library/engine.h"

#include <algorithm>
#include <cstring>

#include "library/candidates.h"
#include "library/sse2.h"

namespace quillon {
namespace {

// Whether the "<" at `at` starts an attempt when the scan goes on at `from`: each "<" before
// it in the same run starts a failed one, which goes on kResumeAfterFailure bytes further.
bool StartsAttempt(const unsigned char* bytes, size_t from, size_t at) {
  size_t run = at;
  while (run > from && bytes[run - 1] == '<') --run;
  return (at - run) % kResumeAfterFailure == 0;
}

// The first "<" at or after `start` that starts an attempt, the scan going on at `from`, or
// `size`.
size_t FirstAttemptFrom(const unsigned char* bytes, size_t from, size_t start, size_t size) {
  size_t run = start;
  while (run > from && bytes[run - 1] == '<') --run;
  for (size_t at = start; at < size; ++at) {
    if (bytes[at] != '<') {
      run = at + 1;
    } else if ((at - run) % kResumeAfterFailure == 0) {
      return at;
    }
  }
  return size;
}

}  // namespace

Engine::Engine(const KeywordTexts& keywords, const CharacterClasses& classes, Reading reading)
    : classes_(classes), sse2_(HasSse2()), wide_(classes.ascii && sse2_), reading_(reading) {
  has_keywords_ = false;
  for (size_t i = 0; i < keywords.size(); ++i) {
    std::string_view text = keywords[i].substr(0, keywords[i].find('\0'));
    keywords_[i].assign(text.data(), text.size());
    has_keywords_ = has_keywords_ || !text.empty();
  }
  Reset();
}

void Engine::Reset() {
  state_ = reading_ == Reading::kFirstAttemptOnly ? State::kFirstAttempt : State::kScanning;
  fed_ = 0;
  last_fed_ = -1;
  carry_size_ = 0;
  address_start_ = nullptr;
  address_length_ = 0;
  last_capture_length_ = 0;
  closed_address_ = nullptr;
  capture_made_ = false;
  attempt_end_ = UINT64_MAX;
  attempt_end_byte_ = -1;
  attempt_end_recorded_ = false;
}

void Engine::Feed(const unsigned char* bytes, size_t size, RecordSink& sink) {
  if (size == 0) return;
  last_fed_ = bytes[size - 1];
  while (size > 0) {
    if (state_ == State::kDone) {
      fed_ += size;
      return;
    }
    if (carry_size_ == 0 && size >= kCarryCapacity) {
      size_t used = Process(bytes, size, fed_, sink);
      KeepLastCapture();
      // What is left is the start of an attempt that needs bytes still to come.
      carry_size_ = size - used;
      std::memcpy(carry_, bytes + used, carry_size_);
      fed_ += size;
      return;
    }
    // Small pieces, and the bytes after a kept attempt, go through the carry.
    size_t kept = carry_size_;
    size_t taken = std::min(size, kCarryCapacity - kept);
    std::memcpy(carry_ + kept, bytes, taken);
    carry_size_ += taken;
    size_t used = Process(carry_, carry_size_, fed_ - kept, sink);
    KeepLastCapture();
    if (used > 0 && used >= kept) {
      // All that is left came from this chunk: the scan goes on where the chunk lies.
      size_t from_chunk = used - kept;
      carry_size_ = 0;
      bytes += from_chunk;
      size -= from_chunk;
      fed_ += from_chunk;
    } else {
      std::memmove(carry_, carry_ + used, carry_size_ - used);
      carry_size_ -= used;
      bytes += taken;
      size -= taken;
      fed_ += taken;
    }
  }
}

size_t Engine::Process(const unsigned char* bytes, size_t size, std::uint64_t offset,
                       RecordSink& sink) {
  size_t at = 0;
  for (;;) {
    switch (state_) {
      case State::kScanning:
        at = Scan(bytes, at, size);
        if (state_ == State::kScanning) return at;
        break;
      case State::kCapturing:
        at = Capture(bytes, at, size, offset, sink);
        if (state_ == State::kCapturing) return size;
        break;
      case State::kFirstAttempt:
        // The first byte, whatever it is, stands where a "<" would.
        if (size - at < static_cast<size_t>(kPatternLength)) return at;
        if (MatchesOpening(bytes + at + 1, classes_)) {
          StartCapture(bytes + at + kPatternLength);
          at += kPatternLength;
          break;
        }
        attempt_end_ = offset + at + kPatternLength;
        attempt_end_byte_ = bytes[at + kPatternLength - 1];
        attempt_end_recorded_ = false;
        state_ = State::kDone;
        return size;
      case State::kDone:
        return size;
    }
  }
}

size_t Engine::Scan(const unsigned char* bytes, size_t from, size_t size) {
  // An attempt is decided here only with the byte after its compared ones at hand: whether the
  // page ends right after them changes what the reading leaves behind, and only that byte
  // tells.
  const size_t limit = size > static_cast<size_t>(kPatternLength) ? size - kPatternLength : 0;
  OpeningCandidates candidates(bytes, limit, classes_, wide_);
  while (from < limit) {
    size_t bracket = candidates.Next(from);
    if (bracket == limit) break;
    if (!StartsAttempt(bytes, from, bracket)) {
      from = bracket + 1;
      continue;
    }
    if (MatchAnchor(bytes + bracket + 1)) {
      StartCapture(bytes + bracket + kPatternLength);
      return bracket + kPatternLength;
    }
    from = bracket + kResumeAfterFailure;
  }
  // Every attempt before `limit` fails; the first one after it waits for more bytes.
  return FirstAttemptFrom(bytes, from, std::max(from, limit), size);
}

bool Engine::MatchAnchor(const unsigned char* after_bracket) const {
#ifdef QUILLON_X86
  if (wide_) return MatchesOpeningAscii(after_bracket);
#endif
  return MatchesOpening(after_bracket, classes_);
}

void Engine::StartCapture(const unsigned char* address) {
  state_ = State::kCapturing;
  capture_made_ = true;
  address_start_ = address;
  address_length_ = 0;
}

size_t Engine::Capture(const unsigned char* bytes, size_t from, size_t size, std::uint64_t offset,
                       RecordSink& sink) {
  const unsigned char* quote = FindQuote(bytes + from, bytes + size, sse2_);
  size_t end = static_cast<size_t>(quote - bytes);
  if (address_start_ != nullptr && quote != bytes + size) {
    // The whole address lies here: its record is made from where it lies.
    size_t length = end - from;
    EndCapture(address_start_, length, NeedsTrailingSlash(address_start_, length), offset + end + 1,
               sink);
    return end + 1;
  }
  address_start_ = nullptr;
  // Past kKeptAddressBytes an address is decided (too long, or cut by a NUL already kept), so
  // only its first bytes are kept, and its length only so far as to tell that.
  size_t count = end - from;
  if (address_length_ < kKeptAddressBytes) {
    std::memcpy(address_ + address_length_, bytes + from,
                std::min(count, kKeptAddressBytes - address_length_));
  }
  KeepTail(bytes + from, count);
  address_length_ =
      std::min(address_length_ + std::min(count, kKeptAddressBytes + 1), kKeptAddressBytes + 1);
  if (quote == bytes + size) return size;
  bool slash = address_length_ > kKeptAddressBytes
                   ? NeedsTrailingSlash(address_tail_, kSlashRuleBytes)
                   : NeedsTrailingSlash(address_, address_length_);
  EndCapture(address_, address_length_, slash, offset + end + 1, sink);
  return end + 1;
}

void Engine::KeepTail(const unsigned char* piece, size_t count) {
  if (count >= kSlashRuleBytes) {
    std::memcpy(address_tail_, piece + count - kSlashRuleBytes, kSlashRuleBytes);
  } else {
    std::memmove(address_tail_, address_tail_ + count, kSlashRuleBytes - count);
    std::memcpy(address_tail_ + kSlashRuleBytes - count, piece, count);
  }
}

void Engine::EndCapture(const unsigned char* address, size_t length, bool slash, std::uint64_t end,
                        RecordSink& sink) {
  size_t kept = std::min(length, kKeptAddressBytes);
  const RecordRules rules{keywords_, has_keywords_, classes_, wide_};
  size_t record = WriteUrlRecord(address, length, slash, rules, record_);
  if (record > 0) sink.Record(record_, record);
  attempt_end_ = end;
  attempt_end_byte_ = '"';
  attempt_end_recorded_ = record > 0;
  state_ = reading_ == Reading::kFirstAttemptOnly ? State::kDone : State::kScanning;
  address_start_ = nullptr;
  closed_address_ = address;
  closed_address_length_ = kept;
  closed_address_slash_ = slash;
  // Gathered bytes are overwritten by the next capture: keep them now.
  if (address == address_) KeepLastCapture();
}

void Engine::KeepLastCapture() {
  address_start_ = nullptr;
  if (closed_address_ == nullptr) return;
  SetLastCapture(closed_address_, closed_address_length_, closed_address_slash_);
  closed_address_ = nullptr;
}

void Engine::SetLastCapture(const unsigned char* address, size_t length, bool slash) {
  std::memcpy(last_capture_, kScheme, kSchemeLength);
  std::memcpy(last_capture_ + kSchemeLength, address, length);
  last_capture_length_ = kSchemeLength + length;
  if (slash) last_capture_[last_capture_length_++] = '/';
}

std::string_view Engine::LastCapture() {
  if (!capture_made_) return {};
  if (state_ == State::kCapturing) {
    SetLastCapture(address_, std::min(address_length_, kKeptAddressBytes), false);
  }
  return {last_capture_, last_capture_length_};
}

ReadingEnd Engine::Finish() {
  ReadingEnd end;
  if (state_ == State::kScanning && carry_size_ == static_cast<size_t>(kPatternLength)) {
    // An attempt whose compared bytes end the page: it reads no further unless it opens an
    // anchor, whose address then meets the end.
    if (MatchesOpening(carry_ + 1, classes_)) {
      StartCapture(carry_ + kPatternLength);
      address_start_ = nullptr;
    } else {
      end = ReadingEnd{false, carry_[kPatternLength - 1], false};
    }
  } else if ((state_ == State::kScanning && carry_size_ == 0 && attempt_end_ == fed_) ||
             state_ == State::kDone) {
    end = ReadingEnd{false, attempt_end_byte_, attempt_end_recorded_};
  }
  if (state_ == State::kCapturing) LastCapture();
  state_ = State::kDone;
  carry_size_ = 0;
  return end;
}

ReadingEnd Engine::Stop() {
  ReadingEnd end{false, last_fed_, attempt_end_ == fed_ && attempt_end_recorded_};
  // A first attempt that is over reads nothing more, so no read could fail after it.
  if (state_ == State::kDone) end = ReadingEnd{false, attempt_end_byte_, attempt_end_recorded_};
  if (state_ == State::kCapturing) LastCapture();
  state_ = State::kDone;
  carry_size_ = 0;
  return end;
}

}  // namespace quillon
