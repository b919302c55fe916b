#include "library/record_output.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "library/platform.h"

namespace quillon {

void RecordOutput::Close() {
  if (!open_) return;
  Flush();
  CloseHandle();
}

void RecordOutput::Record(const char* address, size_t length) {
  std::memcpy(Slot(), address, length);
  Append(static_cast<int>(length), ++appended_);
}

void RecordOutput::WritePieces(const char* address, int length, std::optional<std::uint64_t> mark) {
  if (_write(handle_, address, static_cast<unsigned>(length)) == -1) {
    listener_.AddressWriteFailed(errno, mark);
  }
  WriteRecordEnd();
}

void RecordOutput::WriteRecordEnd() {
  _write(handle_, kRecordEnd, kRecordEndLength);
}

void RecordOutput::CloseHandle() noexcept {
  if (!open_) return;
  open_ = false;
  _close(handle_);
}

BlockRecordOutput::BlockRecordOutput(int handle, FailureListener& listener)
    : RecordOutput(handle, listener), block_(new (std::nothrow) char[kBlockSize]) {}

char* BlockRecordOutput::Slot() {
  if (size_ + kSlotSize > kBlockSize) Flush();
  return block_.get() + size_;
}

void BlockRecordOutput::Append(int length, std::uint64_t mark) {
  std::memcpy(block_.get() + size_ + length, kRecordEnd, kRecordEndLength);
  size_ += length + static_cast<int>(kRecordEndLength);
  last_mark_ = mark;
}

void BlockRecordOutput::Flush() {
  if (size_ == 0 || !IsOpen()) return;
  int size = size_;
  // Emptied first: a box shown while records are written again must not flush them twice.
  size_ = 0;
  int written = _write(handle_, block_.get(), static_cast<unsigned>(size));
  if (written == size) return;
  WriteRemainingRecords(size, written > 0 ? written : 0, last_mark_);
}

void BlockRecordOutput::Abandon() noexcept {
  if (!IsOpen()) return;
  if (size_ > 0) _write(handle_, block_.get(), static_cast<unsigned>(size_));
  size_ = 0;
  CloseHandle();
}

// Writes again, the plain way, every record of the block that its first `done` bytes did not
// complete. A record whose address was written, whole or in part (as a short _write counts as
// written), gets its CR LF; one whose CR went out but not its LF is finished.
void BlockRecordOutput::WriteRemainingRecords(int size, int done, std::uint64_t last_mark) {
  const char* block = block_.get();
  int start = 0;
  while (start < size) {
    const char* line_end = static_cast<const char*>(
        std::memchr(block + start, kRecordEnd[0], static_cast<size_t>(size - start)));
    int address_end = static_cast<int>(line_end - block);
    int record_end = address_end + static_cast<int>(kRecordEndLength);
    if (done <= start) {
      std::optional<std::uint64_t> mark;
      if (record_end == size) mark = last_mark;
      WritePieces(block + start, address_end - start, mark);
    } else if (done <= address_end) {
      WriteRecordEnd();
    } else if (done < record_end) {
      _write(handle_, kRecordEnd + 1, kRecordEndLength - 1);
    }
    start = record_end;
  }
}

}  // namespace quillon
