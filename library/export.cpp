// The library's one entry point.
#ifdef _WIN32
#define QUILLON_API
#else
#define QUILLON_API __attribute__((visibility("default")))
#endif
#include "library/export.h"

#include <new>

#include "library/extraction_run.h"
#include "library/message_box.h"

namespace quillon {

void SearchAddresses(const QuillonString (&strings)[8]) noexcept {
  // Adopting the buffers allocates nothing, so from here on all eight are released however
  // the run ends.
  const RunArguments arguments{
      CString::Attach(strings[0].characters),
      CString::Attach(strings[1].characters),
      {CString::Attach(strings[2].characters), CString::Attach(strings[3].characters),
       CString::Attach(strings[4].characters), CString::Attach(strings[5].characters),
       CString::Attach(strings[6].characters), CString::Attach(strings[7].characters)}};
  // Nothing may leave through a C interface (on Windows the caller has a run-time of its own);
  // the arguments are released on the way out all the same.
  try {
    RunExtraction(arguments);
  } catch (const CMemoryException&) {
    // Only a box can fail this way: the one that opens the run, or the one that says memory
    // ran out.
    ReportOutOfMemoryLastly();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemoryLastly();
  } catch (...) {
    // Thrown by a caller's own presenter of boxes; the caller's to report.
  }
}

}  // namespace quillon

extern "C" QUILLON_API void QUILLON_CALL
BEGIN_SEARCH_ADD(QuillonString input, QuillonString output, QuillonString keyword1,
                 QuillonString keyword2, QuillonString keyword3, QuillonString keyword4,
                 QuillonString keyword5, QuillonString keyword6) {
  quillon::SearchAddresses(
      {input, output, keyword1, keyword2, keyword3, keyword4, keyword5, keyword6});
}
