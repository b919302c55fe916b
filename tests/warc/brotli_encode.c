/* Brotli-codes standard input to standard output, for the test server's br bodies. */
#include <brotli/encode.h>
#include <stdio.h>
#include <stdlib.h>

int main(void) {
  size_t size = 0, capacity = 1 << 16;
  unsigned char* input = malloc(capacity);
  size_t got;
  while (input != NULL && (got = fread(input + size, 1, capacity - size, stdin)) > 0) {
    size += got;
    if (size == capacity) {
      unsigned char* larger = realloc(input, capacity *= 2);
      if (larger == NULL) free(input);
      input = larger;
    }
  }
  size_t coded_size = BrotliEncoderMaxCompressedSize(size);
  unsigned char* coded = malloc(coded_size);
  int status = 1;
  if (input != NULL && coded != NULL &&
      BrotliEncoderCompress(5, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, size, input, &coded_size,
                            coded)) {
    status = fwrite(coded, 1, coded_size, stdout) == coded_size ? 0 : 1;
  }
  free(coded);
  free(input);
  return status;
}
