#pragma once
// The boxes a run can show, as the tests expect them.
#include "library/messages.h"
#include "tests/cases/extraction_cases.h"

namespace cases {

inline const Box kOpening{quillon::CaptionError, quillon::TextSearchStarting};
inline const Box kOutputNotOpened{quillon::CaptionError, quillon::TextOutputNotOpened};
inline const Box kInputMissing{quillon::CaptionInputMissing, quillon::TextInputMissing};
inline const Box kFileError{quillon::CaptionError, quillon::TextFileError};
inline const Box kWriteFailed{quillon::CaptionError, quillon::TextWriteFailed};
// OK button, exclamation mark: the box the framework shows for its own failures.
inline const Box kOutOfMemory{quillon::CaptionOutOfMemory, quillon::TextOutOfMemory, 0x30};

}  // namespace cases
