#pragma once
// Benchmark corpora: large, deterministic HTML-like pages built without any download.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

enum class CorpusKind {
  kPage,     // a real-looking page: head, styles, scripts, prose, lists, tables, mixed anchors
  kAnchors,  // a page that is almost nothing but short <a href="http://..."> links
  kText,     // plain prose with almost no "<"
};

// Parses "page", "anchors" or "text".
std::optional<CorpusKind> ParseCorpusKind(std::string_view name);

struct CorpusStats {
  std::uint64_t bytes = 0;
  std::uint64_t opens = 0;    // every "<" byte written
  std::uint64_t records = 0;  // anchors the extractor must find (openings that match exactly)
};

// Receives the corpus in chunks of at most about 1 MiB, in order.
using CorpusSink = std::function<void(const char* bytes, std::size_t length)>;

// Writes a corpus of `kind` of at least `min_bytes` bytes (a little more, so the page closes
// properly) to `sink`. The bytes depend only on `kind`, `min_bytes` and `start_value`.
// Japanese text is Shift_JIS; no address is longer than 200 bytes or holds a byte outside
// 0x21-0x7E, and no "<" is ever written right before an anchor opening.
CorpusStats WriteCorpus(CorpusKind kind, std::uint64_t min_bytes, std::uint64_t start_value,
                        const CorpusSink& sink);
