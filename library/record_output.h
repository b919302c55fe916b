#pragma once
// The run's output file, record by record.
//
// In plain mode each record is written as the record writer asks: the address with one _write,
// then CR LF with another. In block mode records gather in a block that reaches the file in
// one _write; when that write fails or falls short, the records it did not complete are
// written again the plain way from where it stopped, so each failing address is reported just
// as plain mode reports it. Pending records are written before any box appears and before the
// file is closed, so what the file holds and what the user sees, in order, are the same.
#include "library/io_mode.h"

namespace quillon {

// Starts output to OutputFile (just opened) in `mode`.
void StartOutput(IoMode mode);
// Appends one record: `length` bytes of address, none of them CR or LF, then CR LF.
void AppendRecord(const char* address, int length);
// Writes the pending records now.
void FlushOutput();
// Flushes and closes OutputFile if it is open, then marks it closed; otherwise does nothing.
void CloseOutputFile();
// After a failure inside the run: writes what is pending without reporting anything and
// closes the file. Never throws.
void AbandonOutput() noexcept;

}  // namespace quillon
