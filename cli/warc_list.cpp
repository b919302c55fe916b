#include "cli/warc_list.h"

#include <fcntl.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "cli/output_buffer.h"
#include "cli/page_list.h"
#include "cli/problem_report.h"
#include "cli/progress_line.h"
#include "library/engine.h"
#include "runtime/system_calls.h"
#include "warc/archive_reader.h"
#include "warc/byte_source.h"
#include "warc/page_consumer.h"

namespace cli {
namespace {

constexpr size_t kListBlock = 256 * 1024;

// The engine over each page of one archive; every record goes out after the page's URI.
class ListedLinks final : public warc::PageConsumer, public quillon::RecordSink {
 public:
  ListedLinks(quillon::Engine& engine, OutputBuffer& out, ProblemReport& problems,
              ProgressLine& progress, char after_uri)
      : engine_(engine),
        out_(out),
        problems_(problems),
        progress_(progress),
        after_uri_(after_uri) {}

  void StartArchive(std::string_view name) { archive_ = name; }

  void StartPage(const warc::PageStart& page) override {
    engine_.Reset();
    uri_ = page.target_uri;
  }
  void PageBytes(const unsigned char* bytes, size_t size) override {
    engine_.Feed(bytes, size, *this);
  }
  void EndPage(bool complete) override {
    progress_.AddPage();
    if (complete) {
      engine_.Finish();
    } else {
      engine_.Stop();
    }
  }
  void Damage(const warc::RecordPlace& place, std::string_view what) override {
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
  void Record(const char* address, size_t length) override {
    out_.Put(uri_.data(), uri_.size());
    out_.Put(&after_uri_, 1);
    out_.Put(address, length);
    out_.Put("\n", 1);
  }

 private:
  quillon::Engine& engine_;
  OutputBuffer& out_;
  ProblemReport& problems_;
  ProgressLine& progress_;
  const char after_uri_;
  std::string_view archive_;
  std::string_view uri_;
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

bool CollectArchives(const Options& options, const StandardStreams& streams, PageList& archives,
                     ProblemReport& problems) {
  for (const std::string& archive : options.pages) archives.Add(archive);
  if (!options.has_page_list) return true;
  if (options.page_list == "-") {
    return archives.AddFromList(streams.input, "standard input", problems);
  }
  int list = crt::Sys().open(options.page_list.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY, 0);
  if (list == -1) {
    problems.Report(options.page_list, "", errno);
    return false;
  }
  bool read = archives.AddFromList(list, options.page_list, problems);
  crt::Sys().close(list);
  return read;
}

}  // namespace

int RunWarcList(const Options& options, const StandardStreams& streams) {
  ProblemReport problems(streams.errors);
  PageList archives;
  if (!CollectArchives(options, streams, archives, problems)) return 1;

  quillon::KeywordTexts keywords;
  for (size_t i = 0; i < options.keywords.size() && i < keywords.size(); ++i) {
    keywords[i] = options.keywords[i];
  }
  quillon::Engine engine(keywords, quillon::DefaultCharacterClasses());
  OutputBuffer out(kListBlock);
  out.Attach(streams.output);
  ProgressLine progress(streams.errors, options.progress, ProgressLine::Files::kArchives,
                        archives.size());
  problems.ClearFirst(progress);
  ListedLinks links(engine, out, problems, progress, options.null_after_name ? '\0' : '\t');
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
