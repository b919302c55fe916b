/* A program that knows QUILLON only as installed: consumer PAGE OUTPUT [KEYWORD]. Built as C
 * through pkg-config and as C++ through find_package(quillon), both with -pedantic. */
#include <quillon.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  BEGIN_SEARCH_ADD(QuillonMakeText(argv[1]), QuillonMakeText(argv[2]),
                   QuillonMakeText(argc > 3 ? argv[3] : ""), QuillonMakeText(""),
                   QuillonMakeText(""), QuillonMakeText(""), QuillonMakeText(""),
                   QuillonMakeText(""));
  return 0;
}
