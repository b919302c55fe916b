#include "library/anchor_matcher.h"

#include <cctype>
#include <cstring>

#include "library/character_source.h"
#include "library/input_reader.h"
#include "library/run_state.h"
#include "library/url_writer.h"

namespace quillon {
namespace {

constexpr int kComparedLength = 15;
constexpr int kMoveBack = 14;

// Captures the address after "http://" up to its closing double quote. Returns false when the
// input ends (or fails) first: the unfinished address is dropped.
bool CaptureUrl() {
  if (!CurrentUrl) CurrentUrl.emplace();
  CString& url = *CurrentUrl;
  url = "http://";
  for (;;) {
    int byte = NextInputByte();
    if (byte == InputReader::kNoByte) return false;
    if (byte == '"') return true;
    // Past UrlBufferSize bytes the address is skipped or already decided by an earlier NUL,
    // so the rest is read but not kept: the run's memory stays bounded.
    if (url.GetLength() < UrlBufferSize) url += static_cast<char>(byte);
  }
}

// Whether the last characters of `url` are `suffix`, the letters A to Z folded to lower case:
// the same answer as comparing url.Right(n) with it, without making that string.
bool EndsWithFolded(const CString& url, const char* suffix) {
  int count = static_cast<int>(std::strlen(suffix));
  int start = url.GetLength() - count;
  if (start < 0) return false;
  for (int i = 0; i < count; ++i) {
    char byte = url.GetAt(start + i);
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
  int match_count = 0;
  for (int position = 1; position <= kComparedLength; ++position) {
    int byte = NextInputByte();
    // kNoByte, like a NUL byte, matches nothing.
    if (byte != InputReader::kNoByte &&
        (byte == AnchorPattern[position] || std::tolower(byte) == AnchorPattern[position])) {
      ++match_count;
    }
  }
  if (match_count != kComparedLength) {
    if (Input().Eof() == 0) Input().MoveBack(kMoveBack);
    return;
  }
  if (!CaptureUrl()) return;
  ApplyTrailingSlash(*CurrentUrl);
  WriteUrlRecord(keywords);
}

}  // namespace quillon
