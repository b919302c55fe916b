#include "fuzz/reference_run.h"

namespace fuzzing {
namespace {

constexpr std::string_view kPattern = "<a href=\"http://";
constexpr size_t kAddressLimit = 500;
// A failed attempt moves back one byte less than it compared.
constexpr size_t kMoveBack = 14;

char FoldAsciiUpper(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithFolded(const std::string& text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  for (size_t i = 0; i < ending.size(); ++i)
    if (FoldAsciiUpper(text[text.size() - ending.size() + i]) != ending[i]) return false;
  return true;
}

// The input as the run sees it: one byte per read, the end reported by every read after it.
class PageReader {
 public:
  explicit PageReader(std::string_view page) : page_(page) {}

  // The byte read (0 to 255), or -1 at the end. Leaves StatusText as the run does.
  int Read() {
    read_since_record_ = true;
    if (at_ >= page_.size()) {
      status_ = "File End";
      return -1;
    }
    unsigned char byte = static_cast<unsigned char>(page_[at_++]);
    status_ = byte == 0 ? std::string() : std::string(1, static_cast<char>(byte));
    return byte;
  }
  bool AtEnd() const { return at_ >= page_.size(); }
  void MoveBack(size_t count) { at_ -= count; }
  const std::string& status() const { return status_; }
  void NoteRecord() { read_since_record_ = false; }
  bool read_since_record() const { return read_since_record_; }

 private:
  std::string_view page_;
  size_t at_ = 0;
  std::string status_;
  bool read_since_record_ = true;
};

void WriteRecord(const std::string& url, const quillon::ExclusionKeywords& keywords,
                 ReferenceResult& result) {
  std::string address = url.substr(0, url.find('\0'));
  if (address.size() >= kAddressLimit) return;  // too long to write: skipped
  for (const std::string& keyword : keywords) {
    std::string counted = keyword.substr(0, keyword.find('\0'));
    if (!counted.empty() && address.find(counted) != std::string::npos) return;
  }
  for (char c : address)
    if (c >= 0x20 && c <= 0x7E) result.output += c;
  result.output += "\r\n";
  result.written_addresses.push_back(address);
}

// One attempt after a "<" (or at the end): compares 15 bytes, then captures or moves back.
void Attempt(PageReader& reader, const quillon::ExclusionKeywords& keywords,
             ReferenceResult& result) {
  int matched = 0;
  for (size_t p = 1; p < kPattern.size(); ++p) {
    int byte = reader.Read();
    if (byte > 0 && FoldAsciiUpper(static_cast<char>(byte)) == kPattern[p]) ++matched;
  }
  if (matched < 15) {
    if (!reader.AtEnd()) reader.MoveBack(kMoveBack);
    return;
  }
  std::string url = "http://";
  for (;;) {
    int byte = reader.Read();
    if (byte < 0) {
      // The page ended inside the address: dropped.
      result.current_url = url.substr(0, kAddressLimit);
      return;
    }
    if (byte == '"') break;
    url += static_cast<char>(byte);
  }
  bool slash = !EndsWithFolded(url, ".html") && !EndsWithFolded(url, ".htm") && url.back() != '/';
  result.current_url = url.substr(0, kAddressLimit) + (slash ? "/" : "");
  if (slash) url += '/';
  size_t records = result.written_addresses.size();
  WriteRecord(url, keywords, result);
  if (result.written_addresses.size() > records) reader.NoteRecord();
}

}  // namespace

ReferenceResult ReferenceRun(std::string_view page, const quillon::ExclusionKeywords& keywords) {
  ReferenceResult result;
  PageReader reader(page);
  for (;;) {
    int byte = reader.Read();
    if (byte != '<' && !reader.AtEnd()) continue;
    Attempt(reader, keywords, result);
    if (reader.AtEnd()) break;
  }
  result.status = reader.status();
  result.ended_on_record = !reader.read_since_record();
  return result;
}

}  // namespace fuzzing
