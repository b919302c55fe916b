#pragma once
// A record callback for the C calls' tests: it keeps the records as the export writes them,
// asks to stop after `stop_after`, and misuses its own engine once when told to.
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "library/quillon_engine.h"

namespace capi_testing {

enum class Misuse { None, Throw, Feed, Finish, Free };

struct Collected {
  std::string text;  // each record followed by CR LF
  size_t count = 0;
  size_t stop_after = SIZE_MAX;
  Misuse misuse = Misuse::None;
  quillon_engine* engine = nullptr;
  int inner_status = QUILLON_OK;
};

inline int Collect(void* context, const char* address, size_t length) {
  Collected& c = *static_cast<Collected*>(context);
  c.text.append(address, length).append("\r\n");
  switch (std::exchange(c.misuse, Misuse::None)) {
    case Misuse::None:
      break;
    case Misuse::Throw:
      throw std::runtime_error("from the callback");
    case Misuse::Feed:
      c.inner_status = quillon_engine_feed(c.engine, "<", 1);
      break;
    case Misuse::Finish:
      c.inner_status = quillon_engine_finish(c.engine);
      break;
    case Misuse::Free:
      quillon_engine_free(c.engine);
      break;
  }
  return ++c.count >= c.stop_after;
}

using EnginePtr = std::unique_ptr<quillon_engine, decltype(&quillon_engine_free)>;

// An engine that collects into `c`, without keywords.
inline EnginePtr MakeEngine(Collected& c) {
  quillon_engine* made = nullptr;
  if (quillon_engine_new(nullptr, 0, Collect, &c, &made) != QUILLON_OK) {
    throw std::runtime_error("quillon_engine_new failed");
  }
  c.engine = made;
  return EnginePtr(made, quillon_engine_free);
}

// Feeds `page` in chunks of `chunk` bytes; the first status that is not QUILLON_OK, or the
// finish's.
inline int FeedPage(quillon_engine* engine, const std::string& page, size_t chunk) {
  for (size_t at = 0; at < page.size(); at += chunk) {
    const int status =
        quillon_engine_feed(engine, page.data() + at, std::min(chunk, page.size() - at));
    if (status != QUILLON_OK) return status;
  }
  return quillon_engine_finish(engine);
}

}  // namespace capi_testing
