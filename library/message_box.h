#pragma once
// Every box of the library: no owner window, Yes and No buttons, answer unused.
namespace quillon {

void ShowMessage(const char* text, const char* caption);

// That memory ran out, where showing a box failed for want of it: the out-of-memory box by a
// way that needs no memory (on Linux straight to standard error, past any presenter).
void ReportOutOfMemoryLastly() noexcept;

}  // namespace quillon
