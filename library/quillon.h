/* QUILLON: extracts the absolute web addresses of a saved HTML page into a text file.
 *
 * One call, BEGIN_SEARCH_ADD, performs one whole extraction run. It reads the page named by
 * `input`, finds every anchor that opens exactly like <a href="http:// (letters in any case),
 * and appends each address, ended by CR LF, to the file named by `output`, which the run
 * creates or empties first. An address that contains any of the six exclusion keywords is
 * left out; an empty keyword excludes nothing. The run tells the user what happens through
 * message boxes (on Linux, through lines on standard error) and returns nothing.
 *
 * Windows: exported by QUILLON.dll as _BEGIN_SEARCH_ADD@32 (standard call).
 * Linux:   exported by libquillon.so as BEGIN_SEARCH_ADD.
 *
 * The eight arguments are string objects. The caller builds them, the run owns them from the
 * call on and releases all eight before it returns, whatever happens in the run; the caller
 * never touches them again. One run at a time: do not call again while a run is in progress
 * (on Windows, not from inside one of its message boxes either).
 */
#ifndef QUILLON_H
#define QUILLON_H

#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#define QUILLON_CALL __stdcall
#else
#define QUILLON_CALL
#endif

#ifndef QUILLON_API
#ifdef _WIN32
#define QUILLON_API __declspec(dllimport)
#else
#define QUILLON_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A string object as it crosses the call: one pointer, exactly what the framework's string
 * class (CString) holds. A null pointer is the empty string. Otherwise `characters` points
 * into a block obtained from the C run-time's malloc (on Windows: msvcrt.dll's) that starts
 * with a QuillonStringHeader, followed by `capacity` + 1 bytes of which the first `length`
 * are the string's bytes (NUL bytes allowed) and the next one is a NUL. The run releases the
 * block with free() of the C run-time, at the address of its header. */
typedef struct QuillonString {
  char* characters;
} QuillonString;

typedef struct QuillonStringHeader {
  int length;
  int capacity;
} QuillonStringHeader;

/* Builds a string object of `length` bytes copied from `bytes`. When memory runs out it
 * returns the empty string object. For C callers; C++ callers hand over a CString with
 * Detach(). */
static inline QuillonString QuillonMakeString(const char* bytes, int length) {
  QuillonString made = {NULL};
  QuillonStringHeader* header;
  if (bytes == NULL || length <= 0) return made;
  header = (QuillonStringHeader*)malloc(sizeof(QuillonStringHeader) + (size_t)length + 1);
  if (header == NULL) return made;
  header->length = length;
  header->capacity = length;
  made.characters = (char*)(header + 1);
  memcpy(made.characters, bytes, (size_t)length);
  made.characters[length] = '\0';
  return made;
}

/* The same for a NUL-terminated text. */
static inline QuillonString QuillonMakeText(const char* text) {
  return QuillonMakeString(text, text != NULL ? (int)strlen(text) : 0);
}

/* One extraction run. `input`: the HTML page to read; `output`: the text file to write;
 * `keyword1` to `keyword6`: exclusion keywords, compared byte for byte and case-sensitively.
 * File names are passed to the system unchanged; a relative name refers to the current
 * directory. An output that is the input file itself, under any name, is not written: the run
 * says it cannot be opened and leaves the page as it was. */
QUILLON_API void QUILLON_CALL BEGIN_SEARCH_ADD(QuillonString input, QuillonString output,
                                               QuillonString keyword1, QuillonString keyword2,
                                               QuillonString keyword3, QuillonString keyword4,
                                               QuillonString keyword5, QuillonString keyword6);

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_H */
