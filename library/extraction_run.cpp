#include "library/extraction_run.h"

#include "library/anchor_matcher.h"
#include "library/character_classes.h"
#include "library/character_source.h"
#include "library/input_reader.h"
#include "library/message_box.h"
#include "library/messages.h"
#include "library/platform.h"
#include "library/record_output.h"
#include "library/run_state.h"

namespace quillon {
namespace {

// Bytes an anchor attempt compares after its "<".
constexpr int kAttemptLength = 15;

void CloseInputFile() noexcept {
  if (!InputFileOpen) return;
  InputFileOpen = false;
  _close(InputFile);
}

// Reads up to the next "<" and makes an anchor attempt there, or at the end of the input;
// stops after the attempt that leaves the input at its end or failing.
void ScanInput(const ExclusionKeywords& keywords) {
  bool done = false;
  while (!done) {
    // Most brackets start no anchor: those attempts are passed over in one go.
    bool at_bracket = false;
    int last_read = Input().PassFailedAttempts(
        '<', kAttemptLength, [](const unsigned char* bytes) { return !MatchesOpening(bytes); },
        at_bracket);
    if (at_bracket) {
      NoteBytesTaken('<');
    } else if (last_read >= 0) {
      NoteBytesTaken(static_cast<unsigned char>(last_read));
    }
    while (!at_bracket) {
      if (Input().TakeThrough('<')) {
        NoteBytesTaken('<');
        break;
      }
      if (NextInputByte() == '<') break;
      if (Input().Eof() != 0) break;
    }
    MatchAnchor(keywords);
    if (Input().Eof() == -1) ShowMessage(TextFileError, CaptionError);
    if (Input().Eof() != 0) done = true;
  }
}

}  // namespace

void RunExtraction(const RunArguments& arguments) {
  StatusText = "";
  ShowMessage(TextSearchStarting, CaptionError);
  TakeCharacterClasses();

  OutputFile = _open(arguments.output, _O_BINARY | _O_TRUNC | _O_CREAT | _O_RDWR, _S_IWRITE);
  if (OutputFile == -1) {
    ShowMessage(TextOutputNotOpened, CaptionError);
    return;
  }
  OutputFileOpen = true;
  StartOutput(CurrentIoMode());

  InputFile = _open(arguments.input, _O_BINARY | _O_RDONLY);
  if (InputFile == -1) {
    StatusText = TextInputMissing;
    ShowMessage(StatusText, CaptionInputMissing);
    CloseOutputFile();
    return;
  }
  InputFileOpen = true;
  Input().Start(InputFile, CurrentIoMode());
  StatusText = StatusInputOpen;
  StatusText = StatusSearching;

  const ExclusionKeywords keywords = {&arguments.keywords[0], &arguments.keywords[1],
                                      &arguments.keywords[2], &arguments.keywords[3],
                                      &arguments.keywords[4], &arguments.keywords[5]};
  ScanInput(keywords);

  CloseOutputFile();
  // The input stays open until the scan is over, for its end-of-file tests; then it is
  // released so the page is not kept locked.
  CloseInputFile();
}

void AbandonRun() noexcept {
  AbandonOutput();
  CloseInputFile();
}

}  // namespace quillon
