#include "library/extraction_run.h"

#include "library/anchor_matcher.h"
#include "library/attempt_skip.h"
#include "library/character_classes.h"
#include "library/character_source.h"
#include "library/message_box.h"
#include "library/messages.h"
#include "library/platform.h"
#include "library/record_output.h"
#include "library/run_context.h"
#include "library/run_input.h"
#include "library/run_state.h"

namespace quillon {
namespace {

void CloseInputFile() noexcept {
  if (!InputFileOpen) return;
  InputFileOpen = false;
  _close(InputFile);
}

// Reads up to the next "<" and makes an anchor attempt there, or at the end of the input;
// stops after the attempt that leaves the input at its end or failing.
void ScanInput(RunContext& run) {
  RunInput& input = run.input;
  bool done = false;
  while (!done) {
    bool opening_seen = false;
    for (;;) {
      // Text and the attempts that fail go by in one step where the block holds them.
      AttemptSkip skip = SkipFailedAttempts(input.Window(), input.WindowSize(), run.classes);
      if (skip.last_read >= 0) input.Take(skip.taken, static_cast<unsigned char>(skip.last_read));
      opening_seen = skip.at_bracket;
      if (opening_seen) break;
      if (ReadInputChar(run) == '<') break;
      if (input.Eof() != 0) break;
    }
    if (opening_seen) {
      TakeOpeningAndCapture(run);
    } else {
      MatchAnchor(run);
    }
    if (input.Eof() == -1) run.ShowMessage(kTextFileError, kCaptionError);
    if (input.Eof() != 0) done = true;
  }
}

void Run(const RunArguments& arguments, IoMode mode, RunInput& input,
         const CharacterClasses& classes) {
  StatusText = "";
  ShowMessage(kTextSearchStarting, kCaptionError);

  OutputFile = _open(arguments.output, _O_BINARY | _O_TRUNC | _O_CREAT | _O_RDWR, _S_IWRITE);
  if (OutputFile == -1) {
    ShowMessage(kTextOutputNotOpened, kCaptionError);
    return;
  }
  OutputFileOpen = true;
  const ExclusionKeywords keywords = {&arguments.keywords[0], &arguments.keywords[1],
                                      &arguments.keywords[2], &arguments.keywords[3],
                                      &arguments.keywords[4], &arguments.keywords[5]};
  RunContext run(input, keywords, classes);
  PlainRecordOutput plain_output(OutputFile, run);
  BlockRecordOutput block_output(OutputFile, run);
  // Without room for a block, records go out one by one.
  RecordOutput& output = mode == IoMode::Block && block_output.Ready()
                             ? static_cast<RecordOutput&>(block_output)
                             : plain_output;
  run.UseOutput(output);
  try {
    InputFile = _open(arguments.input, _O_BINARY | _O_RDONLY);
    if (InputFile == -1) {
      StatusText = kTextInputMissing;
      ShowMessage(StatusText, kCaptionInputMissing);
      run.CloseOutputFile();
      return;
    }
    InputFileOpen = true;
    input.Start(InputFile, mode);
    StatusText = kStatusInputOpen;
    StatusText = kStatusSearching;

    ScanInput(run);

    run.CloseOutputFile();
    // The input stays open until the scan is over, for its end-of-file tests; then it is
    // released so the page is not kept locked.
    CloseInputFile();
    run.UpdateCurrentUrl();
    run.UpdateStatusText();
  } catch (...) {
    // Out of memory: the records found so far are written, both files closed.
    output.Abandon();
    OutputFileOpen = false;
    CloseInputFile();
    throw;
  }
}

}  // namespace

void RunExtraction(const RunArguments& arguments, IoMode mode) noexcept {
  RunInput input;
  try {
    Run(arguments, mode, input, TakeCharacterClasses());
  } catch (...) {
    // No exception may leave through a C interface (on Windows the caller has a run-time of
    // its own): the run has cleaned up after itself and ends here.
  }
}

}  // namespace quillon
