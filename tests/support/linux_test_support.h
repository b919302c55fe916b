#pragma once
// What the Linux tests share: a scratch folder, file helpers, and one run of the export with
// plain strings; the box recorder and the system-call faults live beside it.
#include <array>
#include <string>
#include <vector>

#include "framework/cstring.h"
#include "tests/cases/extraction_cases.h"
#include "tests/support/box_recorder.h"
#include "tests/support/system_call_faults.h"

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  // The same under `parent`, which must exist.
  explicit ScratchFolder(const std::string& parent);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// String blocks the library's own state holds now (StatusText, CurrentUrl): counts of live
// blocks taken before and after a run differ by these, which are not leaks.
long StringBlocksOfState();

// One run, the export's way in, with strings built as a C caller builds them.
void RunExport(const std::string& input, const std::string& output,
               const quillon::ExclusionKeywords& keywords = {});
// One run of eight strings built by the framework's string class (input, output,
// keywords), handed over as they are, so that their release shows in the block count.
void RunBuilt(CString (&built)[8]);

}  // namespace testing_support
