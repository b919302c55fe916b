#pragma once
// The pages of a web archive and their links, for quillon.warc_links and
// quillon.warc_hyperlinks: the archive is read, and
// each page scanned, on a thread of its own that never touches Python; the caller takes the
// pages one at a time. Pages go over in batches (waking the other thread for each page cost
// more than the scan on a loaded machine), and at most three batches are held: the one being
// filled, the one ready and the one being handed to Python.
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
  // A batch goes over once it holds this many pages or links.
  static constexpr size_t kBatchPages = 256;
  static constexpr size_t kBatchLinks = 16 * 1024;

 private:
  struct Batch {
    std::string uris;
    // Where each page's URI and links end in `uris` and `links`.
    std::vector<size_t> uri_ends;
    std::vector<size_t> link_ends;
    RecordList links;
    size_t pages() const { return uri_ends.size(); }
    void Clear();
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
  // The page cannot be given: why goes with the damage.
  void DropPage(std::string_view why);
  // Hands the batch filled on to the caller, once the one before has been taken.
  void HandOver();
  void Damage(const warc::RecordPlace& place, std::string_view what) override;
  ssize_t Read(unsigned char* buffer, size_t size) override;

  int descriptor_;
  std::unique_ptr<PageLinkFinder> finder_;
  std::unique_ptr<warc::ArchiveReader> reader_;
  // The reading thread's batch, the one ready for the caller, and the caller's, with the
  // next of its pages to give.
  std::unique_ptr<Batch> scanned_ = std::make_unique<Batch>();
  std::unique_ptr<Batch> ready_ = std::make_unique<Batch>();
  std::unique_ptr<Batch> taken_ = std::make_unique<Batch>();
  size_t next_taken_ = 0;
  // The page being scanned.
  std::string_view uri_;
  warc::RecordPlace place_;
  size_t first_link_ = 0;
  bool dropped_ = false;

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
