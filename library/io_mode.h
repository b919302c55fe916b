#pragma once
// How a run moves its bytes. Both modes give the same files and the same boxes; plain mode is
// the byte-per-read reference that block mode is checked against.
namespace quillon {

enum class IoMode {
  Block,  // large reads and writes, skipping ahead to the next "<"
  Plain,  // one read per byte, one write per piece, moving back by seeking
};

// The mode of the runs that start from now on (Block unless a test says otherwise).
extern IoMode RunIoMode;
inline void SetIoMode(IoMode mode) {
  RunIoMode = mode;
}
inline IoMode CurrentIoMode() {
  return RunIoMode;
}

}  // namespace quillon
