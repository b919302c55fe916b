#include "python/src/file_links.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "library/engine.h"
#include "python/src/exclusions.h"
#include "python/src/fixed_classes.h"
#include "python/src/record_list.h"

namespace quillon_python {
namespace {

// Large enough that a block costs far more than taking the GIL back between blocks.
constexpr size_t kBlockSize = 256 * 1024;

// A smaller block for a smaller file: most pages are a few kilobytes, and a block of 256 KiB
// for each would cost more than reading them (the allocator maps and unmaps it every time).
size_t BlockSizeFor(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uint64_t>(status.st_size) >= kBlockSize) {
    return kBlockSize;
  }
  // One byte more than the file, so that the second read finds its end.
  return static_cast<size_t>(status.st_size) + 1;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { ::close(fd_); }
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void RaiseOsError(int error, pybind11::handle name) {
  errno = error;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
  throw pybind11::error_already_set();
}

}  // namespace

pybind11::list LinksOfFile(pybind11::handle path, pybind11::handle exclude) {
  auto name = pybind11::reinterpret_steal<pybind11::object>(PyOS_FSPath(path.ptr()));
  if (!name) throw pybind11::error_already_set();
  PyObject* encoded_raw = nullptr;
  if (PyUnicode_FSConverter(name.ptr(), &encoded_raw) == 0) throw pybind11::error_already_set();
  auto encoded = pybind11::reinterpret_steal<pybind11::bytes>(encoded_raw);
  Exclusions exclusions(exclude);
  const char* file_name = PyBytes_AS_STRING(encoded.ptr());

  int fd = -1;
  int error = 0;
  {
    pybind11::gil_scoped_release unlocked;
    fd = ::open(file_name, O_RDONLY | O_CLOEXEC);
    error = errno;
  }
  if (fd < 0) RaiseOsError(error, name);
  FileDescriptor file(fd);

  const size_t block_size = BlockSizeFor(file.get());
  auto block = std::make_unique_for_overwrite<unsigned char[]>(block_size);
  quillon::Engine engine(exclusions.texts(), FixedClasses());
  RecordList records;
  for (;;) {
    ssize_t got = 0;
    {
      pybind11::gil_scoped_release unlocked;
      got = ::read(file.get(), block.get(), block_size);
      error = errno;
      if (got > 0) engine.Feed(block.get(), static_cast<size_t>(got), records);
    }
    if (got == 0) break;
    if (got < 0 && error != EINTR) RaiseOsError(error, name);
    // Between blocks Ctrl-C is heard, also on a file that never ends (a device, a pipe).
    if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
  }
  engine.Finish();
  return records.Take();
}

}  // namespace quillon_python
