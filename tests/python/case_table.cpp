// Writes the shared case table for the Python tests: per case its name, page, six keywords and
// the output the tool must write, each as a decimal length, a colon and the bytes.
#include <cstdio>
#include <string>

#include "tests/cases/extraction_cases.h"

namespace {

void Put(const std::string& field) {
  std::printf("%zu:", field.size());
  std::fwrite(field.data(), 1, field.size(), stdout);
}

}  // namespace

int main() {
  for (const cases::ExtractionCase& one : cases::ExtractionCases()) {
    Put(one.name);
    Put(one.page);
    for (const std::string& keyword : one.keywords) Put(keyword);
    Put(one.output);
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
