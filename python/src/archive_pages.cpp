#include "python/src/archive_pages.h"

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <string>
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

void ArchivePages::Batch::Clear() {
  uris.clear();
  uri_ends.clear();
  link_ends.clear();
  links.Clear();
}

void ArchivePages::ReadArchive() {
  const bool read = reader_->Run();
  if (scanned_->pages() > 0) HandOver();
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
  uri_ = page.target_uri;
  place_ = page.place;
  first_link_ = scanned_->links.size();
  dropped_ = false;
  std::string problem;
  if (!finder_->Start(page, problem)) DropPage(problem);
}

void ArchivePages::PageBytes(const unsigned char* bytes, size_t size) {
  if (stop_ || dropped_) return;
  try {
    finder_->Feed(bytes, size, scanned_->links);
  } catch (const std::exception& error) {
    DropPage(error.what());
  }
}

void ArchivePages::DropPage(std::string_view why) {
  dropped_ = true;
  Damage(place_, why);
}

void ArchivePages::EndPage(bool complete) {
  Batch& batch = *scanned_;
  if (complete && !dropped_) {
    try {
      finder_->Finish(batch.links);
    } catch (const std::exception& error) {
      DropPage(error.what());
    }
  }
  if (!complete || dropped_) {
    // A page cut short is not handed on: its damage is reported, and what was read of it may
    // be garbage.
    finder_->Stop();
    batch.links.Truncate(first_link_);
    return;
  }
  batch.uris.append(uri_);
  batch.uri_ends.push_back(batch.uris.size());
  batch.link_ends.push_back(batch.links.size());
  if (batch.pages() >= kBatchPages || batch.links.size() >= kBatchLinks) HandOver();
}

void ArchivePages::HandOver() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !has_ready_ || stop_; });
    if (stop_) return;
    std::swap(scanned_, ready_);
    has_ready_ = true;
  }
  changed_.notify_all();
  scanned_->Clear();
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
  while (next_taken_ == taken_->pages()) {
    bool has_batch = false;
    int error = 0;
    bool ended = false;
    {
      pybind11::gil_scoped_release unlocked;
      std::unique_lock lock(mutex_);
      if (changed_.wait_for(lock, kSignalCheck, [&] { return has_ready_ || ended_; })) {
        has_batch = has_ready_;
        if (has_batch) {
          std::swap(ready_, taken_);
          next_taken_ = 0;
          has_ready_ = false;
        } else {
          ended = true;
          error = read_error_;
        }
      }
    }
    if (has_batch) {
      changed_.notify_all();
    } else if (ended) {
      if (error == 0) return pybind11::none();
      errno = error;
      PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
      throw pybind11::error_already_set();
    } else if (PyErr_CheckSignals() != 0) {
      throw pybind11::error_already_set();
    }
  }
  const Batch& batch = *taken_;
  const size_t page = next_taken_++;
  const size_t uri_start = page == 0 ? 0 : batch.uri_ends[page - 1];
  // A URI is whatever the archive's writer put there: bytes that are not UTF-8 come back with
  // uri.encode("utf-8", "surrogateescape").
  auto uri = pybind11::reinterpret_steal<pybind11::str>(PyUnicode_DecodeUTF8(
      batch.uris.data() + uri_start, static_cast<Py_ssize_t>(batch.uri_ends[page] - uri_start),
      "surrogateescape"));
  if (!uri) throw pybind11::error_already_set();
  return pybind11::make_tuple(
      uri, batch.links.Slice(
               page == 0 ? 0 : batch.link_ends[page - 1], batch.link_ends[page],
               finder_->GivesUrls() ? RecordList::Form::kAscii : RecordList::Form::kBytes));
}

pybind11::list ArchivePages::DamageFound() {
  std::lock_guard lock(mutex_);
  pybind11::list found;
  for (const Problem& problem : problems_) {
    pybind11::object inflated = pybind11::none();
    if (problem.place.gzip && problem.place.inflated != 0) {
      inflated = pybind11::int_(problem.place.inflated);
    }
    // A problem may quote a URI, in whatever bytes the archive's writer put there.
    auto what = pybind11::reinterpret_steal<pybind11::str>(PyUnicode_DecodeUTF8(
        problem.what.data(), static_cast<Py_ssize_t>(problem.what.size()), "surrogateescape"));
    if (!what) throw pybind11::error_already_set();
    found.append(pybind11::make_tuple(problem.place.stored, inflated, what));
  }
  if (problems_left_out_ > 0) {
    found.append(pybind11::make_tuple(
        pybind11::none(), pybind11::none(),
        pybind11::str(std::to_string(problems_left_out_) + " more damaged places")));
  }
  return found;
}

}  // namespace quillon_python
