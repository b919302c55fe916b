#include "library/character_source.h"

namespace quillon {

int ReadInputChar(RunContext& run) {
  // The read may move the window on, and with it an address captured there.
  run.UpdateCurrentUrl();
  int byte = run.input.ReadByte();
  if (byte == RunInput::kNoByte && run.input.Ended()) run.CloseOutputFile();
  return byte;
}

}  // namespace quillon
