/* A program that knows QUILLON only as installed: consumer PAGE OUTPUT [KEYWORD] runs the export
 * on PAGE into OUTPUT, then writes the records of PAGE, found by the engine's C calls fed in
 * small blocks, to standard output, each ended by CR LF. Built as C through pkg-config and as
 * C++ through find_package(quillon 1.2), both with -pedantic. */
#include <quillon.h>
#include <quillon_engine.h>
#include <stdio.h>

static int write_record(void* context, const char* address, size_t length) {
  (void)context;
  return fwrite(address, 1, length, stdout) != length || fputs("\r\n", stdout) == EOF;
}

int main(int argc, char** argv) {
  const char* keywords[1];
  quillon_engine* engine = NULL;
  char block[61];
  size_t got;
  int status;
  FILE* page;
  if (argc < 3) return 2;
  if (quillon_version_number() != QUILLON_VERSION_NUMBER) {
    fprintf(stderr, "consumer: libquillon %u, not the header's %u\n", quillon_version_number(),
            (unsigned)QUILLON_VERSION_NUMBER);
    return 2;
  }
  BEGIN_SEARCH_ADD(QuillonMakeText(argv[1]), QuillonMakeText(argv[2]),
                   QuillonMakeText(argc > 3 ? argv[3] : ""), QuillonMakeText(""),
                   QuillonMakeText(""), QuillonMakeText(""), QuillonMakeText(""),
                   QuillonMakeText(""));
  if ((page = fopen(argv[1], "rb")) == NULL) return 2;
  keywords[0] = argc > 3 ? argv[3] : NULL;
  status = quillon_engine_new(keywords, 1, write_record, NULL, &engine);
  while (status == QUILLON_OK && (got = fread(block, 1, sizeof block, page)) > 0) {
    status = quillon_engine_feed(engine, block, got);
  }
  if (status == QUILLON_OK) status = quillon_engine_finish(engine);
  quillon_engine_free(engine);
  fclose(page);
  if (status != QUILLON_OK) fprintf(stderr, "consumer: %s\n", quillon_strerror(status));
  return status != QUILLON_OK;
}
