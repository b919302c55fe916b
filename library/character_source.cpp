#include "library/character_source.h"

#include "library/input_reader.h"
#include "library/messages.h"
#include "library/record_output.h"
#include "library/run_state.h"

namespace quillon {
namespace {

bool last_read_delivered = false;
bool delivered_since = false;

}  // namespace

void NoteBytesTaken(unsigned char last) {
  delivered_since = true;
  if (last != 0) {
    StatusText = static_cast<char>(last);
  } else {
    StatusText = "";
  }
}

bool BytesDeliveredSince() {
  return delivered_since;
}
void ForgetBytesDelivered() {
  delivered_since = false;
}

int ReadInputByte() {
  int byte = Input().ReadByte();
  last_read_delivered = byte != InputReader::kNoByte;
  if (last_read_delivered) {
    NoteBytesTaken(static_cast<unsigned char>(byte));
    return byte;
  }
  if (Input().Ended()) {
    // Records still on their way go out first, so that a failing write is reported before
    // the input's end is.
    FlushOutput();
    StatusText = StatusInputEnded;
    CloseOutputFile();
  }
  return InputReader::kNoByte;
}

CString ReadInputChar() {
  int byte = ReadInputByte();
  return byte > 0 ? StatusText : CString();
}

int NextInputByte() {
  if (CurrentIoMode() == IoMode::Block) return ReadInputByte();
  CString character = ReadInputChar();
  if (!last_read_delivered) return InputReader::kNoByte;
  return static_cast<unsigned char>(character.GetAt(0));
}

}  // namespace quillon
