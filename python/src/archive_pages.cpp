#include "python/src/archive_pages.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quillon_python {
namespace {

// How often a caller waiting for the next page hears Ctrl-C.
constexpr auto kSignalCheck = std::chrono::milliseconds(100);

}  // namespace

ArchivePages::ArchivePages(int descriptor, std::unique_ptr<PageLinkFinder> finder)
    : descriptor_(descriptor), finder_(std::move(finder)) {
  try {
    reader_ = std::make_unique<warc::ArchiveReader>(static_cast<warc::ByteSource&>(*this),
                                                    static_cast<warc::PageConsumer&>(*this));
    thread_ = std::thread([this] { ReadArchive(); });
  } catch (...) {
    close(descriptor_);
    throw;
  }
}

ArchivePages::~ArchivePages() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
  close(descriptor_);
}

void ArchivePages::ReadArchive() {
  const bool read = reader_->Run();
  std::lock_guard lock(mutex_);
  if (!read) read_error_ = reader_->read_error();
  ended_ = true;
  changed_.notify_all();
}

ssize_t ArchivePages::Read(unsigned char* buffer, size_t size) {
  if (stop_) return 0;
  for (;;) {
    const ssize_t got = read(descriptor_, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

void ArchivePages::StartPage(const warc::PageStart& page) {
  scanned_->links.Clear();
  scanned_->uri.assign(page.target_uri);
  finder_->Start(page);
}

void ArchivePages::PageBytes(const unsigned char* bytes, size_t size) {
  if (!stop_) finder_->Feed(bytes, size, scanned_->links);
}

void ArchivePages::EndPage(bool complete) {
  if (!complete) {
    // A page cut short is not handed on: its damage is reported, and what was read of it may
    // be garbage.
    finder_->Stop();
    scanned_->links.Clear();
    return;
  }
  finder_->Finish(scanned_->links);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !has_ready_ || stop_; });
  if (stop_) return;
  std::swap(scanned_, ready_);
  has_ready_ = true;
  changed_.notify_all();
}

void ArchivePages::Damage(const warc::RecordPlace& place, std::string_view what) {
  std::lock_guard lock(mutex_);
  if (problems_.size() < kKeptDamage) {
    problems_.push_back({place, std::string(what)});
  } else {
    ++problems_left_out_;
  }
}

pybind11::object ArchivePages::Next(pybind11::handle name) {
  bool has_page = false;
  int error = 0;
  for (;;) {
    bool waited_out = false;
    {
      pybind11::gil_scoped_release unlocked;
      std::unique_lock lock(mutex_);
      waited_out = !changed_.wait_for(lock, kSignalCheck, [&] { return has_ready_ || ended_; });
      if (!waited_out) {
        has_page = has_ready_;
        if (has_page) {
          std::swap(ready_, taken_);
          has_ready_ = false;
        } else {
          error = read_error_;
        }
      }
    }
    if (!waited_out) break;
    if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
  }
  if (has_page) {
    changed_.notify_all();
    // A URI is whatever the archive's writer put there: bytes that are not UTF-8 come back
    // with uri.encode("utf-8", "surrogateescape").
    auto uri = pybind11::reinterpret_steal<pybind11::str>(PyUnicode_DecodeUTF8(
        taken_->uri.data(), static_cast<Py_ssize_t>(taken_->uri.size()), "surrogateescape"));
    if (!uri) throw pybind11::error_already_set();
    return pybind11::make_tuple(uri, taken_->links.Take());
  }
  if (error != 0) {
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw pybind11::error_already_set();
  }
  return pybind11::none();
}

pybind11::list ArchivePages::DamageFound() {
  std::lock_guard lock(mutex_);
  pybind11::list found;
  for (const Problem& problem : problems_) {
    pybind11::object inflated = pybind11::none();
    if (problem.place.gzip && problem.place.inflated != 0) {
      inflated = pybind11::int_(problem.place.inflated);
    }
    found.append(pybind11::make_tuple(problem.place.stored, inflated, pybind11::str(problem.what)));
  }
  if (problems_left_out_ > 0) {
    found.append(pybind11::make_tuple(
        pybind11::none(), pybind11::none(),
        pybind11::str(std::to_string(problems_left_out_) + " more damaged places")));
  }
  return found;
}

}  // namespace quillon_python
