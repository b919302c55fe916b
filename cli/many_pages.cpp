#include "cli/many_pages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "cli/output_buffer.h"
#include "cli/output_names.h"
#include "cli/page_list.h"
#include "cli/page_scanners.h"
#include "cli/page_urls.h"
#include "cli/problem_report.h"
#include "cli/progress_line.h"
#include "cli/record_sinks.h"
#include "library/engine.h"
#include "library/hyperlinks/hyperlink_engine.h"
#include "library/page_file.h"
#include "runtime/system_calls.h"

namespace cli {
namespace {

// Most pages fit in one read; bigger ones go through in blocks of this size.
constexpr size_t kReadBlock = 128 * 1024;
constexpr size_t kListBlock = 256 * 1024;
constexpr size_t kFileBlock = 64 * 1024;

// The pages are read through the run-time stand-in's calls, as everything else the tool reads.
struct RuntimeCalls {
  static int Open(const char* path, int flags) { return crt::Sys().open(path, flags, 0); }
  static ssize_t Read(int fd, void* buffer, size_t count) {
    return crt::Sys().read(fd, buffer, count);
  }
  static int Close(int fd) { return crt::Sys().close(fd); }
  static int Stat(int fd, struct stat* status) { return crt::Sys().fstat(fd, status); }
};
using PageFeeder = quillon::PageFile<RuntimeCalls, PageScanner>;

bool IsOpen(int descriptor) {
  return fcntl(descriptor, F_GETFD) != -1;
}

// A closed standard descriptor would be handed to the next file opened, and whatever is
// written to it would land there.
void TakeClosedStandardDescriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (IsOpen(descriptor)) continue;
    int taken = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (taken != descriptor && taken != -1) close(taken);
  }
}

// Between a page's blocks: the bytes read since the last call go to the progress line. Passed
// by reference: a copy would count them again.
auto CountRead(const PageFeeder& feeder, ProgressLine& progress) {
  return [&feeder, &progress, counted = feeder.bytes_read()]() mutable {
    progress.AddBytes(feeder.bytes_read() - counted);
    counted = feeder.bytes_read();
    progress.Tick();
    return true;
  };
}

void RunEach(const PageList& pages, const std::string& suffix, PageScanner& scanner,
             PageFeeder& feeder, ProblemReport& problems, ProgressLine& progress) {
  const std::vector<size_t> clashes = FindOutputClashes(pages, suffix);
  std::string output_name;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (clashes[i] == kNoClash) continue;
    ComposeOutputName(pages[i], suffix, output_name);
    problems.Report(pages[i], "skipped: its output '" + output_name +
                                  "' would be written over the page '" +
                                  std::string(pages[clashes[i]]) + "'");
  }
  OutputBuffer out(kFileBlock);
  FileRecords records(out);
  std::string problem;
  auto count_read = CountRead(feeder, progress);
  // Every page counts as done for the progress line, whatever became of it.
  for (size_t i = 0; i < pages.size(); ++i, progress.EndFile()) {
    if (clashes[i] != kNoClash) continue;
    progress.StartFile(pages[i]);
    if (!scanner.StartPage(pages[i], problem)) {
      problems.Report(pages[i], problem);
      continue;
    }
    int error = 0;
    if (!feeder.Open(pages.c_str(i), error)) {
      problems.Report(pages[i], "", error);
      continue;
    }
    ComposeOutputName(pages[i], suffix, output_name);
    // Written over and then cut to length rather than emptied first: ext4 writes an emptied
    // file back when it is closed, and emptying it again waits for that write, which made a
    // second run over many pages wait on the disk for most of its time.
    int file =
        crt::Sys().open(output_name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (file == -1) {
      problems.Report(output_name, "", errno);
      feeder.Close();
      continue;
    }
    out.Attach(file);
    const bool read = feeder.FeedAll(records, error, std::ref(count_read));
    count_read();
    out.Flush();
    // Devices and pipes have no length to cut (EINVAL).
    int write_error = out.error();
    if (ftruncate(file, out.written()) != 0 && errno != EINVAL && write_error == 0) {
      write_error = errno;
    }
    if (crt::Sys().close(file) != 0 && write_error == 0) write_error = errno;
    if (!read) problems.Report(pages[i], "read error", error);
    if (!scanner.Trouble().empty()) problems.Report(pages[i], std::string(scanner.Trouble()));
    if (write_error != 0) problems.Report(output_name, "write error", write_error);
  }
}

// A page that is the file standard output goes to would grow while it is read, without end.
class OutputFile {
 public:
  explicit OutputFile(int output) {
    struct stat status;
    regular_ = crt::Sys().fstat(output, &status) == 0 && S_ISREG(status.st_mode);
    if (regular_) identity_ = {status.st_dev, status.st_ino};
  }
  bool Is(int page) const {
    struct stat status;
    return regular_ && crt::Sys().fstat(page, &status) == 0 &&
           std::pair{status.st_dev, status.st_ino} == identity_;
  }

 private:
  bool regular_;
  std::pair<dev_t, ino_t> identity_{};
};

void RunList(const PageList& pages, char after_name, int output, PageScanner& scanner,
             PageFeeder& feeder, ProblemReport& problems, ProgressLine& progress) {
  OutputBuffer out(kListBlock);
  out.Attach(output);
  ListedRecords records(out, after_name);
  const OutputFile output_file(output);
  std::string problem;
  auto count_read = CountRead(feeder, progress);
  for (size_t i = 0; i < pages.size() && out.error() == 0; ++i, progress.EndFile()) {
    progress.StartFile(pages[i]);
    if (!scanner.StartPage(pages[i], problem)) {
      problems.Report(pages[i], problem);
      continue;
    }
    int error = 0;
    if (!feeder.Open(pages.c_str(i), error)) {
      problems.Report(pages[i], "", error);
      continue;
    }
    if (output_file.Is(feeder.descriptor())) {
      feeder.Close();
      problems.Report(pages[i], "skipped: it is the standard output");
      continue;
    }
    records.StartPage(pages[i]);
    if (!feeder.FeedAll(records, error, std::ref(count_read))) {
      problems.Report(pages[i], "read error", error);
    }
    count_read();
    if (!scanner.Trouble().empty()) problems.Report(pages[i], std::string(scanner.Trouble()));
  }
  if (!out.Flush()) problems.Report("standard output", "write error", out.error());
}

// The current directory, for the pages' file:// URLs; "/" where it cannot be told.
std::string CurrentDirectory() {
  std::string directory(4096, '\0');
  while (getcwd(directory.data(), directory.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    directory.resize(directory.size() * 2);
  }
  directory.resize(directory.find('\0'));
  return directory;
}

int UsageError(const std::string& message, const StandardStreams& streams) {
  const std::string text = "quillon: " + message + "\n";
  [[maybe_unused]] ssize_t written = write(streams.errors, text.data(), text.size());
  return 2;
}

}  // namespace

int RunManyPages(const Options& options, const StandardStreams& streams) {
  ProblemReport problems(streams.errors);
  // Checked before any file is opened, which would take the closed descriptor's number.
  if (options.form == Form::kList && !IsOpen(streams.output)) {
    problems.Report("standard output", "write error", EBADF);
    return 1;
  }
  if (options.has_page_list && options.page_list == "-" && !IsOpen(streams.input)) {
    problems.Report("standard input", "read error", EBADF);
    return 1;
  }
  TakeClosedStandardDescriptors();

  PageList pages;
  const std::string* list = options.has_page_list ? &options.page_list : nullptr;
  if (!pages.AddOperandsAndList(options.pages, list, streams.input, problems)) return 1;

  quillon::KeywordTexts keywords;
  for (size_t i = 0; i < options.keywords.size() && i < keywords.size(); ++i) {
    keywords[i] = options.keywords[i];
  }
  // One of the two rule sets reads every page.
  std::optional<quillon::Engine> classic_engine;
  std::optional<ClassicScanner> classic;
  std::unique_ptr<quillon::HyperlinkEngine> html_engine;
  std::optional<PageUrls> urls;
  std::optional<HtmlScanner> html;
  PageScanner* scanner;
  if (options.html) {
    quillon::HyperlinkOptions html_options;
    html_options.keywords = keywords;
    html_options.all_schemes = options.all_schemes;
    if (options.charset) html_options.charset = *options.charset;
    if (options.base) html_options.page_url = *options.base;
    if (options.charset && !quillon::encoding::ForLabel(*options.charset)) {
      return UsageError("--charset: '" + *options.charset + "' names no encoding", streams);
    }
    try {
      html_engine = std::make_unique<quillon::HyperlinkEngine>(html_options);
    } catch (const std::invalid_argument&) {
      return UsageError("--base: '" + *options.base + "' is not an absolute URL", streams);
    }
    urls.emplace(options.base, options.root, CurrentDirectory());
    scanner = &html.emplace(*html_engine, *urls);
  } else {
    classic_engine.emplace(keywords, quillon::DefaultCharacterClasses());
    scanner = &classic.emplace(*classic_engine);
  }
  PageFeeder feeder(*scanner, kReadBlock);
  ProgressLine progress(streams.errors, options.progress, ProgressLine::Files::kPages,
                        pages.size());
  problems.ClearFirst(progress);
  if (options.form == Form::kEach) {
    RunEach(pages, options.suffix, *scanner, feeder, problems, progress);
  } else {
    RunList(pages, options.null_after_name ? '\0' : '\t', streams.output, *scanner, feeder,
            problems, progress);
  }
  progress.Finish();
  return problems.count() > 0 ? 1 : 0;
}

}  // namespace cli
