// Loaded with LD_PRELOAD into the real tool: the heap runs out after a given number of
// allocations and stays out.
//   QUILLON_ALLOCATIONS_LEFT=N      the first N allocations succeed, every later one fails
//   QUILLON_ALLOCATIONS_COUNTED=F   at a normal exit, the number of allocations asked for is
//                                   written to the file F
// Nothing here allocates, and nothing before main is needed: the first allocation reads the
// environment.
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);
extern void* __libc_memalign(size_t alignment, size_t size);

static long left = -2;  // -2: not read yet; -1: no limit
static long asked;

static int Granted(void) {
  if (left == -2) {
    const char* value = getenv("QUILLON_ALLOCATIONS_LEFT");
    left = value != NULL ? strtol(value, NULL, 10) : -1;
  }
  ++asked;
  if (left < 0) return 1;
  if (left == 0) {
    errno = ENOMEM;
    return 0;
  }
  --left;
  return 1;
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

void* memalign(size_t alignment, size_t size) {
  return Granted() ? __libc_memalign(alignment, size) : NULL;
}

void* aligned_alloc(size_t alignment, size_t size) {
  return memalign(alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) {
  void* made = memalign(alignment, size);
  if (made == NULL) return ENOMEM;
  *block = made;
  return 0;
}

__attribute__((destructor)) static void WriteCount(void) {
  const char* path = getenv("QUILLON_ALLOCATIONS_COUNTED");
  if (path == NULL) return;
  char text[32];
  int length = snprintf(text, sizeof text, "%ld\n", asked);
  int file = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file == -1) return;
  if (write(file, text, (size_t)length) != length) unlink(path);
  close(file);
}
