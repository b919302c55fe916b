#include "fuzz/scratch_files.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace fuzzing {

ScratchFiles::ScratchFiles() {
  std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = base + "/quillon-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("quillon fuzz: mkdtemp");
    std::abort();
  }
  folder_ = pattern;
  page_ = folder_ + "/page.htm";
  output_ = folder_ + "/out.txt";
}

ScratchFiles::~ScratchFiles() {
  unlink(page_.c_str());
  unlink(output_.c_str());
  rmdir(folder_.c_str());
}

void ScratchFiles::WritePage(const std::string& bytes) const {
  int fd = open(page_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  size_t done = 0;
  while (fd != -1 && done < bytes.size()) {
    ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0) break;
    done += size_t(put);
  }
  if (fd == -1 || done != bytes.size() || close(fd) != 0) {
    std::perror("quillon fuzz: writing the page");
    std::abort();
  }
}

std::string ScratchFiles::ReadOutput() const {
  int fd = open(output_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd == -1) return "<missing>";
  std::string bytes;
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, size_t(got));
  close(fd);
  return bytes;
}

}  // namespace fuzzing
