// The parser against Node's own URL over generated inputs rich in the tricky pieces: every
// pair is written to a file, one node run parses them all, and the hrefs must agree.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "library/url/url.h"

namespace quillon::url {
namespace {

using Pieces = std::vector<std::string>;
using namespace std::string_literals;  // pieces with NUL bytes

// clang-format off
const Pieces kEdges = {"", "", "", " ", "\x01", "\t", "\x00 "s, "\x1F"};
const Pieces kSchemes = {"http:", "https:", "HTTP:", "file:", "ftp:", "ws:", "wss:", "foo:",
    "mailto:", "javascript:", "data:", "sc:", "h\ttp:", "1a:", "a+b-c.d:", "", "", "", "File:",
    "hTTps:"};
const Pieces kSlashes = {"//", "//", "/", "\\\\", "", "///", "/\\", "\\/", "\\", "////"};
const Pieces kUserinfo = {"", "", "", "user@", "user:pass@", "u:p:q@", "@", "a@b@", ":@", "us er@",
    "%41:%zz@", "\xC3\xA9@", "a:\xFF@", ":pw@", "u[]^|@"};
// Non-ASCII hosts where libidn2 and UTS #46 agree; a symbol such as U+2603 would not.
const Pieces kHosts = {"example.com", "EXAMPLE.COM", "ex%41mple.com", "192.168.0.1", "0x7f.1",
    "0300.0250.0.1", "127.1", "1.2.3.4.5", "999999999", "0x", "1.2.3.09", "4294967295",
    "4294967296", "0xffffffff", "1.0x100.3", "09", "foo.09", "foo.0x", "1.2.3.4.", "[::1]",
    "[1:2:3:4:5:6:7:8]", "[::ffff:1.2.3.4]", "[1::]", "[::]", "[0:0:1:0:0:0:0:0]", "[1:0::0:1]",
    "[::1.2.3]", "[g::]", "[1:2::3:4:5:6:7:8]", "[::1.2.3.4.5]", "[::01.2.3.4]", "[ABCD::EF]",
    "localhost", "LOCALHOST", "xn--nxasmq6b.com", "b\xC3\xBC" "cher.de", "\xEF\xBC\xA1.com", "a..b",
    "a.", ".", "C:", "c|", "", "ab%00c", "\xFF.com", "xn--", "XN--A", "[::1", "a b", "a%20b", "a<b",
    "%zz", "h%", "\xC3\x9F.de", "fa\xC3\x9F.de", "a\xC2\xAD" "b.com", "\xE3\x80\x82",
    "x\xE3\x80\x82y", "%E4%BD%A0%E5%A5%BD", "-x.\xC3\xBC", "ab--c.\xC3\xBC", "\xCF\x82.gr",
    "XN--ZCA.de", "a\xE2\x80\x8D" "b", "\xE2\x92\x88.com", "u\xCC\x88.com",
    "\xC3\xA9.xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
    "\xEF\xAC\x81.com", "\xE4\xB8\xAD\xE6\x96\x87.\xE4\xB8\xAD\xE5\x9B\xBD", "h^st", "h|st",
    "ho:st", "[::1]x"};
const Pieces kPorts = {"", "", "", ":", ":80", ":443", ":8080", ":0", ":65535", ":65536", ":00080",
    ":8a", ":21", ":99999999999999999999"};
const Pieces kSegments = {"a", "b", "..", ".", "%2e", "%2E%2e", ".%2e", "%2e.", "b c", "%",
    "\xC3\xA9", "\xFF", "\xC3", "\xE2\x82", "C:", "c|", "{}", "^", "`", "\x01", "\x7F", "a\x00"s,
    "", "\t", "\n", " ", "\"<>", "'", "%41", "...", "x.y"};
const Pieces kSeparators = {"/", "/", "/", "\\", "//", "?", "#"};
const Pieces kQueries = {"", "", "?a=b", "?'", "?\"", "?#", "?a b", "?\xC3\xA9", "?%zz", "?\x01",
    "?`{}", "?\xF0\x9F\x98\x80", "?\xED\xA0\x80"};
const Pieces kFragments = {"", "", "#x", "#a b", "#`", "#\xC3\xA9", "#\x00"s, "#<\">", "#\xF4\x90"};
const Pieces kBases = {"", "http://example.com/a/b/c?q#f",
    "https://user:pw@h.example:8443/dir/file.html?x=1", "file:///C:/dir/file",
    "file:///home/u/x.html", "file://server/share/x", "foo://host/a/b", "foo:/a/b", "sc:opaque?q",
    "mailto:x@y", "http://[::1]:8080/", "web+x:/.//p/q", "http://a/b/c/d;p?q", "about:blank"};
// clang-format on

class Generator {
 public:
  explicit Generator(unsigned start) : random_(start) {}

  std::string Input() {
    std::string s = Pick(kEdges);
    if (Chance(4)) s += Pick(kSchemes);
    if (Chance(3)) s += Pick(kSlashes);
    if (Chance(2)) s += Pick(kUserinfo) + Host() + Pick(kPorts);
    const int segments = static_cast<int>(random_() % 5);
    for (int i = 0; i < segments; ++i) {
      if (i > 0 || Chance(2)) s += Pick(kSeparators);
      s += Pick(kSegments);
    }
    s += Pick(kQueries) + Pick(kFragments) + Pick(kEdges);
    if (Chance(2) && !s.empty()) s.insert(random_() % s.size(), 1, static_cast<char>(random_()));
    return s;
  }
  std::string Base() { return Pick(kBases); }

 private:
  std::string Host() {
    switch (random_() % 4) {
      case 0:
        return Ipv4();
      case 1:
        return Ipv6();
      default:
        return Pick(kHosts);
    }
  }

  // One to five numbers, each decimal, octal or hexadecimal, some past 32 bits or empty.
  std::string Ipv4() {
    std::string host;
    const int parts = 1 + static_cast<int>(random_() % 5);
    for (int i = 0; i < parts; ++i) {
      if (i > 0) host += '.';
      const std::uint64_t value = Chance(1) ? std::uint64_t{random_()} * 5 : random_() % 300;
      char text[32];
      switch (random_() % 6) {
        case 0:
          std::snprintf(text, sizeof text, Chance(3) ? "0x%llx" : "0X%llX",
                        static_cast<unsigned long long>(value));
          break;
        case 1:
          std::snprintf(text, sizeof text, "0%llo", static_cast<unsigned long long>(value));
          break;
        case 2:
          std::snprintf(text, sizeof text, "%s", Chance(3) ? "" : Chance(3) ? "0x" : "09");
          break;
        default:
          std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value));
      }
      host += text;
    }
    return Chance(1) ? host + "." : host;
  }

  // Eight pieces, zeros often, a run of them sometimes written "::", sometimes IPv4 at the end.
  std::string Ipv6() {
    std::vector<std::string> pieces;
    for (int i = 0; i < 8; ++i) {
      char text[8];
      std::snprintf(text, sizeof text, "%x",
                    Chance(2) ? 0u : static_cast<unsigned>(random_() % 0x10000));
      pieces.push_back(text);
    }
    if (Chance(1)) {
      pieces.resize(6);
      pieces.push_back(Ipv4());
    }
    std::string host = "[";
    const size_t gap = random_() % 9, gap_length = random_() % 4;
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i == gap && Chance(3)) {
        host += "::";
        i += gap_length;
        continue;
      }
      host += pieces[i];
      if (i + 1 < pieces.size()) host += ':';
    }
    return host + "]";
  }

  bool Chance(int in) { return random_() % 5 < static_cast<unsigned>(in); }  // in of 5
  const std::string& Pick(const Pieces& pieces) { return pieces[random_() % pieces.size()]; }
  std::mt19937 random_;
};

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex.empty() ? "-" : hex;
}

// Reads each line "INPUT BASE" (hex, "-" for empty; an empty base is none), decodes the bytes
// as UTF-8 as the Encoding Standard does, and prints "S" and the href, or "F".
constexpr const char* kNodeScript = R"(
const fs = require('fs');
const decoder = new TextDecoder('utf-8', {ignoreBOM: true});
const bytes = (h) => h === '-' ? '' : decoder.decode(Buffer.from(h, 'hex'));
const out = [];
for (const line of fs.readFileSync(process.argv[2], 'latin1').split('\n')) {
  if (line === '') continue;
  const [input, base] = line.split(' ').map(bytes);
  try { out.push('S' + new URL(input, base === '' ? undefined : base).href); }
  catch (e) { out.push('F'); }
}
fs.writeFileSync(process.argv[3], out.join('\n') + '\n');
)";

std::string Printable(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      s += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      s += escape;
    }
  }
  return s;
}

// Why Node's href and this parser's differ, where the reason is known: IDNA (libidn2 follows
// IDNA2008 where UTS #46 is laxer), or a defect of Node 20's parser where this one follows the
// standard and its web-platform tests.
enum class Difference {
  kNone,
  kIdna,
  // Node resolves any relative input holding a '#' against a base with an opaque path as if
  // the path were not opaque; the standard accepts only an input that starts with '#'.
  kNodeOpaqueBase,
  // A ".." (or "." / "%2e" form) that empties a non-special path and ends it: the standard
  // keeps one empty segment ("foo://host/"), Node none ("foo://host").
  kNodeDotDotOnEmptyPath,
  // ".." after a file path whose one segment merely starts with a letter and ':' ("u:p@x"):
  // only an exact drive letter ("C:") stays, Node keeps any such segment.
  kNodeDriveLetterPrefix,
  kUnexplained,
};

// The host of Node's href "S<scheme>://<userinfo@><host>...", or nothing.
std::string NodeHost(const std::string& node) {
  const size_t start = node.find("://");
  if (node.empty() || node[0] != 'S' || start == std::string::npos) return "";
  const size_t end = node.find_first_of("/?#", start + 3);
  std::string authority = node.substr(start + 3, end - (start + 3));
  const size_t at = authority.rfind('@');
  return at == std::string::npos ? authority : authority.substr(at + 1);
}

Difference Classify(const std::string& input, const Url* base, const Url* url,
                    const std::string& node) {
  const std::string ours = url != nullptr ? "S" + std::string(url->href()) : "F";
  if (ours == node) return Difference::kNone;
  if (url == nullptr && base != nullptr && base->opaque_path() &&
      input.find('#') != std::string::npos &&
      node.rfind("S" + std::string(base->scheme()) + ":", 0) == 0) {
    return Difference::kNodeOpaqueBase;
  }
  if (url == nullptr && NodeHost(node).find("xn--") != std::string::npos) return Difference::kIdna;
  if (url != nullptr && !url->special() && url->path() == "/") {
    const size_t at = static_cast<size_t>(url->path().data() - url->href().data());
    if (node == "S" + std::string(url->href()).erase(at, 1)) {
      return Difference::kNodeDotDotOnEmptyPath;
    }
  }
  if (url != nullptr && url->scheme() == "file" && node.rfind("Sfile://", 0) == 0) {
    const size_t path = node.find('/', 8);
    if (path != std::string::npos && node.size() > path + 3 &&
        std::isalpha(static_cast<unsigned char>(node[path + 1])) && node[path + 2] == ':' &&
        node[path + 3] != '/') {
      return Difference::kNodeDriveLetterPrefix;
    }
  }
  return Difference::kUnexplained;
}

TEST(UrlAgainstNode, GeneratedInputsGiveNodesHref) {
  if (std::system("node --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no node";
  const auto folder = std::filesystem::temp_directory_path() /
                      ("quillon_url_differential_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto script = folder / "parse.js", cases = folder / "cases.txt",
             hrefs = folder / "hrefs.txt";
  std::ofstream(script) << kNodeScript;

  Generator generator(20261209);
  std::vector<std::pair<std::string, std::string>> pairs;
  {
    std::ofstream file(cases, std::ios::binary);
    for (int i = 0; i < 30000; ++i) {
      pairs.emplace_back(generator.Input(), generator.Base());
      file << Hex(pairs.back().first) << ' ' << Hex(pairs.back().second) << '\n';
    }
  }
  const std::string command =
      "node " + script.string() + " " + cases.string() + " " + hrefs.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  static Url base, url;  // large: kept off the stack
  std::ifstream results(hrefs, std::ios::binary);
  size_t parsed = 0;
  std::map<Difference, size_t> counts;
  for (const auto& [input, base_text] : pairs) {
    std::string node;
    ASSERT_TRUE(std::getline(results, node)) << "node gave fewer lines";
    const bool has_base = !base_text.empty();
    const Url* base_url = has_base && Parse(base_text, nullptr, base) ? &base : nullptr;
    const bool ok = (!has_base || base_url != nullptr) && Parse(input, base_url, url);
    parsed += ok;
    const Difference difference = Classify(input, base_url, ok ? &url : nullptr, node);
    if (difference == Difference::kUnexplained && ++counts[difference] <= 25) {
      ADD_FAILURE() << "input \"" << Printable(input) << "\" base \"" << base_text << "\"\n  node "
                    << node << "\n  got  " << (ok ? "S" : "F") << (ok ? url.href() : "");
    } else if (difference != Difference::kUnexplained) {
      ++counts[difference];
    }
  }
  EXPECT_EQ(counts[Difference::kUnexplained], 0u);
  std::cout << pairs.size() << " pairs, " << parsed
            << " parsed; left aside: " << counts[Difference::kIdna] << " IDNA, "
            << counts[Difference::kNodeOpaqueBase] << " opaque base, "
            << counts[Difference::kNodeDotDotOnEmptyPath] << " \"..\" on an empty path, "
            << counts[Difference::kNodeDriveLetterPrefix] << " drive-letter prefix\n";
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quillon::url
