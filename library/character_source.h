#pragma once
// Hands the run its input one byte at a time, records each byte in StatusText, and notices the
// end of the input first: there it sets StatusText to "File End" and closes the output file.
#include "framework/cstring.h"
#include "library/input_reader.h"
#include "library/io_mode.h"
#include "library/run_state.h"

namespace quillon {

namespace source_detail {
extern bool last_read_delivered;
extern bool delivered_since;
int ReadInputByteAtEnd();
}  // namespace source_detail

// One byte of the input as a string of one character, equal to the new StatusText. The empty
// string for a NUL byte, at the end of the input and when the read fails; a failed read
// changes nothing and closes nothing.
CString ReadInputChar();

// For readers that take several bytes at once from the block: StatusText becomes what the
// last of them would have made it.
inline void NoteBytesTaken(unsigned char last) {
  source_detail::delivered_since = true;
  if (last != 0) {
    StatusText = static_cast<char>(last);
  } else {
    StatusText = "";
  }
}

// ReadInputChar without the string: the byte (0 to 255), or InputReader::kNoByte at the end
// of the input or when the read failed.
inline int ReadInputByte() {
  int byte = Input().ReadByte();
  if (byte == InputReader::kNoByte) return source_detail::ReadInputByteAtEnd();
  source_detail::last_read_delivered = true;
  NoteBytesTaken(static_cast<unsigned char>(byte));
  return byte;
}

// The byte source of the scan: ReadInputChar in plain mode, ReadInputByte in block mode, with
// kNoByte wherever no byte was delivered.
int NextPlainInputByte();
inline int NextInputByte() {
  return CurrentIoMode() == IoMode::Block ? ReadInputByte() : NextPlainInputByte();
}

// Whether any byte has been delivered since the last call of ForgetBytesDelivered.
inline bool BytesDeliveredSince() {
  return source_detail::delivered_since;
}
inline void ForgetBytesDelivered() {
  source_detail::delivered_since = false;
}

}  // namespace quillon
