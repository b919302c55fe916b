#include "library/anchor_matcher.h"

#include <cstring>

#include "library/character_classes.h"
#include "library/character_source.h"
#include "library/input_reader.h"
#include "library/run_state.h"
#include "library/url_writer.h"

namespace quillon {
namespace {

constexpr int kComparedLength = 15;
constexpr int kMoveBack = 14;

bool MatchesAt(int byte, int position) {
  // kNoByte, like a NUL byte, matches nothing.
  return byte != InputReader::kNoByte &&
         (byte == AnchorPattern[position] ||
          LowerCase(static_cast<unsigned char>(byte)) == AnchorPattern[position]);
}

// Appends what the address still has room for; the rest is read but not kept. Past
// UrlBufferSize bytes the address is skipped, or already decided by an earlier NUL, so the
// run's memory stays bounded whatever the page holds.
void AppendToUrl(CString& url, const unsigned char* bytes, int count) {
  int room = UrlBufferSize - url.GetLength();
  if (count > room) count = room;
  if (count > 0) url.Append(reinterpret_cast<const char*>(bytes), count);
}

// Captures the address after "http://" up to its closing double quote. Returns false when the
// input ends (or fails) first: the unfinished address is dropped.
bool CaptureUrl() {
  if (!CurrentUrl) CurrentUrl.emplace();
  CString& url = *CurrentUrl;
  url = "http://";
  for (;;) {
    const unsigned char* taken;
    int count;
    bool closed = Input().TakeUntil('"', taken, count);
    AppendToUrl(url, taken, count);
    if (closed) {
      NoteBytesTaken('"');
      return true;
    }
    if (count > 0) NoteBytesTaken(taken[count - 1]);
    int byte = NextInputByte();
    if (byte == InputReader::kNoByte) return false;
    if (byte == '"') return true;
    unsigned char kept = static_cast<unsigned char>(byte);
    AppendToUrl(url, &kept, 1);
  }
}

// The attempt when the block holds all 15 bytes and one more: reading them and moving back
// 14 comes to taking one byte.
bool MatchFromBlock(const unsigned char* ahead) {
  NoteBytesTaken(ahead[kComparedLength - 1]);
  if (!MatchesOpening(ahead)) {
    Input().Advance(kComparedLength - kMoveBack);
    return false;
  }
  Input().Advance(kComparedLength);
  return true;
}

// The attempt byte by byte, as the design of the matcher has it.
bool MatchByteByByte() {
  int match_count = 0;
  for (int position = 1; position <= kComparedLength; ++position) {
    if (MatchesAt(NextInputByte(), position)) ++match_count;
  }
  if (match_count == kComparedLength) return true;
  if (Input().Eof() == 0) Input().MoveBack(kMoveBack);
  return false;
}

// Whether `url` ends in `suffix` with its letters A to Z folded to lower case: what comparing
// url.Right(n) with CompareNoCase answers, without making that string.
template <int N>
bool EndsWithFolded(const CString& url, const char (&suffix)[N]) {
  constexpr int count = N - 1;
  int start = url.GetLength() - count;
  if (start < 0) return false;
  const char* tail = url.GetString() + start;
  for (int i = 0; i < count; ++i) {
    char byte = tail[i];
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    if (byte != suffix[i]) return false;
  }
  return true;
}

}  // namespace

void ApplyTrailingSlash(CString& url) {
  if (!EndsWithFolded(url, ".html") && !EndsWithFolded(url, ".htm") &&
      url.GetAt(url.GetLength() - 1) != '/') {
    url += '/';
  }
}

void MatchAnchor(const ExclusionKeywords& keywords) {
  const unsigned char* ahead = Input().Ahead(kComparedLength);
  bool matched = ahead != nullptr ? MatchFromBlock(ahead) : MatchByteByByte();
  if (!matched || !CaptureUrl()) return;
  ApplyTrailingSlash(*CurrentUrl);
  WriteUrlRecord(keywords);
}

}  // namespace quillon
