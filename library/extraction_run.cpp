#include "library/extraction_run.h"

#include <cstring>
#include <new>
#include <optional>

#include "library/character_classes.h"
#include "library/engine.h"
#include "library/message_box.h"
#include "library/messages.h"
#include "library/page_reader.h"
#include "library/platform.h"
#include "library/record_output.h"
#include "library/run_state.h"

namespace quillon {
namespace {

void CloseInputFile() noexcept {
  if (!InputFileOpen) return;
  InputFileOpen = false;
  _close(InputFile);
}

void CloseOutputFile(RecordOutput& output) {
  output.Close();
  OutputFileOpen = false;
}

// Reports the addresses the output could not write, as they are written, and keeps the error
// number of the last one.
class WriteFailures final : public RecordOutput::FailureListener {
 public:
  // Once the output is closed: the error number stays in StatusText only when the record that
  // failed was the last thing the reading did (`ended_on_record`, and it was the record
  // appended last); any later byte read would have taken its place.
  void LeaveErrorNumber(bool ended_on_record, std::uint64_t last_mark) const {
    if (!ended_on_record || !failed_mark_ || *failed_mark_ != last_mark) return;
    char number[20];
    _itoa(error_number_, number, 10);
    StatusText = number;
  }

 private:
  void AddressWriteFailed(int error_number, std::optional<std::uint64_t> mark) override {
    if (mark) {
      failed_mark_ = mark;
      error_number_ = error_number;
    }
    ShowMessage(kTextWriteFailed, kCaptionError);
  }

  std::optional<std::uint64_t> failed_mark_;
  int error_number_ = 0;
};

// Feeds the page to the engine until it has ended, failed, or can change nothing more.
ReadingEnd ScanPage(PageReader& reader, Engine& engine, RecordSink& sink) {
  for (;;) {
    std::span<const unsigned char> bytes = reader.Next();
    if (bytes.empty()) break;
    engine.Feed(bytes.data(), bytes.size(), sink);
    if (engine.Done()) break;
  }
  return reader.Failed() ? engine.Stop() : engine.Finish();
}

// What reading the page byte by byte leaves in StatusText: the last byte read, or "File End".
void LeaveStatus(const ReadingEnd& end) {
  if (end.met_end) {
    StatusText = kStatusInputEnded;
  } else if (end.last_byte > 0) {
    StatusText = static_cast<char>(end.last_byte);
  } else if (end.last_byte == 0) {
    StatusText = "";  // a NUL byte reads as the empty string
  }
}

// CurrentUrl is made at the first capture in the library's life, with room for any address,
// so that taking the last one in at the end of the run needs no memory.
void PrepareCurrentUrl() {
  if (!CurrentUrl) CurrentUrl.emplace();
  int length = CurrentUrl->GetLength();
  CurrentUrl->GetBuffer(UrlBufferSize + 1);
  CurrentUrl->ReleaseBuffer(length);
}

void LeaveCurrentUrl(Engine& engine) {
  if (!engine.HasCapture()) return;
  std::string_view capture = engine.LastCapture();
  int length = static_cast<int>(capture.size());
  char* text = CurrentUrl->GetBuffer(length);  // within the room made before the page was read
  std::memcpy(text, capture.data(), capture.size());
  CurrentUrl->ReleaseBuffer(length);
}

// Whether the two handles reach one file, under whatever names: the same volume and the same
// file on it.
bool SameFile(int first, int second) {
  BY_HANDLE_FILE_INFORMATION a, b;
  return GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(first)), &a) &&
         GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(second)), &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Empties the output file as opening it for truncation would: false when it holds bytes that
// cannot be cut. A device or a pipe has none to cut.
bool EmptyOutputFile(int handle) {
  long long length = _lseeki64(handle, 0, SEEK_END);
  if (length <= 0) return true;
  return _chsize(handle, 0) == 0 && _lseeki64(handle, 0, SEEK_SET) == 0;
}

// Opens both files: the output first, then the page, and empties the output only once it is
// known not to be the page under another name. False when the output cannot be used: the box
// has been shown, and neither file is left open.
bool OpenFiles(const RunArguments& arguments) {
  OutputFile = _open(arguments.output, _O_BINARY | _O_CREAT | _O_RDWR, _S_IWRITE);
  if (OutputFile != -1) {
    OutputFileOpen = true;
    InputFile = _open(arguments.input, _O_BINARY | _O_RDONLY);
    InputFileOpen = InputFile != -1;
    if ((!InputFileOpen || !SameFile(OutputFile, InputFile)) && EmptyOutputFile(OutputFile)) {
      return true;
    }
    CloseInputFile();
    _close(OutputFile);
    OutputFileOpen = false;
    OutputFile = -1;
  }
  ShowMessage(kTextOutputNotOpened, kCaptionError);
  return false;
}

void Scan(const RunArguments& arguments, RecordOutput& output, WriteFailures& failures) {
  if (!InputFileOpen) {
    StatusText = kTextInputMissing;
    ShowMessage(StatusText, kCaptionInputMissing);
    CloseOutputFile(output);
    return;
  }
  StatusText = kStatusInputOpen;
  StatusText = kStatusSearching;

  PageReader reader(InputFile);
  KeywordTexts keywords;
  for (size_t i = 0; i < keywords.size(); ++i) {
    keywords[i] = {arguments.keywords[i].GetString(),
                   static_cast<size_t>(arguments.keywords[i].GetLength())};
  }
  Engine engine(keywords, TakeCharacterClasses(), reader.reading());
  PrepareCurrentUrl();

  ReadingEnd end = ScanPage(reader, engine, output);
  LeaveStatus(end);
  LeaveCurrentUrl(engine);
  // The output is complete, and closed, the moment the end of the page is met.
  if (end.met_end) CloseOutputFile(output);
  if (reader.EndTest() == -1) {
    output.Flush();
    ShowMessage(kTextFileError, kCaptionError);
  }
  CloseOutputFile(output);
  failures.LeaveErrorNumber(end.ended_on_record, output.Appended());
  // The page stays open until its end-of-file test is answered, then it is released so that
  // it is not kept locked.
  CloseInputFile();
}

// Memory ran out: what was found so far is written and both files are closed; one box, as the
// framework shows its own, tells the user. Should showing it need memory too, that failure
// reaches the export's boundary, with the files already closed, and is reported there.
void EndOutOfMemory(RecordOutput& output) {
  output.Abandon();
  OutputFileOpen = false;
  CloseInputFile();
  MessageBoxA(nullptr, kTextOutOfMemory, kCaptionOutOfMemory, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void RunExtraction(const RunArguments& arguments) {
  StatusText = "";
  ShowMessage(kTextSearchStarting, kCaptionError);

  if (!OpenFiles(arguments)) return;
  WriteFailures failures;
  PlainRecordOutput plain_output(OutputFile, failures);
  BlockRecordOutput block_output(OutputFile, failures);
  // Without room for a block, records go out one by one.
  RecordOutput& output =
      block_output.Ready() ? static_cast<RecordOutput&>(block_output) : plain_output;
  try {
    Scan(arguments, output, failures);
  } catch (const CMemoryException&) {
    EndOutOfMemory(output);
  } catch (const std::bad_alloc&) {
    EndOutOfMemory(output);
  }
}

}  // namespace quillon
