/* extraction_floor INPUT OUTPUT [KEYWORD...]: the least any extractor has to do to write the
 * records quillon writes, for a page without NUL or unprintable bytes in its addresses. It
 * finds each "<" with memchr, compares the next 15 bytes with the anchor opening, finds the
 * closing quote with memchr, applies the trailing "/" rule and the keywords (strstr, at most
 * six, an empty one excludes nothing), skips addresses of 500 bytes or more, and writes the
 * records with CR LF through a 64 KiB buffer. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

enum {
  kBlock = 128 * 1024,
  kOpening = 15,      /* compared after the "<" */
  kAddressLimit = 500 /* the library's, counting "http://" and the trailing "/" */
};
static const char kAnchor[] = "a href=\"http://";
static const char kScheme[] = "http://";
/* Longest address text after "http://" that can still be written; with a "/" to append, one
 * byte less. */
enum { kLongestTail = kAddressLimit - 1 - (sizeof kScheme - 1) };
/* An unfinished attempt or anchor is carried into the next block: "<", the opening and the
 * longest address with its quote. */
enum { kCarry = 1 + kOpening + kLongestTail + 1 };

static char input[kCarry + kBlock];
static char output[64 * 1024];
static size_t output_used;
static int output_file;
static const char* output_name;

static int Flush(void) {
  for (size_t done = 0; done < output_used;) {
    ssize_t wrote = write(output_file, output + done, output_used - done);
    if (wrote <= 0) {
      perror(output_name);
      return -1;
    }
    done += (size_t)wrote;
  }
  output_used = 0;
  return 0;
}

static int OpensAnchor(const char* at) {
  for (int i = 0; i < kOpening; ++i) {
    char byte = at[i];
    if (byte >= 'A' && byte <= 'Z') byte = (char)(byte - 'A' + 'a');
    if (byte != kAnchor[i]) return 0;
  }
  return 1;
}

static int EndsWithFolded(const char* text, size_t length, const char* suffix) {
  size_t count = strlen(suffix);
  if (length < count) return 0;
  for (size_t i = 0; i < count; ++i) {
    char byte = text[length - count + i];
    if (byte >= 'A' && byte <= 'Z') byte = (char)(byte - 'A' + 'a');
    if (byte != suffix[i]) return 0;
  }
  return 1;
}

/* Builds the record in the output buffer and keeps it unless a keyword excludes it. */
static int WriteRecord(const char* address, size_t length, char** keywords, int keyword_count) {
  if (sizeof output - output_used < kAddressLimit + 2 && Flush() != 0) return -1;
  char* record = output + output_used;
  memcpy(record, kScheme, sizeof kScheme - 1);
  memcpy(record + sizeof kScheme - 1, address, length);
  length += sizeof kScheme - 1;
  if (!EndsWithFolded(record, length, ".html") && !EndsWithFolded(record, length, ".htm") &&
      record[length - 1] != '/') {
    record[length++] = '/';
  }
  if (length >= kAddressLimit) return 0;
  record[length] = '\0';
  for (int k = 0; k < keyword_count; ++k) {
    if (keywords[k][0] != '\0' && strstr(record, keywords[k]) != NULL) return 0;
  }
  record[length++] = '\r';
  record[length++] = '\n';
  output_used += length;
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3 || argc > 9) {
    fprintf(stderr, "usage: extraction_floor INPUT OUTPUT [KEYWORD...] (at most six keywords)\n");
    return 2;
  }
  int input_file = open(argv[1], O_RDONLY);
  if (input_file < 0) {
    perror(argv[1]);
    return 1;
  }
  output_name = argv[2];
  output_file = open(output_name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (output_file < 0) {
    perror(output_name);
    return 1;
  }
  size_t kept = 0;    /* bytes carried over at the start of `input` */
  int in_address = 0; /* inside an address too long to write: skip to its quote */
  for (;;) {
    ssize_t got = read(input_file, input + kept, kBlock);
    if (got < 0) {
      perror(argv[1]);
      return 1;
    }
    const int last = got == 0;
    const char* end = input + kept + got;
    const char* at = input;
    kept = 0;
    while (at < end) {
      if (in_address) {
        const char* quote = memchr(at, '"', (size_t)(end - at));
        if (quote == NULL) break;
        in_address = 0;
        at = quote + 1;
      }
      const char* bracket = memchr(at, '<', (size_t)(end - at));
      if (bracket == NULL) break;
      if (end - bracket <= kOpening) {
        if (!last) kept = (size_t)(end - bracket);
        break;
      }
      if (!OpensAnchor(bracket + 1)) {
        /* The library moves back 14 of the 15 bytes it compared. */
        at = bracket + 2;
        continue;
      }
      const char* address = bracket + 1 + kOpening;
      size_t room = (size_t)(end - address);
      const char* quote = memchr(address, '"', room < kLongestTail + 1 ? room : kLongestTail + 1);
      if (quote == NULL) {
        if (room > kLongestTail) {
          in_address = 1;
          at = address + kLongestTail + 1;
          continue;
        }
        if (!last) kept = (size_t)(end - bracket);
        break;
      }
      if (WriteRecord(address, (size_t)(quote - address), argv + 3, argc - 3) != 0) return 1;
      at = quote + 1;
    }
    if (last) break;
    memmove(input, end - kept, kept);
  }
  close(input_file);
  if (Flush() != 0) return 1;
  if (close(output_file) != 0) {
    perror(output_name);
    return 1;
  }
  return 0;
}
