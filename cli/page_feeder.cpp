#include "cli/page_feeder.h"

#include <fcntl.h>

#include <cerrno>

#include "runtime/system_calls.h"

namespace cli {

PageFeeder::PageFeeder(quillon::Engine& engine, size_t block_size)
    : engine_(engine),
      block_(std::make_unique_for_overwrite<unsigned char[]>(block_size)),
      block_size_(block_size) {}

PageFeeder::~PageFeeder() {
  Close();
}

void PageFeeder::Close() {
  if (page_ != -1) crt::Sys().close(page_);
  page_ = -1;
}

bool PageFeeder::ReadBlock(int& error) {
  for (;;) {
    ssize_t got = crt::Sys().read(page_, block_.get(), block_size_);
    if (got >= 0) {
      filled_ = static_cast<size_t>(got);
      return true;
    }
    if (errno != EINTR) {
      error = errno;
      return false;
    }
  }
}

bool PageFeeder::Open(const char* page, int& error) {
  Close();
  engine_.Reset();
  page_ = crt::Sys().open(page, O_RDONLY | O_CLOEXEC | O_NOCTTY, 0);
  if (page_ == -1) {
    error = errno;
    return false;
  }
  if (ReadBlock(error)) return true;
  Close();
  return false;
}

bool PageFeeder::FeedAll(quillon::RecordSink& sink, int& error) {
  while (filled_ > 0) {
    engine_.Feed(block_.get(), filled_, sink);
    if (!ReadBlock(error)) {
      engine_.Stop();
      Close();
      return false;
    }
  }
  engine_.Finish();
  Close();
  return true;
}

}  // namespace cli
