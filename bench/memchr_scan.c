/* memchr_scan FILE: the floor for any scan of FILE for "<". Reads 1 MiB at a time and counts
 * every "<" with memchr; prints the count. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static char buffer[1 << 20];

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: memchr_scan FILE\n");
    return 2;
  }
  int file = open(argv[1], O_RDONLY);
  if (file < 0) {
    perror(argv[1]);
    return 1;
  }
  unsigned long long opens = 0;
  ssize_t got;
  while ((got = read(file, buffer, sizeof buffer)) > 0) {
    const char* at = buffer;
    const char* end = buffer + got;
    while ((at = memchr(at, '<', (size_t)(end - at))) != NULL) {
      ++opens;
      ++at;
    }
  }
  close(file);
  if (got < 0) {
    perror(argv[1]);
    return 1;
  }
  printf("%llu\n", opens);
  return 0;
}
