#pragma once
// How a run moves its bytes. Both modes give the same files, boxes and state; plain mode is
// the byte-per-read reference that block mode is checked against.
namespace quillon {

enum class IoMode {
  Block,  // large reads and writes, passing over text and failed anchor attempts in the block
  Plain,  // one read per byte, one write per piece, moving back by seeking
};

}  // namespace quillon
