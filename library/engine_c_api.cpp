// The engine for C callers. This is the boundary: every failure becomes a status code here,
// and this is the one place of the library that catches whatever is thrown.
#include "library/quillon_engine.h"

#include <cxxabi.h>

#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "library/engine.h"
#include "library/hyperlinks/hyperlink_engine.h"

static_assert(quillon::kMaxKeywords == QUILLON_MAX_KEYWORDS, "one count of keywords");

namespace {

// Hands records to the caller's callback until it asks for no more.
class CallbackSink final : public quillon::RecordSink {
 public:
  CallbackSink(quillon_record_callback callback, void* context)
      : callback_(callback), context_(context) {}

  void Record(const char* address, size_t length) override {
    if (stopped_) return;
    // An exception from a C++ caller's callback is told apart from the engine's own.
    threw_ = true;
    if (callback_(context_, address, length) != 0) stopped_ = true;
    threw_ = false;
  }
  bool stopped() const { return stopped_; }
  void set_stopped(bool stopped) {
    stopped_ = stopped;
    threw_ = false;
  }
  bool threw() const { return threw_; }

 private:
  quillon_record_callback callback_;
  void* context_;
  bool stopped_ = false;
  bool threw_ = false;
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
  // The classic rules.
  quillon_engine(const quillon::KeywordTexts& keywords, quillon_record_callback callback,
                 void* context)
      : sink(callback, context) {
    classic.emplace(keywords, quillon::DefaultCharacterClasses());
  }
  // The HTML rules; too big for a caller's stack, so on the heap.
  quillon_engine(const quillon::HyperlinkOptions& options, quillon_record_callback callback,
                 void* context)
      : html(std::make_unique<quillon::HyperlinkEngine>(options)), sink(callback, context) {}

  void Feed(const unsigned char* bytes, size_t size) {
    page_started = true;
    if (html) {
      html->Feed(bytes, size, sink);
    } else {
      classic->Feed(bytes, size, sink);
    }
  }
  void Finish() {
    if (html) {
      html->Finish(sink);
    } else {
      classic->Finish();
    }
  }
  void Reset() {
    if (html) {
      html->Reset();
    } else {
      classic->Reset();
    }
  }

  // One of the two.
  std::optional<quillon::Engine> classic;
  std::unique_ptr<quillon::HyperlinkEngine> html;
  CallbackSink sink;
  // Bytes of the current page have been fed.
  bool page_started = false;
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
    if (engine.sink.threw()) return QUILLON_ERROR_CALLBACK_THREW;
    // The engine's own: the converter for the page's encoding could not be made.
    try {
      throw;
    } catch (const std::bad_alloc&) {
      return QUILLON_ERROR_MEMORY;
    } catch (...) {
      return QUILLON_ERROR_ENCODING_UNAVAILABLE;
    }
  }
  engine.busy = false;
  return PageOutcome(engine);
}

// A call from inside the callback would reuse the engine's half-done state. The page is failed,
// so nothing more of it may reach the callback either.
int RefuseInsideCallback(quillon_engine& engine) {
  engine.failed = true;
  engine.sink.set_stopped(true);
  return QUILLON_ERROR_BUSY;
}

void StartNewPage(quillon_engine& engine) {
  engine.Reset();
  engine.page_started = false;
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
    engine->Feed(static_cast<const unsigned char*>(bytes), size);
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
    status = Guarded(*engine, [engine] { engine->Finish(); });
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

int quillon_engine_new_html(const char* page_url, const char* encoding_label, unsigned flags,
                            const char* const* keywords, size_t keyword_count,
                            quillon_record_callback callback, void* context,
                            quillon_engine** engine_out) {
  if (engine_out == nullptr) return QUILLON_ERROR_ARGUMENT;
  *engine_out = nullptr;
  quillon::HyperlinkOptions options;
  if (callback == nullptr || (flags & ~QUILLON_HTML_ALL_SCHEMES) != 0 ||
      !TakeKeywords(keywords, keyword_count, options.keywords)) {
    return QUILLON_ERROR_ARGUMENT;
  }
  options.all_schemes = (flags & QUILLON_HTML_ALL_SCHEMES) != 0;
  if (page_url != nullptr) options.page_url = page_url;
  if (encoding_label != nullptr) {
    options.charset = encoding_label;
    if (options.charset.empty()) return QUILLON_ERROR_ENCODING_LABEL;
  }
  // Told apart before the engine is made, whose constructor says only that one failed.
  if (!options.charset.empty() && !quillon::encoding::ForLabel(options.charset)) {
    return QUILLON_ERROR_ENCODING_LABEL;
  }
  try {
    *engine_out = new quillon_engine(options, callback, context);
  } catch (const std::invalid_argument&) {
    return QUILLON_ERROR_PAGE_URL;
  } catch (...) {
    return QUILLON_ERROR_MEMORY;
  }
  return QUILLON_OK;
}

int quillon_engine_set_page_url(quillon_engine* engine, const char* page_url) {
  if (engine == nullptr || !engine->html) return QUILLON_ERROR_ARGUMENT;
  if (engine->busy) return RefuseInsideCallback(*engine);
  if (engine->page_started) return QUILLON_ERROR_ARGUMENT;
  return engine->html->SetPageUrl(page_url == nullptr ? "" : page_url) ? QUILLON_OK
                                                                       : QUILLON_ERROR_PAGE_URL;
}

int quillon_engine_skipped(const quillon_engine* engine, unsigned long long* long_hrefs,
                           unsigned long long* unparsed_hrefs) {
  if (engine == nullptr || !engine->html) return QUILLON_ERROR_ARGUMENT;
  if (long_hrefs != nullptr) *long_hrefs = engine->html->long_hrefs_skipped();
  if (unparsed_hrefs != nullptr) *unparsed_hrefs = engine->html->hrefs_failed();
  return QUILLON_OK;
}

int quillon_extract_html(const void* bytes, size_t size, const char* page_url,
                         const char* encoding_label, unsigned flags, const char* const* keywords,
                         size_t keyword_count, quillon_record_callback callback, void* context) {
  if (bytes == nullptr && size > 0) return QUILLON_ERROR_ARGUMENT;
  quillon_engine* engine = nullptr;
  int status = quillon_engine_new_html(page_url, encoding_label, flags, keywords, keyword_count,
                                       callback, context, &engine);
  if (status != QUILLON_OK) return status;
  // The callback never sees this engine, so it cannot feed or release it.
  status = quillon_engine_feed(engine, bytes, size);
  if (status == QUILLON_OK) status = quillon_engine_finish(engine);
  quillon_engine_free(engine);
  return status;
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
    case QUILLON_ERROR_PAGE_URL:
      return "the page URL does not parse";
    case QUILLON_ERROR_ENCODING_LABEL:
      return "the encoding label names no encoding";
    case QUILLON_ERROR_ENCODING_UNAVAILABLE:
      return "the page's encoding cannot be converted on this system";
  }
  return "unknown QUILLON status";
}

unsigned quillon_version_number(void) {
  return QUILLON_VERSION_NUMBER;
}

}  // extern "C"
