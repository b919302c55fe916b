#pragma once
// Collects a corpus in memory and hands it to the sink about 1 MiB at a time, counting what
// the benchmark checks afterwards.
#include <string>
#include <string_view>

#include "bench/corpus.h"

class CorpusBuilder {
 public:
  explicit CorpusBuilder(const CorpusSink& sink) : sink_(sink) { buffer_.reserve(kChunk + 4096); }

  void Put(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kChunk) Flush();
  }
  void Put(char byte) { buffer_.push_back(byte); }

  // Counts one anchor opening that the extractor has to find.
  void CountRecord() { ++stats_.records; }

  std::uint64_t Written() const { return stats_.bytes + buffer_.size(); }

  // Hands over what is left; the builder must not be used afterwards.
  CorpusStats Finish() {
    Flush();
    return stats_;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;

  void Flush();

  const CorpusSink& sink_;
  std::string buffer_;
  CorpusStats stats_;
};
