#pragma once
// Reads one page at a time through one reused block and feeds it to the scanner.
#include <cstddef>
#include <memory>

#include "cli/page_scanners.h"
#include "library/record_sink.h"

namespace cli {

class PageFeeder {
 public:
  // Pages are read `block_size` bytes at a time; most pages fit in one block.
  PageFeeder(PageScanner& scanner, size_t block_size);
  ~PageFeeder();
  PageFeeder(const PageFeeder&) = delete;
  PageFeeder& operator=(const PageFeeder&) = delete;

  // Opens `page` and reads its first block, so that a page that cannot be read (a directory)
  // is known before anything is made for it. False, with `error` set, when either fails;
  // nothing stays open then.
  bool Open(const char* page, int& error);
  // Feeds the page from its first block to its end and closes it. False, with `error` set, when
  // a read failed part way: the records before the failing read have gone to `sink`.
  bool FeedAll(quillon::RecordSink& sink, int& error);
  // Leaves an opened page unread.
  void Close();
  // The open page's descriptor, -1 when none is open.
  int descriptor() const { return page_; }

 private:
  bool ReadBlock(int& error);

  PageScanner& scanner_;
  std::unique_ptr<unsigned char[]> block_;
  size_t block_size_;
  size_t filled_ = 0;
  int page_ = -1;
};

}  // namespace cli
