#include "library/character_source.h"

#include "library/messages.h"
#include "library/record_output.h"

namespace quillon {

namespace source_detail {

bool last_read_delivered = false;
bool delivered_since = false;

int ReadInputByteAtEnd() {
  last_read_delivered = false;
  if (Input().Ended()) {
    // Records still on their way go out first, so that a failing write is reported before
    // the input's end is.
    FlushOutput();
    StatusText = StatusInputEnded;
    CloseOutputFile();
  }
  return InputReader::kNoByte;
}

}  // namespace source_detail

CString ReadInputChar() {
  int byte = ReadInputByte();
  return byte > 0 ? StatusText : CString();
}

int NextPlainInputByte() {
  CString character = ReadInputChar();
  if (!source_detail::last_read_delivered) return InputReader::kNoByte;
  return static_cast<unsigned char>(character.GetAt(0));
}

}  // namespace quillon
