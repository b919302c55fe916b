#pragma once
// The URL of each page under --html: --base, its place under --base with --root, or its own
// file:// URL.
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// Appends `path` to `out` with every byte but the unreserved ones, the sub-delimiters, ':', '@'
// and '/' percent-encoded (so '%', '#', '?', '\\', spaces and non-ASCII bytes are).
void AppendPercentEncodedPath(std::string_view path, std::string& out);

// `path` made absolute against `directory` and rid of ".", ".." and empty segments, as a
// lexical path: symbolic links are not followed.
std::string LexicallyResolved(std::string_view directory, std::string_view path);

class PageUrls {
 public:
  // `base` and `root` as --base and --root gave them; `directory` the current one.
  PageUrls(std::optional<std::string> base, std::optional<std::string> root, std::string directory);

  // The URL of `page` in `url`; false when a root is given and the page is not under it.
  bool For(std::string_view page, std::string& url) const;

 private:
  std::optional<std::string> base_;  // with --root, ending in '/'
  std::optional<std::string> root_;  // resolved
  std::string directory_;
};

}  // namespace cli
