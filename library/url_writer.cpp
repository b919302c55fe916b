#include "library/url_writer.h"

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
    // An empty keyword occurs in every address; it is the second test that makes it inert.
    if (std::strstr(address, keyword->GetString()) != nullptr &&
        std::strcmp(keyword->GetString(), "") != 0) {
      return true;
    }
  }
  return false;
}

int CopyPrintable(const char* source, char (&output)[UrlBufferSize]) {
  // Bounded by the buffer even for a source that breaks the contract.
  char* out = output;
  for (int i = 0; i < UrlBufferSize - 1 && source[i] != '\0'; ++i) {
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
  int length = CopyPrintable(text, printable);
  AppendRecord(printable, length);
}

}  // namespace quillon
