#include "cli/output_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

namespace cli {
namespace {

struct FileIdentity {
  dev_t device;
  ino_t inode;
  size_t page;

  auto Key() const { return std::tie(device, inode); }
};

}  // namespace

std::vector<size_t> FindOutputClashes(const PageList& pages, std::string_view suffix) {
  std::vector<size_t> by_name(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) by_name[i] = i;
  std::sort(by_name.begin(), by_name.end(),
            [&](size_t a, size_t b) { return pages[a] < pages[b]; });

  std::vector<FileIdentity> files;
  files.reserve(pages.size());
  struct stat status;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (stat(pages.c_str(i), &status) == 0) files.push_back({status.st_dev, status.st_ino, i});
  }
  std::sort(files.begin(), files.end(),
            [](const FileIdentity& a, const FileIdentity& b) { return a.Key() < b.Key(); });

  std::vector<size_t> clashes(pages.size(), kNoClash);
  std::string output;
  for (size_t i = 0; i < pages.size(); ++i) {
    ComposeOutputName(pages[i], suffix, output);
    auto named = std::lower_bound(
        by_name.begin(), by_name.end(), output,
        [&](size_t page, const std::string& name) { return pages[page] < std::string_view(name); });
    if (named != by_name.end() && pages[*named] == output) {
      clashes[i] = *named;
      continue;
    }
    if (stat(output.c_str(), &status) != 0) continue;
    const FileIdentity wanted{status.st_dev, status.st_ino, 0};
    auto same = std::lower_bound(
        files.begin(), files.end(), wanted,
        [](const FileIdentity& a, const FileIdentity& b) { return a.Key() < b.Key(); });
    if (same != files.end() && same->Key() == wanted.Key()) clashes[i] = same->page;
  }
  return clashes;
}

}  // namespace cli
