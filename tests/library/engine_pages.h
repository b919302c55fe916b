#pragma once
// Pages and chunkings for the engine's and the run's tests: generated pages where anchors,
// near-anchors and noise are likely, and one page fed to an engine in given pieces.
#include <array>
#include <random>
#include <string>
#include <vector>

#include "library/engine.h"

namespace engine_pages {

struct Collected : quillon::RecordSink {
  std::string records;  // each record with its CR LF, as the output file holds them
  void Record(const char* address, size_t length) override {
    records.append(address, length);
    records += "\r\n";
  }
};

struct ScanResult {
  std::string records;
  quillon::ReadingEnd end;
};

// `page` fed after Reset in pieces that end at each of the ascending offsets `cuts`, then
// finished.
ScanResult Scan(quillon::Engine& engine, const std::string& page, const std::vector<size_t>& cuts);

// Ascending cut offsets in [0, size]: pieces of one to three bytes, up to two hundred, or up to
// a hundred thousand.
std::vector<size_t> RandomCuts(std::mt19937& random, size_t size);

// A page of `pieces` pieces.
std::string MakePage(std::mt19937& random, size_t pieces);

// The texts of six keywords, as the engine takes them.
quillon::KeywordTexts Texts(const quillon::ExclusionKeywords& keywords);

}  // namespace engine_pages
