#pragma once
// A deliberately simple second implementation of one extraction run, for the fuzzer to
// compare the library with: the page is held in memory, bytes are taken one at a time by
// index and moving back is index arithmetic. Nothing is shared with the library.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/engine.h"

namespace fuzzing {

struct ReferenceResult {
  // The output file's bytes.
  std::string output;
  // The address (up to its first NUL, as the keyword test saw it) of each record in output.
  std::vector<std::string> written_addresses;
  // StatusText when the run returns: the last byte read as a string, or "File End".
  std::string status;
  // Whether a record was the last thing the run did, with no byte read after it: a failed
  // write of it then leaves its error number in StatusText.
  bool ended_on_record = false;
  // CurrentUrl when the run returns, if an address was captured: its first 500 bytes (a
  // documented cap), and the "/" the trailing-slash rule gave the whole address.
  std::optional<std::string> current_url;
};

// The run over `page` with `keywords` (each counts up to its first NUL), on an output file
// that takes every write.
ReferenceResult ReferenceRun(std::string_view page, const quillon::ExclusionKeywords& keywords);

}  // namespace fuzzing
