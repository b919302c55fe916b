#pragma once
// What the steps of one run share: its input and output, its keywords and the character
// classes taken at its start. The design's values that the run keeps (StatusText, CurrentUrl,
// OutputFileOpen) are brought up to date through it at fixed points, not at every byte.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "library/character_classes.h"
#include "library/exclusion_keywords.h"
#include "library/record_output.h"
#include "library/run_input.h"

namespace quillon {

class RunContext final : public RecordOutput::FailureListener {
 public:
  RunContext(RunInput& input, const ExclusionKeywords& keywords, const CharacterClasses& classes);
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  // The output, once the run has opened it.
  void UseOutput(RecordOutput& output) { output_ = &output; }
  RecordOutput& Output() { return *output_; }

  RunInput& input;
  const ExclusionKeywords& keywords;
  const CharacterClasses& classes;
  // Whether any keyword is not empty: with none, the keyword test is skipped.
  const bool has_keywords;

  // Shows a box; the records found so far reach the file first, so that what the file holds
  // and what the user sees keep their order.
  void ShowMessage(const char* text, const char* caption);
  // Closes the output file, writing what is pending first; later calls do nothing.
  void CloseOutputFile();

  // CurrentUrl for a capture made byte by byte: made at the first capture in the library's
  // life, set to the scheme. An address captured in the window before is forgotten.
  CString& StartCurrentUrl();
  // An address captured inside the input's window, `length` bytes after the scheme. CurrentUrl
  // is made from it only when the window is about to move on (or the run ends).
  void NoteCaptureInWindow(const unsigned char* bytes, size_t length);
  // Makes CurrentUrl of the address noted last, if it is not yet.
  void UpdateCurrentUrl() {
    if (captured_ != nullptr) TakeCaptureIntoCurrentUrl();
  }

  // Makes StatusText what the byte-by-byte run would have left in it by now.
  void UpdateStatusText();

 private:
  void AddressWriteFailed(int error_number, std::optional<std::uint64_t> mark) override;
  void TakeCaptureIntoCurrentUrl();

  RecordOutput* output_ = nullptr;
  // The input's status serial when StatusText was last made to agree with the run.
  std::uint64_t status_serial_seen_;
  bool current_url_ready_ = false;
  const unsigned char* captured_ = nullptr;
  size_t captured_length_ = 0;
};

}  // namespace quillon
