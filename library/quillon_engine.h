/* QUILLON's scanner for Linux programs: the records of a page held in memory, handed to a
 * callback instead of written to a file.
 *
 * A record is what BEGIN_SEARCH_ADD (quillon.h) writes to its output file before each CR LF:
 * "http://" followed by printable ASCII bytes (0x20 to 0x7E), at most 499 bytes in all. The
 * rules are those of the export, with the classes of the "C" locale whatever the caller's
 * locale, so the records of a page are the same in every program. The page may arrive in chunks
 * of any size; the records do not depend on where it is cut.
 *
 * Exported by libquillon.so.1 from version 1.1 on (symbol version QUILLON_1.1), and
 * quillon_version_number from 1.2 on (QUILLON_1.2).
 *
 * From version 1.2 on an engine may also follow the HTML rules
 * (quillon_engine_new_html): every a and area href of the page, resolved against the page's URL
 * (or its first base href, for the links after it) as a browser resolves it. A record is then
 * the URL's serialization, what `new URL(href, base).href` gives in a browser: printable ASCII,
 * at most 32 KiB. The same feed, finish and free calls serve both kinds of engine. Nothing here
 * shows a message box, writes to standard error, touches a file or aborts: every failure is a
 * status code. An engine is used by one thread at a time; different engines share nothing, and
 * quillon_extract may run on any number of threads at once.
 */
#ifndef QUILLON_ENGINE_H
#define QUILLON_ENGINE_H

#include <stddef.h>

/* The library's build defines QUILLON_BUILDING_LIBRARY: it hides every symbol but these. */
#if defined(QUILLON_BUILDING_LIBRARY) && defined(__GNUC__)
#define QUILLON_ENGINE_API __attribute__((visibility("default")))
#else
#define QUILLON_ENGINE_API
#endif

/* The version of the library this header belongs to, major * 10000 + minor * 100 + patch;
 * quillon_version_number() gives that of the library in use. */
#define QUILLON_VERSION_MAJOR 1
#define QUILLON_VERSION_MINOR 2
#define QUILLON_VERSION_PATCH 0
#define QUILLON_VERSION_NUMBER \
  (QUILLON_VERSION_MAJOR * 10000 + QUILLON_VERSION_MINOR * 100 + QUILLON_VERSION_PATCH)

#ifdef __cplusplus
extern "C" {
#endif

/* What a call returns: QUILLON_OK or QUILLON_STOPPED when it did its work, a negative code
 * when it did not. quillon_strerror describes each one. */
enum quillon_status {
  /* Done. */
  QUILLON_OK = 0,
  /* The callback returned nonzero: no further record of this page reaches it. Reported by
   * every later feed of the page, which feeds nothing, and by its finish. */
  QUILLON_STOPPED = 1,
  /* An argument was NULL where it may not be, or more than six keywords were given. */
  QUILLON_ERROR_ARGUMENT = -1,
  /* Memory ran out while the engine was made. */
  QUILLON_ERROR_MEMORY = -2,
  /* An earlier feed or finish of this page failed, so its records are incomplete. The feed
   * fed nothing; quillon_engine_finish ends the page and leaves the engine ready for the
   * next one. */
  QUILLON_ERROR_PAGE_FAILED = -3,
  /* An exception left the callback (a C++ caller's): the page is failed. */
  QUILLON_ERROR_CALLBACK_THREW = -4,
  /* Called from inside this engine's own callback: the call did nothing and the page is
   * failed, so no further record of it reaches the callback; the running feed or finish
   * returns QUILLON_ERROR_PAGE_FAILED. */
  QUILLON_ERROR_BUSY = -5,
  /* (1.2) The page URL given does not parse as an absolute URL. */
  QUILLON_ERROR_PAGE_URL = -6,
  /* (1.2) The encoding label given names no encoding of the Encoding Standard. */
  QUILLON_ERROR_ENCODING_LABEL = -7,
  /* (1.2) The page is in an encoding this system's iconv cannot convert: the page is failed. */
  QUILLON_ERROR_ENCODING_UNAVAILABLE = -8
};

/* Maximum number of exclusion keywords. */
#define QUILLON_MAX_KEYWORDS 6

/* Receives one record: `address` points to `length` bytes (no NUL among them, none after
 * them), valid only during the call. `context` is the pointer given with the callback.
 * Return 0 to go on, nonzero to receive no further record of this page. */
typedef int (*quillon_record_callback)(void* context, const char* address, size_t length);

/* A scanner with its keywords and callback, reading one page at a time. Opaque. */
typedef struct quillon_engine quillon_engine;

/* Makes an engine and stores it in *engine_out (NULL there on failure). `keywords` holds
 * `keyword_count` exclusion keywords, at most QUILLON_MAX_KEYWORDS: a record is left out when
 * it contains one of them, compared byte for byte and case-sensitively. A NULL array, a NULL
 * entry or an empty text excludes nothing. The keywords are copied; the callback and context
 * are kept until quillon_engine_free.
 * Returns QUILLON_OK, QUILLON_ERROR_ARGUMENT (engine_out or callback NULL, keyword_count > 6)
 * or QUILLON_ERROR_MEMORY. */
QUILLON_ENGINE_API int quillon_engine_new(const char* const* keywords, size_t keyword_count,
                                          quillon_record_callback callback, void* context,
                                          quillon_engine** engine_out);

/* Scans the next `size` bytes of the current page; each record found reaches the callback
 * before the call returns, in page order. `bytes` may be NULL when `size` is 0.
 * Returns QUILLON_OK, QUILLON_STOPPED, QUILLON_ERROR_ARGUMENT (engine NULL; bytes NULL with
 * size > 0, which fails the page), QUILLON_ERROR_PAGE_FAILED, QUILLON_ERROR_CALLBACK_THREW or
 * QUILLON_ERROR_BUSY; an engine of the HTML rules (1.2) also QUILLON_ERROR_ENCODING_UNAVAILABLE
 * or QUILLON_ERROR_MEMORY when the converter for the page's encoding cannot be made, which fails
 * the page. */
QUILLON_ENGINE_API int quillon_engine_feed(quillon_engine* engine, const void* bytes, size_t size);

/* Ends the current page: an anchor or an address still open at its end gives no record. The
 * engine is then ready for a new page, whatever this one's outcome, with nothing carried over.
 * Returns QUILLON_OK, or the page's outcome: QUILLON_STOPPED, QUILLON_ERROR_PAGE_FAILED or
 * QUILLON_ERROR_CALLBACK_THREW; QUILLON_ERROR_ARGUMENT when engine is NULL; QUILLON_ERROR_BUSY
 * from inside the callback, where the page is not ended but failed. An engine of the HTML rules
 * gives its last links here, and may return what its feed may. */
QUILLON_ENGINE_API int quillon_engine_finish(quillon_engine* engine);

/* Releases the engine; NULL is ignored. Called from inside the engine's callback, no further
 * record reaches the callback and the engine is released when the running feed or finish
 * returns, which returns QUILLON_STOPPED: the engine is gone then, and its caller must call
 * nothing on it, not even quillon_engine_free. */
QUILLON_ENGINE_API void quillon_engine_free(quillon_engine* engine);

/* The records of the whole page `bytes`, `size` bytes long, as an engine made with these
 * keywords, fed the page at once and finished would give them; nothing to free. Returns
 * QUILLON_OK, QUILLON_STOPPED, QUILLON_ERROR_ARGUMENT, QUILLON_ERROR_MEMORY or
 * QUILLON_ERROR_CALLBACK_THREW. */
QUILLON_ENGINE_API int quillon_extract(const void* bytes, size_t size, const char* const* keywords,
                                       size_t keyword_count, quillon_record_callback callback,
                                       void* context);

/* ---- The HTML rules (1.2) ----
 *
 * The page is read as the HTML Standard's tokenizer reads it (raw text, script data, CDATA in
 * svg and math; noscript as markup). Every a or area start tag with an href (the first of
 * duplicates) gives its value, character references decoded, parsed by the URL Standard's basic
 * URL parser against the base: the page's URL, or from the first base href on, that href
 * resolved against the page's URL (the page's URL where it fails). An href that fails to parse
 * gives nothing; so does one longer than 8192 bytes, which is counted. The page's encoding is
 * its byte order mark's, else the caller's label, else a <meta> charset within its first 1024
 * bytes, else UTF-8; other encodings are converted to UTF-8 by iconv. Only http and https links
 * are kept, unless QUILLON_HTML_ALL_SCHEMES; keywords exclude a link that holds one, byte for
 * byte. Memory is bounded; nothing is allocated per record. */

/* Keep links of every scheme (mailto:, ftp:, data:, javascript: ...), not only http and https. */
#define QUILLON_HTML_ALL_SCHEMES 1u

/* Makes an engine of the HTML rules and stores it in *engine_out (NULL there on failure).
 * `page_url`: the URL of the pages it reads (NULL or "": none, and relative hrefs fail until a
 * base href with an absolute URL). `encoding_label`: the encoding the pages arrive in (an HTTP
 * charset), a byte order mark overriding it; NULL: none. `flags`: 0 or QUILLON_HTML_ALL_SCHEMES.
 * Keywords, callback and context as for quillon_engine_new.
 * Returns QUILLON_OK, QUILLON_ERROR_ARGUMENT (engine_out or callback NULL, keyword_count > 6,
 * an unknown flag), QUILLON_ERROR_PAGE_URL, QUILLON_ERROR_ENCODING_LABEL (also for "") or
 * QUILLON_ERROR_MEMORY. */
QUILLON_ENGINE_API int quillon_engine_new_html(const char* page_url, const char* encoding_label,
                                               unsigned flags, const char* const* keywords,
                                               size_t keyword_count,
                                               quillon_record_callback callback, void* context,
                                               quillon_engine** engine_out);

/* Sets the URL of the pages an HTML engine reads from the next one on; NULL or "": none. Only
 * between pages (before the first feed, or after a finish). Returns QUILLON_OK,
 * QUILLON_ERROR_PAGE_URL (the URL is kept as it was), QUILLON_ERROR_ARGUMENT (engine NULL, not
 * an HTML engine, or a page under way) or QUILLON_ERROR_BUSY. */
QUILLON_ENGINE_API int quillon_engine_set_page_url(quillon_engine* engine, const char* page_url);

/* Of an HTML engine's current page, or the last one finished: how many hrefs were longer than
 * 8192 bytes and skipped, and how many a and area hrefs failed to parse. Either pointer may be
 * NULL. Returns QUILLON_OK, or QUILLON_ERROR_ARGUMENT when engine is NULL or not an HTML
 * engine. */
QUILLON_ENGINE_API int quillon_engine_skipped(const quillon_engine* engine,
                                              unsigned long long* long_hrefs,
                                              unsigned long long* unparsed_hrefs);

/* The links of the whole page `bytes` under the HTML rules, as an engine made with these
 * arguments, fed the page at once and finished would give them. Returns what
 * quillon_engine_new_html, quillon_engine_feed and quillon_engine_finish return. */
QUILLON_ENGINE_API int quillon_extract_html(const void* bytes, size_t size, const char* page_url,
                                            const char* encoding_label, unsigned flags,
                                            const char* const* keywords, size_t keyword_count,
                                            quillon_record_callback callback, void* context);

/* A short English description of a status code, for messages; never NULL, and a static text
 * the caller must not free. Unknown codes get a text that says so. */
QUILLON_ENGINE_API const char* quillon_strerror(int status);

/* The version of the library in use, as QUILLON_VERSION_NUMBER gives that of this header: a
 * program may check that the library is not older than what it was built against. */
QUILLON_ENGINE_API unsigned quillon_version_number(void);

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_ENGINE_H */
