#include "library/url_writer.h"

#include <cstdint>
#include <cstring>

#include "library/character_classes.h"
#include "library/message_box.h"
#include "library/messages.h"
#include "library/platform.h"
#include "library/record_output.h"
#include "library/run_state.h"

namespace quillon {

bool IsExcluded(const char* address, const ExclusionKeywords& keywords) {
  for (const CString* keyword : keywords) {
    // An empty keyword occurs in every address and so never counts; testing for it first
    // gives the same answer without the search.
    const char* text = keyword->GetString();
    if (text[0] != '\0' && std::strstr(address, text) != nullptr) return true;
  }
  return false;
}

namespace {

// Whether all eight bytes of `word` lie in 0x20 to 0x7E.
bool AllPrintableAscii(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  std::uint64_t below_space = (word - kOnes * 0x20) & ~word;
  std::uint64_t tilde_or_above = (word + kOnes * 0x01) | word;
  return ((below_space | tilde_or_above) & kHighs) == 0;
}

}  // namespace

int CopyPrintable(const char* source, int length, char (&output)[UrlBufferSize]) {
  // Bounded by the buffer even for a caller that breaks the contract.
  if (length > UrlBufferSize - 1) length = UrlBufferSize - 1;
  char* out = output;
  int i = 0;
  if (Classes.printable_is_ascii) {
    // Runs of plain printable text, the usual address, go eight bytes at a time.
    for (; i + 8 <= length; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, source + i, sizeof word);
      if (!AllPrintableAscii(word)) break;
      std::memcpy(out, &word, sizeof word);
      out += 8;
    }
  }
  for (; i < length; ++i) {
    unsigned char byte = static_cast<unsigned char>(source[i]);
    if (IsPrintable(byte)) *out++ = static_cast<char>(byte);
  }
  *out = '\0';
  return static_cast<int>(out - output);
}

void WriteRecordPieces(const char* address, int length, bool status_follows) {
  if (_write(OutputFile, address, static_cast<unsigned>(length)) == -1) {
    char number[20];
    _itoa(errno, number, 10);
    if (status_follows) StatusText = number;
    ShowMessage(TextWriteFailed, CaptionError);
  }
  _write(OutputFile, "\r\n", 2);
}

void WriteUrlRecord(const ExclusionKeywords& keywords) {
  const CString& url = *CurrentUrl;
  const char* text = url.GetString();
  // Only the bytes before the first NUL take part in anything from here on.
  const void* nul = std::memchr(text, '\0', static_cast<size_t>(url.GetLength()));
  int before_nul =
      nul != nullptr ? static_cast<int>(static_cast<const char*>(nul) - text) : url.GetLength();
  if (before_nul >= UrlBufferSize) return;
  // The text fits the working buffers, so both steps read it where it stands.
  if (IsExcluded(text, keywords)) return;
  char printable[UrlBufferSize];
  int length = CopyPrintable(text, before_nul, printable);
  AppendRecord(printable, length);
}

}  // namespace quillon
