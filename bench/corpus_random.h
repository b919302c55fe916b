#pragma once
// A small, fast pseudo-random source for the benchmark corpora. The same start value always
// gives the same sequence on every machine, so a corpus can be rebuilt byte for byte.
#include <cstdint>

class CorpusRandom {
 public:
  explicit CorpusRandom(std::uint64_t start_value) : state_(start_value) {}

  // The next 64 pseudo-random bits (splitmix64).
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number in [0, bound); bound must be above 0.
  std::uint32_t Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
  }

  // A number in [low, high]; low <= high.
  std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
    return low + Below(high - low + 1);
  }

  // True with a chance of `percent` in 100.
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }

 private:
  std::uint64_t state_;
};
