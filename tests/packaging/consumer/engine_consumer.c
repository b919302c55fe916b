/* The engine's C calls as an installed program sees them: engine_consumer PAGE OUTPUT [KEYWORD]
 * writes the records of PAGE, each ended by CR LF, to OUTPUT, feeding the page in small blocks
 * so that anchors cross them. Built as C through pkg-config and as C++ through
 * find_package(quillon 1.1), both with -pedantic. */
#include <quillon_engine.h>
#include <stdio.h>

static int write_record(void* context, const char* address, size_t length) {
  FILE* output = (FILE*)context;
  return fwrite(address, 1, length, output) != length || fputs("\r\n", output) == EOF;
}

int main(int argc, char** argv) {
  const char* keywords[1];
  quillon_engine* engine = NULL;
  char block[61];
  size_t got;
  int status;
  FILE* page;
  FILE* output;
  if (argc < 3 || (page = fopen(argv[1], "rb")) == NULL) return 2;
  if ((output = fopen(argv[2], "wb")) == NULL) return 2;
  keywords[0] = argc > 3 ? argv[3] : NULL;
  status = quillon_engine_new(keywords, 1, write_record, output, &engine);
  while (status == QUILLON_OK && (got = fread(block, 1, sizeof block, page)) > 0) {
    status = quillon_engine_feed(engine, block, got);
  }
  if (status == QUILLON_OK) status = quillon_engine_finish(engine);
  quillon_engine_free(engine);
  fclose(page);
  if (status != QUILLON_OK) fprintf(stderr, "engine_consumer: %s\n", quillon_strerror(status));
  if (fclose(output) != 0) return 1;
  return status != QUILLON_OK;
}
