// The URL parser's cost per URL on the kinds of href pages hold: nanoseconds per Parse, the
// best of several rounds. Usage: url_bench [ROUNDS [KIND]] (KIND: a number, to time one kind)
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "library/url/url.h"

namespace {

// <chrono> does not build with the project's execution character set.
double NowNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

struct Kind {
  const char* name;
  std::string_view input;
  const char* base;  // nullptr: none
};

// Non-ASCII bytes as escapes: the build's execution character set would change them.
constexpr Kind kKinds[] = {
    {"absolute https", "https://www.example.com/docs/guide/index.html?lang=en#intro", nullptr},
    {"absolute http, short", "http://example.org/", nullptr},
    {"relative file name", "page2.html", "https://www.example.com/docs/guide/index.html"},
    {"relative with ../", "../images/logo.png", "https://www.example.com/docs/guide/index.html"},
    {"root-relative", "/search?q=url+parser", "https://www.example.com/docs/guide/index.html"},
    {"fragment only", "#section-2", "https://www.example.com/docs/guide/index.html"},
    {"IPv4 and port", "http://192.168.0.1:8080/status", nullptr},
    {"percent-encoding", "https://example.com/a b/\xC3\xBC?q=\xC3\xBC\"x\"", nullptr},
    {"newline inside", "https://example.com/a\n/b", nullptr},
    {"IDNA (libidn2)",
     "https://b\xC3\xBC"
     "cher.example/",
     nullptr},
};

}  // namespace

int main(int argc, char** argv) {
  using quillon::url::Url;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
  const int only = argc > 2 ? std::atoi(argv[2]) : -1;
  static Url base, url;
  std::printf("%-22s %10s  %s\n", "kind", "ns per URL", "href");
  for (const Kind& kind : kKinds) {
    if (only >= 0 && &kind != &kKinds[only]) continue;
    const Url* base_url = nullptr;
    if (kind.base != nullptr) {
      if (!quillon::url::Parse(kind.base, nullptr, base)) return 1;
      base_url = &base;
    }
    const int iterations = kind.input.find(
                               "\xC3\xBC"
                               "cher") != std::string_view::npos
                               ? 20000
                               : 500000;
    double best = 1e30;
    size_t check = 0;
    for (int round = 0; round < rounds; ++round) {
      const double start = NowNanoseconds();
      for (int i = 0; i < iterations; ++i) {
        check += quillon::url::Parse(kind.input, base_url, url) ? url.href().size() : 0;
      }
      const double elapsed = NowNanoseconds() - start;
      if (elapsed / iterations < best) best = elapsed / iterations;
    }
    if (check == 0) return 1;
    std::printf("%-22s %10.1f  %.*s\n", kind.name, best, static_cast<int>(url.href().size()),
                url.href().data());
  }
  return 0;
}
