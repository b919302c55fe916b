#include "cli/warc_list.h"

#include <fcntl.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/output_buffer.h"
#include "cli/page_list.h"
#include "cli/page_scanners.h"
#include "cli/problem_report.h"
#include "cli/progress_line.h"
#include "library/engine.h"
#include "library/hyperlinks/hyperlink_engine.h"
#include "runtime/system_calls.h"
#include "warc/archive_reader.h"
#include "warc/byte_source.h"
#include "warc/page_consumer.h"

namespace cli {
namespace {

constexpr size_t kListBlock = 256 * 1024;

// The rules over each page of one archive; every record goes out after the page's URI. Under
// the HTML rules (`html` set, the engine `scanner` reads with) a page's URL is its target URI
// and its charset the HTTP one.
class ListedLinks final : public warc::PageConsumer, public quillon::RecordSink {
 public:
  ListedLinks(PageScanner& scanner, quillon::HyperlinkEngine* html, OutputBuffer& out,
              ProblemReport& problems, ProgressLine& progress, char after_uri)
      : scanner_(scanner),
        html_(html),
        out_(out),
        problems_(problems),
        progress_(progress),
        after_uri_(after_uri) {}

  void StartArchive(std::string_view name) { archive_ = name; }

  void StartPage(const warc::PageStart& page) override {
    place_ = page.place;
    uri_ = page.target_uri;
    // A relative or empty URI would resolve the page's links against nothing a browser had.
    skipped_ = html_ != nullptr && (uri_.empty() || !html_->SetPageUrl(uri_));
    if (skipped_) {
      Report(place_, "its WARC-Target-URI is not an absolute URL: its links are skipped");
      return;
    }
    // An unknown label is ignored, as a browser ignores it.
    if (html_ != nullptr) html_->SetCharset(page.charset);
    scanner_.Reset();
  }
  void PageBytes(const unsigned char* bytes, size_t size) override {
    if (!skipped_) scanner_.Feed(bytes, size, *this);
  }
  void EndPage(bool complete) override {
    progress_.AddPage();
    if (skipped_) return;
    if (complete) {
      scanner_.Finish(*this);
    } else {
      scanner_.Stop();
    }
    if (!scanner_.Trouble().empty()) Report(place_, scanner_.Trouble());
  }
  void Damage(const warc::RecordPlace& place, std::string_view what) override {
    Report(place, what);
  }
  void Record(const char* address, size_t length) override {
    out_.Put(uri_.data(), uri_.size());
    out_.Put(&after_uri_, 1);
    out_.Put(address, length);
    out_.Put("\n", 1);
  }

 private:
  void Report(const warc::RecordPlace& place, std::string_view what) {
    char offset[96];
    if (place.gzip && place.inflated != 0) {
      std::snprintf(offset, sizeof offset,
                    "offset %" PRIu64 " (the gzip member there, inflated byte %" PRIu64 ")",
                    place.stored, place.inflated);
    } else {
      std::snprintf(offset, sizeof offset, "offset %" PRIu64, place.stored);
    }
    problems_.Report(archive_, std::string(offset) + ": " + std::string(what));
  }

  PageScanner& scanner_;
  quillon::HyperlinkEngine* const html_;
  OutputBuffer& out_;
  ProblemReport& problems_;
  ProgressLine& progress_;
  const char after_uri_;
  std::string_view archive_;
  std::string_view uri_;
  warc::RecordPlace place_;
  bool skipped_ = false;
};

// The archive's bytes, counted for the progress line.
class CountedSource final : public warc::ByteSource {
 public:
  CountedSource(int descriptor, ProgressLine& progress)
      : source_(descriptor), progress_(progress) {}
  ssize_t Read(unsigned char* buffer, size_t size) override {
    const ssize_t got = source_.Read(buffer, size);
    if (got > 0) progress_.AddBytes(static_cast<std::uint64_t>(got));
    return got;
  }

 private:
  warc::DescriptorSource source_;
  ProgressLine& progress_;
};

}  // namespace

int RunWarcList(const Options& options, const StandardStreams& streams) {
  ProblemReport problems(streams.errors);
  PageList archives;
  const std::string* list = options.has_page_list ? &options.page_list : nullptr;
  if (!archives.AddOperandsAndList(options.pages, list, streams.input, problems)) return 1;

  quillon::KeywordTexts keywords;
  for (size_t i = 0; i < options.keywords.size() && i < keywords.size(); ++i) {
    keywords[i] = options.keywords[i];
  }
  // One of the two rule sets reads every page, one engine for the whole run.
  std::optional<quillon::Engine> classic_engine;
  std::optional<ClassicScanner> classic;
  std::unique_ptr<quillon::HyperlinkEngine> html_engine;
  std::optional<HtmlScanner> html;
  PageScanner* scanner;
  if (options.html) {
    quillon::HyperlinkOptions html_options;
    html_options.keywords = keywords;
    html_options.all_schemes = options.all_schemes;
    html_engine = std::make_unique<quillon::HyperlinkEngine>(html_options);
    scanner = &html.emplace(*html_engine);
  } else {
    classic_engine.emplace(keywords, quillon::DefaultCharacterClasses());
    scanner = &classic.emplace(*classic_engine);
  }
  OutputBuffer out(kListBlock);
  out.Attach(streams.output);
  ProgressLine progress(streams.errors, options.progress, ProgressLine::Files::kArchives,
                        archives.size());
  problems.ClearFirst(progress);
  ListedLinks links(*scanner, html_engine.get(), out, problems, progress,
                    options.null_after_name ? '\0' : '\t');
  for (size_t i = 0; i < archives.size() && out.error() == 0; ++i) {
    const bool from_input = archives[i] == "-";
    const int descriptor =
        from_input ? streams.input
                   : crt::Sys().open(archives.c_str(i), O_RDONLY | O_CLOEXEC | O_NOCTTY, 0);
    if (descriptor == -1) {
      problems.Report(archives[i], "", errno);
      continue;
    }
    const std::string_view name = from_input ? std::string_view("standard input") : archives[i];
    links.StartArchive(name);
    progress.StartFile(name);
    CountedSource source(descriptor, progress);
    warc::ArchiveReader reader(source, links);
    if (!reader.Run()) {
      problems.Report(archives[i], "read error", reader.read_error());
    }
    if (!from_input) crt::Sys().close(descriptor);
    progress.EndFile();
  }
  progress.Finish();
  if (!out.Flush()) problems.Report("standard output", "write error", out.error());
  return problems.count() > 0 ? 1 : 0;
}

}  // namespace cli
