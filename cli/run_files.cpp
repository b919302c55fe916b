#include "cli/run_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cli {
namespace {

constexpr char kStandardStream[] = "-";

std::string SystemError() {
  return std::strerror(errno);
}

// The run opens files by name; an open descriptor of ours has one under /proc.
std::string NameOf(int descriptor) {
  return "/proc/self/fd/" + std::to_string(descriptor);
}

// A file with no name, gone when closed: the spool needs no cleaning up however the tool ends.
int OpenUnnamedTemporary() {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  int descriptor = open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor != -1) return descriptor;
  // File systems without O_TMPFILE: a named file, unlinked at once.
  std::string pattern = std::string(folder) + "/quillon.XXXXXX";
  descriptor = mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor != -1) unlink(pattern.c_str());
  return descriptor;
}

// Copies all of `from` to `to`; on failure, says which side failed and why.
bool CopyAll(int from, int to, const std::string& from_name, const std::string& to_name,
             std::string& problem) {
  static char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      problem = from_name + ": read error: " + SystemError();
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        problem = to_name + ": write error: " + SystemError();
        return false;
      }
      done += put;
    }
  }
}

// True when both names lead to one regular file, through any symbolic or hard link.
bool SameRegularFile(const std::string& first, const std::string& second) {
  struct stat a, b;
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && S_ISREG(a.st_mode) &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

RunFiles::~RunFiles() {
  if (input_spool_ != -1) close(input_spool_);
  if (output_spool_ != -1) close(output_spool_);
}

bool RunFiles::Fail(int exit_status, std::string problem) {
  exit_status_ = exit_status;
  problem_ = std::move(problem);
  return false;
}

bool RunFiles::Prepare(const std::string& input, const std::string& output) {
  input_name_ = input;
  output_name_ = output;
  if (input != kStandardStream && output != kStandardStream && SameRegularFile(input, output)) {
    return Fail(2, "'" + output + "' is the same file as '" + input +
                       "': it would be emptied before it is read; nothing was done");
  }
  // Checked before any file is opened: a closed standard stream would hand its number on.
  if (input == kStandardStream && fcntl(STDIN_FILENO, F_GETFD) == -1) {
    return Fail(1, "standard input: read error: " + SystemError());
  }
  if (output == kStandardStream && fcntl(STDOUT_FILENO, F_GETFD) == -1) {
    return Fail(1, "standard output: write error: " + SystemError());
  }
  if (input == kStandardStream) {
    if (!SpoolInput(STDIN_FILENO, "standard input")) return false;
  } else {
    // A name that does not open is left to the run, which reports it as designed.
    int page = open(input.c_str(), O_RDONLY | O_CLOEXEC);
    if (page != -1) {
      bool seekable = lseek(page, 0, SEEK_CUR) != -1;
      bool spooled = seekable || SpoolInput(page, input);
      close(page);
      if (!spooled) return false;
    }
  }
  if (output == kStandardStream) {
    output_spool_ = OpenUnnamedTemporary();
    if (output_spool_ == -1) return Fail(1, "cannot make a temporary file: " + SystemError());
    output_name_ = NameOf(output_spool_);
  }
  return true;
}

bool RunFiles::SpoolInput(int source, const std::string& shown_name) {
  input_spool_ = OpenUnnamedTemporary();
  if (input_spool_ == -1) return Fail(1, "cannot make a temporary file: " + SystemError());
  std::string problem;
  if (!CopyAll(source, input_spool_, shown_name, "temporary file", problem)) {
    return Fail(1, problem);
  }
  input_name_ = NameOf(input_spool_);
  return true;
}

bool RunFiles::Deliver() {
  if (output_spool_ == -1) return true;
  std::string problem;
  if (lseek(output_spool_, 0, SEEK_SET) == -1) {
    return Fail(1, "temporary file: " + SystemError());
  }
  if (!CopyAll(output_spool_, STDOUT_FILENO, "temporary file", "standard output", problem)) {
    return Fail(1, problem);
  }
  return true;
}

}  // namespace cli
