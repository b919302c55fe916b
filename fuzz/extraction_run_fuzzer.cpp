// Fuzzes one whole extraction run: arbitrary page bytes, six arbitrary keywords, an output file
// or a device that fails every write; and the engine alone over the same page cut into chunks.
// Beyond what the sanitizers catch, every run must end with exactly the boxes expected (the opening
// one, and one "errno" per record when writes fail), both files closed, every string released,
// well-formed records only, and the very output and status of the simple reference implementation.
// The HTML rules read the same page too (html_rules_check.h).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/cstring.h"
#include "framework/string_heap.h"
#include "fuzz/fuzz_case.h"
#include "fuzz/html_rules_check.h"
#include "fuzz/reference_run.h"
#include "fuzz/scratch_files.h"
#include "library/engine.h"
#include "library/export.h"
#include "library/messages.h"
#include "library/quillon.h"
#include "library/run_state.h"
#include "runtime/message_box.h"
#include "tests/support/box_recorder.h"

namespace {

using fuzzing::FuzzCase;

[[noreturn]] void Fail(const FuzzCase& fuzz_case, const char* what, const std::string& seen,
                       const std::string& expected) {
  std::fprintf(stderr, "extraction fuzzer: %s\n", what);
  auto show = [](const char* label, const std::string& bytes) {
    std::fprintf(stderr, "  %s (%zu bytes):", label, bytes.size());
    for (unsigned char c : bytes.substr(0, 2048)) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
  };
  show("page", fuzz_case.page);
  for (const std::string& keyword : fuzz_case.keywords) show("keyword", keyword);
  show("seen", seen);
  show("expected", expected);
  std::abort();
}

using cases::Box;

// Blocks held by the module state, which outlives runs.
long BlocksOfState() {
  auto holds = [](CString& text) {
    char* characters = text.Detach();
    text = CString::Attach(characters);
    return characters != nullptr ? 1 : 0;
  };
  return holds(quillon::StatusText) + (quillon::CurrentUrl ? holds(*quillon::CurrentUrl) : 0);
}

void CheckRecords(const FuzzCase& fuzz_case, const std::string& output,
                  const fuzzing::ReferenceResult& reference) {
  size_t start = 0;
  size_t index = 0;
  while (start < output.size()) {
    size_t end = output.find("\r\n", start);
    if (end == std::string::npos) Fail(fuzz_case, "a record without CR LF", output, "");
    std::string record = output.substr(start, end - start);
    if (record.size() + 2 > 501) Fail(fuzz_case, "a record over 501 bytes", record, "");
    if (record.rfind("http://", 0) != 0) Fail(fuzz_case, "a record not led by http://", record, "");
    for (unsigned char c : record)
      if (c < 0x20 || c > 0x7E) Fail(fuzz_case, "an unprintable byte in a record", record, "");
    // A keyword is tested against the address before unprintable bytes leave it, so it may
    // appear in a record only where the filter joined it up around such bytes.
    for (const std::string& keyword : fuzz_case.keywords) {
      std::string counted = keyword.substr(0, keyword.find('\0'));
      if (counted.empty() || record.find(counted) == std::string::npos) continue;
      const std::string& address =
          index < reference.written_addresses.size() ? reference.written_addresses[index] : "";
      if (address.find(counted) != std::string::npos || address == record)
        Fail(fuzz_case, "a record holds an exclusion keyword", record, counted);
    }
    start = end + 2;
    ++index;
  }
}

struct Collected : quillon::RecordSink {
  std::string records;
  void Record(const char* address, size_t length) override {
    records.append(address, length);
    records += "\r\n";
  }
};

// The engine over the page in chunks whose sizes come from `chunking`: the same records as
// the reference, whatever the cuts.
void CheckChunkedEngine(const FuzzCase& fuzz_case, const fuzzing::ReferenceResult& reference) {
  quillon::KeywordTexts keywords;
  for (size_t i = 0; i < keywords.size(); ++i) keywords[i] = fuzz_case.keywords[i];
  quillon::Engine engine(keywords, quillon::DefaultCharacterClasses());
  Collected sink;
  const auto* page = reinterpret_cast<const unsigned char*>(fuzz_case.page.data());
  unsigned state = fuzz_case.chunking * 2654435761u + 1;
  for (size_t at = 0; at < fuzz_case.page.size();) {
    state = state * 1103515245u + 12345u;
    size_t piece = 1 + (state >> 16) % (fuzz_case.chunking % 3 == 0 ? 4 : 64);
    if (piece > fuzz_case.page.size() - at) piece = fuzz_case.page.size() - at;
    engine.Feed(page + at, piece, sink);
    at += piece;
  }
  engine.Finish();
  if (sink.records != reference.output)
    Fail(fuzz_case, "the chunked engine differs from the reference", sink.records,
         reference.output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzzing::ScratchFiles files;
  FuzzCase fuzz_case = fuzzing::ParseFuzzCase(data, size);
  files.WritePage(fuzz_case.page);

  testing_support::BoxRecorder recorder;

  // Built by the string class, so that the run's release of them shows in the block count.
  long blocks_before = LiveStringBlocks() - BlocksOfState();
  const char* output_path = fuzz_case.failing_output ? "/dev/full" : files.output_path();
  CString arguments[8] = {CString(files.page_path()), CString(output_path)};
  for (size_t i = 0; i < fuzz_case.keywords.size(); ++i) {
    const std::string& keyword = fuzz_case.keywords[i];
    arguments[2 + i] = CString(keyword.data(), int(keyword.size()));
  }
  QuillonString handed[8];
  for (int i = 0; i < 8; ++i) handed[i].characters = arguments[i].Detach();
  quillon::SearchAddresses(handed);
  const std::vector<Box>& boxes = recorder.boxes();

  fuzzing::ReferenceResult reference = fuzzing::ReferenceRun(fuzz_case.page, fuzz_case.keywords);
  CheckChunkedEngine(fuzz_case, reference);
  fuzzing::CheckHtmlRules(fuzz_case);

  std::vector<Box> expected_boxes = {
      {quillon::kCaptionError, quillon::kTextSearchStarting, crt::MB_YESNO, nullptr}};
  if (fuzz_case.failing_output)
    expected_boxes.resize(
        1 + reference.written_addresses.size(),
        {quillon::kCaptionError, quillon::kTextWriteFailed, crt::MB_YESNO, nullptr});
  auto describe = [](const std::vector<Box>& list) {
    std::string text;
    for (const Box& box : list)
      text += "[" + box.caption + "] " + box.text + " " + std::to_string(box.style) +
              (box.owner != nullptr ? " owned\n" : "\n");
    return text;
  };
  if (describe(boxes) != describe(expected_boxes))
    Fail(fuzz_case, "boxes differ", describe(boxes), describe(expected_boxes));
  if (quillon::OutputFileOpen || quillon::InputFileOpen)
    Fail(fuzz_case, "a file left open", "", "");
  if (LiveStringBlocks() - BlocksOfState() != blocks_before)
    Fail(fuzz_case, "string blocks not released", std::to_string(LiveStringBlocks()),
         std::to_string(blocks_before));
  std::string expected_status = reference.status;
  if (fuzz_case.failing_output) {
    if (reference.ended_on_record) expected_status = std::to_string(ENOSPC);
  } else {
    std::string output = files.ReadOutput();
    CheckRecords(fuzz_case, output, reference);
    if (output != reference.output)
      Fail(fuzz_case, "output differs from the reference", output, reference.output);
  }
  std::string status(quillon::StatusText.GetString(), size_t(quillon::StatusText.GetLength()));
  if (status != expected_status)
    Fail(fuzz_case, "StatusText differs from the reference", status, expected_status);
  return 0;
}
