// Preloaded into the real tool: the first QUILLON_ALLOCATIONS_LEFT allocations succeed, every
// later one fails. With QUILLON_ALLOCATIONS_COUNTED=FILE, a normal exit writes the number of
// allocations asked for to FILE.
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);

static long left = -2;  // -2: not read yet; -1: no limit
static long asked;

static int Granted(void) {
  if (left == -2) {
    const char* value = getenv("QUILLON_ALLOCATIONS_LEFT");
    left = value != NULL ? strtol(value, NULL, 10) : -1;
  }
  ++asked;
  if (left == 0) errno = ENOMEM;
  return left < 0 || left-- > 0;
}

void* malloc(size_t size) {
  return Granted() ? __libc_malloc(size) : NULL;
}

void* calloc(size_t count, size_t size) {
  return Granted() ? __libc_calloc(count, size) : NULL;
}

void* realloc(void* block, size_t size) {
  return Granted() ? __libc_realloc(block, size) : NULL;
}

__attribute__((destructor)) static void WriteCount(void) {
  const char* path = getenv("QUILLON_ALLOCATIONS_COUNTED");
  FILE* file = path != NULL ? fopen(path, "w") : NULL;
  if (file != NULL) fprintf(file, "%ld\n", asked), fclose(file);
}
