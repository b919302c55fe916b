#pragma once
// The rules a many-page run reads its pages by: the classic engine, or the HTML rules' engine
// with each page's own URL.
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/page_urls.h"
#include "library/engine.h"
#include "library/hyperlinks/hyperlink_engine.h"

namespace cli {

class PageScanner {
 public:
  // Before the page named `page` is opened. False, with `problem` set, when it is to be
  // skipped.
  virtual bool StartPage(std::string_view page, std::string& problem) = 0;
  virtual void Reset() = 0;
  virtual void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) = 0;
  virtual void Finish(quillon::RecordSink& sink) = 0;
  // Reading the page failed part way: what is open is dropped.
  virtual void Stop() = 0;
  // Why the page just read gave only part of its records ("" when it gave them all).
  virtual std::string_view Trouble() const { return {}; }

 protected:
  ~PageScanner() = default;
};

class ClassicScanner final : public PageScanner {
 public:
  explicit ClassicScanner(quillon::Engine& engine) : engine_(engine) {}
  bool StartPage(std::string_view, std::string&) override { return true; }
  void Reset() override { engine_.Reset(); }
  void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) override {
    engine_.Feed(bytes, size, sink);
  }
  // The end of a page gives the classic rules no record.
  void Finish(quillon::RecordSink&) override { engine_.Finish(); }
  void Stop() override { engine_.Stop(); }

 private:
  quillon::Engine& engine_;
};

class HtmlScanner final : public PageScanner {
 public:
  HtmlScanner(quillon::HyperlinkEngine& engine, const PageUrls& urls)
      : engine_(engine), urls_(&urls) {}
  // For pages whose URL the caller sets on the engine itself (an archive's pages).
  explicit HtmlScanner(quillon::HyperlinkEngine& engine) : engine_(engine), urls_(nullptr) {}

  bool StartPage(std::string_view page, std::string& problem) override {
    if (urls_ == nullptr) return true;
    if (!urls_->For(page, url_)) {
      problem = "skipped: it is not under --root";
      return false;
    }
    if (!engine_.SetPageUrl(url_)) {
      problem = "skipped: its URL '" + url_ + "' does not parse";
      return false;
    }
    return true;
  }
  void Reset() override {
    engine_.Reset();
    trouble_.clear();
  }
  void Feed(const unsigned char* bytes, size_t size, quillon::RecordSink& sink) override {
    if (!trouble_.empty()) return;
    try {
      engine_.Feed(bytes, size, sink);
    } catch (const std::system_error&) {
      Converter();
    }
  }
  void Finish(quillon::RecordSink& sink) override {
    if (!trouble_.empty()) return engine_.Reset();
    try {
      engine_.Finish(sink);
    } catch (const std::system_error&) {
      Converter();
    }
  }
  void Stop() override { engine_.Reset(); }
  std::string_view Trouble() const override { return trouble_; }

 private:
  // The page's encoding has no converter here (glibc's gconv modules missing): the rest of
  // the page is left unread.
  void Converter() {
    trouble_ = "its encoding cannot be converted on this system; the rest is left unread";
    engine_.Reset();
  }

  quillon::HyperlinkEngine& engine_;
  const PageUrls* urls_;
  std::string url_;
  std::string trouble_;
};

}  // namespace cli
