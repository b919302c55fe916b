#include "warc/header_fields.h"

#include <cstddef>

namespace warc {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::optional<std::string_view> FindField(std::string_view fields, std::string_view name) {
  while (!fields.empty()) {
    size_t end = fields.find('\n');
    std::string_view line = fields.substr(0, end);
    fields.remove_prefix(end == std::string_view::npos ? fields.size() : end + 1);
    if (line.empty() || IsBlank(line.front())) continue;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (EqualsIgnoringCase(TrimBlanks(line.substr(0, colon)), name)) {
      return TrimBlanks(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ParseLength(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

MediaType ParseMediaType(std::string_view value) {
  MediaType media;
  size_t semicolon = value.find(';');
  media.type = TrimBlanks(value.substr(0, semicolon));
  while (semicolon != std::string_view::npos) {
    value.remove_prefix(semicolon + 1);
    semicolon = value.find(';');
    std::string_view parameter = value.substr(0, semicolon);
    size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view name = TrimBlanks(parameter.substr(0, equals));
    std::string_view content = TrimBlanks(parameter.substr(equals + 1));
    if (content.size() >= 2 && content.front() == '"' && content.back() == '"') {
      content = content.substr(1, content.size() - 2);
    }
    if (EqualsIgnoringCase(name, "charset") && media.charset.empty()) media.charset = content;
    if (EqualsIgnoringCase(name, "msgtype") && media.msgtype.empty()) media.msgtype = content;
  }
  return media;
}

}  // namespace warc
