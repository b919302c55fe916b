// The engine for C callers. This is the boundary: every failure becomes a status code here,
// and this is the one place of the library that catches whatever is thrown.
#define QUILLON_ENGINE_API __attribute__((visibility("default")))
#include "library/quillon_engine.h"

#include <cxxabi.h>

#include <new>
#include <optional>

#include "library/engine.h"

static_assert(quillon::kMaxKeywords == QUILLON_MAX_KEYWORDS, "one count of keywords");

namespace {

// Hands records to the caller's callback until it asks for no more.
class CallbackSink final : public quillon::RecordSink {
 public:
  CallbackSink(quillon_record_callback callback, void* context)
      : callback_(callback), context_(context) {}

  void Record(const char* address, size_t length) override {
    if (!stopped_ && callback_(context_, address, length) != 0) stopped_ = true;
  }
  bool stopped() const { return stopped_; }
  void set_stopped(bool stopped) { stopped_ = stopped; }

 private:
  quillon_record_callback callback_;
  void* context_;
  bool stopped_ = false;
};

bool TakeKeywords(const char* const* keywords, size_t count, quillon::KeywordTexts& texts) {
  if (count > QUILLON_MAX_KEYWORDS) return false;
  for (size_t i = 0; keywords != nullptr && i < count; ++i) {
    if (keywords[i] != nullptr) texts[i] = keywords[i];
  }
  return true;
}

}  // namespace

struct quillon_engine {
  quillon_engine(const quillon::KeywordTexts& keywords, quillon_record_callback callback,
                 void* context)
      : engine(keywords, quillon::DefaultCharacterClasses()), sink(callback, context) {}

  quillon::Engine engine;
  CallbackSink sink;
  // A call on this page was refused or interrupted: its records are incomplete.
  bool failed = false;
  // Inside Feed or Finish, where the engine must not be fed, finished or released.
  bool busy = false;
  bool release_pending = false;
};

namespace {

int PageOutcome(const quillon_engine& engine) {
  if (engine.failed) return QUILLON_ERROR_PAGE_FAILED;
  return engine.sink.stopped() ? QUILLON_STOPPED : QUILLON_OK;
}

// Runs `step` with the callback live. An exception from the callback unwinds through the
// engine, whose page is then beyond repair; it goes no further than here.
template <typename Step>
int Guarded(quillon_engine& engine, Step step) {
  engine.busy = true;
  try {
    step();
  } catch (abi::__forced_unwind&) {
    // Thread cancellation must go on unwinding.
    engine.busy = false;
    engine.failed = true;
    throw;
  } catch (...) {
    engine.busy = false;
    engine.failed = true;
    return QUILLON_ERROR_CALLBACK_THREW;
  }
  engine.busy = false;
  return PageOutcome(engine);
}

// A call from inside the callback would reuse the engine's half-done state.
int RefuseInsideCallback(quillon_engine& engine) {
  engine.failed = true;
  return QUILLON_ERROR_BUSY;
}

void StartNewPage(quillon_engine& engine) {
  engine.engine.Reset();
  engine.failed = false;
  engine.sink.set_stopped(false);
}

}  // namespace

extern "C" {

int quillon_engine_new(const char* const* keywords, size_t keyword_count,
                       quillon_record_callback callback, void* context,
                       quillon_engine** engine_out) {
  if (engine_out == nullptr) return QUILLON_ERROR_ARGUMENT;
  *engine_out = nullptr;
  quillon::KeywordTexts texts;
  if (callback == nullptr || !TakeKeywords(keywords, keyword_count, texts)) {
    return QUILLON_ERROR_ARGUMENT;
  }
  try {
    *engine_out = new quillon_engine(texts, callback, context);
  } catch (...) {
    // Copying the keywords is the only thing that can throw.
    return QUILLON_ERROR_MEMORY;
  }
  return QUILLON_OK;
}

int quillon_engine_feed(quillon_engine* engine, const void* bytes, size_t size) {
  if (engine == nullptr) return QUILLON_ERROR_ARGUMENT;
  if (engine->busy) return RefuseInsideCallback(*engine);
  if (bytes == nullptr && size > 0) {
    // The caller's page now has a hole: nothing later may pass for its records.
    engine->failed = true;
    return QUILLON_ERROR_ARGUMENT;
  }
  const int outcome = PageOutcome(*engine);
  if (outcome != QUILLON_OK) return outcome;
  const int status = Guarded(*engine, [engine, bytes, size] {
    engine->engine.Feed(static_cast<const unsigned char*>(bytes), size, engine->sink);
  });
  if (engine->release_pending) {
    delete engine;
    return QUILLON_STOPPED;
  }
  return status;
}

int quillon_engine_finish(quillon_engine* engine) {
  if (engine == nullptr) return QUILLON_ERROR_ARGUMENT;
  if (engine->busy) return RefuseInsideCallback(*engine);
  int status = PageOutcome(*engine);
  if (status == QUILLON_OK) {
    status = Guarded(*engine, [engine] { engine->engine.Finish(engine->sink); });
    if (engine->release_pending) {
      delete engine;
      return QUILLON_STOPPED;
    }
  }
  StartNewPage(*engine);
  return status;
}

void quillon_engine_free(quillon_engine* engine) {
  if (engine == nullptr) return;
  if (engine->busy) {
    engine->sink.set_stopped(true);
    engine->release_pending = true;
    return;
  }
  delete engine;
}

int quillon_extract(const void* bytes, size_t size, const char* const* keywords,
                    size_t keyword_count, quillon_record_callback callback, void* context) {
  quillon::KeywordTexts texts;
  if ((bytes == nullptr && size > 0) || callback == nullptr ||
      !TakeKeywords(keywords, keyword_count, texts)) {
    return QUILLON_ERROR_ARGUMENT;
  }
  std::optional<quillon_engine> engine;
  try {
    engine.emplace(texts, callback, context);
  } catch (...) {
    return QUILLON_ERROR_MEMORY;
  }
  // The callback never sees this engine, so it cannot feed or release it.
  const int status = quillon_engine_feed(&*engine, bytes, size);
  return status == QUILLON_OK ? quillon_engine_finish(&*engine) : status;
}

const char* quillon_strerror(int status) {
  switch (status) {
    case QUILLON_OK:
      return "success";
    case QUILLON_STOPPED:
      return "stopped by the record callback";
    case QUILLON_ERROR_ARGUMENT:
      return "invalid argument";
    case QUILLON_ERROR_MEMORY:
      return "out of memory";
    case QUILLON_ERROR_PAGE_FAILED:
      return "an earlier call on this page failed; finish the page to start the next one";
    case QUILLON_ERROR_CALLBACK_THREW:
      return "the record callback threw an exception";
    case QUILLON_ERROR_BUSY:
      return "called from inside the engine's own record callback";
  }
  return "unknown QUILLON status";
}

}  // extern "C"
