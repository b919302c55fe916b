#pragma once
// Where the many-page forms put each record the engine finds.
#include <string_view>

#include "cli/output_buffer.h"
#include "library/engine.h"

namespace cli {

// --each: the record and CR LF, the bytes the classic run writes to its output file.
class FileRecords final : public quillon::RecordSink {
 public:
  explicit FileRecords(OutputBuffer& out) : out_(out) {}
  void Record(const char* address, size_t length) override {
    out_.Put(address, length);
    out_.Put(quillon::kRecordEnd, quillon::kRecordEndLength);
  }

 private:
  OutputBuffer& out_;
};

// --list: the page's name, a tab (or a NUL), the record and a line feed.
class ListedRecords final : public quillon::RecordSink {
 public:
  ListedRecords(OutputBuffer& out, char after_name) : out_(out), after_name_(after_name) {}
  // The page whose records come next; the name must stay valid while they do.
  void StartPage(std::string_view name) { page_ = name; }
  void Record(const char* address, size_t length) override {
    out_.Put(page_.data(), page_.size());
    out_.Put(&after_name_, 1);
    out_.Put(address, length);
    out_.Put("\n", 1);
  }

 private:
  OutputBuffer& out_;
  const char after_name_;
  std::string_view page_;
};

}  // namespace cli
