#include "bench/corpus_builder.h"

#include <algorithm>

void CorpusBuilder::Flush() {
  if (buffer_.empty()) return;
  stats_.bytes += buffer_.size();
  stats_.opens += static_cast<std::uint64_t>(std::count(buffer_.begin(), buffer_.end(), '<'));
  sink_(buffer_.data(), buffer_.size());
  buffer_.clear();
}
