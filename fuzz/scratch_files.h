#pragma once
// The page and output files of the fuzzed runs: one private folder for the whole process, in
// memory where the system offers it (/dev/shm), removed when the process ends.
#include <string>

namespace fuzzing {

class ScratchFiles {
 public:
  ScratchFiles();
  ~ScratchFiles();
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  const char* page_path() const { return page_.c_str(); }
  const char* output_path() const { return output_.c_str(); }
  // Replaces the page file with `bytes`; aborts when it cannot.
  void WritePage(const std::string& bytes) const;
  // The output file's bytes; "<missing>" when it cannot be read.
  std::string ReadOutput() const;

 private:
  std::string folder_, page_, output_;
};

}  // namespace fuzzing
