// The library's one entry point.
#ifdef _WIN32
#define QUILLON_API
#else
#define QUILLON_API __attribute__((visibility("default")))
#endif
#include "library/quillon.h"

#include "library/extraction_run.h"

extern "C" QUILLON_API void QUILLON_CALL
BEGIN_SEARCH_ADD(QuillonString input, QuillonString output, QuillonString keyword1,
                 QuillonString keyword2, QuillonString keyword3, QuillonString keyword4,
                 QuillonString keyword5, QuillonString keyword6) {
  // Adopting the buffers allocates nothing, so from here on all eight are released however
  // the run ends.
  quillon::RunArguments arguments{
      CString::Attach(input.characters),
      CString::Attach(output.characters),
      {CString::Attach(keyword1.characters), CString::Attach(keyword2.characters),
       CString::Attach(keyword3.characters), CString::Attach(keyword4.characters),
       CString::Attach(keyword5.characters), CString::Attach(keyword6.characters)}};
  try {
    quillon::RunExtraction(arguments);
  } catch (...) {
    // Out of memory inside the run. No exception may leave through a C interface (on
    // Windows the caller has a run-time of its own): the run ends here with its records
    // written and its files closed.
    quillon::AbandonRun();
  }
}
