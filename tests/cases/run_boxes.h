#pragma once
// The boxes a run can show, as the tests expect them.
#include "library/messages.h"
#include "tests/cases/extraction_cases.h"

namespace cases {

inline const Box kOpening{quillon::kCaptionError, quillon::kTextSearchStarting};
inline const Box kOutputNotOpened{quillon::kCaptionError, quillon::kTextOutputNotOpened};
inline const Box kInputMissing{quillon::kCaptionInputMissing, quillon::kTextInputMissing};
inline const Box kFileError{quillon::kCaptionError, quillon::kTextFileError};
inline const Box kWriteFailed{quillon::kCaptionError, quillon::kTextWriteFailed};
// OK button, exclamation mark: the box the framework shows for its own failures.
inline const Box kOutOfMemory{quillon::kCaptionOutOfMemory, quillon::kTextOutOfMemory, 0x30};

}  // namespace cases
