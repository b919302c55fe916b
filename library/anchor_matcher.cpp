#include "library/anchor_matcher.h"

#include "library/anchor_opening.h"
#include "library/byte_search.h"
#include "library/character_source.h"
#include "library/trailing_slash.h"
#include "library/url_record.h"
#include "library/url_writer.h"

namespace quillon {
namespace {

bool MatchesOpeningWithOneMore(const unsigned char* after_bracket,
                               const CharacterClasses& classes) {
#ifdef QUILLON_X86
  if (classes.ascii && HasSse2()) return MatchesOpeningAscii(after_bracket);
#endif
  return MatchesOpening(after_bracket, classes);
}

static_assert(RunInput::kKeptBytes >= kMoveBack,
              "a failed attempt that started a new block moves back inside it");

// The attempt as the design of the matcher has it: every compared byte read on its own.
bool MatchByteByByte(RunContext& run) {
  int match_count = 0;
  for (int position = 1; position <= kComparedLength; ++position) {
    int byte = ReadInputChar(run);
    // kNoByte, like a NUL byte, matches nothing.
    if (byte != RunInput::kNoByte &&
        (byte == AnchorPattern[position] ||
         run.classes.LowerCase(static_cast<unsigned char>(byte)) == AnchorPattern[position])) {
      ++match_count;
    }
  }
  if (match_count == kComparedLength) return true;
  if (run.input.Eof() == 0) run.input.MoveBack(kMoveBack);
  return false;
}

// Appends what the address still has room for; the rest is read but not kept. Past
// UrlBufferSize bytes the address is not written, or already decided by an earlier NUL, so
// the run's memory stays bounded whatever the page holds.
void AppendToUrl(CString& url, const unsigned char* bytes, size_t count) {
  size_t room = static_cast<size_t>(UrlBufferSize - url.GetLength());
  if (count > room) count = room;
  if (count > 0) url.Append(reinterpret_cast<const char*>(bytes), static_cast<int>(count));
}

// Captures the address up to its closing double quote and writes it. An address that closes
// inside the window goes from there to the output in one pass; any other is gathered in
// CurrentUrl across reads. When the input ends (or fails) first, the unfinished address is
// dropped.
void CaptureAndWrite(RunContext& run) {
  const unsigned char* window = run.input.Window();
  const unsigned char* window_end = window + run.input.WindowSize();
  const unsigned char* quote = FindByte(window, window_end, '"');
  if (quote != window_end) {
    size_t length = static_cast<size_t>(quote - window);
    run.NoteCaptureInWindow(window, length);
    run.input.Take(length + 1, '"');
    WriteUrlRecord(run, window, length, NeedsTrailingSlash(window, length));
    return;
  }
  CString& url = run.StartCurrentUrl();
  for (;;) {
    window = run.input.Window();
    size_t count = run.input.WindowSize();
    AppendToUrl(url, window, count);
    if (count > 0) run.input.Take(count, window[count - 1]);
    int byte = ReadInputChar(run);
    if (byte == RunInput::kNoByte) return;
    if (byte == '"') break;
    // What the new block holds up to the quote goes in at once.
    unsigned char kept = static_cast<unsigned char>(byte);
    AppendToUrl(url, &kept, 1);
    window = run.input.Window();
    window_end = window + run.input.WindowSize();
    quote = FindByte(window, window_end, '"');
    if (quote != window_end) {
      AppendToUrl(url, window, static_cast<size_t>(quote - window));
      run.input.Take(static_cast<size_t>(quote - window) + 1, '"');
      break;
    }
  }
  ApplyTrailingSlash(url);
  WriteUrlRecord(run, reinterpret_cast<const unsigned char*>(url.GetString()) + kSchemeLength,
                 static_cast<size_t>(url.GetLength() - kSchemeLength), false);
}

}  // namespace

void MatchAnchor(RunContext& run) {
  bool matched;
  if (run.input.WindowSize() > static_cast<size_t>(kComparedLength)) {
    // The compared bytes and one more are at hand: reading them and, on a mismatch, moving
    // back comes to taking them, or only the first.
    const unsigned char* ahead = run.input.Window();
    matched = MatchesOpeningWithOneMore(ahead, run.classes);
    run.input.Take(matched ? kComparedLength : kComparedLength - kMoveBack,
                   ahead[kComparedLength - 1]);
  } else {
    matched = MatchByteByByte(run);
  }
  if (matched) CaptureAndWrite(run);
}

void TakeOpeningAndCapture(RunContext& run) {
  run.input.Take(kComparedLength, run.input.Window()[kComparedLength - 1]);
  CaptureAndWrite(run);
}

}  // namespace quillon
