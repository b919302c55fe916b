#include "library/record_output.h"

#include <cstring>

#include "library/character_source.h"
#include "library/platform.h"
#include "library/run_state.h"
#include "library/url_writer.h"

namespace quillon {
namespace {

#ifdef QUILLON_OUTPUT_BLOCK_SIZE
// Fuzzing builds write in small blocks, so that small pages fill several.
constexpr int kBlockSize = QUILLON_OUTPUT_BLOCK_SIZE;
#else
constexpr int kBlockSize = 64 * 1024;
#endif
// A block always has room for the longest record: 499 address bytes and CR LF.
static_assert(kBlockSize >= 501);

IoMode output_mode = IoMode::Plain;
char pending[kBlockSize];
int pending_size = 0;

// Writes again, the plain way, every record of `block` that the first `done` bytes did not
// complete. Only the last record, and only if no byte has been read since it was found, may
// leave its error number in StatusText: so it would be had it been written at once. A record whose
// address was partly written counts as written, as a short _write does, and gets its CR LF; one
// whose CR went out but not its LF is finished.
void WriteRemainingRecords(const char* block, int size, int done) {
  int start = 0;
  while (start < size) {
    const char* line_end = static_cast<const char*>(
        std::memchr(block + start, '\r', static_cast<size_t>(size - start)));
    int address_end = static_cast<int>(line_end - block);
    int record_end = address_end + 2;
    if (done <= start) {
      bool latest = record_end == size && !BytesDeliveredSince();
      WriteRecordPieces(block + start, address_end - start, latest);
    } else if (done < address_end) {
      _write(OutputFile, "\r\n", 2);
    }
    start = record_end;
  }
}

}  // namespace

void StartOutput(IoMode mode) {
  output_mode = mode;
  pending_size = 0;
}

void AppendRecord(const char* address, int length) {
  if (output_mode == IoMode::Plain) {
    WriteRecordPieces(address, length);
    return;
  }
  if (pending_size + length + 2 > kBlockSize) FlushOutput();
  ForgetBytesDelivered();
  std::memcpy(pending + pending_size, address, static_cast<size_t>(length));
  pending[pending_size + length] = '\r';
  pending[pending_size + length + 1] = '\n';
  pending_size += length + 2;
}

void FlushOutput() {
  if (pending_size == 0) return;
  int size = pending_size;
  // Emptied first: a box shown while records are written again must not flush them twice.
  pending_size = 0;
  int written = _write(OutputFile, pending, static_cast<unsigned>(size));
  if (written == size) return;
  WriteRemainingRecords(pending, size, written > 0 ? written : 0);
}

void CloseOutputFile() {
  if (!OutputFileOpen) return;
  FlushOutput();
  OutputFileOpen = false;
  _close(OutputFile);
}

void AbandonOutput() noexcept {
  if (!OutputFileOpen) return;
  if (pending_size > 0) _write(OutputFile, pending, static_cast<unsigned>(pending_size));
  pending_size = 0;
  OutputFileOpen = false;
  _close(OutputFile);
}

}  // namespace quillon
