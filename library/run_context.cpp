#include "library/run_context.h"

#include <algorithm>
#include <cstring>

#include "library/anchor_opening.h"
#include "library/message_box.h"
#include "library/messages.h"
#include "library/platform.h"
#include "library/run_state.h"
#include "library/trailing_slash.h"

namespace quillon {

RunContext::RunContext(RunInput& input, const ExclusionKeywords& keywords,
                       const CharacterClasses& classes)
    : input(input),
      keywords(keywords),
      classes(classes),
      has_keywords(std::any_of(keywords.begin(), keywords.end(),
                               [](const CString* keyword) { return !keyword->IsEmpty(); })),
      status_serial_seen_(input.StatusSerial()) {}

void RunContext::ShowMessage(const char* text, const char* caption) {
  if (output_ != nullptr) output_->Flush();
  quillon::ShowMessage(text, caption);
}

void RunContext::CloseOutputFile() {
  if (output_ != nullptr) output_->Close();
  OutputFileOpen = false;
}

CString& RunContext::StartCurrentUrl() {
  captured_ = nullptr;
  if (!CurrentUrl) CurrentUrl.emplace();
  *CurrentUrl = kScheme;
  return *CurrentUrl;
}

void RunContext::NoteCaptureInWindow(const unsigned char* bytes, size_t length) {
  if (!current_url_ready_) {
    // Made, and given room for any address it may hold, at the first capture of the run: so
    // that running out of memory for it happens where it would had it been written each time.
    if (!CurrentUrl) CurrentUrl.emplace();
    CString& url = *CurrentUrl;
    int length = url.GetLength();
    url.GetBuffer(UrlBufferSize + 1);
    url.ReleaseBuffer(length);
    current_url_ready_ = true;
  }
  captured_ = bytes;
  captured_length_ = length;
}

void RunContext::TakeCaptureIntoCurrentUrl() {
  // Kept as a capture byte by byte keeps it: at most UrlBufferSize bytes before the rule.
  size_t kept = std::min(captured_length_, static_cast<size_t>(UrlBufferSize - kSchemeLength));
  CString& url = *CurrentUrl;
  char* text = url.GetBuffer(kSchemeLength + static_cast<int>(kept));
  std::memcpy(text, kScheme, kSchemeLength);
  std::memcpy(text + kSchemeLength, captured_, kept);
  url.ReleaseBuffer(kSchemeLength + static_cast<int>(kept));
  ApplyTrailingSlash(url);
  captured_ = nullptr;
}

void RunContext::UpdateStatusText() {
  if (input.StatusSerial() == status_serial_seen_) return;
  status_serial_seen_ = input.StatusSerial();
  int status = input.Status();
  if (status == RunInput::kEnded) {
    StatusText = kStatusInputEnded;
  } else if (status > 0) {
    StatusText = static_cast<char>(status);
  } else if (status == 0) {
    StatusText = "";
  }
}

void RunContext::AddressWriteFailed(int error_number, std::optional<std::uint64_t> mark) {
  // The error number stays in StatusText only if nothing was read after the record: the
  // byte-by-byte run would have overwritten it with the next byte.
  if (mark && *mark == input.StatusSerial()) {
    char number[20];
    _itoa(error_number, number, 10);
    StatusText = number;
    status_serial_seen_ = *mark;
  }
  ShowMessage(kTextWriteFailed, kCaptionError);
}

}  // namespace quillon
