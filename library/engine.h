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

namespace quillon {

// Told of each record as it is found.
class RecordSink {
 public:
  // `address` is the record without its CR LF: "http://", then printable bytes only,
  // `length` bytes in all (at most kLongestAddress).
  virtual void Record(const char* address, size_t length) = 0;

 protected:
  ~RecordSink() = default;
};

// Up to six exclusion keywords, in order. Each counts up to its first NUL; an empty one
// excludes nothing.
using KeywordTexts = std::array<std::string_view, 6>;

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
    Stream,
    // The page cannot tell its end (a pipe, a device): the first attempt, made on the bytes
    // after the first whatever that is, is the last.
    FirstAttemptOnly,
  };

  // Throws std::bad_alloc when the keywords cannot be copied.
  Engine(const KeywordTexts& keywords, const CharacterClasses& classes,
         Reading reading = Reading::Stream);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Scans the next `size` bytes of the page; records found go to `sink`, in page order.
  void Feed(const unsigned char* bytes, size_t size, RecordSink& sink);
  // The page has ended: an attempt or an address left open ends unfinished and gives nothing.
  ReadingEnd Finish(RecordSink& sink);
  // Reading the page failed after the bytes fed so far: what is open is dropped.
  ReadingEnd Stop();
  // Whether more bytes can change nothing (the first attempt of a FirstAttemptOnly page is
  // over).
  bool Done() const { return state_ == State::Done; }
  // Ready for a new page, with the same keywords and classes.
  void Reset();

  // Whether an address has been captured on this page yet.
  bool HasCapture() const { return capture_made_; }
  // The last address captured (or being captured), as the run's byte-by-byte design keeps it:
  // "http://", its first bytes (kKeptAddressBytes at most), and the trailing "/" by the rule
  // once it was complete. Valid until the next call.
  std::string_view LastCapture();

  const CharacterClasses& classes() const { return classes_; }

 private:
  enum class State { Scanning, Capturing, FirstAttempt, Done };

  size_t Scan(const unsigned char* bytes, size_t size, std::uint64_t offset, RecordSink& sink);
  size_t Capture(const unsigned char* bytes, size_t size, std::uint64_t offset,
                 RecordSink& sink);
  size_t StopPoint(const unsigned char* bytes, size_t from, size_t size) const;
  size_t NextCandidate(const unsigned char* bytes, size_t from, size_t end) const;
  bool Opens(const unsigned char* after_bracket) const;
  void StartCapture(const unsigned char* bytes, size_t at, std::uint64_t offset);
  void EndCapture(const unsigned char* address, size_t length, std::uint64_t end_offset,
                  RecordSink& sink);
  void KeepLastCapture();
  size_t Process(const unsigned char* bytes, size_t size, RecordSink& sink);

  std::array<std::string, 6> keywords_;
  bool has_keywords_ = false;
  CharacterClasses classes_;
  // Sixteen bytes at a time, asked of the processor once.
  bool wide_;
  Reading reading_;

  State state_;
  // Offset in the page of the next byte not yet fed.
  std::uint64_t fed_ = 0;
  // Bytes kept from earlier chunks: the scan goes on at carry_[0], whose offset is fed_ -
  // carry_size_.
  static constexpr size_t kCarryCapacity = 2 * kPatternLength + 32;
  unsigned char carry_[kCarryCapacity];
  size_t carry_size_ = 0;

  // The address being captured across chunks: its first bytes, and how many in all.
  unsigned char address_[kKeptAddressBytes];
  size_t address_length_ = 0;
  // The last capture, complete or not, as LastCapture gives it; an address that closed inside
  // a chunk is noted by place and copied here only when the chunk is given back.
  char last_capture_[kSchemeLength + kKeptAddressBytes + 1];
  size_t last_capture_length_ = 0;
  const unsigned char* pending_capture_ = nullptr;
  size_t pending_capture_length_ = 0;
  bool pending_capture_slash_ = false;
  bool capture_made_ = false;

  // Where the last address closed (just after its quote), and whether it became a record.
  std::uint64_t capture_end_ = UINT64_MAX;
  bool capture_end_recorded_ = false;
  int last_byte_ = -1;

  // Room for one record.
  char record_[kLongestAddress + 16];
};

// The classes of the "C" locale, read from no locale: only A to Z fold, 0x20 to 0x7E print.
CharacterClasses DefaultCharacterClasses();

}  // namespace quillon
