#pragma once
// A page read from a file block by block into an engine: the one read loop of the quillon tool
// and the Python module. Header only, so that the module compiles it without the library's run
// and its run-time stand-in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "library/engine.h"

namespace quillon {

// The system's own calls. A caller may pass a type of its own with the same static functions
// (the tool goes through its replaceable table, so that its tests can make them fail).
struct PosixCalls {
  static int Open(const char* path, int flags) { return ::open(path, flags); }
  static ssize_t Read(int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); }
  static int Close(int fd) { return ::close(fd); }
  static int Stat(int fd, struct stat* status) { return ::fstat(fd, status); }
};

// Reading goes on without a pause.
struct NoPause {
  bool operator()() const { return true; }
};

// `PageEngine` is Engine, or anything with its Reset, Feed, Stop and Finish (which may take the
// sink: the HTML rules' engine gives its last links there).
template <typename Calls = PosixCalls, typename PageEngine = Engine>
class PageFile {
 public:
  // Pages are read at most `block_size` bytes at a time. The block is made for the first page
  // and grows with the pages, up to `block_size`: a page of a few kilobytes (most are) gets a
  // small one, which costs far less to make than a large one.
  PageFile(PageEngine& engine, size_t block_size) : engine_(engine), largest_block_(block_size) {}
  ~PageFile() { Close(); }
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Opens `page` and reads its first block, so that a page that cannot be read (a directory)
  // is known before anything is made for it. False, with `error` set, when either fails;
  // nothing stays open then. `pause` is as for FeedAll.
  template <typename Pause = NoPause>
  bool Open(const char* page, int& error, Pause pause = {}) {
    Close();
    engine_.Reset();
    page_ = Calls::Open(page, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (page_ == -1) {
      error = errno;
      return false;
    }
    FitBlock();
    if (ReadBlock(error, pause)) return true;
    Close();
    return false;
  }

  // Feeds the page from its first block to its end, finishes it and closes it. `pause()` runs
  // after each block and after each read a signal cut short; when it returns false, reading
  // stops there as after a failed read, with `error` EINTR. False, with `error` set, when a
  // read failed part way: the records before it have gone to `sink`.
  template <typename Pause = NoPause>
  bool FeedAll(RecordSink& sink, int& error, Pause pause = {}) {
    while (filled_ > 0) {
      engine_.Feed(block_.get(), filled_, sink);
      if (!pause()) {
        error = EINTR;
        return StopReading();
      }
      if (!ReadBlock(error, pause)) return StopReading();
    }
    if constexpr (requires { engine_.Finish(sink); }) {
      engine_.Finish(sink);
    } else {
      engine_.Finish();
    }
    Close();
    return true;
  }

  // Leaves an opened page unread.
  void Close() {
    if (page_ != -1) Calls::Close(page_);
    page_ = -1;
    filled_ = 0;
  }

  // The open page's descriptor, -1 when none is open.
  int descriptor() const { return page_; }
  // The bytes read from every page so far.
  std::uint64_t bytes_read() const { return bytes_read_; }

 private:
  // Room for the whole of a small regular file and the read that finds its end, in one block.
  void FitBlock() {
    constexpr size_t kSmallestBlock = 16 * 1024;
    size_t wanted = largest_block_;
    struct stat status;
    if (Calls::Stat(page_, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::uint64_t>(status.st_size) < largest_block_) {
      wanted = std::max(static_cast<size_t>(status.st_size) + 1, kSmallestBlock);
    }
    wanted = std::min(wanted, largest_block_);
    if (wanted <= block_size_) return;
    block_.reset();
    block_size_ = 0;
    block_ = std::make_unique_for_overwrite<unsigned char[]>(wanted);
    block_size_ = wanted;
  }

  bool StopReading() {
    engine_.Stop();
    Close();
    return false;
  }

  template <typename Pause>
  bool ReadBlock(int& error, Pause& pause) {
    for (;;) {
      ssize_t got = Calls::Read(page_, block_.get(), block_size_);
      if (got >= 0) {
        filled_ = static_cast<size_t>(got);
        bytes_read_ += filled_;
        return true;
      }
      error = errno;
      if (error != EINTR) return false;
      if (!pause()) return false;
    }
  }

  PageEngine& engine_;
  const size_t largest_block_;
  std::unique_ptr<unsigned char[]> block_;
  size_t block_size_ = 0;
  size_t filled_ = 0;
  std::uint64_t bytes_read_ = 0;
  int page_ = -1;
};

}  // namespace quillon
