/* warc_floor ARCHIVE.warc.gz
 * What reading a .warc.gz of one gzip member per record costs at least: every member inflated
 * with libdeflate in one call, nothing else done with the bytes. Reads the file in 1 MiB
 * blocks into a 4 MiB window of inflated bytes (a member that does not fit doubles it).
 * Prints "members=N inflated=N". */
#include <libdeflate.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: warc_floor ARCHIVE.warc.gz\n");
    return 2;
  }
  FILE* file = fopen(argv[1], "rb");
  if (file == NULL) {
    perror(argv[1]);
    return 1;
  }
  size_t stored_capacity = 1 << 20, inflated_capacity = 4 << 20;
  unsigned char* stored = malloc(stored_capacity);
  unsigned char* inflated = malloc(inflated_capacity);
  struct libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  if (stored == NULL || inflated == NULL || decompressor == NULL) return 1;
  size_t begin = 0, end = 0;
  int ended = 0;
  uint64_t members = 0, total = 0;
  for (;;) {
    if (!ended && end - begin < stored_capacity / 2) {
      memmove(stored, stored + begin, end - begin);
      end -= begin;
      begin = 0;
      size_t got = fread(stored + end, 1, stored_capacity - end, file);
      end += got;
      if (got == 0) ended = 1;
      continue;
    }
    if (begin == end) break;
    size_t used = 0, produced = 0;
    enum libdeflate_result result = libdeflate_gzip_decompress_ex(
        decompressor, stored + begin, end - begin, inflated, inflated_capacity, &used, &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) {
      inflated_capacity *= 2;
      inflated = realloc(inflated, inflated_capacity);
      if (inflated == NULL) return 1;
      continue;
    }
    if (result != LIBDEFLATE_SUCCESS) {
      fprintf(stderr, "warc_floor: a member that does not inflate at %zu\n", begin);
      return 1;
    }
    begin += used;
    members++;
    total += produced;
  }
  printf("members=%llu inflated=%llu\n", (unsigned long long)members, (unsigned long long)total);
  return 0;
}
