#pragma once
// The run's output file, record by record.
//
// A record is an address and CR LF. The writer builds each address in a slot that the output
// lends it, then appends it. Plain output writes each record as it comes: the address with one
// _write, then CR LF with another. Block output gathers records and writes the block with one
// _write; when that write fails or falls short, the records it did not complete are written
// again the plain way from where it stopped, so that every failing address is reported just
// as plain output reports it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "library/record_limits.h"
#include "library/record_sink.h"

namespace quillon {

class RecordOutput : public RecordSink {
 public:
  // Told of every address that could not be written, in the file's order.
  class FailureListener {
   public:
    // `error_number` is errno after the failed _write. `mark` is what the record was appended
    // with, given only for the record appended last: every earlier one was followed by others.
    virtual void AddressWriteFailed(int error_number, std::optional<std::uint64_t> mark) = 0;

   protected:
    ~FailureListener() = default;
  };

  // A slot holds the longest address, its CR LF, and room for sixteen-byte stores past its end.
  static constexpr int kSlotSize = UrlBufferSize + static_cast<int>(kRecordEndLength) + 16;

  RecordOutput(int handle, FailureListener& listener) : handle_(handle), listener_(listener) {}
  virtual ~RecordOutput() = default;
  RecordOutput(const RecordOutput&) = delete;
  RecordOutput& operator=(const RecordOutput&) = delete;

  // Room for the next address, kSlotSize bytes, until the next call.
  virtual char* Slot() = 0;
  // Appends the record whose `length` address bytes (none of them CR or LF) start the slot.
  virtual void Append(int length, std::uint64_t mark) = 0;
  // Appends a record made elsewhere.
  void Record(const char* address, size_t length) override;
  // Writes the records still pending.
  virtual void Flush() = 0;
  // Writes what is pending without reporting failures, and closes the file. Never throws.
  virtual void Abandon() noexcept = 0;

  // Flushes and closes the file; afterwards does nothing.
  void Close();
  bool IsOpen() const { return open_; }
  // The mark of the record appended last by Record (0 before the first).
  std::uint64_t Appended() const { return appended_; }

 protected:
  // The address with one _write and CR LF with another, whether or not the first failed.
  void WritePieces(const char* address, int length, std::optional<std::uint64_t> mark);
  // CR LF; its result is not looked at.
  void WriteRecordEnd();
  void CloseHandle() noexcept;

  int handle_;
  FailureListener& listener_;

 private:
  bool open_ = true;
  std::uint64_t appended_ = 0;
};

class PlainRecordOutput final : public RecordOutput {
 public:
  using RecordOutput::RecordOutput;
  char* Slot() override { return slot_; }
  void Append(int length, std::uint64_t mark) override { WritePieces(slot_, length, mark); }
  void Flush() override {}
  void Abandon() noexcept override { CloseHandle(); }

 private:
  char slot_[kSlotSize];
};

class BlockRecordOutput final : public RecordOutput {
 public:
  // Takes its block from the heap; Ready() says whether it could.
  BlockRecordOutput(int handle, FailureListener& listener);
  bool Ready() const { return block_ != nullptr; }

  char* Slot() override;
  void Append(int length, std::uint64_t mark) override;
  void Flush() override;
  void Abandon() noexcept override;

 private:
#ifdef QUILLON_OUTPUT_BLOCK_SIZE
  // Fuzzing builds write in small blocks, so that small pages fill several.
  static constexpr int kBlockSize = QUILLON_OUTPUT_BLOCK_SIZE;
#else
  static constexpr int kBlockSize = 64 * 1024;
#endif
  static_assert(kBlockSize >= kSlotSize, "a block has room for the longest record");

  void WriteRemainingRecords(int size, int done, std::uint64_t last_mark);

  std::unique_ptr<char[]> block_;
  int size_ = 0;
  std::uint64_t last_mark_ = 0;
};

}  // namespace quillon
