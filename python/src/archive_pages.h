#pragma once
// The pages of a web archive and their links, for quillon.warc_links: the archive is read, and
// each page scanned, on a thread of its own that never touches Python; the caller takes the
// pages one at a time. At most three pages' links are held: the one being scanned, the one
// ready and the one being handed to Python.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <pybind11/pybind11.h>

#include "python/src/page_link_finder.h"
#include "python/src/record_list.h"
#include "warc/archive_reader.h"
#include "warc/byte_source.h"
#include "warc/page_consumer.h"

namespace quillon_python {

class ArchivePages final : warc::PageConsumer, warc::ByteSource {
 public:
  // Reads the archive open on `descriptor`, which it then owns, through `finder`. Throws
  // std::bad_alloc when its blocks cannot be made.
  ArchivePages(int descriptor, std::unique_ptr<PageLinkFinder> finder);
  // Stops the reading thread and closes the archive.
  ~ArchivePages();
  ArchivePages(const ArchivePages&) = delete;
  ArchivePages& operator=(const ArchivePages&) = delete;

  // The next intact page as (uri str, [bytes, ...]); None at the archive's end. Needs the GIL,
  // and lets it go while waiting. Raises OSError (with `name`) when reading the archive failed
  // after the pages before; KeyboardInterrupt and the like when a signal handler raised.
  pybind11::object Next(pybind11::handle name);
  // The damage met, as (stored offset, inflated offset or None, what) in archive order: all of
  // it once Next gave None. At most kKeptDamage entries, and one more telling how many
  // followed.
  pybind11::list DamageFound();

  static constexpr size_t kKeptDamage = 1000;

 private:
  struct Page {
    std::string uri;
    RecordList links;
  };
  struct Problem {
    warc::RecordPlace place;
    std::string what;
  };

  // On the reading thread.
  void ReadArchive();
  void StartPage(const warc::PageStart& page) override;
  void PageBytes(const unsigned char* bytes, size_t size) override;
  void EndPage(bool complete) override;
  void Damage(const warc::RecordPlace& place, std::string_view what) override;
  ssize_t Read(unsigned char* buffer, size_t size) override;

  int descriptor_;
  std::unique_ptr<PageLinkFinder> finder_;
  std::unique_ptr<warc::ArchiveReader> reader_;
  // The reading thread's page, the one ready for the caller, and the caller's.
  std::unique_ptr<Page> scanned_ = std::make_unique<Page>();
  std::unique_ptr<Page> ready_ = std::make_unique<Page>();
  std::unique_ptr<Page> taken_ = std::make_unique<Page>();

  std::mutex mutex_;
  std::condition_variable changed_;
  bool has_ready_ = false;
  bool ended_ = false;
  int read_error_ = 0;
  std::vector<Problem> problems_;
  std::uint64_t problems_left_out_ = 0;
  // The caller is gone: the reader sees the archive end and hands nothing more on.
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace quillon_python
