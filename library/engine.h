#pragma once
// The rules of extraction, and nothing else: a page goes in, in chunks of any size, and every
// record comes out, the exact bytes the run writes before CR LF.
//
// An engine holds no global state and does no I/O. It allocates when it is made (its keywords)
// and never afterwards; between chunks it carries at most the opening of an anchor and the
// first bytes of an address. One engine serves one page at a time; engines on different
// threads share nothing. The records of a page are the same whatever its chunking.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "library/anchor_opening.h"
#include "library/character_classes.h"
#include "library/record_limits.h"
#include "library/record_sink.h"
#include "library/url_record.h"

namespace quillon {

// The most exclusion keywords a run, or an engine, takes.
inline constexpr size_t kMaxKeywords = 6;
// Up to kMaxKeywords exclusion keywords, in order. Each counts up to its first NUL; an empty
// one excludes nothing.
using KeywordTexts = std::array<std::string_view, kMaxKeywords>;
// The keywords as an engine keeps them, each cut at its first NUL.
using ExclusionKeywords = std::array<std::string, kMaxKeywords>;

// Where reading the page byte by byte, as the run is designed to, would have stopped.
struct ReadingEnd {
  // A read met the end of the page. Otherwise the last attempt ended on the page's last byte
  // and nothing read past it.
  bool met_end = true;
  // The last byte read (0 to 255), when no read met the end; -1 when nothing was read.
  int last_byte = -1;
  // The page's last byte closed an address that became a record: nothing was read after it.
  bool ended_on_record = false;
};

class Engine {
 public:
  // How the page says where it ends.
  enum class Reading {
    // The end is where the bytes end.
    kStream,
    // The page cannot tell its end (a pipe, a device): the first attempt, made on the bytes
    // after the first whatever that is, is the last.
    kFirstAttemptOnly,
  };

  // Throws std::bad_alloc when the keywords cannot be copied.
  Engine(const KeywordTexts& keywords, const CharacterClasses& classes,
         Reading reading = Reading::kStream);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Scans the next `size` bytes of the page; records found go to `sink`, in page order.
  void Feed(const unsigned char* bytes, size_t size, RecordSink& sink);
  // The page has ended: an attempt or an address left open ends unfinished and gives nothing,
  // so no record comes of it.
  ReadingEnd Finish();
  // Reading the page failed after the bytes fed so far: what is open is dropped.
  ReadingEnd Stop();
  // Whether more bytes can change nothing (the first attempt of a first-attempt-only page is
  // over).
  bool Done() const { return state_ == State::kDone; }
  // Ready for a new page, with the same keywords and classes.
  void Reset();

  // Whether an address has been captured on this page yet.
  bool HasCapture() const { return capture_made_; }
  // The last address captured (or being captured), as the run's byte-by-byte design keeps it:
  // "http://", its first bytes (kKeptAddressBytes at most), and the trailing "/" by the rule
  // once it was complete. Valid until the next call.
  std::string_view LastCapture();

 private:
  enum class State { kScanning, kCapturing, kFirstAttempt, kDone };

  size_t Process(const unsigned char* bytes, size_t size, std::uint64_t offset, RecordSink& sink);
  size_t Scan(const unsigned char* bytes, size_t from, size_t size);
  size_t Capture(const unsigned char* bytes, size_t from, size_t size, std::uint64_t offset,
                 RecordSink& sink);
  // Whether the attempt at the "<" before `after_bracket` opens an anchor.
  bool MatchAnchor(const unsigned char* after_bracket) const;
  void StartCapture(const unsigned char* address);
  void KeepTail(const unsigned char* piece, size_t count);
  // `slash`: whether the whole address, whose first bytes these are, needs the "/".
  void EndCapture(const unsigned char* address, size_t length, bool slash, std::uint64_t end,
                  RecordSink& sink);
  void KeepLastCapture();
  void SetLastCapture(const unsigned char* address, size_t length, bool slash);

  ExclusionKeywords keywords_;
  bool has_keywords_;
  CharacterClasses classes_;
  // Asked of the processor once: whether it has the sixteen-byte instructions, and whether the
  // classes let them stand for the byte-by-byte tests.
  bool sse2_;
  bool wide_;
  Reading reading_;

  State state_;
  // Bytes fed so far.
  std::uint64_t fed_ = 0;
  int last_fed_ = -1;
  // Bytes kept from earlier chunks, from where the scan goes on: an attempt that needs bytes
  // still to come, or the first attempt of a first-attempt-only page.
  static constexpr size_t kCarryCapacity = 4 * kPatternLength;
  unsigned char carry_[kCarryCapacity];
  size_t carry_size_ = 0;

  // The address being captured: where it started inside the chunk being scanned (none when it
  // started in an earlier one), its first bytes gathered across chunks, how many in all.
  const unsigned char* address_start_ = nullptr;
  unsigned char address_[kKeptAddressBytes];
  size_t address_length_ = 0;
  // The last bytes gathered, which decide the "/" of an address longer than those kept.
  unsigned char address_tail_[kSlashRuleBytes];

  // The last capture as LastCapture gives it. One that closed inside a chunk is noted by
  // place and copied only before the chunk is given back.
  char last_capture_[kSchemeLength + kKeptAddressBytes + 1];
  size_t last_capture_length_ = 0;
  const unsigned char* closed_address_ = nullptr;
  size_t closed_address_length_ = 0;
  bool closed_address_slash_ = false;
  bool capture_made_ = false;

  // Where the last attempt that read up to its own end stopped (just after the compared bytes
  // of one that failed, or after the closing quote), its last byte, and whether it made a
  // record.
  std::uint64_t attempt_end_ = UINT64_MAX;
  int attempt_end_byte_ = -1;
  bool attempt_end_recorded_ = false;

  // Room for one record.
  char record_[kLongestAddress + 16];
};

}  // namespace quillon
