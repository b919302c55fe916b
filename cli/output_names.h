#pragma once
// The file each page's records go to under --each, and the pages whose output would be written
// over another listed page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/page_list.h"

namespace cli {

// `name` becomes PAGE followed by SUFFIX; its storage is reused from page to page.
inline void ComposeOutputName(std::string_view page, std::string_view suffix, std::string& name) {
  name.assign(page).append(suffix);
}

inline constexpr size_t kNoClash = SIZE_MAX;

// For each page, the index of the listed page its output is (the same name, or the same file
// through any symbolic or hard link), or kNoClash.
std::vector<size_t> FindOutputClashes(const PageList& pages, std::string_view suffix);

}  // namespace cli
