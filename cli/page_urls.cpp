#include "cli/page_urls.h"

#include <utility>
#include <vector>

namespace cli {

void AppendPercentEncodedPath(std::string_view path, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr std::string_view kKept = "-._~!$&'()*+,;=:@/";
  for (unsigned char byte : path) {
    const bool alphanumeric = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                              (byte >= '0' && byte <= '9');
    if (alphanumeric || kKept.find(static_cast<char>(byte)) != std::string_view::npos) {
      out += static_cast<char>(byte);
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
}

std::string LexicallyResolved(std::string_view directory, std::string_view path) {
  std::vector<std::string_view> segments;
  auto take = [&segments](std::string_view text) {
    while (!text.empty()) {
      size_t end = text.find('/');
      std::string_view segment = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      if (segment.empty() || segment == ".") continue;
      if (segment == "..") {
        if (!segments.empty()) segments.pop_back();
      } else {
        segments.push_back(segment);
      }
    }
  };
  if (!path.starts_with('/')) take(directory);
  take(path);
  std::string resolved;
  for (std::string_view segment : segments) {
    resolved += '/';
    resolved += segment;
  }
  return resolved.empty() ? "/" : resolved;
}

PageUrls::PageUrls(std::optional<std::string> base, std::optional<std::string> root,
                   std::string directory)
    : base_(std::move(base)), directory_(std::move(directory)) {
  if (root && base_) {
    root_ = LexicallyResolved(directory_, *root);
    if (!base_->ends_with('/')) *base_ += '/';
  }
}

bool PageUrls::For(std::string_view page, std::string& url) const {
  url.clear();
  if (!base_) {
    url = "file://";
    if (!page.starts_with('/')) {
      AppendPercentEncodedPath(directory_, url);
      url += '/';
    }
    AppendPercentEncodedPath(page, url);
    return true;
  }
  url = *base_;
  if (!root_) return true;
  const std::string resolved = LexicallyResolved(directory_, page);
  std::string_view below = resolved;
  if (*root_ != "/") {
    if (!below.starts_with(*root_)) return false;
    below.remove_prefix(root_->size());
    if (!below.empty() && below[0] != '/') return false;
  }
  if (below.starts_with('/')) below.remove_prefix(1);
  AppendPercentEncodedPath(below, url);
  return true;
}

}  // namespace cli
