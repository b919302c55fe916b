#pragma once
// Hands the run its input one byte at a time, records each byte in StatusText, and notices the
// end of the input first: there it sets StatusText to "File End" and closes the output file.
#include "framework/cstring.h"

namespace quillon {

// One byte of the input as a string of one character, equal to the new StatusText. The empty
// string for a NUL byte, at the end of the input and when the read fails; a failed read
// changes nothing and closes nothing.
CString ReadInputChar();

// ReadInputChar without the string: the byte (0 to 255), or InputReader::kNoByte at the end
// of the input or when the read failed.
int ReadInputByte();

// The byte source of the scan: ReadInputChar in plain mode, ReadInputByte in block mode, with
// kNoByte wherever no byte was delivered.
int NextInputByte();

// For readers that take several bytes at once from the block: StatusText becomes what the
// last of them would have made it.
void NoteBytesTaken(unsigned char last);

// Whether any byte has been delivered since the last call of ForgetBytesDelivered.
bool BytesDeliveredSince();
void ForgetBytesDelivered();

}  // namespace quillon
