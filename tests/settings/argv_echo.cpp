// A child for the launcher tests: writes what it was started with to "argv.txt" in its
// current directory and exits with the number its last argument holds (0 when none).
//   argv.txt: argc, then each argv entry in brackets, then (Windows) the command line.
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  FILE* out = std::fopen("argv.txt", "wb");
  if (out == nullptr) return 99;
  std::fprintf(out, "%d\n", argc);
  for (int i = 0; i < argc; ++i) std::fprintf(out, "[%s]\n", argv[i]);
#ifdef _WIN32
  std::fprintf(out, "{%s}\n", GetCommandLineA());
#endif
  std::fclose(out);
  return argc > 1 ? std::atoi(argv[argc - 1]) : 0;
}
